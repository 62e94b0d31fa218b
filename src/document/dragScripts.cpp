#include "document/dragScripts.h"

#include "platform/uniqueFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace {

// A drop copies or moves the files while it happens or right after; an hour
// later no target needs them any more.
constexpr qint64 keptSeconds = 60 * 60;

// Takes away the folders that earlier drags made, and the batch files in
// them; anything else found there stays, and so does its folder.
void removeEarlierDrags(const QDir &dragFolder)
{
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-keptSeconds);
    for (const QFileInfo &folder : dragFolder.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        if (!Platform::isUniqueFolderName(folder.fileName()) || folder.lastModified().toUTC() > before)
            continue;
        QDir earlier(folder.filePath());
        for (const QString &file : earlier.entryList({QStringLiteral("*.bat")}, QDir::Files | QDir::Hidden))
            earlier.remove(file);
        dragFolder.rmdir(folder.fileName());
    }
}

} // namespace

QList<QUrl> writeDragScripts(const QString &dragFolder, const ApplicationDataList &applications)
{
    // A model of no document's has no folder for them.
    if (dragFolder.isEmpty())
        return {};
    removeEarlierDrags(QDir(dragFolder));
    // The n-th entry of one file name goes into the n-th folder. Names that
    // differ in case only are one file where case does not count (Windows).
    QStringList folders;
    QHash<QString, int> uses;
    QList<QUrl> urls;
    for (const ApplicationData &application : applications) {
        const QString fileName = Platform::fittingFileName(application.batchFileName());
        const int use = uses[fileName.toCaseFolded()]++;
        if (use == folders.size())
            folders.append(Platform::createUniqueFolder(dragFolder));
        const QString path = QDir(folders.at(use)).filePath(fileName);
        if (!folders.at(use).isEmpty() && application.writeBatchFile(path))
            urls.append(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    }
    return urls;
}
