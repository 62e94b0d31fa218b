#include "platform.h"

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

QString commandInterpreter()
{
#ifdef Q_OS_WIN
    return QStringLiteral("cmd.exe");
#else
    return QCoreApplication::applicationDirPath() + QStringLiteral("/korvani-cmd");
#endif
}

QString applicationFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\Program Files");
#else
    return QStringLiteral("/usr/bin");
#endif
}

QString applicationFilterPatterns()
{
#ifdef Q_OS_WIN
    return QStringLiteral(" (*.exe)");
#else
    // Programs here carry no extension.
    return QStringLiteral(" (*)");
#endif
}

QString anyFileFilterPatterns()
{
#ifdef Q_OS_WIN
    return QStringLiteral(" (*.*)");
#else
    // "*.*" would hide every file without a dot in its name.
    return QStringLiteral(" (*)");
#endif
}

QChar pathListSeparator()
{
#ifdef Q_OS_WIN
    return QLatin1Char(';');
#else
    return QLatin1Char(':');
#endif
}

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
    for (const QString &name : shipped.entryList({QStringLiteral("*.ini")}, QDir::Files)) {
        if (!target.exists(name))
            QFile::copy(shipped.filePath(name), target.filePath(name));
    }
}

QString launchScriptPath(const QString &batchFileName)
{
    return QStringLiteral("temp") + QDir::separator() + batchFileName;
}

} // namespace Platform
