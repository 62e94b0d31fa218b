#include "interpreter.h"

#include "commandLine.h"
#include "paths.h"
#include "text.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/resource.h>
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

std::string quoteParameter(const std::string &argument)
{
    bool plain = !argument.empty();
    for (const char c : argument)
        plain = plain && !isDelimiter(c);
    return plain ? argument : '"' + argument + '"';
}

// The extensions cmd tries for a command name without one (PATHEXT's
// default when it is not set).
std::vector<std::string> commandExtensions(const std::string *pathExtensions)
{
    const std::string list = pathExtensions ? *pathExtensions : std::string(".COM;.EXE;.BAT;.CMD");
    std::vector<std::string> extensions;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos)
            end = list.size();
        if (end > start)
            extensions.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return extensions;
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
    int code = 0;
    if (isBatchFileName(path)) {
        std::string parameters;
        for (const std::string &argument : arguments) {
            if (!parameters.empty())
                parameters += ' ';
            parameters += quoteParameter(argument);
        }
        code = runBatchFile(path, path, parameters) ? m_errorLevel : 1;
    } else {
        // One argument is the whole command line; several are its words.
        std::string line = arguments.empty() ? path : quoteParameter(path);
        for (const std::string &argument : arguments)
            line += ' ' + quoteParameter(argument);
        code = runCommandLine(line);
    }
    // However it ran: the reader stops reading when this ends, so graphical
    // programs that fail at once are reported, and everything the programs
    // wrote is passed on, before it does.
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
    frame.parameters.values = splitBatchParameters(parameters);
    frame.parameters.values.insert(frame.parameters.values.begin(), name);
    frame.parameters.all = skipDelimiters(parameters);
    frame.parameters.scriptPath = script->absolutePath;
    frame.script = std::move(script);
    runFrame(frame, 0);
    return true;
}

// Runs as cmd /c runs a command line: no echo of it, and expansion keeps
// what it does not know.
int Interpreter::runCommandLine(const std::string &line)
{
    auto script = std::make_shared<Script>();
    script->lines.push_back(line);
    Frame frame;
    frame.script = std::move(script);
    frame.batch = false;
    m_echo = false;
    runFrame(frame, 0);
    return m_errorLevel;
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
    bool fits = true;
    const MoreLines moreLines = [this, &frame, &fits](std::string &next) {
        if (frame.nextLine >= frame.script->lines.size() || !fits)
            return false;
        fits = expand(frame.script->lines[frame.nextLine++], frame, &next);
        return fits;
    };
    std::string expanded;
    fits = expand(line, frame, &expanded);
    const ParsedLine parsed = fits ? parseLine(expanded, moreLines) : ParsedLine();
    if (!fits) {
        fail(1, lineTooLong);
        return;
    }
    // One line that cannot be read is reported and skipped; the batch file
    // goes on, so that a launch still starts its program.
    if (!parsed.error.empty()) {
        fail(255, parsed.error);
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
    if (node.redirections.empty())
        return executeNode(node);
    // A redirection saves the standard handles away: the relay must be in
    // place before, or it would not see them.
    m_relay.start();
    std::vector<Redirection> redirections = node.redirections;
    for (Redirection &redirection : redirections) {
        redirection.target = nativePath(prepare(redirection.target));
        // NUL is the null device in every folder.
        const std::string unquoted = removeQuotes(redirection.target);
        const std::string_view name = splitPath(unquoted).name;
        if (equalsIgnoreCase(name, "nul") || equalsIgnoreCase(name, "nul:"))
            redirection.target = "nul";
    }
    RedirectionGuard guard;
    std::string error;
    if (!guard.apply(redirections, &error))
        return fail(1, error);
    return executeNode(node);
}

int Interpreter::executeNode(const Node &node)
{
    switch (node.kind) {
    case Node::Kind::Command: {
        const std::string text = prepare(node.text);
        if (text.size() > maxLineLength)
            return fail(1, lineTooLong);
        return runCommand(text);
    }
    case Node::Kind::Block:
        return node.children.empty() ? 0 : execute(*node.children.front());
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
    case Node::Kind::For:
        return executeFor(node);
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
    std::string_view arguments;
    if (const Command command = findBuiltIn(text, &arguments))
        return (this->*command)(arguments);
    // cmd's own commands that this interpreter does not have: they must not be
    // taken for programs of the same name.
    static const char *const unsupportedCommands[] = {"assoc",  "break",  "date", "dpath",  "ftype", "keys",
                                                      "mklink", "prompt", "time", "verify", "vol"};
    const std::string name = toLower(text.substr(0, text.size() - arguments.size()));
    for (const char *unsupportedName : unsupportedCommands) {
        if (name == unsupportedName)
            return unsupported(name);
    }
    return runProgram(text);
}

Interpreter::Command Interpreter::findBuiltIn(std::string_view text, std::string_view *arguments) const
{
    size_t nameLength = 0;
    while (nameLength < text.size() && isLetter(text[nameLength]))
        ++nameLength;
    *arguments = text.substr(nameLength);
    if (nameLength == 0 || (nameLength < text.size() && !endsCommandName(text[nameLength])))
        return nullptr;
    const std::string_view written = text.substr(0, nameLength);

    // Sorted by name, for a binary search on every command a script runs.
    struct Entry
    {
        std::string_view name;
        Command command;
    };
    static const Entry commands[] = {{"call", &Interpreter::commandCall},
                                     {"cd", &Interpreter::commandChangeDirectory},
                                     {"chcp", &Interpreter::commandChangeCodePage},
                                     {"chdir", &Interpreter::commandChangeDirectory},
                                     {"cls", &Interpreter::commandClearScreen},
                                     {"color", &Interpreter::commandColor},
                                     {"copy", &Interpreter::commandCopy},
                                     {"del", &Interpreter::commandDelete},
                                     {"dir", &Interpreter::commandDirectory},
                                     {"echo", &Interpreter::commandEcho},
                                     {"endlocal", &Interpreter::commandEndLocal},
                                     {"erase", &Interpreter::commandDelete},
                                     {"exit", &Interpreter::commandExit},
                                     {"goto", &Interpreter::commandGoto},
                                     {"md", &Interpreter::commandMakeDirectory},
                                     {"mkdir", &Interpreter::commandMakeDirectory},
                                     {"move", &Interpreter::commandMove},
                                     {"path", &Interpreter::commandPath},
                                     {"pause", &Interpreter::commandPause},
                                     {"popd", &Interpreter::commandPopDirectory},
                                     {"pushd", &Interpreter::commandPushDirectory},
                                     {"rd", &Interpreter::commandRemoveDirectory},
                                     {"rem", &Interpreter::commandRemark},
                                     {"ren", &Interpreter::commandRename},
                                     {"rename", &Interpreter::commandRename},
                                     {"rmdir", &Interpreter::commandRemoveDirectory},
                                     {"set", &Interpreter::commandSet},
                                     {"setlocal", &Interpreter::commandSetLocal},
                                     {"shift", &Interpreter::commandShift},
                                     {"start", &Interpreter::commandStart},
                                     {"timeout", &Interpreter::commandTimeout},
                                     {"title", &Interpreter::commandTitle},
                                     {"type", &Interpreter::commandType},
                                     {"ver", &Interpreter::commandVersion}};
    const auto found = std::lower_bound(
        std::begin(commands), std::end(commands), written,
        [](const Entry &entry, std::string_view name) { return compareIgnoreCase(entry.name, name) < 0; });
    return found != std::end(commands) && equalsIgnoreCase(found->name, written) ? found->command : nullptr;
}

int Interpreter::runProgram(std::string_view text)
{
    const ProgramWord word = splitProgramWord(text);
    const ProgramLookup lookup = findCommand(word.name);
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

// A name without an extension is looked for with each extension of
// PATHEXT too: batch files in the current folder first, as cmd looks there
// before PATH, then the name itself and the others along PATH.
ProgramLookup Interpreter::findCommand(const std::string &name) const
{
    const std::string path = nativePath(name);
    const std::string *searchPath = m_environment.find("PATH");
    const std::string_view file = splitPath(path).name;
    if (file.empty() || file.find('.') != std::string_view::npos)
        return findProgram(path, searchPath);
    const std::vector<std::string> extensions = commandExtensions(m_environment.find("PATHEXT"));
    const bool hasFolder = path.find('/') != std::string::npos;
    if (!hasFolder) {
        for (const std::string &extension : extensions) {
            const std::string candidate = path + toLower(extension);
            if (isBatchFileName(candidate) && isFile(candidate))
                return findProgram(candidate, nullptr);
        }
    }
    ProgramLookup lookup = findProgram(path, searchPath);
    for (auto it = extensions.begin(); it != extensions.end() && lookup.result != ProgramLookup::Result::Found; ++it) {
        for (const std::string &extension : {toLower(*it), *it}) {
            const ProgramLookup candidate = findProgram(path + extension, hasFolder ? nullptr : searchPath);
            if (candidate.result == ProgramLookup::Result::Found) {
                lookup = candidate;
                break;
            }
        }
    }
    return lookup;
}

bool Interpreter::expand(std::string_view line, const Frame &frame, std::string *result) const
{
    return expandPercents(line, m_variables, frame.batch ? &frame.parameters : nullptr, result);
}

// What happens to a command's text when it runs rather than when its line is
// read: the loop variables, then delayed expansion.
std::string Interpreter::prepare(std::string_view text) const
{
    std::string prepared = m_forVariables.empty() ? std::string(text)
                                                  : substituteForVariables(text, m_forVariables, m_variables);
    if (m_delayedExpansion)
        return expandDelayed(prepared, m_variables);
    return prepared;
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
    m_delayedExpansion = local.delayedExpansion;
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
