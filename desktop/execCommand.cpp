#include "desktop/execCommand.h"

namespace Desktop {

namespace {

bool isQuotedEscape(char c)
{
    return c == '"' || c == '`' || c == '$' || c == '\\';
}

// The word with its field codes taken out and "%%" made a percent sign; a
// percent sign at the end stays.
std::string withoutFieldCodes(const std::string &word)
{
    std::string result;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (word[i] != '%' || i + 1 == word.size())
            result += word[i];
        else if (word[++i] == '%')
            result += '%';
    }
    return result;
}

} // namespace

std::vector<std::string> splitExec(std::string_view command)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    const auto finishWord = [&] {
        if (inWord) {
            // Only a word that had something before its codes went is kept
            // when it is empty.
            const std::string plain = withoutFieldCodes(word);
            if (!plain.empty() || word.empty())
                words.push_back(plain);
        }
        word.clear();
        inWord = false;
    };
    for (std::size_t i = 0; i < command.size(); ++i) {
        const char c = command[i];
        if (quoted) {
            if (c == '"')
                quoted = false;
            else if (c == '\\' && i + 1 < command.size() && isQuotedEscape(command[i + 1]))
                word += command[++i];
            else
                word += c;
        } else if (c == ' ' || c == '\t') {
            finishWord();
        } else {
            inWord = true;
            if (c == '"')
                quoted = true;
            else
                word += c;
        }
    }
    if (quoted)
        return {};
    finishWord();
    return words;
}

} // namespace Desktop
