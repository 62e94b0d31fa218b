#ifndef KORVANI_LAUNCHERFILE_H
#define KORVANI_LAUNCHERFILE_H

#include "records/launcherFileReader.h"
#include "records/launcherFileWriter.h"
#include "records/records.h"

#include <QJsonArray>
#include <QJsonObject>

// The JSON form of records: what the launcher file's content holds.
template <typename Records>
QJsonArray toJsonArray(const Records &list)
{
    QJsonArray array;
    for (const auto &record : list)
        array.append(record.toJsonObject());
    return array;
}

// What was wrong with a launcher file that could not be read, or was read
// with losses.
struct LauncherFileProblem
{
    bool notAList = false; // it was read, but is not a JSON array
    QString reason; // why it could not be read at all
    LauncherDataLosses losses; // what its entries could not keep
    QString copyName; // where a copy of it is kept

    bool any() const { return notAList || !reason.isEmpty() || losses.count > 0; }
    // Unread and not copied: saving over it would lose the user's only copy.
    bool keepsFile() const { return any() && copyName.isEmpty(); }
};

// The launcher file. Reading returns false when there is no file, or when it
// cannot be read: it is not a regular file, it is too large, or opening it
// fails. Content that is not a JSON array reads as an empty list; content
// read with losses reads as what the entries keep. Either way a copy of it is
// kept beside the file, so that the next save does not destroy the user's
// only copy. What went wrong goes to problem, the bytes read to content.
// Writing replaces the file atomically with a new one, readable by the user
// only and synced to disk before it takes the name, and creates its folder
// when needed. When any part of the write fails (a full disk), or the content
// would be larger than the largest file that is read, the file stays as it was
// and errorString tells the reason. What was written goes to content.
bool readLauncherFile(const QString &fileName, ApplicationDataList *list, LauncherFileProblem *problem = nullptr,
                      QByteArray *content = nullptr);
// What reading a launcher file found in content read from fileName, which
// was parsed (parseLauncherData) with those losses, or was not a list: a copy
// of content is kept beside the file where the entries do not hold it whole.
LauncherFileProblem launcherContentProblem(const QString &fileName, const QByteArray &content, bool parsed,
                                           const LauncherDataLosses &losses);
bool writeLauncherFile(const QString &fileName, const ApplicationDataList &list, QString *errorString = nullptr,
                       QByteArray *content = nullptr);

#endif
