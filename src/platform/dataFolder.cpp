#include "platform/dataFolder.h"

#include "platform/fileAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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

QString DataFolder::locate(const QString &applicationDir)
{
    if (installedShare(applicationDir).isEmpty() && QFileInfo(applicationDir).isWritable())
        return QDir::cleanPath(QDir(applicationDir).absolutePath());
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

DataFolder::DataFolder(const QString &root)
    : m_root(root.isEmpty() ? QString() : QDir::cleanPath(QDir(root).absolutePath()))
{
}

QString DataFolder::launcherFile() const
{
    return m_root + QStringLiteral("/data/shortchut.json");
}

QString DataFolder::settingsFile() const
{
    return m_root + QStringLiteral("/data/settings.ini");
}

QString DataFolder::templateFolder() const
{
    return m_root + QStringLiteral("/data/db/") + templateSystem();
}

QString DataFolder::launchScriptFolder() const
{
    return m_root + QStringLiteral("/temp");
}

QString DataFolder::dragScriptFolder() const
{
    return m_root + QStringLiteral("/data/temp");
}

QString DataFolder::launchScriptPath(const QString &fileName) const
{
    return QDir::toNativeSeparators(launchScriptFolder() + QLatin1Char('/') + fileName);
}

QString DataFolder::runFolder() const
{
#ifndef Q_OS_WIN
    // The base directory specification has a relative path ignored.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime))
        return QDir::cleanPath(runtime) + QStringLiteral("/korvani");
#endif
    return m_root + QStringLiteral("/run");
}

void DataFolder::addShippedTemplates(const QString &applicationDir) const
{
    const QString share = installedShare(applicationDir);
    const QDir shipped(share.isEmpty() ? DataFolder(applicationDir).templateFolder()
                                       : share + QStringLiteral("/db/") + templateSystem());
    const QDir target(templateFolder());
    if (shipped == target || !shipped.exists())
        return;
    target.mkpath(QStringLiteral("."));
    // A template that cannot be copied (a full disk) is left out whole, to be
    // copied at a later start: none is left half written.
    for (const QString &name : shipped.entryList({QStringLiteral("*.ini")}, QDir::Files)) {
        QByteArray content;
        QString ignored;
        if (!target.exists(name)
            && Platform::readRegularFile(shipped.filePath(name), Platform::maxSettingsFileSize, &content, &ignored))
            Platform::writeNewFile(target.filePath(name), content, &ignored);
    }
}

bool DataFolder::prepare(const QString &applicationDir, QString *error) const
{
    // Another folder in its place would have the program read and rewrite
    // whatever launcher file happens to lie there.
    if (m_root.isEmpty() || !QDir().mkpath(m_root) || !QFileInfo(m_root).isWritable()) {
        *error = QCoreApplication::translate("Platform", "Korvani cannot keep its data in the folder %1.")
                     .arg(QDir::toNativeSeparators(m_root));
        return false;
    }
    // The entries, the settings and the batch files hold secrets.
    for (const QString &own : {QFileInfo(launcherFile()).path(), launchScriptFolder(), dragScriptFolder()})
        Platform::makePrivateFolder(own);
    addShippedTemplates(applicationDir);
    return true;
}
