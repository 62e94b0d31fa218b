// for: loops over files, folders, numbers and the lines of files, strings
// and command output, as for /? describes them.
#include "commands.h"

#include "commandLine.h"
#include "context.h"
#include "paths.h"
#include "process.h"
#include "text.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace Cmd {

namespace {

// for /f's options: "eol=c skip=n delims=xxx tokens=x,y,m-n[*] usebackq".
struct LineOptions
{
    char eol = ';'; // '\0': none
    long long skip = 0;
    std::string delimiters = " \t";
    std::vector<int> tokens{1}; // each once, in order
    int variables = 1; // one for each token listed, a token listed twice included
    bool rest = false; // "*": the rest of the line after the last token
    bool backQuoted = false;
};

// for /? allows tokens up to 31.
constexpr int maxToken = 31;

bool startsWithIgnoreCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && equalsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

// for /? : "tokens=x,y,m-n" allocates a variable for each token listed, and
// a final "*" one more for the text after the last token. The tokens go to
// the variables in their order on the line, whatever the order they are
// listed in, so that a token listed twice leaves a variable empty; a range
// that runs backwards ("3-1") lists none.
bool parseTokens(std::string_view list, LineOptions *options)
{
    options->tokens.clear();
    options->variables = 0;
    options->rest = !list.empty() && list.back() == '*';
    if (options->rest)
        list.remove_suffix(1);
    while (!list.empty()) {
        const size_t comma = list.find(',');
        const std::string_view item = list.substr(0, comma);
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
        if (item.empty())
            continue;
        const size_t dash = item.find('-');
        const int first = leadingInteger(item.substr(0, dash));
        const int last = dash == std::string_view::npos ? first : leadingInteger(item.substr(dash + 1));
        if (first < 1 || last > maxToken)
            return false;
        for (int token = first; token <= last; ++token) {
            options->tokens.push_back(token);
            ++options->variables;
        }
    }
    std::sort(options->tokens.begin(), options->tokens.end());
    options->tokens.erase(std::unique(options->tokens.begin(), options->tokens.end()), options->tokens.end());
    return !options->tokens.empty() || options->rest;
}

// False with the word that could not be read.
bool parseLineOptions(std::string_view text, LineOptions *options, std::string *bad)
{
    size_t i = 0;
    while (i < text.size()) {
        if (isBlank(text[i])) {
            ++i;
            continue;
        }
        const std::string_view rest = text.substr(i);
        const std::string_view word = firstWord(rest);
        if (startsWithIgnoreCase(rest, "useback")) {
            // Observed: cmd takes "useback" for "usebackq" (Groovy's
            // startGroovy.bat writes it so).
            options->backQuoted = true;
            i += startsWithIgnoreCase(rest, "usebackq") ? 8 : 7;
        } else if (startsWithIgnoreCase(rest, "eol=")) {
            options->eol = rest.size() > 4 ? rest[4] : '\0';
            i += 5;
        } else if (startsWithIgnoreCase(rest, "skip=") && word.size() > 5) {
            long long skip = 0;
            if (!parseInteger(word.substr(5), &skip) || skip < 1) {
                *bad = word;
                return false;
            }
            options->skip = skip;
            i += word.size();
        } else if (startsWithIgnoreCase(rest, "delims=")) {
            // The set ends at a blank, unless only blanks follow: "delims= "
            // at the end means the blank itself.
            const std::string_view set = rest.substr(7);
            const std::string_view upToBlank = firstWord(set);
            const bool toEnd = trim(set.substr(upToBlank.size())).empty();
            options->delimiters = toEnd ? set : upToBlank;
            i += 7 + options->delimiters.size();
        } else if (startsWithIgnoreCase(rest, "tokens=") && parseTokens(word.substr(7), options)) {
            i += word.size();
        } else {
            *bad = word;
            return false;
        }
    }
    return true;
}

// Reads lines from a file or pipe a piece at a time; of a line longer than
// cmd's longest only its start is kept.
class LineReader
{
public:
    explicit LineReader(int fd)
        : m_fd(fd)
    {
    }

    bool next(std::string *line)
    {
        line->clear();
        bool any = false;
        bool cut = false;
        for (;;) {
            while (m_start < m_size) {
                const char c = m_chunk[m_start++];
                any = true;
                if (c == '\n')
                    return true;
                // As in cmd, a NUL byte ends the line's text.
                cut = cut || c == '\0';
                if (!cut && c != '\r' && line->size() < maxLineLength)
                    *line += c;
            }
            const ssize_t count = read(m_fd, m_chunk, sizeof m_chunk);
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0)
                return any;
            m_start = 0;
            m_size = size_t(count);
        }
    }

private:
    int m_fd;
    char m_chunk[16384];
    size_t m_start = 0;
    size_t m_size = 0;
};

// Splits one line into the loop's values, or none when the line is to be
// passed over.
bool lineValues(std::string_view line, const LineOptions &options, char variable, std::vector<ForVariable> *values)
{
    const auto isDelimiter = [&options](char c) { return options.delimiters.find(c) != std::string::npos; };
    size_t pos = 0;
    while (pos < line.size() && isDelimiter(line[pos]))
        ++pos;
    if (pos >= line.size() || (options.eol != '\0' && line[pos] == options.eol))
        return false;
    values->clear();
    const int last = options.tokens.empty() ? 0 : options.tokens.back();
    std::vector<std::string_view> tokens;
    for (int token = 1; token <= last && pos < line.size(); ++token) {
        const size_t start = pos;
        while (pos < line.size() && !isDelimiter(line[pos]))
            ++pos;
        tokens.push_back(line.substr(start, pos - start));
        while (pos < line.size() && isDelimiter(line[pos]))
            ++pos;
    }
    bool any = false;
    char name = variable;
    for (const int token : options.tokens) {
        const std::string_view value = size_t(token) <= tokens.size() ? tokens[size_t(token - 1)] : std::string_view();
        any = any || !value.empty();
        values->push_back({name++, std::string(value)});
    }
    for (size_t i = options.tokens.size(); i < size_t(options.variables); ++i)
        values->push_back({name++, std::string()});
    if (options.rest) {
        // The rest goes to the variable after the last token's, which is the
        // one "*" allocated only when no token is listed twice; otherwise
        // it goes nowhere, as in cmd ("tokens=1,1,3*" leaves %%l empty).
        const bool restAllocated = options.tokens.size() == size_t(options.variables);
        const std::string_view value = restAllocated && int(tokens.size()) == last ? line.substr(pos)
                                                                                   : std::string_view();
        any = any || !value.empty();
        values->push_back({name, std::string(value)});
    }
    return any;
}

// A number of for /l: cmd's decimal, hex or octal, else its leading digits.
long long loopNumber(const std::string &text)
{
    long long value = 0;
    return parseInteger(text, &value) ? value : leadingInteger(text);
}

int runLoopBody(Context &context, const Node &body, const std::vector<ForVariable> &values)
{
    const size_t size = context.forVariables.size();
    context.forVariables.insert(context.forVariables.end(), values.begin(), values.end());
    // Each turn shows its command with the loop's values in it, as cmd does.
    if (context.echo && !startsQuiet(body))
        context.showCommand(substituteForVariables(echoText(body), context.forVariables, context.variables));
    const int code = context.execute(body);
    context.forVariables.resize(size);
    return code;
}

// The command of for /f runs as cmd runs it, in a cmd /c of its own: the
// command line's expansion, no loop variables, no delayed expansion. Its
// output is read while it runs.
int startCapturingOutput(Context &context, const std::string &commandLine, pid_t *child)
{
    int handles[2] = {-1, -1};
    if (pipe2(handles, O_CLOEXEC) != 0) {
        context.fail(1, cannotCreatePipe + std::string(std::strerror(errno)));
        return -1;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(handles[1], STDOUT_FILENO);
        close(handles[1]);
        close(handles[0]);
        context.forVariables.clear();
        context.delayedExpansion = false;
        _exit(context.runCommandLine(commandLine) & 0xff);
    }
    close(handles[1]);
    if (pid < 0) {
        close(handles[0]);
        context.fail(1, cannotStartProcess + std::string(std::strerror(errno)));
        return -1;
    }
    *child = pid;
    return handles[0];
}

// (start,step,end): numbers left out count as 0; a step of 0 never ends.
int forEachNumber(Context &context, const Node &body, char variable, std::string_view set)
{
    const std::vector<std::string> words = splitBatchParameters(set);
    long long numbers[3] = {0, 0, 0};
    for (size_t i = 0; i < 3 && i < words.size(); ++i)
        numbers[i] = loopNumber(words[i]);
    const long long step = numbers[1];
    int code = 0;
    for (long long value = numbers[0]; step >= 0 ? value <= numbers[2] : value >= numbers[2]; value += step) {
        code = runLoopBody(context, body, {{variable, std::to_string(value)}});
        if (context.flow != Flow::Next)
            break;
    }
    return code;
}

int forEachFile(Context &context, const Node &body, char variable, std::string_view set, const std::string &folder,
                bool folders)
{
    int code = 0;
    for (const std::string &item : splitBatchParameters(set)) {
        const std::string unquoted = removeQuotes(item);
        std::vector<std::string> values;
        if (!hasWildcards(splitPath(unquoted).name)) {
            values.push_back(folder.empty() ? item : joinPath(folder, unquoted));
        } else if (folder.empty()) {
            values = expandWildcards(unquoted, folders ? EntryKind::Folder : EntryKind::File);
        } else {
            const std::string pattern = joinPath(folder, nativePath(unquoted));
            const PathParts parts = splitPath(pattern);
            for (const FolderEntry &entry :
                 matchingEntries(std::string(parts.folder), parts.name, folders ? EntryKind::Folder : EntryKind::File))
                values.push_back(joinPath(parts.folder, entry.name));
        }
        for (const std::string &value : values) {
            code = runLoopBody(context, body, {{variable, value}});
            if (context.flow != Flow::Next)
                return code;
        }
    }
    return code;
}

int forEachLine(Context &context, const Node &body, char variable, std::string_view set, std::string_view optionText)
{
    LineOptions options;
    std::string bad;
    if (!parseLineOptions(optionText, &options, &bad))
        return context.fail(255, unexpectedWord(bad));
    long long skip = options.skip;
    int code = 0;
    std::vector<ForVariable> values;
    const auto takeLine = [&](std::string_view line) {
        if (skip > 0) {
            --skip;
            return true;
        }
        if (lineValues(line, options, variable, &values))
            code = runLoopBody(context, body, values);
        return context.flow == Flow::Next;
    };
    const auto takeLines = [&](int fd) {
        LineReader reader(fd);
        std::string line;
        while (reader.next(&line) && takeLine(line)) { }
    };

    const std::string_view text = trim(set);
    const char quote = text.empty() ? '\0' : text.front();
    const char stringQuote = options.backQuoted ? '\'' : '"';
    const char commandQuote = options.backQuoted ? '`' : '\'';
    if (quote == stringQuote || quote == commandQuote) {
        const size_t end = text.rfind(quote);
        const std::string_view inner = text.substr(1, end > 0 ? end - 1 : std::string_view::npos);
        if (quote == stringQuote) {
            takeLine(inner);
            return code;
        }
        pid_t child = 0;
        const int output = startCapturingOutput(context, std::string(inner), &child);
        if (output < 0)
            return context.errorLevel;
        takeLines(output);
        close(output);
        waitForProcess(child);
        return code;
    }
    for (const std::string &name : splitBatchParameters(text)) {
        const std::string path = removeQuotes(name);
        const int fd = open(openPath(path).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return context.fail(1, fileNotFoundNamed(path));
        takeLines(fd);
        close(fd);
        if (context.flow != Flow::Next)
            break;
    }
    return code;
}

} // namespace

int executeFor(Context &context, const Node &node)
{
    const ForLoop &loop = node.loop;
    const Node &body = *node.children.front();
    const std::string set = context.prepare(loop.set);
    if (loop.mode == ForLoop::Mode::Numbers)
        return forEachNumber(context, body, loop.variable, set);
    if (loop.mode == ForLoop::Mode::Lines)
        return forEachLine(context, body, loop.variable, set, context.prepare(loop.options));
    const bool folders = loop.mode == ForLoop::Mode::Folders;
    if (!loop.recursive)
        return forEachFile(context, body, loop.variable, set, std::string(), folders);
    const std::string root = nativePath(removeQuotes(context.prepare(loop.root)));
    int code = 0;
    walkFolders(root.empty() ? context.directory : absolutePath(root, context.directory),
                [&](const std::string &folder) {
                    code = forEachFile(context, body, loop.variable, set, folder, folders);
                    return context.flow == Flow::Next;
                });
    return code;
}

} // namespace Cmd
