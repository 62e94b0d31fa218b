#include "platform/desktopIconLookup.h"

#include "desktop/applicationFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

namespace {

// Entries that start their program through one of these name the wrapper, not
// the program: indexing them would give env or the shell some program's icon.
bool isWrapper(const QString &program)
{
    static const QSet<QString> wrappers = {QStringLiteral("env"), QStringLiteral("sh"), QStringLiteral("bash"),
                                           QStringLiteral("dash"), QStringLiteral("flatpak")};
    return wrappers.contains(QFileInfo(program).fileName());
}

QString canonicalProgram(const QString &program)
{
    if (program.isEmpty() || isWrapper(program))
        return QString();
    const QString found = program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
    return found.isEmpty() ? QString() : QFileInfo(found).canonicalFilePath();
}

// Platforms without a desktop theme of their own (offscreen, eglfs) name no
// icon theme and no folders to find one in; freedesktop's defaults serve.
void prepareIconTheme()
{
    static const bool prepared = [] {
        QStringList paths = QIcon::themeSearchPaths();
        for (const QString &folder : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
            const QString icons = folder + QStringLiteral("/icons");
            if (!paths.contains(icons) && QFileInfo(icons).isDir())
                paths.append(icons);
        }
        if (paths != QIcon::themeSearchPaths())
            QIcon::setThemeSearchPaths(paths);
        if (QIcon::themeName().isEmpty())
            QIcon::setThemeName(QStringLiteral("hicolor"));
        return true;
    }();
    Q_UNUSED(prepared)
}

} // namespace

const QHash<QString, QString> &DesktopIconLookup::desktopEntryIcons()
{
    static const QHash<QString, QString> icons = [] {
        QHash<QString, QString> found;
        const std::vector<std::string> folders = Desktop::applicationFolders(qgetenv("HOME").toStdString(),
                                                                             qgetenv("XDG_DATA_HOME").toStdString(),
                                                                             qgetenv("XDG_DATA_DIRS").toStdString());
        Desktop::forEachApplication(folders, [&found](const Desktop::InstalledApplication &application) {
            const QString icon = QString::fromStdString(application.entry.icon());
            if (icon.isEmpty())
                return;
            const std::vector<std::string> words = application.entry.execWords();
            for (const std::string &program :
                 {application.entry.tryExec(), words.empty() ? std::string() : words.front()}) {
                const QString canonical = canonicalProgram(QString::fromStdString(program));
                if (!canonical.isEmpty() && !found.contains(canonical))
                    found.insert(canonical, icon);
            }
        });
        return found;
    }();
    return icons;
}

QIcon DesktopIconLookup::programIcon(const QString &path)
{
    const QFileInfo program(path);
    const QString canonical = program.canonicalFilePath();
    const QString entryIcon = desktopEntryIcons().value(canonical);
    for (const QString &name : {entryIcon, program.fileName(), QFileInfo(canonical).fileName()}) {
        const QIcon icon = namedIcon(name);
        if (!icon.isNull())
            return icon;
    }
    return QIcon();
}

QIcon DesktopIconLookup::namedIcon(const QString &name)
{
    if (name.isEmpty())
        return QIcon();
    if (QDir::isAbsolutePath(name))
        return QFileInfo(name).isFile() ? QIcon(name) : QIcon();
    prepareIconTheme();
    const QIcon themed = QIcon::fromTheme(name);
    if (!themed.isNull())
        return themed;
    for (const QString &folder : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        for (const QString &suffix :
             {QString(), QStringLiteral(".png"), QStringLiteral(".svg"), QStringLiteral(".xpm")}) {
            const QString fileName = folder + QStringLiteral("/pixmaps/") + name + suffix;
            if (QFileInfo(fileName).isFile())
                return QIcon(fileName);
        }
    }
    return QIcon();
}
