#include "platform/keySymbols.h"

#include <QChar>
#include <QHash>
#include <QtGlobal>

namespace {

struct NamedSymbol
{
    quint32 symbol;
    const char *name;
};

// The keys that are not characters, from X's keysymdef.h.
const QHash<int, NamedSymbol> &functionKeys()
{
    static const QHash<int, NamedSymbol> keys = {{Qt::Key_Escape, {0xff1b, "Escape"}},
                                                 {Qt::Key_Tab, {0xff09, "Tab"}},
                                                 {Qt::Key_Backspace, {0xff08, "BackSpace"}},
                                                 {Qt::Key_Return, {0xff0d, "Return"}},
                                                 {Qt::Key_Enter, {0xff8d, "KP_Enter"}},
                                                 {Qt::Key_Insert, {0xff63, "Insert"}},
                                                 {Qt::Key_Delete, {0xffff, "Delete"}},
                                                 {Qt::Key_Pause, {0xff13, "Pause"}},
                                                 {Qt::Key_Print, {0xff61, "Print"}},
                                                 {Qt::Key_Home, {0xff50, "Home"}},
                                                 {Qt::Key_End, {0xff57, "End"}},
                                                 {Qt::Key_Left, {0xff51, "Left"}},
                                                 {Qt::Key_Up, {0xff52, "Up"}},
                                                 {Qt::Key_Right, {0xff53, "Right"}},
                                                 {Qt::Key_Down, {0xff54, "Down"}},
                                                 {Qt::Key_PageUp, {0xff55, "Page_Up"}},
                                                 {Qt::Key_PageDown, {0xff56, "Page_Down"}}};
    return keys;
}

// The printable ASCII characters that are neither letters nor digits, whose
// Qt keys are their codes, as keysymdef.h names them.
const QHash<int, const char *> &punctuationNames()
{
    static const QHash<int, const char *> names = {
        {' ', "space"},        {'!', "exclam"},      {'"', "quotedbl"},    {'#', "numbersign"},  {'$', "dollar"},
        {'%', "percent"},      {'&', "ampersand"},   {'\'', "apostrophe"}, {'(', "parenleft"},   {')', "parenright"},
        {'*', "asterisk"},     {'+', "plus"},        {',', "comma"},       {'-', "minus"},       {'.', "period"},
        {'/', "slash"},        {':', "colon"},       {';', "semicolon"},   {'<', "less"},        {'=', "equal"},
        {'>', "greater"},      {'?', "question"},    {'@', "at"},          {'[', "bracketleft"}, {'\\', "backslash"},
        {']', "bracketright"}, {'^', "asciicircum"}, {'_', "underscore"},  {'`', "grave"},       {'{', "braceleft"},
        {'|', "bar"},          {'}', "braceright"},  {'~', "asciitilde"}};
    return names;
}

} // namespace

namespace Platform {

quint32 keySymbol(int key)
{
    // Latin-1 characters are their own symbols.
    if (key >= 0x20 && key <= 0xff)
        return QChar(key).toLower().unicode();
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return 0xffbe + (key - Qt::Key_F1);
    return functionKeys().value(key, {0, nullptr}).symbol;
}

QString keySymbolName(int key)
{
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return QStringLiteral("F%1").arg(key - Qt::Key_F1 + 1);
    if (const char *name = functionKeys().value(key, {0, nullptr}).name)
        return QLatin1String(name);
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return QString(QChar(key).toLower());
    if (const char *name = punctuationNames().value(key))
        return QLatin1String(name);
    // The other Latin-1 letters go without a name here: a desktop that gets
    // none lets the user choose the key.
    return QString();
}

} // namespace Platform
