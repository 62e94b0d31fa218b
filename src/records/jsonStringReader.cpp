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

// The text of a string as written between its quotes. The parser has checked
// its UTF-8; the escapes are taken here rather than in the parser's own
// buffer, which would grow by every escaped string of the document. A \u
// escape of half a UTF-16 surrogate pair, which the parser would refuse, is
// what the toolkit writes for a lone surrogate, as a Windows file name may
// hold: it is taken back.
bool unescape(std::string_view written, QString *text)
{
    QString result;
    result.reserve(int(written.size()));
    const char *position = written.data();
    const char *const end = position + written.size();
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

// A key as written between its quotes. The parser has found where its string
// ends, so the closing quote is there to be found.
std::string_view keyBytes(ondemand::field &field)
{
    const char *const start = field.key().raw();
    const char *end = start;
    while (*end != '"')
        end += *end == '\\' ? 2 : 1;
    return std::string_view(start, size_t(end - start));
}

bool fromJson(std::string_view written, QString *text)
{
    if (written.find('\\') != std::string_view::npos)
        return unescape(written, text);
    *text = JsonStringReader::text(written);
    return true;
}

} // namespace

error_code JsonStringReader::read(ondemand::value &value, QString *text)
{
    const std::string_view token = stringToken(value);
    if (token.size() < 2)
        return simdjson::STRING_ERROR;
    const std::string_view written = token.substr(1, token.size() - 2);
    // Longer strings are rarely repeated.
    if (written.size() > 256)
        return fromJson(written, text) ? SUCCESS : simdjson::STRING_ERROR;
    Slot &slot = m_slots[slotOf(written)];
    if (!slot.used || slot.bytes != written) {
        if (!fromJson(written, &slot.text)) {
            slot.used = false;
            return simdjson::STRING_ERROR;
        }
        slot.bytes = written;
        slot.used = true;
    }
    *text = slot.text;
    return SUCCESS;
}

error_code JsonStringReader::check(ondemand::value &value)
{
    const std::string_view token = stringToken(value);
    if (token.size() < 2)
        return simdjson::STRING_ERROR;
    // Only escapes can be wrong: the parser has checked the UTF-8.
    const std::string_view written = token.substr(1, token.size() - 2);
    QString ignored;
    if (written.find('\\') != std::string_view::npos && !unescape(written, &ignored))
        return simdjson::STRING_ERROR;
    // Taken, so that the document reads on after it.
    ondemand::raw_json_string taken;
    return value.get_raw_json_string().get(taken);
}

error_code JsonStringReader::key(ondemand::field &field, QString *text)
{
    return fromJson(keyBytes(field), text) ? SUCCESS : simdjson::STRING_ERROR;
}

error_code JsonStringReader::checkKey(ondemand::field &field)
{
    const std::string_view written = keyBytes(field);
    QString ignored;
    return written.find('\\') == std::string_view::npos || unescape(written, &ignored) ? SUCCESS
                                                                                       : simdjson::STRING_ERROR;
}

QString JsonStringReader::text(std::string_view bytes)
{
    int marks = 0;
    for (; bytes.substr(0, 3) == byteOrderMark; bytes.remove_prefix(3))
        ++marks;
    const QString rest = QString::fromUtf8(bytes.data(), int(bytes.size()));
    return marks > 0 ? QString(marks, QChar(0xFEFF)) + rest : rest;
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
