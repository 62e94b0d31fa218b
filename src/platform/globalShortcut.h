#ifndef KORVANI_GLOBALSHORTCUT_H
#define KORVANI_GLOBALSHORTCUT_H

#include <QKeySequence>
#include <QObject>

// A key that reaches Korvani wherever the keyboard focus is, in the way the
// desktop offers one: a grab on the X server of an X11 session, the desktop
// portal's GlobalShortcuts in a Wayland session. Where neither is had, users
// bind a key to start "korvani" in their desktop's settings instead, and a
// second start brings the window forward.
class GlobalShortcut : public QObject
{
    Q_OBJECT

public:
    // The kind this desktop offers, or none (Windows, or another platform
    // without an X server, such as offscreen). A Wayland session takes the
    // portal whatever Qt platform plugin draws the window: under XWayland an
    // X11 grab catches no key pressed in other programs' windows.
    static GlobalShortcut *forDesktop(QObject *parent);

    // Takes the first key of the sequence, giving up any key taken before. An
    // empty sequence takes nothing. Where it fails, one warning is written and
    // Korvani goes on without it: false when that is known at once.
    virtual bool setShortcut(const QKeySequence &sequence) = 0;

signals:
    void activated();

protected:
    explicit GlobalShortcut(QObject *parent = nullptr);
};

#endif
