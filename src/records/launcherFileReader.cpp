#include "records/launcherFileReader.h"

#include <QHash>

#include <simdjson.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

static_assert(launcherFilePadding >= int(simdjson::SIMDJSON_PADDING), "the parser reads this far past the end");

namespace {

using simdjson::error_code;
using simdjson::SUCCESS;
using simdjson::ondemand::json_type;
namespace ondemand = simdjson::ondemand;

// Arrays and objects nest at most this deep, as the toolkit's own JSON
// parser has it; deeper files are not JSON lists of entries.
constexpr int maxDepth = 1024;

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
        result += QString::fromUtf8(position, int(plain - position));
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

// The strings read last, by their UTF-8 bytes in the file. Entries repeat
// programs, descriptions, arguments and values: a repeated string is one
// string shared by every entry, with nothing made anew for it.
class StringCache
{
public:
    QString text(std::string_view bytes)
    {
        // Longer strings are rarely repeated.
        if (bytes.size() > 256)
            return QString::fromUtf8(bytes.data(), int(bytes.size()));
        Slot &slot = m_slots[qHashBits(bytes.data(), bytes.size()) % slotCount];
        if (!slot.used || slot.bytes != bytes) {
            slot.bytes = bytes;
            slot.text = QString::fromUtf8(bytes.data(), int(bytes.size()));
            slot.used = true;
        }
        return slot.text;
    }

private:
    struct Slot
    {
        std::string_view bytes;
        QString text;
        bool used = false;
    };
    static constexpr size_t slotCount = 512;
    Slot m_slots[slotCount];
};

// A string value. Most strings hold no escapes: those are taken where they
// lie, as the parser has checked their UTF-8 and their characters, and its
// own buffer stays untouched.
error_code readStringValue(ondemand::value &value, QString *text, StringCache *cache)
{
    const std::string_view token = stringToken(value);
    if (token.size() >= 2 && token.find('\\') == std::string_view::npos) {
        *text = cache->text(token.substr(1, token.size() - 2));
        return SUCCESS;
    }
    std::string_view unescaped;
    if (value.get_string().get(unescaped) == SUCCESS) {
        *text = cache->text(unescaped);
        return SUCCESS;
    }
    return token.size() >= 2 && unescapeLeniently(token, text) ? SUCCESS : simdjson::STRING_ERROR;
}

// A value that is not taken is walked all the same: the parser checks only
// what it is asked for, and the file must be valid JSON throughout.
error_code skipValue(ondemand::value value, int depth)
{
    json_type type;
    if (const error_code error = value.type().get(type))
        return error;
    if ((type == json_type::array || type == json_type::object) && depth > maxDepth)
        return simdjson::DEPTH_ERROR;
    switch (type) {
    case json_type::array: {
        ondemand::array array;
        if (const error_code error = value.get_array().get(array))
            return error;
        for (auto element : array) {
            ondemand::value item;
            if (const error_code error = std::move(element).get(item))
                return error;
            if (const error_code error = skipValue(item, depth + 1))
                return error;
        }
        return SUCCESS;
    }
    case json_type::object: {
        ondemand::object object;
        if (const error_code error = value.get_object().get(object))
            return error;
        for (auto member : object) {
            ondemand::field field;
            std::string_view key;
            if (const error_code error = std::move(member).get(field))
                return error;
            if (const error_code error = field.unescaped_key().get(key))
                return error;
            if (const error_code error = skipValue(field.value(), depth + 1))
                return error;
        }
        return SUCCESS;
    }
    case json_type::number: {
        double number;
        return value.get_double().get(number);
    }
    case json_type::string: {
        std::string_view unescaped;
        if (value.get_string().get(unescaped) == SUCCESS)
            return SUCCESS;
        QString ignored;
        const std::string_view token = stringToken(value);
        return token.size() >= 2 && unescapeLeniently(token, &ignored) ? SUCCESS : simdjson::STRING_ERROR;
    }
    case json_type::boolean: {
        bool boolean;
        return value.get_bool().get(boolean);
    }
    case json_type::null: {
        bool isNull = false;
        const error_code error = value.is_null().get(isNull);
        return error ? error : isNull ? SUCCESS : simdjson::N_ATOM_ERROR;
    }
    }
    return simdjson::INCORRECT_TYPE;
}

// Reads the entries of one document.
class EntryReader
{
public:
    error_code readEntry(ondemand::value value, ApplicationData *entry);

private:
    // Whether the value is of the expected type; if not, it is walked and its
    // loss noted, and the field keeps its default.
    bool take(ondemand::value &value, json_type expected, const char *key, error_code *error);
    error_code readString(ondemand::value value, const char *key, QString *text);
    error_code readBool(ondemand::value value, const char *key, bool *boolean);
    error_code readInt(ondemand::value value, const char *key, int *integer);
    error_code readVariables(ondemand::value value, const char *key, VariableDataList *variables);
    error_code readVariable(ondemand::value value, const char *key, VariableData *variable);
    error_code skipField(ondemand::field &field, int depth);

    StringCache m_strings;
};

bool EntryReader::take(ondemand::value &value, json_type expected, const char *key, error_code *error)
{
    Q_UNUSED(key)
    json_type type;
    if ((*error = value.type().get(type)))
        return false;
    if (type == expected)
        return true;
    *error = skipValue(value, 3);
    return false;
}

error_code EntryReader::readString(ondemand::value value, const char *key, QString *text)
{
    error_code error;
    *text = QString();
    return take(value, json_type::string, key, &error) ? readStringValue(value, text, &m_strings) : error;
}

error_code EntryReader::readBool(ondemand::value value, const char *key, bool *boolean)
{
    error_code error;
    *boolean = false;
    return take(value, json_type::boolean, key, &error) ? value.get_bool().get(*boolean) : error;
}

error_code EntryReader::readInt(ondemand::value value, const char *key, int *integer)
{
    error_code error;
    *integer = 0;
    double number;
    if (!take(value, json_type::number, key, &error))
        return error;
    if ((error = value.get_double().get(number)))
        return error;
    if (std::floor(number) == number && number >= std::numeric_limits<int>::min()
        && number <= std::numeric_limits<int>::max())
        *integer = static_cast<int>(number);
    return SUCCESS;
}

error_code EntryReader::readVariables(ondemand::value value, const char *key, VariableDataList *variables)
{
    error_code error;
    variables->clear();
    ondemand::array array;
    if (!take(value, json_type::array, key, &error))
        return error;
    if ((error = value.get_array().get(array)))
        return error;
    for (auto element : array) {
        ondemand::value item;
        VariableData variable;
        if ((error = std::move(element).get(item)) || (error = readVariable(item, key, &variable)))
            return error;
        variables->append(variable);
    }
    return SUCCESS;
}

error_code EntryReader::readVariable(ondemand::value value, const char *key, VariableData *variable)
{
    Q_UNUSED(key)
    json_type type;
    error_code error;
    if ((error = value.type().get(type)))
        return error;
    if (type != json_type::object)
        return skipValue(value, 4);
    ondemand::object object;
    if ((error = value.get_object().get(object)))
        return error;
    QString text;
    for (auto member : object) {
        ondemand::field field;
        if ((error = std::move(member).get(field)))
            return error;
        const ondemand::raw_json_string name = field.key();
        if (name.unsafe_is_equal("name")) {
            error = readString(field.value(), "name", &text);
            variable->setName(text);
        } else if (name.unsafe_is_equal("value")) {
            error = readString(field.value(), "value", &text);
            variable->setValue(text);
        } else {
            error = skipField(field, 5);
        }
        if (error)
            return error;
    }
    return SUCCESS;
}

// A key Korvani does not know.
error_code EntryReader::skipField(ondemand::field &field, int depth)
{
    std::string_view key;
    const error_code error = field.unescaped_key().get(key);
    return error ? error : skipValue(field.value(), depth);
}

error_code EntryReader::readEntry(ondemand::value value, ApplicationData *entry)
{
    json_type type;
    error_code error;
    if ((error = value.type().get(type)))
        return error;
    if (type != json_type::object)
        return skipValue(value, 2);
    ondemand::object object;
    if ((error = value.get_object().get(object)))
        return error;
    QString name, description, path, preScript;
    VariableDataList arguments, environments;
    bool favorite = false;
    int tag = 0;
    for (auto member : object) {
        ondemand::field field;
        if ((error = std::move(member).get(field)))
            return error;
        // Compared as written; a key spelt with escapes counts as another key.
        const ondemand::raw_json_string key = field.key();
        if (key.unsafe_is_equal("name"))
            error = readString(field.value(), "name", &name);
        else if (key.unsafe_is_equal("description"))
            error = readString(field.value(), "description", &description);
        else if (key.unsafe_is_equal("path"))
            error = readString(field.value(), "path", &path);
        else if (key.unsafe_is_equal("preScript"))
            error = readString(field.value(), "preScript", &preScript);
        else if (key.unsafe_is_equal("favorite"))
            error = readBool(field.value(), "favorite", &favorite);
        else if (key.unsafe_is_equal("tag"))
            error = readInt(field.value(), "tag", &tag);
        else if (key.unsafe_is_equal("arguments"))
            error = readVariables(field.value(), "arguments", &arguments);
        else if (key.unsafe_is_equal("environments"))
            error = readVariables(field.value(), "environments", &environments);
        else
            error = skipField(field, 3);
        if (error)
            return error;
    }
    *entry = ApplicationData(name, description, path, preScript, arguments, environments, favorite, tag);
    return SUCCESS;
}

} // namespace

bool parseLauncherData(const QByteArray &content, ApplicationDataList *list)
{
    list->clear();
    QByteArray padded;
    const char *data = content.constData();
    if (content.capacity() - content.size() < launcherFilePadding) {
        padded.reserve(content.size() + launcherFilePadding);
        padded.append(content.constData(), content.size());
        data = padded.constData();
    }
    int size = content.size();
    // A byte order mark is taken at the very start, and only there.
    if (content.startsWith("\xEF\xBB\xBF")) {
        data += 3;
        size -= 3;
    }

    ondemand::parser parser;
    ondemand::document document;
    ondemand::array array;
    if (parser.iterate(data, size_t(size), size_t(size) + launcherFilePadding).get(document)
        || document.get_array().get(array))
        return false;
    // Large: kept off the stack.
    const auto reader = std::make_unique<EntryReader>();
    ApplicationDataList entries;
    for (auto element : array) {
        ondemand::value value;
        ApplicationData entry;
        if (std::move(element).get(value) || reader->readEntry(value, &entry))
            return false;
        entries.append(entry);
    }
    // Nothing may follow the array.
    const char *rest = nullptr;
    if (document.current_location().get(rest) == SUCCESS)
        return false;
    *list = entries;
    return true;
}
