#ifndef KORVANI_X11GLOBALSHORTCUT_H
#define KORVANI_X11GLOBALSHORTCUT_H

#include "platform/globalShortcut.h"

class QSocketNotifier;
struct xcb_connection_t;

// The global shortcut of an X11 session: its key grabbed on the X server of
// the display, through a connection of its own.
class X11GlobalShortcut : public GlobalShortcut
{
    Q_OBJECT

public:
    explicit X11GlobalShortcut(QObject *parent = nullptr);
    ~X11GlobalShortcut() override;

    // A key that another program holds, or that cannot be grabbed here,
    // writes one warning and returns false.
    bool setShortcut(const QKeySequence &sequence) override;

private slots:
    void readEvents();

private:
    void release();

    xcb_connection_t *m_connection = nullptr;
    QSocketNotifier *m_notifier = nullptr;
    quint8 m_keycode = 0;
    quint16 m_modifiers = 0;
};

#endif
