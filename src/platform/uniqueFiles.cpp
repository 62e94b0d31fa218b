#include "platform/uniqueFiles.h"

#include "platform/fileAccess.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <algorithm>

namespace Platform {

namespace {

// The unique part that the temporary file classes put in place of this.
const QString uniquePlaceholder = QStringLiteral("XXXXXX");

// An entry without name or description makes the file name ".bat": all of it
// is the extension that the interpreter goes by.
int extensionStart(const QString &fileName)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 ? dot : fileName.size();
}

} // namespace

QString fittingFileName(const QString &fileName, int reserved)
{
    const int limit = maxFileNameBytes - reserved;
    if (fileName.toUtf8().size() <= limit)
        return fileName;
    const int dot = extensionStart(fileName);
    const QString extension = fileName.mid(dot);
    QString stem = fileName.left(dot);
    int bytes = stem.toUtf8().size() + extension.toUtf8().size();
    while (bytes > limit && !stem.isEmpty()) {
        // A character outside the basic plane is two UTF-16 units, cut whole.
        const int size = stem.size() >= 2 && stem.at(stem.size() - 1).isLowSurrogate() ? 2 : 1;
        bytes -= stem.right(size).toUtf8().size();
        stem.chop(size);
    }
    return stem + extension;
}

QString createUniqueFile(const QString &folder, const QString &fileName, QString *error)
{
    makeFolders(folder);
    const QString name = fittingFileName(fileName, 1 + uniquePlaceholder.size());
    const int dot = extensionStart(name);
    const QString stem = dot > 0 ? name.left(dot) + QLatin1Char('-') : QString();
    QTemporaryFile file(QDir(folder).filePath(stem + uniquePlaceholder + name.mid(dot)));
    if (!file.open()) {
        *error = file.errorString();
        return QString();
    }
    file.setAutoRemove(false);
    return QFileInfo(file.fileName()).fileName();
}

QString createUniqueFolder(const QString &folder)
{
    makeFolders(folder);
    QTemporaryDir created(QDir(folder).filePath(uniquePlaceholder));
    if (!created.isValid())
        return QString();
    created.setAutoRemove(false);
    return QDir(folder).filePath(QFileInfo(created.path()).fileName());
}

bool isUniqueFolderName(const QString &name)
{
    return name.size() == uniquePlaceholder.size()
        && std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 128 && c.isLetterOrNumber(); });
}

} // namespace Platform
