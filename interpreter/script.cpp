#include "script.h"

#include "parser.h"
#include "text.h"

namespace Cmd {

std::vector<std::string> splitLines(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string line;
        line.reserve(end - start);
        for (size_t i = start; i < end; ++i) {
            if (bytes[i] != '\r')
                line += bytes[i];
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::optional<std::string_view> labelName(std::string_view line)
{
    line = trimLeft(line);
    if (line.empty() || line.front() != ':')
        return std::nullopt;
    line.remove_prefix(1);
    size_t end = 0;
    while (end < line.size() && !isBlank(line[end]) && line[end] != ':' && line[end] != '+')
        ++end;
    return line.substr(0, end);
}

ParsedLine parseLine(std::string_view line, const MoreLines &moreLines)
{
    return Parser(line, moreLines).parse();
}

ParsedLine readCommandLine(const std::vector<std::string> &lines, size_t *next, const LineExpansion &expand)
{
    const std::string &line = lines[(*next)++];
    if (labelName(line))
        return ParsedLine();
    bool fits = true;
    const auto take = [&](const std::string &source, std::string &text) {
        if (!expand) {
            text = source;
            return true;
        }
        fits = expand(source, &text);
        return fits;
    };
    const MoreLines moreLines = [&](std::string &text) {
        return *next < lines.size() && fits && take(lines[(*next)++], text);
    };
    std::string first;
    ParsedLine parsed = take(line, first) ? parseLine(first, moreLines) : ParsedLine();
    if (!fits) {
        parsed = ParsedLine();
        parsed.tooLong = true;
    }
    return parsed;
}

std::vector<ParsedLine> parseScript(std::string_view bytes, const LineExpansion &expand)
{
    const std::vector<std::string> lines = splitLines(bytes);
    std::vector<ParsedLine> parsed;
    size_t next = 0;
    while (next < lines.size()) {
        ParsedLine line = readCommandLine(lines, &next, expand);
        if (line.node || !line.error.empty() || line.tooLong)
            parsed.push_back(std::move(line));
    }
    return parsed;
}

} // namespace Cmd
