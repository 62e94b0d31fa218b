#include "records/jsonStringReader.h"

#include <QByteArray>

#include <cctype>
#include <cstring>

using simdjson::error_code;
using simdjson::SUCCESS;
namespace ondemand = simdjson::ondemand;

namespace {

constexpr std::string_view byteOrderMark("\xEF\xBB\xBF", 3);

std::string_view stringToken(ondemand::value &value)
{
    std::string_view token = value.raw_json_token();
    while (!token.empty() && token.back() != '"')
        token.remove_suffix(1);
    return token;
}

// The JSON escapes of a string token, where the parser refuses a \u escape
// of half a UTF-16 surrogate pair. Such a half is what the toolkit writes for
// a lone surrogate, which a Windows file name may hold: it is taken back.
bool unescapeLeniently(std::string_view token, QString *text)
{
    QString result;
    const char *position = token.data() + 1;
    const char *const end = token.data() + token.size() - 1;
    while (position < end) {
        const char *plain = position;
        while (plain < end && *plain != '\\')
            ++plain;
        result += JsonStringReader::text(std::string_view(position, size_t(plain - position)));
        position = plain;
        if (position == end)
            break;
        if (end - position < 2)
            return false;
        static const char escaped[] = "\"\\/bfnrt";
        static const char meant[] = "\"\\/\b\f\n\r\t";
        if (const char *found = position[1] ? std::strchr(escaped, position[1]) : nullptr) {
            result += QLatin1Char(meant[found - escaped]);
            position += 2;
            continue;
        }
        if (end - position < 6 || position[1] != 'u')
            return false;
        for (int digit = 2; digit < 6; ++digit) {
            if (!std::isxdigit(uchar(position[digit])))
                return false;
        }
        result += QChar(ushort(QByteArray(position + 2, 4).toUInt(nullptr, 16)));
        position += 6;
    }
    *text = result;
    return true;
}

} // namespace

error_code JsonStringReader::read(ondemand::value &value, QString *text)
{
    const std::string_view token = stringToken(value);
    if (token.size() >= 2 && token.find('\\') == std::string_view::npos) {
        *text = cached(token.substr(1, token.size() - 2));
        return SUCCESS;
    }
    std::string_view unescaped;
    if (value.get_string().get(unescaped) == SUCCESS) {
        *text = cached(unescaped);
        return SUCCESS;
    }
    return token.size() >= 2 && unescapeLeniently(token, text) ? SUCCESS : simdjson::STRING_ERROR;
}

error_code JsonStringReader::check(ondemand::value &value)
{
    std::string_view unescaped;
    if (value.get_string().get(unescaped) == SUCCESS)
        return SUCCESS;
    QString ignored;
    const std::string_view token = stringToken(value);
    return token.size() >= 2 && unescapeLeniently(token, &ignored) ? SUCCESS : simdjson::STRING_ERROR;
}

QString JsonStringReader::text(std::string_view bytes)
{
    int marks = 0;
    for (; bytes.substr(0, 3) == byteOrderMark; bytes.remove_prefix(3))
        ++marks;
    const QString rest = QString::fromUtf8(bytes.data(), int(bytes.size()));
    return marks > 0 ? QString(marks, QChar(0xFEFF)) + rest : rest;
}

QString JsonStringReader::cached(std::string_view bytes)
{
    // Longer strings are rarely repeated.
    if (bytes.size() > 256)
        return text(bytes);
    Slot &slot = m_slots[slotOf(bytes)];
    if (!slot.used || slot.bytes != bytes) {
        slot.bytes = bytes;
        slot.text = text(bytes);
        slot.used = true;
    }
    return slot.text;
}

// Only the length and the ends are looked at: two strings in one slot cost a
// string made anew, never a wrong one.
size_t JsonStringReader::slotOf(std::string_view bytes)
{
    quint64 hash = bytes.size();
    if (bytes.size() >= 8) {
        quint64 first, last;
        std::memcpy(&first, bytes.data(), 8);
        std::memcpy(&last, bytes.data() + bytes.size() - 8, 8);
        hash ^= first * 0x9e3779b97f4a7c15ULL ^ last * 0xc2b2ae3d27d4eb4fULL;
    } else {
        for (const char c : bytes)
            hash = hash * 31 + uchar(c);
    }
    return size_t(hash ^ (hash >> 32)) % slotCount;
}
