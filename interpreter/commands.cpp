// The interpreter's built-in commands, one function each; runCommand picks them
// by name.
#include "interpreter.h"

#include "arithmetic.h"
#include "commandLine.h"
#include "paths.h"
#include "process.h"
#include "text.h"

#include <cerrno>
#include <climits>

#include <sys/stat.h>
#include <unistd.h>

namespace Cmd {

namespace {

// cmd's limit on setlocal within one batch file or subroutine.
constexpr size_t maxLocalLevels = 32;

// pushd keeps the folders it left; a script that pushes without popping
// must not grow the interpreter without bound.
constexpr size_t maxPushedFolders = 1024;

// What set /a reads and writes.
class ArithmeticScope : public ArithmeticVariables
{
public:
    ArithmeticScope(const VariableLookup &lookup, Environment &environment)
        : m_lookup(lookup)
        , m_environment(environment)
    {
    }
    std::optional<std::string> get(std::string_view name) const override { return m_lookup.find(name); }
    void set(std::string_view name, const std::string &value) override { m_environment.set(name, value); }

private:
    const VariableLookup &m_lookup;
    Environment &m_environment;
};

std::string directoryError()
{
    return errno == ENOTDIR ? "The directory name is invalid." : pathNotFound;
}

std::string ownExecutable()
{
    char buffer[PATH_MAX];
    const ssize_t size = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return size > 0 ? std::string(buffer, size_t(size)) : std::string("korvani-cmd");
}

} // namespace

void Interpreter::listVariables(std::string_view prefix) const
{
    std::string listing;
    for (const Environment::Variable *entry : m_environment.sorted()) {
        if (entry->name.size() >= prefix.size() && equalsIgnoreCase(entry->name.substr(0, prefix.size()), prefix))
            listing += entry->name + '=' + entry->value + '\n';
    }
    writeAll(STDOUT_FILENO, listing);
}

int Interpreter::commandCall(std::string_view arguments)
{
    arguments = trimLeft(arguments);
    if (!arguments.empty() && arguments.front() == ':')
        return commandCallLabel(arguments);
    // call doubles the carets before it reads the line again, so that one
    // level of escapes survives; the second expansion makes %%NAME%% give
    // NAME's value.
    std::string doubled;
    for (const char c : arguments) {
        if (c == '^')
            doubled += '^';
        doubled += c;
    }
    std::string expanded;
    if (!expand(doubled, *m_frame, &expanded))
        return fail(1, lineTooLong);
    const ParsedLine parsed = parseLine(expanded);
    if (!parsed.error.empty())
        return fail(1, parsed.error);
    if (!parsed.node)
        return 0;
    const Node &node = *parsed.node;
    if (node.kind == Node::Kind::Command && node.redirections.empty()) {
        const std::string text = prepare(node.text);
        std::string_view rest;
        const ProgramWord word = splitProgramWord(text);
        if (!findBuiltIn(trimLeft(text), &rest)) {
            const ProgramLookup lookup = findCommand(word.name);
            if (lookup.result == ProgramLookup::Result::Found && isBatchFileName(lookup.path)) {
                runBatchFile(lookup.path, std::string(word.written), word.rest);
                return m_errorLevel;
            }
        }
    }
    return execute(node);
}

int Interpreter::commandCallLabel(std::string_view arguments)
{
    if (!m_frame->batch)
        return fail(1, "Invalid attempt to call batch label outside of batch script.");
    std::string expanded;
    if (!expand(arguments, *m_frame, &expanded))
        return fail(1, lineTooLong);
    size_t end = 1;
    while (end < expanded.size() && !isDelimiter(expanded[end]))
        ++end;
    const std::string label = expanded.substr(1, end - 1);
    const size_t index = findLabel(*m_frame, label);
    if (index == std::string::npos)
        return fail(1, "The system cannot find the batch label specified - " + label);
    const std::string_view parameters = std::string_view(expanded).substr(end);
    Frame frame;
    frame.script = m_frame->script;
    frame.parameters.values = splitBatchParameters(parameters);
    frame.parameters.values.insert(frame.parameters.values.begin(), expanded.substr(0, end));
    frame.parameters.all = skipDelimiters(parameters);
    frame.parameters.scriptPath = m_frame->script->absolutePath;
    runFrame(frame, index + 1);
    return m_errorLevel;
}

int Interpreter::commandChangeDirectory(std::string_view arguments)
{
    std::string_view text = trim(arguments);
    if (startsWithWord(text, "/d"))
        text = trim(text.substr(2));
    if (text.empty()) {
        writeAll(STDOUT_FILENO, m_directory + '\n');
        return 0;
    }
    if (!changeDirectory(nativePath(removeQuotes(text))))
        return fail(1, directoryError());
    m_errorLevel = 0;
    return 0;
}

int Interpreter::commandEcho(std::string_view arguments)
{
    if (trim(arguments).empty() && (arguments.empty() || isBlank(arguments.front()))) {
        writeAll(STDOUT_FILENO, m_echo ? "ECHO is on.\n" : "ECHO is off.\n");
        return 0;
    }
    const std::string_view text = arguments.substr(1);
    if (isBlank(arguments.front())) {
        const std::string_view word = trim(text);
        if (equalsIgnoreCase(word, "on") || equalsIgnoreCase(word, "off")) {
            m_echo = equalsIgnoreCase(word, "on");
            return 0;
        }
    }
    writeAll(STDOUT_FILENO, std::string(text) + '\n');
    return 0;
}

int Interpreter::commandEndLocal(std::string_view)
{
    if (m_locals.size() > m_frame->localsAtStart)
        endLocal();
    return 0;
}

int Interpreter::commandExit(std::string_view arguments)
{
    std::string_view text = trim(arguments);
    const bool leaveBatch = startsWithWord(text, "/b");
    if (leaveBatch)
        text = trim(text.substr(2));
    if (!text.empty())
        m_errorLevel = leadingInteger(firstWord(text));
    m_flow = leaveBatch ? Flow::LeaveBatch : Flow::Quit;
    return m_errorLevel;
}

int Interpreter::commandGoto(std::string_view arguments)
{
    std::string_view text = trimLeft(arguments);
    const bool colon = !text.empty() && text.front() == ':';
    if (colon)
        text.remove_prefix(1);
    const std::string_view label = firstWord(text);
    // Only ":eof" with its colon means the end of the file; "goto eof" looks
    // for a label of that name.
    if (colon && equalsIgnoreCase(label, "eof")) {
        m_flow = Flow::LeaveBatch;
        return 0;
    }
    const size_t index = label.empty() ? std::string::npos : findLabel(*m_frame, label);
    if (index == std::string::npos) {
        m_flow = Flow::LeaveBatch;
        if (label.empty())
            return fail(1, "No batch label specified to GOTO command.");
        return fail(1, "The system cannot find the batch label specified - " + std::string(label));
    }
    m_frame->nextLine = index + 1;
    m_flow = Flow::Jump;
    return 0;
}

int Interpreter::commandPath(std::string_view arguments)
{
    std::string_view text = trim(arguments);
    if (!text.empty() && text.front() == '=')
        text = trimLeft(text.substr(1));
    if (text.empty()) {
        const std::string *path = m_environment.find("PATH");
        writeAll(STDOUT_FILENO, path ? "PATH=" + *path + '\n' : std::string("No Path\n"));
        return 0;
    }
    m_environment.set("PATH", text == ";" ? std::string_view() : text);
    return 0;
}

int Interpreter::commandPause(std::string_view)
{
    writeAll(STDOUT_FILENO, "Press any key to continue . . . ");
    std::string line;
    readInputLine(&line);
    // A terminal has shown the user's line feed already; anything else has not.
    if (!isatty(STDIN_FILENO))
        writeAll(STDOUT_FILENO, "\n");
    return 0;
}

int Interpreter::commandPopDirectory(std::string_view)
{
    if (m_directoryStack.empty())
        return 0;
    const std::string directory = m_directoryStack.back();
    m_directoryStack.pop_back();
    if (!changeDirectory(directory))
        return fail(1, directoryError());
    return 0;
}

int Interpreter::commandPushDirectory(std::string_view arguments)
{
    const std::string path = nativePath(removeQuotes(trim(arguments)));
    if (path.empty()) {
        std::string listing;
        for (auto it = m_directoryStack.rbegin(); it != m_directoryStack.rend(); ++it)
            listing += *it + '\n';
        writeAll(STDOUT_FILENO, listing);
        return 0;
    }
    if (m_directoryStack.size() >= maxPushedFolders) {
        return fail(1,
                    "korvani-cmd: " + std::to_string(maxPushedFolders)
                        + " folders are pushed already; pop one with popd first");
    }
    const std::string previous = m_directory;
    if (!changeDirectory(path))
        return fail(1, directoryError());
    m_directoryStack.push_back(previous);
    m_errorLevel = 0;
    return 0;
}

int Interpreter::commandRemark(std::string_view)
{
    return 0;
}

// As in a .bat file, a successful set leaves the error level as it was.
int Interpreter::commandSet(std::string_view arguments)
{
    const std::string_view text = trimLeft(arguments);
    if (text.size() >= 2 && equalsIgnoreCase(text.substr(0, 2), "/a"))
        return commandSetArithmetic(text.substr(2));
    if (text.size() >= 2 && equalsIgnoreCase(text.substr(0, 2), "/p"))
        return commandSetFromInput(trimLeft(text.substr(2)));
    const Assignment assignment = splitAssignment(text);
    if (!assignment.hasEquals) {
        const std::string_view prefix = trimRight(assignment.name);
        bool found = prefix.empty();
        for (const Environment::Variable *entry : m_environment.sorted()) {
            found = found
                || (entry->name.size() >= prefix.size()
                    && equalsIgnoreCase(entry->name.substr(0, prefix.size()), prefix));
        }
        if (!found)
            return fail(1, "Environment variable " + std::string(prefix) + " not defined");
        listVariables(prefix);
        return 0;
    }
    if (assignment.name.empty())
        return fail(1, syntaxError);
    m_environment.set(assignment.name, assignment.value);
    return 0;
}

// Printing the result is for the prompt: a batch file's set /a is quiet.
int Interpreter::commandSetArithmetic(std::string_view arguments)
{
    if (trim(arguments).empty())
        return fail(1, syntaxError);
    ArithmeticScope scope(m_variables, m_environment);
    const ArithmeticResult result = evaluateArithmetic(arguments, scope);
    if (!result.error.empty())
        return fail(result.errorLevel, result.error);
    if (!inBatch())
        writeAll(STDOUT_FILENO, std::to_string(result.value));
    return 0;
}

// With no name before the "=", set /p only shows its prompt: the way to
// print without a line end.
int Interpreter::commandSetFromInput(std::string_view arguments)
{
    const Assignment assignment = splitAssignment(arguments);
    if (!assignment.hasEquals)
        return fail(1, syntaxError);
    std::string_view prompt = assignment.value;
    if (!prompt.empty() && prompt.front() == '"') {
        prompt.remove_prefix(1);
        prompt = prompt.substr(0, prompt.rfind('"'));
    }
    writeAll(STDOUT_FILENO, prompt);
    std::string line;
    if (!readInputLine(&line, maxLineLength) || line.empty()) {
        m_errorLevel = 1;
        return 1;
    }
    if (!assignment.name.empty())
        m_environment.set(assignment.name, line);
    return 0;
}

// setlocal /? : given an argument, setlocal sets the error level: 0 when it
// is a valid one, 1 otherwise.
int Interpreter::commandSetLocal(std::string_view arguments)
{
    if (m_locals.size() - m_frame->localsAtStart >= maxLocalLevels)
        return fail(1, "Maximum setlocal recursion level reached.");
    m_locals.push_back({m_environment.snapshot(), m_directory, m_delayedExpansion});
    std::string_view text = trim(arguments);
    if (text.empty())
        return 0;
    int errorLevel = 0;
    while (!text.empty()) {
        const std::string_view word = firstWord(text);
        if (equalsIgnoreCase(word, "enabledelayedexpansion") || equalsIgnoreCase(word, "disabledelayedexpansion"))
            m_delayedExpansion = toLower(word.front()) == 'e';
        else if (!equalsIgnoreCase(word, "enableextensions") && !equalsIgnoreCase(word, "disableextensions"))
            errorLevel = 1;
        text = trimLeft(text.substr(word.size()));
    }
    m_errorLevel = errorLevel;
    return errorLevel;
}

int Interpreter::commandShift(std::string_view arguments)
{
    if (!m_frame->parameters.shift(arguments))
        return fail(1, syntaxError);
    return 0;
}

int Interpreter::commandStart(std::string_view arguments)
{
    std::string_view text = trimLeft(arguments);
    static const char *const ignoredOptions[] = {"/b",           "/i",           "/min",      "/max",
                                                 "/low",         "/normal",      "/high",     "/realtime",
                                                 "/abovenormal", "/belownormal", "/separate", "/shared"};
    bool wait = false;
    bool titled = false;
    std::string directory;
    for (;;) {
        // The first quoted word, before or among the switches, is the title.
        if (!titled && !text.empty() && text.front() == '"') {
            const size_t close = text.find('"', 1);
            text = trimLeft(text.substr(close == std::string_view::npos ? text.size() : close + 1));
            titled = true;
            continue;
        }
        if (text.empty() || text.front() != '/')
            break;
        const std::string option = toLower(firstWord(text));
        bool known = option == "/wait";
        wait = wait || known;
        for (const char *ignored : ignoredOptions)
            known = known || option == ignored;
        if (!known && option.compare(0, 2, "/d") == 0) {
            known = true;
            if (option.size() > 2) {
                directory = nativePath(removeQuotes(firstWord(text).substr(2)));
            } else {
                text = trimLeft(text.substr(2));
                const ProgramWord folder = splitProgramWord(text);
                directory = nativePath(folder.name);
                text = trimLeft(folder.rest);
                continue;
            }
        }
        if (!known)
            break;
        text = trimLeft(text.substr(firstWord(text).size()));
    }
    const ProgramWord word = splitProgramWord(text);
    if (word.name.empty())
        return unsupported("start without a program");
    struct stat status
    {
    };
    if (!directory.empty() && (stat(directory.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)))
        return fail(1, pathNotFound);
    const ProgramLookup lookup = findCommand(word.name);
    if (lookup.result != ProgramLookup::Result::Found)
        return fail(9059, "The system cannot find the file " + std::string(word.written) + ".");
    std::vector<std::string> programArguments = splitArguments(word.rest);
    std::string program = lookup.path;
    if (isBatchFileName(lookup.path)) {
        program = ownExecutable();
        programArguments.insert(programArguments.begin(), {program, "/c", lookup.path});
    } else {
        programArguments.insert(programArguments.begin(), word.name);
    }
    const int code = startDetached(program, programArguments, m_environment.block(), directory, wait);
    if (code < 0)
        return fail(1, "korvani-cmd: cannot start '" + word.name + "'");
    m_errorLevel = code;
    return code;
}

} // namespace Cmd
