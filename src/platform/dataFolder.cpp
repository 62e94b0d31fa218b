#include "platform/dataFolder.h"

#include "platform/fileAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace Platform {

namespace {

// The name of this system's template folder.
QString templateSystem()
{
#ifdef Q_OS_WIN
    return QStringLiteral("windows");
#else
    // Other Unix systems run the same programs as Linux does.
    return QStringLiteral("linux");
#endif
}

// An installed program finds its shared files at ../share/korvani.
QString installedShare(const QString &applicationDir)
{
    const QString share = QDir(applicationDir).absoluteFilePath(QStringLiteral("../share/korvani"));
    return QFileInfo(share).isDir() ? QDir::cleanPath(share) : QString();
}

} // namespace

QString templateFolder()
{
    return QStringLiteral("data/db/") + templateSystem();
}

QString dataFolder(const QString &applicationDir)
{
    if (installedShare(applicationDir).isEmpty() && QFileInfo(applicationDir).isWritable())
        return applicationDir;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

void addShippedTemplates(const QString &applicationDir, const QString &dataFolder)
{
    const QString share = installedShare(applicationDir);
    const QDir shipped(share.isEmpty() ? QDir(applicationDir).absoluteFilePath(templateFolder())
                                       : share + QStringLiteral("/db/") + templateSystem());
    const QDir target(QDir(dataFolder).absoluteFilePath(templateFolder()));
    if (shipped == target || !shipped.exists())
        return;
    target.mkpath(QStringLiteral("."));
    // A template that cannot be copied (a full disk) is left out whole, to be
    // copied at a later start: none is left half written.
    for (const QString &name : shipped.entryList({QStringLiteral("*.ini")}, QDir::Files)) {
        QByteArray content;
        QString ignored;
        if (!target.exists(name) && readRegularFile(shipped.filePath(name), maxSettingsFileSize, &content, &ignored))
            writeNewFile(target.filePath(name), content, &ignored);
    }
}

bool enterDataFolder(const QString &applicationDir, QString *error)
{
    // Falling back to the current folder would read and rewrite whatever
    // launcher file happens to lie there.
    const QString folder = dataFolder(applicationDir);
    if (folder.isEmpty() || !QDir().mkpath(folder) || !QFileInfo(folder).isWritable() || !QDir::setCurrent(folder)) {
        *error = QCoreApplication::translate("Platform", "Korvani cannot keep its data in the folder %1.")
                     .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    // The entries, the settings and the batch files hold secrets.
    for (const QString &own : {QFileInfo(launcherFile()).path(), launchScriptFolder(), dragScriptFolder()})
        makePrivateFolder(own);
    addShippedTemplates(applicationDir, folder);
    return true;
}

QString launcherFile()
{
    return QStringLiteral("data/shortchut.json");
}

QString settingsFile()
{
    return QStringLiteral("data/settings.ini");
}

QString launchScriptFolder()
{
    return QStringLiteral("temp");
}

QString dragScriptFolder()
{
    return QStringLiteral("data/temp");
}

QString launchScriptPath(const QString &fileName)
{
    return launchScriptFolder() + QDir::separator() + fileName;
}

} // namespace Platform
