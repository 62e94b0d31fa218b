#include "commandLine.h"

#include "text.h"

namespace Cmd {

std::vector<std::string> splitArguments(std::string_view arguments)
{
    std::vector<std::string> words;
    size_t i = 0;
    const size_t size = arguments.size();
    for (;;) {
        while (i < size && (arguments[i] == ' ' || arguments[i] == '\t'))
            ++i;
        if (i >= size)
            break;
        std::string word;
        bool quoted = false;
        while (i < size) {
            size_t backslashes = 0;
            while (i < size && arguments[i] == '\\') {
                ++backslashes;
                ++i;
            }
            if (i < size && arguments[i] == '"') {
                word.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    word += '"';
                } else if (quoted && i + 1 < size && arguments[i + 1] == '"') {
                    word += '"';
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
                continue;
            }
            word.append(backslashes, '\\');
            if (i >= size || (!quoted && (arguments[i] == ' ' || arguments[i] == '\t')))
                break;
            word += arguments[i++];
        }
        words.push_back(std::move(word));
    }
    return words;
}

ProgramWord splitProgramWord(std::string_view command)
{
    ProgramWord word;
    size_t i = 0;
    while (i < command.size() && isBlank(command[i]))
        ++i;
    const size_t start = i;
    bool quoted = false;
    for (; i < command.size(); ++i) {
        const char c = command[i];
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && isBlank(c))
            break;
        else
            word.name += c;
    }
    word.written = command.substr(start, i - start);
    word.rest = command.substr(i);
    return word;
}

std::vector<std::string> splitBatchParameters(std::string_view text)
{
    std::vector<std::string> parameters;
    size_t i = 0;
    for (;;) {
        while (i < text.size() && isDelimiter(text[i]))
            ++i;
        if (i >= text.size())
            break;
        std::string parameter;
        bool quoted = false;
        for (; i < text.size() && (quoted || !isDelimiter(text[i])); ++i) {
            if (text[i] == '"')
                quoted = !quoted;
            parameter += text[i];
        }
        parameters.push_back(std::move(parameter));
    }
    return parameters;
}

Assignment splitAssignment(std::string_view text)
{
    if (!text.empty() && text.front() == '"') {
        text.remove_prefix(1);
        text = text.substr(0, text.rfind('"'));
    }
    Assignment assignment;
    const size_t equals = text.find('=');
    assignment.hasEquals = equals != std::string_view::npos;
    assignment.name = text.substr(0, equals);
    if (assignment.hasEquals)
        assignment.value = text.substr(equals + 1);
    return assignment;
}

namespace {

bool isSwitchPart(std::string_view part, std::string_view letters)
{
    if (part.empty() || letters.find(part.front()) == std::string_view::npos)
        return part == "-y" && letters.find('y') != std::string_view::npos;
    if (part.size() == 1)
        return true;
    const std::string_view valueLetters = part.front() == 'a' ? "dhsrailo-" : (part.front() == 'o' ? "nesdg-" : "");
    std::string_view rest = part.substr(1);
    if (!rest.empty() && rest.front() == ':')
        rest.remove_prefix(1);
    for (const char c : rest) {
        if (valueLetters.find(c) == std::string_view::npos)
            return false;
    }
    return !valueLetters.empty();
}

} // namespace

bool CommandWords::has(char letter) const
{
    return value(letter) != nullptr;
}

const std::string *CommandWords::value(char letter) const
{
    for (const std::string &option : switches) {
        if (option.front() == letter)
            return &option;
    }
    return nullptr;
}

CommandWords splitCommandWords(std::string_view arguments, std::string_view letters)
{
    CommandWords words;
    for (const std::string &word : splitBatchParameters(arguments)) {
        std::vector<std::string> parts;
        std::string invalid;
        bool switches = word.size() > 1 && word.front() == '/';
        size_t start = 1;
        while (switches && start < word.size()) {
            size_t end = word.find('/', start);
            if (end == std::string::npos)
                end = word.size();
            std::string part = toLower(word.substr(start, end - start));
            start = end + 1;
            if (part.empty())
                continue;
            const bool known = isSwitchPart(part, letters);
            if (!known && part.size() == 1 && invalid.empty())
                invalid = "/" + part;
            switches = known || part.size() == 1;
            // "/a:d" keeps its value as "ad".
            if (part.size() > 1 && part[1] == ':')
                part.erase(1, 1);
            parts.push_back(std::move(part));
        }
        if (!switches) {
            words.names.push_back(word);
            continue;
        }
        if (words.invalid.empty())
            words.invalid = invalid;
        for (std::string &part : parts)
            words.switches.push_back(std::move(part));
    }
    return words;
}

} // namespace Cmd
