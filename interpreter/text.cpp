#include "text.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>

namespace Cmd {

std::string unexpectedWord(std::string_view word)
{
    return std::string(word) + " was unexpected at this time.";
}

std::string fileNotFoundNamed(std::string_view name)
{
    return "The system cannot find the file " + std::string(name) + ".";
}

bool equalsIgnoreCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (toLower(a[i]) != toLower(b[i]))
            return false;
    }
    return true;
}

int compareIgnoreCase(std::string_view a, std::string_view b)
{
    const size_t size = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < size; ++i) {
        const unsigned char x = static_cast<unsigned char>(toLower(a[i]));
        const unsigned char y = static_cast<unsigned char>(toLower(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string toLower(std::string_view text)
{
    std::string lower(text);
    for (char &c : lower)
        c = toLower(c);
    return lower;
}

std::string_view trimLeft(std::string_view text)
{
    size_t start = 0;
    while (start < text.size() && isBlank(text[start]))
        ++start;
    return text.substr(start);
}

std::string_view trimRight(std::string_view text)
{
    size_t end = text.size();
    while (end > 0 && isBlank(text[end - 1]))
        --end;
    return text.substr(0, end);
}

std::string_view trim(std::string_view text)
{
    return trimRight(trimLeft(text));
}

std::string_view firstWord(std::string_view text)
{
    size_t end = 0;
    while (end < text.size() && !isBlank(text[end]))
        ++end;
    return text.substr(0, end);
}

std::string_view skipDelimiters(std::string_view text)
{
    size_t start = 0;
    while (start < text.size() && isDelimiter(text[start]))
        ++start;
    return text.substr(start);
}

bool startsWithWord(std::string_view text, std::string_view word)
{
    return text.size() >= word.size() && equalsIgnoreCase(text.substr(0, word.size()), word)
        && (text.size() == word.size() || isBlank(text[word.size()]));
}

std::string removeQuotes(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        if (c != '"')
            result += c;
    }
    return result;
}

std::string_view stripSurroundingQuotes(std::string_view text)
{
    if (!text.empty() && text.front() == '"')
        text.remove_prefix(1);
    if (!text.empty() && text.back() == '"')
        text.remove_suffix(1);
    return text;
}

bool parseInteger(std::string_view text, long long *value)
{
    if (text.empty() || text.size() > 64)
        return false;
    const std::string copy(text);
    errno = 0;
    char *end = nullptr;
    const long long number = std::strtoll(copy.c_str(), &end, 0);
    if ((errno != 0 && errno != ERANGE) || end == copy.c_str() || *end != '\0' || isBlank(copy.front()))
        return false;
    *value = std::clamp<long long>(number, INT32_MIN, INT32_MAX);
    return true;
}

bool parseDecimal(std::string_view text, long long *value)
{
    const bool negative = !text.empty() && text.front() == '-';
    const size_t first = !text.empty() && (negative || text.front() == '+') ? 1 : 0;
    if (text.size() == first)
        return false;
    long long number = 0;
    for (size_t i = first; i < text.size(); ++i) {
        if (!isDigit(text[i]))
            return false;
        number = std::min(number * 10 + (text[i] - '0'), 1LL << 32);
    }
    *value = std::clamp<long long>(negative ? -number : number, INT32_MIN, INT32_MAX);
    return true;
}

bool startsWithNumber(std::string_view text)
{
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    return !text.empty() && isDigit(text.front());
}

int leadingInteger(std::string_view text)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long long number = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        number = number * 10 + (text[i] - '0');
        if (number > INT_MAX)
            number = INT_MAX;
    }
    return int(negative ? -number : number);
}

} // namespace Cmd
