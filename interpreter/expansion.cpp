#include "expansion.h"

#include "paths.h"
#include "text.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include <langinfo.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Cmd {

namespace {

const std::string_view modifierLetters = "fdpnxsatz";

bool isModifier(char c)
{
    return modifierLetters.find(toLower(c)) != std::string_view::npos;
}

// A %~ reference: the modifiers, the variable to search the folders of (with
// $NAME:), and the character that names the parameter or loop variable.
struct ModifierReference
{
    std::string modifiers;
    std::optional<std::string> searchVariable;
    char target = 0;
    size_t length = 0; // from the percent sign on
};

// Reads "%~...X" at start. A loop variable may itself be a modifier letter
// ("%~nf" for the variable f), so the letters are given back one at a time
// until one names something.
template <typename IsTarget>
std::optional<ModifierReference> readModifiers(std::string_view text, size_t start, IsTarget isTarget)
{
    size_t i = start + 2;
    while (i < text.size() && isModifier(text[i]))
        ++i;
    ModifierReference reference;
    if (i < text.size() && text[i] == '$') {
        const size_t colon = text.find(':', i + 1);
        if (colon == std::string_view::npos || colon + 1 >= text.size() || !isTarget(text[colon + 1]))
            return std::nullopt;
        reference.modifiers = toLower(text.substr(start + 2, i - start - 2));
        reference.searchVariable = std::string(text.substr(i + 1, colon - i - 1));
        reference.target = text[colon + 1];
        reference.length = colon + 2 - start;
        return reference;
    }
    for (size_t end = i;; --end) {
        if (end < text.size() && isTarget(text[end])) {
            reference.modifiers = toLower(text.substr(start + 2, end - start - 2));
            reference.target = text[end];
            reference.length = end + 1 - start;
            return reference;
        }
        if (end == start + 2)
            return std::nullopt;
    }
}

// The %~a letters of cmd: folder, read-only, archive, hidden, system,
// compressed, offline, temporary, link. A name starting with a dot counts as
// hidden; a file as ready for archiving.
std::string attributesText(const std::string &path)
{
    struct stat status
    {
    };
    if (lstat(path.c_str(), &status) != 0)
        return std::string();
    const bool link = S_ISLNK(status.st_mode);
    if (link && stat(path.c_str(), &status) != 0)
        return std::string();
    std::string text = "---------";
    if (S_ISDIR(status.st_mode))
        text[0] = 'd';
    if ((status.st_mode & 0222) == 0)
        text[1] = 'r';
    if (!S_ISDIR(status.st_mode))
        text[2] = 'a';
    const std::string_view name = splitPath(path).name;
    if (!name.empty() && name.front() == '.')
        text[3] = 'h';
    if (link)
        text[8] = 'l';
    return text;
}

locale_t timeLocale()
{
    static const locale_t locale = [] {
        const locale_t own = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
        return own ? own : newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
    }();
    return locale;
}

void appendChecked(std::string *result, std::string_view text, bool *fits)
{
    if (result->size() + text.size() > maxLineLength)
        *fits = false;
    else
        result->append(text);
}

} // namespace

VariableLookup::VariableLookup(const Environment &environment, const std::string &directory, const int &errorLevel)
    : m_environment(environment)
    , m_directory(directory)
    , m_errorLevel(errorLevel)
    , m_random(uint32_t(std::time(nullptr)) ^ (uint32_t(getpid()) << 12) ^ 0x9e3779b9u)
{
}

// set /? names them: each gives way to an environment variable of its name.
std::optional<std::string> VariableLookup::find(std::string_view name) const
{
    if (const std::string *value = m_environment.find(name))
        return *value;
    if (equalsIgnoreCase(name, "CD"))
        return m_directory;
    if (equalsIgnoreCase(name, "ERRORLEVEL"))
        return std::to_string(m_errorLevel);
    if (equalsIgnoreCase(name, "RANDOM")) {
        m_random ^= m_random << 13;
        m_random ^= m_random >> 17;
        m_random ^= m_random << 5;
        return std::to_string((m_random >> 8) % 32768);
    }
    if (equalsIgnoreCase(name, "DATE"))
        return dateText(std::time(nullptr));
    if (equalsIgnoreCase(name, "TIME")) {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        tm local{};
        localtime_r(&now.tv_sec, &local);
        char text[32];
        std::snprintf(text, sizeof text, "%2d:%02d:%02d.%02d", local.tm_hour, local.tm_min, local.tm_sec,
                      int(now.tv_nsec / 10000000));
        return std::string(text);
    }
    if (equalsIgnoreCase(name, "CMDEXTVERSION"))
        return std::string("2");
    return std::nullopt;
}

bool Parameters::shift(std::string_view arguments)
{
    const std::string_view text = trim(arguments);
    if (!text.empty() && (text.size() != 2 || text[0] != '/' || text[1] < '0' || text[1] > '8'))
        return false;
    const size_t from = text.empty() ? 0 : size_t(text[1] - '0');
    if (from == 0)
        zeroIsScript = false;
    if (from < values.size())
        values.erase(values.begin() + std::ptrdiff_t(from));
    return true;
}

bool expandPercents(std::string_view line, const VariableLookup &variables, const Parameters *parameters,
                    std::string *result)
{
    result->clear();
    bool fits = true;
    size_t i = 0;
    while (i < line.size() && fits) {
        const size_t percent = line.find('%', i);
        if (percent == std::string_view::npos) {
            appendChecked(result, line.substr(i), &fits);
            break;
        }
        appendChecked(result, line.substr(i, percent - i), &fits);
        i = percent;
        if (i + 1 >= line.size()) {
            // A lone percent sign at the end is dropped in a batch file.
            if (!parameters)
                appendChecked(result, "%", &fits);
            break;
        }
        const char next = line[i + 1];
        if (parameters && next == '%') {
            appendChecked(result, "%", &fits);
            i += 2;
            continue;
        }
        if (parameters && isDigit(next)) {
            const size_t index = size_t(next - '0');
            if (index < parameters->values.size())
                appendChecked(result, parameters->values[index], &fits);
            i += 2;
            continue;
        }
        if (parameters && next == '*') {
            appendChecked(result, parameters->all, &fits);
            i += 2;
            continue;
        }
        if (parameters && next == '~') {
            const auto reference = readModifiers(line, i, isDigit);
            if (reference) {
                const size_t index = size_t(reference->target - '0');
                const std::string value = index < parameters->values.size() ? parameters->values[index] : "";
                const bool script = index == 0 && parameters->zeroIsScript;
                appendChecked(result,
                              modifyPath(value, reference->modifiers,
                                         reference->searchVariable ? &*reference->searchVariable : nullptr, variables,
                                         script ? &parameters->scriptPath : nullptr),
                              &fits);
                i += reference->length;
                continue;
            }
        }
        const size_t close = line.find('%', i + 1);
        if (close == std::string_view::npos) {
            // A lone percent sign is dropped in a batch file.
            if (!parameters) {
                appendChecked(result, line.substr(i), &fits);
                break;
            }
            ++i;
            continue;
        }
        const std::string_view reference = line.substr(i + 1, close - i - 1);
        const size_t colon = reference.find(':');
        const std::optional<std::string> value = variables.find(reference.substr(0, colon));
        if (value) {
            appendChecked(result,
                          colon == std::string_view::npos ? *value : editValue(*value, reference.substr(colon + 1)),
                          &fits);
            i = close + 1;
        } else if (!parameters) {
            // On the command line an undefined name stays, and its closing
            // percent sign may open the next reference.
            appendChecked(result, line.substr(i, close - i), &fits);
            i = close;
        } else if (colon != std::string_view::npos) {
            // In a batch file an edit of an undefined name leaves the text
            // after the colon, which is read on from there.
            i += colon + 2;
        } else {
            i = close + 1;
        }
    }
    return fits;
}

std::string expandDelayed(std::string_view text, const VariableLookup &variables)
{
    if (text.find('!') == std::string_view::npos)
        return std::string(text);
    std::string result;
    result.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '^') {
            if (i + 1 < text.size())
                result += text[i + 1];
            i += 2;
            continue;
        }
        if (c != '!') {
            result += c;
            ++i;
            continue;
        }
        const size_t close = text.find('!', i + 1);
        if (close == std::string_view::npos)
            break;
        const std::string_view reference = text.substr(i + 1, close - i - 1);
        const size_t colon = reference.find(':');
        if (const std::optional<std::string> value = variables.find(reference.substr(0, colon)))
            result += colon == std::string_view::npos ? *value : editValue(*value, reference.substr(colon + 1));
        i = close + 1;
    }
    return result;
}

std::string editValue(const std::string &value, std::string_view edit)
{
    if (!edit.empty() && edit.front() == '~') {
        const std::string_view range = edit.substr(1);
        const size_t comma = range.find(',');
        const long long size = static_cast<long long>(value.size());
        long long start = leadingInteger(range.substr(0, comma));
        start = start < 0 ? std::max(0LL, size + start) : std::min(start, size);
        long long end = size;
        if (comma != std::string_view::npos) {
            const long long length = leadingInteger(range.substr(comma + 1));
            end = length >= 0 ? std::min(size, start + length) : std::max(start, size + length);
        }
        return value.substr(size_t(start), size_t(end - start));
    }
    const size_t equals = edit.find('=');
    if (equals == std::string_view::npos || equals == 0)
        return value;
    std::string_view search = edit.substr(0, equals);
    const std::string_view replacement = edit.substr(equals + 1);
    const bool fromStart = search.front() == '*';
    if (fromStart)
        search.remove_prefix(1);
    const std::string lowerValue = toLower(value);
    const std::string lowerSearch = toLower(search);
    std::string result;
    size_t position = 0;
    while (!lowerSearch.empty()) {
        const size_t match = lowerValue.find(lowerSearch, position);
        if (match == std::string::npos)
            break;
        if (!fromStart)
            result.append(value, position, match - position);
        result.append(replacement);
        position = match + lowerSearch.size();
        if (fromStart)
            break;
    }
    if (fromStart && position == 0)
        return value;
    result.append(value, position, std::string::npos);
    return result;
}

std::string substituteForVariables(std::string_view text, const std::vector<ForVariable> &variables,
                                   const VariableLookup &lookup)
{
    const auto find = [&variables](char name) -> const ForVariable * {
        for (auto it = variables.rbegin(); it != variables.rend(); ++it) {
            if (it->name == name)
                return &*it;
        }
        return nullptr;
    };
    std::string result;
    result.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const size_t percent = text.find('%', i);
        if (percent == std::string_view::npos || percent + 1 >= text.size()) {
            result.append(text.substr(i));
            break;
        }
        result.append(text.substr(i, percent - i));
        i = percent;
        if (const ForVariable *variable = find(text[i + 1])) {
            result += variable->value;
            i += 2;
            continue;
        }
        if (text[i + 1] == '~') {
            const auto reference = readModifiers(text, i, [&find](char c) { return find(c) != nullptr; });
            if (reference) {
                result += modifyPath(find(reference->target)->value, reference->modifiers,
                                     reference->searchVariable ? &*reference->searchVariable : nullptr, lookup);
                i += reference->length;
                continue;
            }
        }
        result += '%';
        ++i;
    }
    return result;
}

std::string modifyPath(std::string_view value, std::string_view modifiers, const std::string *searchVariable,
                       const VariableLookup &lookup, const std::string *fullPath)
{
    value = stripSurroundingQuotes(value);
    if (modifiers.empty() && !searchVariable)
        return std::string(value);
    if (value.empty())
        return std::string();
    std::string full = fullPath ? *fullPath : absolutePath(nativePath(value), lookup.directory());
    if (searchVariable) {
        // Folders are separated by ";" as on Windows or ":" as on Linux.
        full.clear();
        const std::string folders = lookup.find(*searchVariable).value_or(std::string());
        size_t from = 0;
        while (from <= folders.size() && full.empty()) {
            size_t end = folders.find_first_of(";:", from);
            if (end == std::string::npos)
                end = folders.size();
            const std::string candidate = absolutePath(
                nativePath(folders.substr(from, end - from)) + '/' + nativePath(value), lookup.directory());
            if (pathExists(candidate))
                full = candidate;
            from = end + 1;
        }
        if (full.empty())
            return std::string();
    }
    const auto has = [modifiers](char letter) { return modifiers.find(letter) != std::string_view::npos; };
    std::vector<std::string> parts;
    struct stat status
    {
    };
    const bool exists = stat(full.c_str(), &status) == 0;
    if (has('a') && exists)
        parts.push_back(attributesText(full));
    if (has('t') && exists)
        parts.push_back(dateText(status.st_mtime) + ' ' + minuteText(status.st_mtime));
    if (has('z') && exists && S_ISREG(status.st_mode))
        parts.push_back(std::to_string(status.st_size));
    const bool pieces = has('p') || has('n') || has('x');
    if (pieces) {
        // No drive letters here: "d" adds nothing.
        const PathParts split = splitPath(full);
        const std::string_view file = split.name;
        const size_t dot = file.rfind('.');
        std::string path;
        if (has('p'))
            path += split.folder;
        if (has('n'))
            path += file.substr(0, dot);
        if (has('x') && dot != std::string_view::npos)
            path += file.substr(dot);
        parts.push_back(path);
    } else if (has('f') || has('s') || has('d') || searchVariable) {
        parts.push_back(has('d') && !has('f') && !has('s') && !searchVariable ? std::string() : full);
    }
    std::string text;
    for (const std::string &part : parts) {
        if (!text.empty())
            text += ' ';
        text += part;
    }
    return text;
}

// The locale's short date, with the four-digit year that Windows' short
// dates have.
std::string dateText(int64_t seconds)
{
    const time_t time = time_t(seconds);
    tm local{};
    localtime_r(&time, &local);
    std::string format = nl_langinfo_l(D_FMT, timeLocale());
    for (size_t i = 0; i + 1 < format.size(); ++i) {
        if (format[i] == '%' && format[i + 1] == 'y')
            format[i + 1] = 'Y';
    }
    char text[128];
    const size_t size = strftime_l(text, sizeof text, format.c_str(), &local, timeLocale());
    return std::string(text, size);
}

std::string minuteText(int64_t seconds)
{
    const time_t time = time_t(seconds);
    tm local{};
    localtime_r(&time, &local);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", local.tm_hour, local.tm_min);
    return text;
}

} // namespace Cmd
