#ifndef KORVANI_JSONSTRINGREADER_H
#define KORVANI_JSONSTRINGREADER_H

#include <QString>

#include <simdjson.h>

#include <string_view>

// Reads the string values of one JSON document. Entries repeat programs,
// descriptions, arguments and values: the strings read last are kept by their
// bytes as written in the document, and a repeated string is one string shared
// by every entry, with nothing made anew for it. The document must outlive
// the reader.
class JsonStringReader
{
public:
    // A string value, taken where it lies: the parser has checked its UTF-8,
    // and its own buffer stays untouched. A \u escape of half a UTF-16
    // surrogate pair, which the parser refuses, is what the toolkit writes for
    // a lone surrogate, as a Windows file name may hold: it is taken back.
    simdjson::error_code read(simdjson::ondemand::value &value, QString *text);
    // Whether a string value reads, by the same rules, without keeping it.
    static simdjson::error_code check(simdjson::ondemand::value &value);
    // The text of a key, by the same rules: the parser's own unescaping
    // refuses a lone surrogate in a key ("\ud800"), which is valid JSON.
    static simdjson::error_code key(simdjson::ondemand::field &field, QString *text);
    static simdjson::error_code checkKey(simdjson::ondemand::field &field);

    // The text of UTF-8 bytes the parser has checked. A byte order mark at the
    // start is a character like any other, which QString::fromUtf8 would drop
    // (and the toolkit's parser with it, from some strings and not others):
    // a key would then be kept as a known one and saved twice, and a name
    // would lose it at every save.
    static QString text(std::string_view bytes);

private:
    static size_t slotOf(std::string_view bytes);

    struct Slot
    {
        std::string_view bytes;
        QString text;
        bool used = false;
    };
    static constexpr size_t slotCount = 512;
    Slot m_slots[slotCount];
};

#endif
