#include "records/jsonValueCheck.h"

#include "records/jsonStringReader.h"

#include <utility>

using simdjson::error_code;
using simdjson::SUCCESS;
using simdjson::ondemand::json_type;
namespace ondemand = simdjson::ondemand;

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A scalar's text as the parser cut it out, without the blanks after it.
std::string_view tokenText(ondemand::value &value)
{
    std::string_view token = value.raw_json_token();
    while (!token.empty() && isBlank(token.back()))
        token.remove_suffix(1);
    return token;
}

// The parts of a JSON number's text: -? int (. fraction)? ([eE] [+-]? exponent)?
struct NumberParts
{
    bool negative = false;
    std::string_view integer;
    std::string_view fraction;
    bool negativeExponent = false;
    std::string_view exponent;
};

size_t digitsFrom(std::string_view text, size_t position)
{
    while (position < text.size() && isDigit(text[position]))
        ++position;
    return position;
}

bool splitNumber(std::string_view text, NumberParts *parts)
{
    size_t position = 0;
    parts->negative = !text.empty() && text[0] == '-';
    if (parts->negative)
        ++position;
    // No leading zeros: 0, or a digit 1 to 9 and any more.
    size_t end = position < text.size() && text[position] == '0' ? position + 1 : digitsFrom(text, position);
    if (end == position)
        return false;
    parts->integer = text.substr(position, end - position);
    position = end;
    if (position < text.size() && text[position] == '.') {
        end = digitsFrom(text, ++position);
        if (end == position)
            return false;
        parts->fraction = text.substr(position, end - position);
        position = end;
    }
    if (position < text.size() && (text[position] == 'e' || text[position] == 'E')) {
        ++position;
        if (position < text.size() && (text[position] == '+' || text[position] == '-'))
            parts->negativeExponent = text[position++] == '-';
        end = digitsFrom(text, position);
        if (end == position)
            return false;
        parts->exponent = text.substr(position, end - position);
        position = end;
    }
    return position == text.size();
}

} // namespace

error_code checkJsonValue(ondemand::value value, int depth)
{
    json_type type;
    if (const error_code error = value.type().get(type))
        return error;
    if ((type == json_type::array || type == json_type::object) && depth > maxJsonDepth)
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
            if (const error_code error = checkJsonValue(item, depth + 1))
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
            if (const error_code error = std::move(member).get(field))
                return error;
            if (const error_code error = JsonStringReader::checkKey(field))
                return error;
            if (const error_code error = checkJsonValue(field.value(), depth + 1))
                return error;
        }
        return SUCCESS;
    }
    case json_type::number:
        // Left where it is: the array or object around it steps over it.
        return isJsonNumber(value) ? SUCCESS : simdjson::NUMBER_ERROR;
    case json_type::string:
        return JsonStringReader::check(value);
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

error_code readJsonText(ondemand::value value, int depth, std::string_view *text)
{
    json_type type;
    if (const error_code error = value.type().get(type))
        return error;
    const std::string_view token = value.raw_json_token();
    if (type != json_type::array && type != json_type::object) {
        *text = tokenText(value);
        return checkJsonValue(value, depth);
    }
    // An array or object ends where the parser stands once it has walked it.
    const char *end = nullptr;
    if (const error_code error = checkJsonValue(value, depth))
        return error;
    if (const error_code error = value.current_location().get(end))
        return error;
    while (end > token.data() && isBlank(end[-1]))
        --end;
    *text = std::string_view(token.data(), size_t(end - token.data()));
    return SUCCESS;
}

bool isJsonNumber(ondemand::value &value)
{
    NumberParts parts;
    return splitNumber(tokenText(value), &parts);
}

bool jsonWholeNumber(ondemand::value &value, int *number)
{
    NumberParts parts;
    if (!splitNumber(tokenText(value), &parts))
        return false;
    // The digits of the integer and the fraction as one row, and how many of
    // them stand before the point once the exponent has moved it.
    const qint64 integerDigits = qint64(parts.integer.size());
    const qint64 digits = integerDigits + qint64(parts.fraction.size());
    const auto digit = [&](qint64 at) {
        return at < integerDigits ? parts.integer[size_t(at)] : parts.fraction[size_t(at - integerDigits)];
    };
    qint64 exponent = 0;
    for (const char c : parts.exponent)
        exponent = qMin(exponent * 10 + (c - '0'), qint64(1) << 40);
    const qint64 point = integerDigits + (parts.negativeExponent ? -exponent : exponent);
    qint64 first = 0;
    while (first < digits && digit(first) == '0')
        ++first;
    if (first == digits) {
        *number = 0;
        return true;
    }
    // Digits after the point must all be zeros; ten digits before it are
    // already more than an int holds.
    for (qint64 at = qMax(point, qint64(0)); at < digits; ++at) {
        if (digit(at) != '0')
            return false;
    }
    if (point - first > 10)
        return false;
    qint64 whole = 0;
    for (qint64 at = first; at < point; ++at)
        whole = whole * 10 + (at < digits ? digit(at) - '0' : 0);
    if (whole > (parts.negative ? qint64(1) << 31 : (qint64(1) << 31) - 1))
        return false;
    *number = int(parts.negative ? -whole : whole);
    return true;
}
