#include "platform/globalShortcut.h"

#include <QGuiApplication>

#ifdef KORVANI_HAVE_XCB
#include "platform/x11GlobalShortcut.h"
#endif
#ifdef KORVANI_HAVE_PORTAL
#include "platform/portalGlobalShortcut.h"

namespace {

bool isWaylandSession()
{
    return qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace
#endif

GlobalShortcut::GlobalShortcut(QObject *parent)
    : QObject(parent)
{
}

GlobalShortcut *GlobalShortcut::forDesktop(QObject *parent)
{
#ifdef KORVANI_HAVE_PORTAL
    if (isWaylandSession())
        return new PortalGlobalShortcut(parent);
#endif
#ifdef KORVANI_HAVE_XCB
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return new X11GlobalShortcut(parent);
#endif
    Q_UNUSED(parent)
    return nullptr;
}
