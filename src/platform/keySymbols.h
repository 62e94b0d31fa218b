#ifndef KORVANI_KEYSYMBOLS_H
#define KORVANI_KEYSYMBOLS_H

#include <QString>

namespace Platform {

// A Qt key (without modifiers) as X and xkbcommon know it: its key symbol,
// the number that an X server grabs, and the symbol's name, as the desktop
// portal takes it ("space", "k", "F12", "Return"). Letters are their
// lower-case symbols, the key that is pressed. 0 and an empty name for a key
// that has none here.
quint32 keySymbol(int key);
QString keySymbolName(int key);

} // namespace Platform

#endif
