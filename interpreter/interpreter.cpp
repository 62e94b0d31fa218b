#include "interpreter.h"

#include "builtins.h"
#include "commandLine.h"
#include "commands.h"
#include "condition.h"
#include "paths.h"
#include "statusPipe.h"
#include "text.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace Cmd {

namespace {

// Deep enough for real subroutines, shallow enough for the stack.
constexpr int maxCallDepth = 256;

std::string quoteParameter(const std::string &argument)
{
    bool plain = !argument.empty();
    for (const char c : argument)
        plain = plain && !isDelimiter(c);
    return plain ? argument : '"' + argument + '"';
}

} // namespace

Interpreter::Interpreter(char *const *initialEnvironment)
    : Context(initialEnvironment)
{
    const char marker = 0;
    m_stackBase = reinterpret_cast<uintptr_t>(&marker);
    rlimit limit{};
    size_t stack = 8 << 20;
    if (getrlimit(RLIMIT_STACK, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        stack = size_t(limit.rlim_cur);
    // What a single line may still take to read and run stays in reserve.
    m_stackBudget = stack > (2 << 20) ? stack - (1 << 20) : stack / 2;
    // Batch files test OS before they use what cmd added to them, and start
    // cmd as COMSPEC. Programs do not get them: Makefiles and build scripts
    // take OS=Windows_NT to mean Windows.
    environment.setDefault("OS", "Windows_NT");
    environment.setDefault("COMSPEC", ownExecutablePath());
}

int Interpreter::run(const std::string &path, const std::vector<std::string> &arguments)
{
    int code = 0;
    if (!isBatchFileName(path)) {
        // One argument is the whole command line; several are its words.
        std::string line = arguments.empty() ? path : quoteParameter(path);
        for (const std::string &argument : arguments)
            line += ' ' + quoteParameter(argument);
        code = runCommandLine(line);
    } else {
        std::string parameters;
        for (const std::string &argument : arguments) {
            if (!parameters.empty())
                parameters += ' ';
            parameters += quoteParameter(argument);
        }
        // cmd /c runs the file as its command line would: a name written
        // with backslashes, or found on PATH, as call finds it.
        const ProgramLookup lookup = findCommand(path);
        const std::string file = lookup.result == ProgramLookup::Result::Found ? lookup.path : nativePath(path);
        code = runBatchFile(file, path, parameters) ? errorLevel : 1;
    }
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
    script->absolutePath = absolutePath(path, directory);
    script->lines = splitLines(contents);
    Frame batch;
    batch.parameters = batchParameters(name, parameters, script->absolutePath);
    batch.script = std::move(script);
    runFrame(batch, 0);
    return true;
}

// Runs as cmd /c runs a command line: no echo of it, and expansion keeps
// what it does not know.
int Interpreter::runCommandLine(const std::string &line)
{
    auto script = std::make_shared<Script>();
    script->lines.push_back(line);
    Frame commandLine;
    commandLine.script = std::move(script);
    commandLine.batch = false;
    echo = false;
    runFrame(commandLine, 0);
    return errorLevel;
}

void Interpreter::runFrame(Frame &started, size_t firstLine)
{
    if (m_depth >= maxCallDepth) {
        fail(1,
             "korvani-cmd: batch calls nested more than " + std::to_string(maxCallDepth)
                 + " deep; batch processing stopped");
        flow = Flow::Quit;
        return;
    }
    if (stackExhausted())
        return;
    ++m_depth;
    Frame *const caller = frame;
    frame = &started;
    started.nextLine = firstLine;
    started.localsAtStart = locals.size();
    while (started.nextLine < started.script->lines.size()) {
        runLine(started);
        if (started.ending && flow != Flow::Quit)
            flow = Flow::LeaveBatch;
        if (flow == Flow::Jump)
            flow = Flow::Next;
        else if (flow != Flow::Next)
            break;
    }
    if (flow == Flow::LeaveBatch)
        flow = Flow::Next;
    while (locals.size() > started.localsAtStart)
        endLocal();
    frame = caller;
    --m_depth;
}

void Interpreter::runLine(Frame &running)
{
    const ParsedLine parsed = readCommandLine(
        running.script->lines, &running.nextLine,
        [this, &running](std::string_view line, std::string *expanded) { return expand(line, running, expanded); });
    if (parsed.tooLong) {
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
    if (echo && !parsed.quiet)
        showCommand(echoText(*parsed.node));
    execute(*parsed.node);
}

int Interpreter::execute(const Node &node)
{
    if (stackExhausted())
        return errorLevel;
    if (node.redirections.empty())
        return executeNode(node);
    // A redirection saves the standard handles away: the relay must be in
    // place before, or it would not see them.
    m_relay.start();
    std::vector<Redirection> redirections = node.redirections;
    for (Redirection &redirection : redirections)
        redirection.target = openPath(removeQuotes(prepare(redirection.target)));
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
    case Node::Kind::If: {
        const std::optional<bool> holds = evaluate(*this, node.condition);
        if (!holds)
            return errorLevel;
        if (*holds)
            return execute(*node.children.front());
        return node.children.size() > 1 ? execute(*node.children.back()) : 0;
    }
    case Node::Kind::List: {
        // cmd binds && tighter than ||: "a || b && c" is "a || (b && c)", so
        // an item that || passes over takes the && items after it along.
        int code = 0;
        bool chainPassed = false;
        for (const auto &child : node.children) {
            if (child->joint == Node::Joint::OrElse)
                chainPassed = code == 0;
            else if (child->joint == Node::Joint::Then)
                chainPassed = false;
            if (chainPassed || (child->joint == Node::Joint::AndThen && code != 0))
                continue;
            code = execute(*child);
            if (flow != Flow::Next)
                break;
        }
        return code;
    }
    case Node::Kind::Pipe:
        return executePipe(node);
    case Node::Kind::For:
        return executeFor(*this, node);
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
    // The last side's error level is the pipe's, whole.
    StatusPipe status;
    for (size_t i = 0; i < node.children.size(); ++i) {
        const bool last = i + 1 == node.children.size();
        int pipeHandles[2] = {-1, -1};
        if (!last && pipe2(pipeHandles, O_CLOEXEC) != 0) {
            fail(1, cannotCreatePipe + std::string(std::strerror(errno)));
            break;
        }
        if (last)
            status.open();
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
            if (last)
                status.report(code);
            _exit(code);
        }
        if (input >= 0)
            close(input);
        if (pipeHandles[1] >= 0)
            close(pipeHandles[1]);
        input = pipeHandles[0];
        if (child < 0) {
            fail(1, cannotStartProcess + std::string(std::strerror(errno)));
            break;
        }
        children.push_back(child);
    }
    if (input >= 0)
        close(input);
    status.closeWriteEnd();
    int code = 0;
    for (const pid_t child : children)
        code = waitForProcess(child);
    errorLevel = status.take(code);
    return errorLevel;
}

int Interpreter::runCommand(std::string_view text)
{
    text = trimLeft(text);
    if (text.empty())
        return 0;
    std::string_view arguments;
    const BuiltIn *command = findBuiltIn(text, &arguments);
    if (command && !namesFile(arguments, text))
        return runBuiltIn(*this, *command, arguments);
    return runProgram(text);
}

// Observed: a command word such as "echo.bat" runs the file of that name
// when there is one, and is a built-in command followed by a dot only when
// there is not.
bool Interpreter::namesFile(std::string_view arguments, std::string_view text) const
{
    if (arguments.size() < 2 || arguments.front() != '.')
        return false;
    const std::string_view extension = firstWord(arguments.substr(1));
    for (const char c : extension) {
        if (!isDigit(c) && (toLower(c) < 'a' || toLower(c) > 'z'))
            return false;
    }
    return !extension.empty() && findCommand(splitProgramWord(text).name).result == ProgramLookup::Result::Found;
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
        return fail(1, accessDenied);
    if (isBatchFileName(lookup.path)) {
        // As in cmd, control passes to the other batch file and does not come back.
        runBatchFile(lookup.path, std::string(word.written), word.rest);
        if (flow == Flow::Next)
            flow = Flow::LeaveBatch;
        return errorLevel;
    }
    std::vector<std::string> arguments = splitArguments(word.rest);
    arguments.insert(arguments.begin(), word.name);
    m_relay.start();
    if (m_programKinds.isGraphical(lookup.path, environment)) {
        // cmd.exe does not wait for a graphical program, and its error level
        // after one is 0; the programs' output reaches the reader only when
        // it fails at once.
        const int error = m_unwaited.start(lookup.path, arguments, environment.block(), m_relay.carries(STDOUT_FILENO),
                                           m_relay.carries(STDERR_FILENO));
        if (error != 0)
            return cannotStart(error, word.name);
        errorLevel = 0;
        return 0;
    }
    pid_t child = 0;
    // Another korvani-cmd, such as cmd /c, passes its whole error level on.
    StatusPipe status;
    const bool own = isOwnExecutable(lookup.path) && status.open();
    std::vector<char *> childEnvironment = own ? status.childEnvironment(environment.block()) : std::vector<char *>();
    const int error = spawnProgram(lookup.path, arguments, own ? childEnvironment.data() : environment.block(), &child);
    status.closeWriteEnd();
    if (error != 0)
        return cannotStart(error, word.name);
    errorLevel = status.take(waitForProcess(child));
    return errorLevel;
}

int Interpreter::cannotStart(int error, const std::string &name)
{
    switch (error) {
    case E2BIG:
        return fail(1, "The command line is too long.");
    case EACCES:
        return fail(1, accessDenied);
    case ENOEXEC:
        return fail(1, "korvani-cmd: '" + name + "' is not a program that can be run");
    default:
        return fail(1, "korvani-cmd: cannot start '" + name + "': " + std::strerror(error));
    }
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
    flow = Flow::Quit;
    return true;
}

} // namespace Cmd
