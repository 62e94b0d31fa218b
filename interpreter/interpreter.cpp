#include "interpreter.h"

#include "commandLine.h"
#include "process.h"
#include "text.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <glob.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Cmd {

namespace {

// Deep enough for real subroutines, shallow enough for the stack.
constexpr int maxCallDepth = 256;

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string currentDirectory()
{
    char *directory = getcwd(nullptr, 0);
    if (!directory)
        return std::string();
    std::string result(directory);
    std::free(directory);
    return result;
}

// Made absolute against base, with "." and ".." folded away as written.
std::string absolutePath(std::string_view path, const std::string &base)
{
    const std::string joined = !path.empty() && path.front() == '/' ? std::string(path)
                                                                    : base + '/' + std::string(path);
    std::vector<std::string_view> parts;
    const std::string_view view = joined;
    size_t start = 0;
    while (start <= view.size()) {
        size_t end = view.find('/', start);
        if (end == std::string_view::npos)
            end = view.size();
        const std::string_view part = view.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result;
    for (const std::string_view part : parts) {
        result += '/';
        result += part;
    }
    return result.empty() ? std::string("/") : result;
}

std::string quoteParameter(const std::string &argument)
{
    bool plain = !argument.empty();
    for (const char c : argument)
        plain = plain && !isDelimiter(c);
    return plain ? argument : '"' + argument + '"';
}

} // namespace

Interpreter::Interpreter(char *const *environment)
    : m_environment(environment)
    , m_directory(currentDirectory())
{
    const char marker = 0;
    m_stackBase = reinterpret_cast<uintptr_t>(&marker);
    rlimit limit{};
    size_t stack = 8 << 20;
    if (getrlimit(RLIMIT_STACK, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        stack = size_t(limit.rlim_cur);
    // What a single line may still take to read and run stays in reserve.
    m_stackBudget = stack > (2 << 20) ? stack - (1 << 20) : stack / 2;
}

int Interpreter::run(const std::string &path, const std::vector<std::string> &arguments)
{
    std::string parameters;
    for (const std::string &argument : arguments) {
        if (!parameters.empty())
            parameters += ' ';
        parameters += quoteParameter(argument);
    }
    const int code = runBatchFile(path, path, parameters) ? m_errorLevel : 1;
    // Graphical programs that fail at once are reported before this ends, and
    // the reader stops reading when it ends.
    m_unwaited.waitForWindows();
    m_relay.flush();
    return code;
}

bool Interpreter::runBatchFile(const std::string &path, const std::string &name, std::string_view parameters)
{
    std::string contents;
    if (!readFile(path, &contents)) {
        fail(1, "korvani-cmd: cannot read the batch file '" + path + "': " + std::strerror(errno));
        return false;
    }
    auto script = std::make_shared<Script>();
    script->absolutePath = absolutePath(path, m_directory);
    script->lines = splitLines(contents);
    Frame frame;
    frame.script = std::move(script);
    frame.parameters = splitBatchParameters(parameters);
    frame.parameters.insert(frame.parameters.begin(), name);
    frame.allParameters = skipDelimiters(parameters);
    runFrame(frame, 0);
    return true;
}

void Interpreter::runFrame(Frame &frame, size_t firstLine)
{
    if (m_depth >= maxCallDepth) {
        fail(1,
             "korvani-cmd: batch calls nested more than " + std::to_string(maxCallDepth)
                 + " deep; batch processing stopped");
        m_flow = Flow::Quit;
        return;
    }
    if (stackExhausted())
        return;
    ++m_depth;
    Frame *const caller = m_frame;
    m_frame = &frame;
    frame.nextLine = firstLine;
    frame.localsAtStart = m_locals.size();
    while (frame.nextLine < frame.script->lines.size()) {
        runLine(frame);
        if (m_flow == Flow::Jump)
            m_flow = Flow::Next;
        else if (m_flow != Flow::Next)
            break;
    }
    if (m_flow == Flow::LeaveBatch)
        m_flow = Flow::Next;
    while (m_locals.size() > frame.localsAtStart)
        endLocal();
    m_frame = caller;
    --m_depth;
}

void Interpreter::runLine(Frame &frame)
{
    const std::string &line = frame.script->lines[frame.nextLine++];
    if (labelName(line))
        return;
    const MoreLines moreLines = [this, &frame](std::string &next) {
        if (frame.nextLine >= frame.script->lines.size())
            return false;
        next = expand(frame.script->lines[frame.nextLine++], frame);
        return true;
    };
    const ParsedLine parsed = parseLine(expand(line, frame), moreLines);
    if (!parsed.error.empty()) {
        // As in cmd, a line that cannot be read ends all batch processing.
        fail(255, parsed.error);
        m_flow = Flow::Quit;
        return;
    }
    if (!parsed.node)
        return;
    if (m_echo && !parsed.quiet)
        writeAll(STDOUT_FILENO, '\n' + m_directory + '>' + parsed.echoText + '\n');
    execute(*parsed.node);
}

int Interpreter::execute(const Node &node)
{
    if (stackExhausted())
        return m_errorLevel;
    switch (node.kind) {
    case Node::Kind::Command:
    case Node::Kind::Block: {
        // A redirection saves the standard handles away: the relay must be in
        // place before, or it would not see them.
        if (!node.redirections.empty())
            m_relay.start();
        RedirectionGuard guard;
        std::string error;
        if (!guard.apply(node.redirections, &error))
            return fail(1, error);
        if (node.kind == Node::Kind::Command)
            return runCommand(node.text);
        return node.children.empty() ? 0 : execute(*node.children.front());
    }
    case Node::Kind::If:
        if (evaluate(node.condition))
            return execute(*node.children.front());
        return node.children.size() > 1 ? execute(*node.children.back()) : 0;
    case Node::Kind::List: {
        int code = 0;
        for (const auto &child : node.children) {
            const bool skipped = (child->joint == Node::Joint::AndThen && code != 0)
                || (child->joint == Node::Joint::OrElse && code == 0);
            if (skipped)
                continue;
            code = execute(*child);
            if (m_flow != Flow::Next)
                break;
        }
        return code;
    }
    case Node::Kind::Pipe:
        return executePipe(node);
    }
    return 0;
}

// Each side of a pipe runs in a process of its own, as cmd runs each in a new
// cmd, so built-in commands work on either side.
int Interpreter::executePipe(const Node &node)
{
    m_relay.start();
    std::vector<pid_t> children;
    int input = -1;
    for (size_t i = 0; i < node.children.size(); ++i) {
        int pipeHandles[2] = {-1, -1};
        if (i + 1 < node.children.size() && pipe2(pipeHandles, O_CLOEXEC) != 0) {
            fail(1, std::string("korvani-cmd: cannot create a pipe: ") + std::strerror(errno));
            break;
        }
        const pid_t child = fork();
        if (child == 0) {
            m_unwaited.forget();
            if (input >= 0) {
                dup2(input, STDIN_FILENO);
                close(input);
            }
            if (pipeHandles[1] >= 0) {
                dup2(pipeHandles[1], STDOUT_FILENO);
                close(pipeHandles[1]);
                close(pipeHandles[0]);
            }
            const int code = execute(*node.children[i]);
            m_unwaited.waitForWindows();
            _exit(code);
        }
        if (input >= 0)
            close(input);
        if (pipeHandles[1] >= 0)
            close(pipeHandles[1]);
        input = pipeHandles[0];
        if (child < 0) {
            fail(1, std::string("korvani-cmd: cannot start a process: ") + std::strerror(errno));
            break;
        }
        children.push_back(child);
    }
    if (input >= 0)
        close(input);
    int code = 0;
    for (const pid_t child : children)
        code = waitForProcess(child);
    m_errorLevel = code;
    return code;
}

int Interpreter::runCommand(std::string_view text)
{
    text = trimLeft(text);
    if (text.empty())
        return 0;
    size_t nameLength = 0;
    while (nameLength < text.size() && isLetter(text[nameLength]))
        ++nameLength;
    if (nameLength == 0 || (nameLength < text.size() && !endsCommandName(text[nameLength])))
        return runProgram(text);
    const std::string name = toLower(text.substr(0, nameLength));
    const std::string_view arguments = text.substr(nameLength);

    struct Entry
    {
        const char *name;
        Command command;
    };
    static const Entry commands[] = {{"call", &Interpreter::commandCall},
                                     {"cd", &Interpreter::commandChangeDirectory},
                                     {"chdir", &Interpreter::commandChangeDirectory},
                                     {"echo", &Interpreter::commandEcho},
                                     {"endlocal", &Interpreter::commandEndLocal},
                                     {"exit", &Interpreter::commandExit},
                                     {"goto", &Interpreter::commandGoto},
                                     {"path", &Interpreter::commandPath},
                                     {"pause", &Interpreter::commandPause},
                                     {"popd", &Interpreter::commandPopDirectory},
                                     {"pushd", &Interpreter::commandPushDirectory},
                                     {"rem", &Interpreter::commandRemark},
                                     {"set", &Interpreter::commandSet},
                                     {"setlocal", &Interpreter::commandSetLocal},
                                     {"shift", &Interpreter::commandShift},
                                     {"start", &Interpreter::commandStart}};
    for (const Entry &entry : commands) {
        if (name == entry.name)
            return (this->*entry.command)(arguments);
    }
    // cmd's own commands that this interpreter does not have: they must not be
    // taken for programs of the same name.
    static const char *const unsupportedCommands[] = {"assoc", "break",  "cls",   "color",  "copy",  "date",   "del",
                                                      "dir",   "dpath",  "erase", "for",    "ftype", "keys",   "md",
                                                      "mkdir", "mklink", "move",  "prompt", "rd",    "ren",    "rename",
                                                      "rmdir", "time",   "title", "type",   "ver",   "verify", "vol"};
    for (const char *unsupportedName : unsupportedCommands) {
        if (name == unsupportedName)
            return unsupported(name);
    }
    return runProgram(text);
}

int Interpreter::runProgram(std::string_view text)
{
    const ProgramWord word = splitProgramWord(text);
    const ProgramLookup lookup = findProgram(word.name, m_environment.find("PATH"));
    if (lookup.result == ProgramLookup::Result::NotFound) {
        return fail(9009,
                    "'" + std::string(word.written)
                        + "' is not recognized as an internal or external command,\n"
                          "operable program or batch file.");
    }
    if (lookup.result == ProgramLookup::Result::NotExecutable)
        return fail(1, "Access is denied.");
    if (isBatchFileName(lookup.path)) {
        // As in cmd, control passes to the other batch file and does not come back.
        runBatchFile(lookup.path, std::string(word.written), word.rest);
        if (m_flow == Flow::Next)
            m_flow = Flow::LeaveBatch;
        return m_errorLevel;
    }
    std::vector<std::string> arguments = splitArguments(word.rest);
    arguments.insert(arguments.begin(), word.name);
    m_relay.start();
    if (m_programKinds.isGraphical(lookup.path, m_environment)) {
        // cmd.exe does not wait for a graphical program, and its error level
        // after one is 0; the programs' output reaches the reader only when
        // it fails at once.
        const int error = m_unwaited.start(lookup.path, arguments, m_environment.block(),
                                           m_relay.carries(STDOUT_FILENO), m_relay.carries(STDERR_FILENO));
        if (error != 0)
            return cannotStart(error, word.name);
        m_errorLevel = 0;
        return 0;
    }
    pid_t child = 0;
    const int error = spawnProgram(lookup.path, arguments, m_environment.block(), &child);
    if (error != 0)
        return cannotStart(error, word.name);
    m_errorLevel = waitForProcess(child);
    return m_errorLevel;
}

int Interpreter::cannotStart(int error, const std::string &name)
{
    switch (error) {
    case E2BIG:
        return fail(1, "The command line is too long.");
    case EACCES:
        return fail(1, "Access is denied.");
    case ENOEXEC:
        return fail(1, "korvani-cmd: '" + name + "' is not a program that can be run");
    default:
        return fail(1, "korvani-cmd: cannot start '" + name + "': " + std::strerror(error));
    }
}

bool Interpreter::evaluate(const Condition &condition) const
{
    bool result = false;
    switch (condition.kind) {
    case Condition::Kind::Exist: {
        const std::string path = removeQuotes(condition.left);
        if (path.find_first_of("*?") != std::string::npos) {
            glob_t matches{};
            result = glob(path.c_str(), GLOB_NOSORT, nullptr, &matches) == 0 && matches.gl_pathc > 0;
            globfree(&matches);
        } else {
            struct stat status
            {
            };
            result = stat(path.c_str(), &status) == 0;
        }
        break;
    }
    case Condition::Kind::Defined:
        result = m_environment.find(condition.left) != nullptr;
        break;
    case Condition::Kind::ErrorLevel: {
        long long level = 0;
        result = parseInteger(condition.left, &level) && m_errorLevel >= level;
        break;
    }
    case Condition::Kind::Compare: {
        const std::string &left = condition.left;
        const std::string &right = condition.right;
        if (condition.op == Condition::Operator::Same) {
            result = condition.ignoreCase ? equalsIgnoreCase(left, right) : left == right;
            break;
        }
        long long a = 0;
        long long b = 0;
        int order = 0;
        if (parseInteger(left, &a) && parseInteger(right, &b))
            order = a < b ? -1 : (a > b ? 1 : 0);
        else
            order = condition.ignoreCase ? compareIgnoreCase(left, right) : left.compare(right);
        switch (condition.op) {
        case Condition::Operator::Same:
        case Condition::Operator::Equal:
            result = order == 0;
            break;
        case Condition::Operator::NotEqual:
            result = order != 0;
            break;
        case Condition::Operator::Less:
            result = order < 0;
            break;
        case Condition::Operator::LessOrEqual:
            result = order <= 0;
            break;
        case Condition::Operator::Greater:
            result = order > 0;
            break;
        case Condition::Operator::GreaterOrEqual:
            result = order >= 0;
            break;
        }
        break;
    }
    }
    return result != condition.negated;
}

std::string Interpreter::expand(std::string_view line, const Frame &frame) const
{
    std::string result;
    result.reserve(line.size());
    size_t i = 0;
    while (i < line.size()) {
        const size_t percent = line.find('%', i);
        if (percent == std::string_view::npos) {
            result.append(line.substr(i));
            break;
        }
        result.append(line.substr(i, percent - i));
        i = percent;
        if (i + 1 >= line.size())
            break;
        const char next = line[i + 1];
        if (next == '%') {
            result += '%';
            i += 2;
        } else if (isDigit(next)) {
            const size_t index = size_t(next - '0');
            if (index < frame.parameters.size())
                result += frame.parameters[index];
            i += 2;
        } else if (next == '*') {
            result += frame.allParameters;
            i += 2;
        } else if (const size_t used = next == '~' ? expandParameterPath(line, i, frame, &result) : 0) {
            i += used;
        } else {
            // A lone percent sign is dropped, as cmd does in a batch file.
            const size_t close = line.find('%', i + 1);
            if (close == std::string_view::npos) {
                ++i;
            } else {
                result += expandVariable(line.substr(i + 1, close - i - 1));
                i = close + 1;
            }
        }
    }
    return result;
}

// NAME, NAME:~start,length or NAME:search=replacement.
std::string Interpreter::expandVariable(std::string_view reference) const
{
    const size_t colon = reference.find(':');
    const std::optional<std::string> found = variable(reference.substr(0, colon));
    if (!found || colon == std::string_view::npos)
        return found.value_or(std::string());
    const std::string &value = *found;
    const std::string_view edit = reference.substr(colon + 1);
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

// %~1, %~dp0, %~$PATH:1 and the like; the number of characters read, or 0
// when the text is no such reference.
size_t Interpreter::expandParameterPath(std::string_view line, size_t start, const Frame &frame,
                                        std::string *result) const
{
    const std::string_view letters = "fdpnxsz";
    size_t i = start + 2;
    std::string modifiers;
    while (i < line.size() && letters.find(toLower(line[i])) != std::string_view::npos)
        modifiers += toLower(line[i++]);
    std::string searchVariable;
    if (i < line.size() && line[i] == '$') {
        const size_t colon = line.find(':', i + 1);
        if (colon == std::string_view::npos)
            return 0;
        searchVariable = line.substr(i + 1, colon - i - 1);
        i = colon + 1;
    }
    if (i >= line.size() || !isDigit(line[i]))
        return 0;
    result->append(parameterPath(frame, line[i] - '0', modifiers, searchVariable));
    return i + 1 - start;
}

std::string Interpreter::parameterPath(const Frame &frame, int index, std::string_view modifiers,
                                       const std::string &searchVariable) const
{
    const std::string parameter = size_t(index) < frame.parameters.size() ? frame.parameters[size_t(index)] : "";
    const std::string_view value = stripSurroundingQuotes(parameter);
    if (modifiers.empty() && searchVariable.empty())
        return std::string(value);
    if (value.empty())
        return std::string();
    // %0 in a subroutine still names the batch file.
    std::string full = index == 0 ? frame.script->absolutePath : absolutePath(value, m_directory);
    if (!searchVariable.empty()) {
        full.clear();
        const std::string folders = variable(searchVariable).value_or(std::string());
        size_t from = 0;
        while (from <= folders.size() && full.empty()) {
            size_t end = folders.find(':', from);
            if (end == std::string::npos)
                end = folders.size();
            const std::string candidate = absolutePath(folders.substr(from, end - from) + '/' + std::string(value),
                                                       m_directory);
            if (access(candidate.c_str(), F_OK) == 0)
                full = candidate;
            from = end + 1;
        }
        if (full.empty())
            return std::string();
    }
    std::string expanded;
    if (modifiers.find('z') != std::string_view::npos) {
        struct stat status
        {
        };
        if (stat(full.c_str(), &status) == 0 && S_ISREG(status.st_mode))
            expanded = std::to_string(status.st_size);
    }
    const bool parts = modifiers.find_first_of("pnx") != std::string_view::npos;
    if (!parts && modifiers.find_first_of("fsd") == std::string_view::npos && searchVariable.empty())
        return expanded;
    std::string path;
    if (parts || modifiers.find('d') != std::string_view::npos) {
        // No drive letters here: "d" adds nothing.
        const size_t slash = full.rfind('/');
        const std::string file = full.substr(slash + 1);
        const size_t dot = file.rfind('.');
        if (modifiers.find('p') != std::string_view::npos)
            path += full.substr(0, slash + 1);
        if (modifiers.find('n') != std::string_view::npos)
            path += file.substr(0, dot);
        if (modifiers.find('x') != std::string_view::npos && dot != std::string::npos)
            path += file.substr(dot);
    } else {
        path = full;
    }
    if (!expanded.empty())
        expanded += ' ';
    return expanded + path;
}

std::optional<std::string> Interpreter::variable(std::string_view name) const
{
    if (const std::string *value = m_environment.find(name))
        return *value;
    if (equalsIgnoreCase(name, "CD"))
        return m_directory;
    if (equalsIgnoreCase(name, "ERRORLEVEL"))
        return std::to_string(m_errorLevel);
    return std::nullopt;
}

size_t Interpreter::findLabel(const Frame &frame, std::string_view label) const
{
    const std::vector<std::string> &lines = frame.script->lines;
    for (size_t step = 0; step < lines.size(); ++step) {
        const size_t index = (frame.nextLine + step) % lines.size();
        const std::optional<std::string_view> name = labelName(lines[index]);
        if (name && equalsIgnoreCase(*name, label))
            return index;
    }
    return std::string::npos;
}

// Calls and nested blocks each take stack; a batch file that nests both
// deeply is stopped before the stack runs out.
bool Interpreter::stackExhausted()
{
    const char marker = 0;
    const uintptr_t here = reinterpret_cast<uintptr_t>(&marker);
    if (m_stackBase - here <= m_stackBudget)
        return false;
    fail(1, "korvani-cmd: commands nested too deeply; batch processing stopped");
    m_flow = Flow::Quit;
    return true;
}

bool Interpreter::changeDirectory(const std::string &path)
{
    if (chdir(path.c_str()) != 0)
        return false;
    m_directory = currentDirectory();
    return true;
}

void Interpreter::endLocal()
{
    Local &local = m_locals.back();
    m_environment.restore(std::move(local.variables));
    changeDirectory(local.directory);
    m_locals.pop_back();
}

int Interpreter::fail(int errorLevel, const std::string &message)
{
    writeAll(STDERR_FILENO, message + '\n');
    m_errorLevel = errorLevel;
    return errorLevel;
}

int Interpreter::unsupported(const std::string &name)
{
    return fail(1, "korvani-cmd: '" + name + "' is not supported");
}

} // namespace Cmd
