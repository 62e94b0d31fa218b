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

std::string_view labelWord(std::string_view text)
{
    size_t end = 0;
    while (end < text.size() && !isBlank(text[end])
           && std::string_view(":+&<>|").find(text[end]) == std::string_view::npos)
        ++end;
    return text.substr(0, end);
}

std::optional<std::string_view> labelName(std::string_view line)
{
    line = trimLeft(line);
    while (!line.empty() && line.front() == '@')
        line = trimLeft(line.substr(1));
    if (line.empty() || line.front() != ':')
        return std::nullopt;
    return labelWord(trimLeft(line.substr(1)));
}

namespace {

std::string redirectionText(const Redirection &redirection)
{
    static const char *const operators[] = {"<", ">", ">>"};
    return std::to_string(redirection.handle) + operators[int(redirection.mode)]
        + (redirection.duplicateOf >= 0 ? '&' + std::to_string(redirection.duplicateOf) : redirection.target);
}

void appendWord(std::string *text, const std::string &word)
{
    if (!text->empty() && text->back() != ' ')
        *text += ' ';
    *text += word;
}

std::string conditionText(const Condition &condition)
{
    static const char *const operators[] = {"==", "EQU", "NEQ", "LSS", "LEQ", "GTR", "GEQ"};
    static const char *const keywords[] = {"", "exist ", "errorlevel ", "defined "};
    std::string text = condition.ignoreCase ? "/I " : "";
    if (condition.negated)
        text += "not ";
    if (condition.kind != Condition::Kind::Compare)
        return text + keywords[int(condition.kind)] + condition.left;
    return text + condition.left + ' ' + operators[int(condition.op)] + ' ' + condition.right;
}

std::string loopText(const ForLoop &loop)
{
    static const char *const switches[] = {"", "/D ", "/L ", "/F "};
    std::string text = std::string("for ") + switches[int(loop.mode)];
    if (loop.mode == ForLoop::Mode::Lines && !loop.options.empty())
        text += '"' + loop.options + "\" ";
    if (loop.recursive)
        text += loop.root.empty() ? "/R " : "/R " + loop.root + ' ';
    return text + '%' + loop.variable + " in (" + loop.set + ") do ";
}

// Observed: "echo." and "echo.word", and the same with ":" and "/", are
// shown without the blank that follows other commands.
bool isEchoWithSeparator(std::string_view text)
{
    return text.size() > 4 && equalsIgnoreCase(text.substr(0, 4), "echo")
        && std::string_view(".:/").find(text[4]) != std::string_view::npos;
}

// What echoText shows of a command that an if or a for runs: nothing when
// an "@" stands before it.
std::string shownPart(const Node &node)
{
    return node.quiet ? std::string() : echoText(node);
}

} // namespace

std::string echoText(const Node &node)
{
    static const char *const joints[] = {" & ", " && ", " || "};
    std::string text;
    switch (node.kind) {
    case Node::Kind::Command:
        text = node.text;
        if (!text.empty() && !isEchoWithSeparator(text))
            text += ' ';
        break;
    case Node::Kind::Block:
        text = '(' + (node.children.empty() ? std::string() : shownPart(*node.children.front())) + ") ";
        break;
    case Node::Kind::If:
        text = "if " + conditionText(node.condition) + ' ' + shownPart(*node.children.front());
        if (node.children.size() > 1) {
            appendWord(&text, "else ");
            text += shownPart(*node.children.back());
        }
        break;
    case Node::Kind::List:
    case Node::Kind::Pipe:
        for (const auto &child : node.children) {
            if (child != node.children.front())
                text += node.kind == Node::Kind::Pipe ? " | " : joints[int(child->joint)];
            // An "@" hides its command and the rest of the commands joined
            // to it, up to the end of the block it is in.
            if (child->quiet)
                break;
            text += echoText(*child);
        }
        break;
    case Node::Kind::For:
        text = loopText(node.loop) + shownPart(*node.children.front());
        break;
    }
    for (const Redirection &redirection : node.redirections)
        appendWord(&text, redirectionText(redirection));
    return text;
}

bool startsQuiet(const Node &node)
{
    if ((node.kind == Node::Kind::List || node.kind == Node::Kind::Pipe) && !node.children.empty())
        return startsQuiet(*node.children.front());
    return node.quiet;
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
