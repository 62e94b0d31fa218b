#include "platform/programIconEngine.h"

#include "platform/desktopIconLookup.h"
#include "platform/platform.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QHash>

namespace {

// An icon found for a program. One found before the desktop entries were read
// is provisional: once they are, the program is looked up again.
struct FoundIcon
{
    QIcon icon;
    bool provisional = false;
};

// Icons found so far, by path and by what was at the path then. They are never
// destroyed: their pixmaps cannot be released once the application is gone.
QHash<QString, FoundIcon> &foundIcons()
{
    static auto *icons = new QHash<QString, FoundIcon>;
    return *icons;
}

QString cacheKey(const QString &path)
{
    const QFileInfo file(path);
    const QChar kind = file.isDir() ? QLatin1Char('d') : file.exists() ? QLatin1Char('f') : QLatin1Char('-');
    return kind + path;
}

FoundIcon lookUp(const QString &path)
{
    FoundIcon found;
    if (Platform::freedesktopIcons() && QFileInfo(path).isFile()) {
        found.provisional = !DesktopIconLookup::entriesIndexed();
        found.icon = DesktopIconLookup::programIcon(path);
        if (!found.icon.isNull())
            return found;
    }
    // The provider keeps the style's icons once drawn, so every entry shares
    // them. Like the icons found, it is never destroyed.
    static const QFileIconProvider *provider = new QFileIconProvider;
    if (QFile::exists(path))
        found.icon = provider->icon(QFileInfo(path));
    else
        found.icon = provider->icon(QFileIconProvider::File);
    return found;
}

} // namespace

QIcon ProgramIconEngine::icon(const QString &path)
{
    return QIcon(new ProgramIconEngine(path));
}

void ProgramIconEngine::remember(const QString &path, const QIcon &icon)
{
    if (!icon.isNull())
        foundIcons().insert(cacheKey(path), FoundIcon{icon, false});
}

ProgramIconEngine::ProgramIconEngine(const QString &path)
    : m_path(path)
{
}

const QIcon &ProgramIconEngine::resolved() const
{
    if (!m_resolved || (m_provisional && DesktopIconLookup::entriesIndexed())) {
        const QString key = cacheKey(m_path);
        auto found = foundIcons().find(key);
        if (found == foundIcons().end() || (found->provisional && DesktopIconLookup::entriesIndexed()))
            found = foundIcons().insert(key, lookUp(m_path));
        m_icon = found->icon;
        m_provisional = found->provisional;
        m_resolved = true;
    }
    return m_icon;
}

void ProgramIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state)
{
    resolved().paint(painter, rect, Qt::AlignCenter, mode, state);
}

QSize ProgramIconEngine::actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    return resolved().actualSize(size, mode, state);
}

QPixmap ProgramIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    return resolved().pixmap(size, mode, state);
}

#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
QList<QSize> ProgramIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state) const
#else
QList<QSize> ProgramIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state)
#endif
{
    return resolved().availableSizes(mode, state);
}

#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
QString ProgramIconEngine::iconName() const
#else
QString ProgramIconEngine::iconName()
#endif
{
    return resolved().name();
}

QString ProgramIconEngine::key() const
{
    return QStringLiteral("ProgramIconEngine");
}

QIconEngine *ProgramIconEngine::clone() const
{
    return new ProgramIconEngine(*this);
}

void ProgramIconEngine::virtual_hook(int id, void *data)
{
    // Answered without a lookup: an icon whose program is unknown still shows
    // the generic file icon, so it is never null.
    if (id == IsNullHook) {
        *static_cast<bool *>(data) = false;
        return;
    }
    QIconEngine::virtual_hook(id, data);
}
