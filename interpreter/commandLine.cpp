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

} // namespace Cmd
