#include "platform/desktopIconLookup.h"

#include "desktop/iconTheme.h"
#include "platform/desktopEntryIndex.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QStandardPaths>
#include <QWidget>

#include <algorithm>
#include <memory>

namespace {

// Icons are decoded only from regular files that cost little to decode: a
// FIFO would block the drawing, a huge SVG take seconds and hundreds of MiB to
// read, and a small PNG may hold an image of gigabytes. An SVG is drawn at the
// size asked for, but only under the suffix .svg: under another, Qt would draw
// it at the size it declares, and a compressed one (.svgz, which icon themes
// do not use) may unpack to any size.
bool fitsAsIcon(const QString &path)
{
    const QFileInfo file(path);
    if (!file.isFile() || file.size() > DesktopIconLookup::maxIconFileSize)
        return false;
    if (file.suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0)
        return file.size() <= DesktopIconLookup::maxSvgFileSize;
    QImageReader reader(path);
    if (reader.format().startsWith("svg"))
        return false;
    // A format that does not tell its size from its header is read whole.
    const QSize size = reader.size();
    return !size.isValid()
        || (size.width() <= DesktopIconLookup::maxIconSide && size.height() <= DesktopIconLookup::maxIconSide);
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

// The files the icon theme holds for an icon name.
QStringList themeIconFiles(const QString &name)
{
    // The themes' folders are looked at once, unless the theme changes.
    static std::unique_ptr<Desktop::IconThemes> themes;
    static QString themesKey;
    const QString key = QIcon::themeName() + QLatin1Char('\n') + QIcon::themeSearchPaths().join(QLatin1Char('\n'));
    if (!themes || key != themesKey) {
        std::vector<std::string> searchPaths;
        for (const QString &path : QIcon::themeSearchPaths())
            searchPaths.push_back(path.toStdString());
        themes = std::make_unique<Desktop::IconThemes>(QIcon::themeName().toStdString(), std::move(searchPaths));
        themesKey = key;
    }
    QStringList files;
    for (const std::string &file : themes->files(name.toStdString()))
        files.append(QString::fromStdString(file));
    return files;
}

// An icon of those of a theme's files that fit: drawing picks among them by
// size, from the scalable one where there is one.
QIcon iconOfFiles(QStringList files)
{
    files.erase(std::remove_if(files.begin(), files.end(), [](const QString &file) { return !fitsAsIcon(file); }),
                files.end());
    std::stable_partition(files.begin(), files.end(),
                          [](const QString &file) { return file.endsWith(QLatin1String(".svg")); });
    QIcon icon;
    for (const QString &file : files)
        icon.addFile(file);
    return icon;
}

} // namespace

bool DesktopIconLookup::entriesIndexed()
{
    DesktopEntryIndex *index = DesktopEntryIndex::instance();
    static const bool connected = QObject::connect(index, &DesktopEntryIndex::ready, index, [] {
        // Cards drawn meanwhile show the icons found without the entries.
        for (QWidget *widget : QApplication::topLevelWidgets())
            widget->update();
    });
    Q_UNUSED(connected)
    return index->isReady();
}

QIcon DesktopIconLookup::programIcon(const QString &path)
{
    const QFileInfo program(path);
    const QString canonical = program.canonicalFilePath();
    const QString entryIcon = entriesIndexed() ? DesktopEntryIndex::instance()->programIcon(canonical) : QString();
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
        return fitsAsIcon(name) ? QIcon(name) : QIcon();
    prepareIconTheme();
    const QStringList themed = themeIconFiles(name);
    if (!themed.isEmpty())
        return iconOfFiles(themed);
    for (const QString &folder : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        for (const QString &suffix :
             {QString(), QStringLiteral(".png"), QStringLiteral(".svg"), QStringLiteral(".xpm")}) {
            const QString fileName = folder + QStringLiteral("/pixmaps/") + name + suffix;
            if (QFileInfo(fileName).isFile())
                return fitsAsIcon(fileName) ? QIcon(fileName) : QIcon();
        }
    }
    return QIcon();
}
