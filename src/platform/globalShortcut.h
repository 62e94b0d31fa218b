#ifndef KORVANI_GLOBALSHORTCUT_H
#define KORVANI_GLOBALSHORTCUT_H

#include <QKeySequence>
#include <QObject>

class QSocketNotifier;
struct xcb_connection_t;

// A key that reaches Korvani wherever the keyboard focus is, grabbed on the X
// server of the display through a connection of its own. Where there is no X
// server (Windows, or a Wayland desktop) nothing can be grabbed: users bind
// a key to start "korvani" in their desktop's settings instead, and a second
// start brings the window forward.
class GlobalShortcut : public QObject
{
    Q_OBJECT

public:
    explicit GlobalShortcut(QObject *parent = nullptr);
    ~GlobalShortcut() override;

    // Grabs the first key of the sequence, releasing any key grabbed before.
    // An empty sequence grabs nothing. A key that another program holds, or
    // that cannot be grabbed here, writes one warning and returns false.
    bool setShortcut(const QKeySequence &sequence);

signals:
    void activated();

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
