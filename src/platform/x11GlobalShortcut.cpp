#include "platform/x11GlobalShortcut.h"

#include "platform/keySymbols.h"

#include <QSocketNotifier>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>

namespace {

quint16 keyModifiers(int key)
{
    quint16 modifiers = 0;
    if (key & Qt::ShiftModifier)
        modifiers |= XCB_MOD_MASK_SHIFT;
    if (key & Qt::ControlModifier)
        modifiers |= XCB_MOD_MASK_CONTROL;
    if (key & Qt::AltModifier)
        modifiers |= XCB_MOD_MASK_1;
    if (key & Qt::MetaModifier)
        modifiers |= XCB_MOD_MASK_4;
    return modifiers;
}

// The grab must hold whether Caps Lock and Num Lock are on or not.
const quint16 lockCombinations[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

} // namespace

X11GlobalShortcut::X11GlobalShortcut(QObject *parent)
    : GlobalShortcut(parent)
{
}

X11GlobalShortcut::~X11GlobalShortcut()
{
    release();
}

bool X11GlobalShortcut::setShortcut(const QKeySequence &sequence)
{
    release();
    if (sequence.isEmpty())
        return true;
    const QString text = sequence.toString(QKeySequence::PortableText);
    const int key = sequence[0];
    const xcb_keysym_t symbol = Platform::keySymbol(key & ~Qt::KeyboardModifierMask);
    if (symbol == 0) {
        qWarning("Korvani: the global shortcut %s has a key that cannot be grabbed.", qPrintable(text));
        return false;
    }
    m_connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_connection)) {
        qWarning("Korvani: the global shortcut %s cannot be grabbed without an X server.", qPrintable(text));
        release();
        return false;
    }
    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(m_connection);
    xcb_keycode_t *keycodes = xcb_key_symbols_get_keycode(symbols, symbol);
    m_keycode = keycodes ? keycodes[0] : 0;
    std::free(keycodes);
    xcb_key_symbols_free(symbols);
    m_modifiers = keyModifiers(key);

    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    bool grabbed = m_keycode != 0;
    for (const quint16 locks : lockCombinations) {
        if (!grabbed)
            break;
        const xcb_void_cookie_t cookie = xcb_grab_key_checked(m_connection, 1, root, m_modifiers | locks, m_keycode,
                                                              XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t *error = xcb_request_check(m_connection, cookie)) {
            std::free(error);
            grabbed = false;
        }
    }
    if (!grabbed) {
        qWarning("Korvani: the global shortcut %s is taken by another program.", qPrintable(text));
        release();
        return false;
    }
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11GlobalShortcut::readEvents);
    // Checking the grabs may have queued events already.
    readEvents();
    return true;
}

void X11GlobalShortcut::readEvents()
{
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        const bool pressed = (event->response_type & 0x7f) == XCB_KEY_PRESS;
        std::free(event);
        if (pressed)
            emit activated();
    }
}

void X11GlobalShortcut::release()
{
    delete m_notifier;
    m_notifier = nullptr;
    // Closing the connection ends its grabs.
    if (m_connection)
        xcb_disconnect(m_connection);
    m_connection = nullptr;
}
