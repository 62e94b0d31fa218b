#ifndef KORVANI_INTERFACEFONT_H
#define KORVANI_INTERFACEFONT_H

class QFont;

// Whether the font's Latin letters have widths of their own, as text in a
// proportional font has.
bool hasProportionalLatin(const QFont &font);

// Many Japanese fonts set Latin letters at one fixed width, and the desktop
// picks such a font for a Japanese locale: names and menu texts would read
// like a terminal's. When the application's font is one of them, it becomes
// an installed font that sets Latin proportionally and writes the same
// scripts, and the card fonts, where missing, take it as their substitute.
void useProportionalLatinFont();

#endif
