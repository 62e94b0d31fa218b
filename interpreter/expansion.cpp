#include "expansion.h"

#include "commandLine.h"
#include "modifiers.h"
#include "text.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

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

// Percent expansion of one line, a reference at a time, into result.
class PercentExpansion
{
public:
    PercentExpansion(std::string_view line, const VariableLookup &variables, const Parameters *parameters,
                     std::string *result)
        : m_line(line)
        , m_variables(variables)
        , m_parameters(parameters)
        , m_result(result)
    {
    }

    bool run()
    {
        m_result->clear();
        while (m_pos < m_line.size() && m_fits) {
            const size_t percent = m_line.find('%', m_pos);
            if (percent == std::string_view::npos) {
                append(m_line.substr(m_pos));
                break;
            }
            append(m_line.substr(m_pos, percent - m_pos));
            m_pos = percent;
            if (m_pos + 1 >= m_line.size()) {
                // A lone percent sign at the end is dropped in a batch file.
                if (!m_parameters)
                    append("%");
                break;
            }
            if (m_parameters && expandParameter())
                continue;
            if (!expandVariable())
                break;
        }
        return m_fits;
    }

private:
    void append(std::string_view text)
    {
        if (m_result->size() + text.size() > maxLineLength)
            m_fits = false;
        else
            m_result->append(text);
    }

    // %%, %0 to %9, %* or a %~ reference at the percent sign; false when
    // there is none of them.
    bool expandParameter()
    {
        const char next = m_line[m_pos + 1];
        if (next == '%') {
            append("%");
        } else if (isDigit(next)) {
            const size_t index = size_t(next - '0');
            if (index < m_parameters->values.size())
                append(m_parameters->values[index]);
        } else if (next == '*') {
            append(m_parameters->all);
        } else if (next == '~') {
            const auto reference = readModifiers(m_line, m_pos, isDigit);
            if (!reference)
                return false;
            const size_t index = size_t(reference->target - '0');
            const std::string value = index < m_parameters->values.size() ? m_parameters->values[index] : "";
            const bool script = index == 0 && m_parameters->zeroIsScript;
            append(modifyPath(value, reference->modifiers,
                              reference->searchVariable ? &*reference->searchVariable : nullptr, m_variables,
                              script ? &m_parameters->scriptPath : nullptr));
            m_pos += reference->length;
            return true;
        } else {
            return false;
        }
        m_pos += 2;
        return true;
    }

    // %NAME% or an edit of it at the percent sign; false when the rest of
    // the line has been taken.
    bool expandVariable()
    {
        const size_t close = m_line.find('%', m_pos + 1);
        if (close == std::string_view::npos) {
            // A lone percent sign is dropped in a batch file.
            if (!m_parameters) {
                append(m_line.substr(m_pos));
                return false;
            }
            ++m_pos;
            return true;
        }
        const std::string_view reference = m_line.substr(m_pos + 1, close - m_pos - 1);
        const size_t colon = reference.find(':');
        const std::optional<std::string> value = m_variables.find(reference.substr(0, colon));
        if (value) {
            append(colon == std::string_view::npos ? *value : editValue(*value, reference.substr(colon + 1)));
            m_pos = close + 1;
        } else if (!m_parameters) {
            // On the command line an undefined name stays, and its closing
            // percent sign may open the next reference.
            append(m_line.substr(m_pos, close - m_pos));
            m_pos = close;
        } else if (colon != std::string_view::npos) {
            // In a batch file an edit of an undefined name leaves the text
            // after the colon, which is read on from there.
            m_pos += colon + 2;
        } else {
            m_pos = close + 1;
        }
        return true;
    }

    std::string_view m_line;
    const VariableLookup &m_variables;
    const Parameters *m_parameters;
    std::string *m_result;
    size_t m_pos = 0;
    bool m_fits = true;
};

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

Parameters batchParameters(std::string_view name, std::string_view text, const std::string &scriptPath)
{
    Parameters parameters;
    parameters.values = splitBatchParameters(text);
    parameters.values.insert(parameters.values.begin(), std::string(name));
    parameters.all = skipDelimiters(text);
    parameters.scriptPath = scriptPath;
    return parameters;
}

bool expandPercents(std::string_view line, const VariableLookup &variables, const Parameters *parameters,
                    std::string *result)
{
    return PercentExpansion(line, variables, parameters, result).run();
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

} // namespace Cmd
