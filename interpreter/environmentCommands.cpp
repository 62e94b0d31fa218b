// The commands that change what programs inherit: set, path, and cd, pushd
// and popd for the current folder.
#include "commands.h"

#include "arithmetic.h"
#include "commandLine.h"
#include "context.h"
#include "paths.h"
#include "process.h"
#include "text.h"

#include <cerrno>

#include <unistd.h>

namespace Cmd {

namespace {

// pushd keeps the folders it left; a script that pushes without popping
// must not grow the interpreter without bound.
constexpr size_t maxPushedFolders = 1024;

std::string directoryError()
{
    return errno == ENOTDIR ? directoryNameInvalid : pathNotFound;
}

bool hasPrefix(const Environment::Variable &entry, std::string_view prefix)
{
    return entry.name.size() >= prefix.size() && equalsIgnoreCase(entry.name.substr(0, prefix.size()), prefix);
}

// The variables whose names start with prefix, as "set prefix" lists them;
// false when there are none.
bool listVariables(const Environment &environment, std::string_view prefix)
{
    std::string listing;
    bool found = prefix.empty();
    for (const Environment::Variable *entry : environment.sorted()) {
        if (hasPrefix(*entry, prefix)) {
            listing += entry->name + '=' + entry->value + '\n';
            found = true;
        }
    }
    writeAll(STDOUT_FILENO, listing);
    return found;
}

// Printing the result is for the prompt: a batch file's set /a is quiet.
int setArithmetic(Context &context, std::string_view arguments)
{
    if (trim(arguments).empty())
        return context.fail(1, syntaxError);
    BatchVariables scope(context.variables, context.environment);
    const ArithmeticResult result = evaluateArithmetic(arguments, scope);
    if (!result.error.empty())
        return context.fail(result.errorLevel, result.error);
    if (!context.inBatch())
        writeAll(STDOUT_FILENO, std::to_string(result.value));
    return 0;
}

// With no name before the "=", set /p only shows its prompt: the way to
// print without a line end.
int setFromInput(Context &context, std::string_view arguments)
{
    const Assignment assignment = splitAssignment(arguments);
    if (!assignment.hasEquals)
        return context.fail(1, syntaxError);
    std::string_view prompt = assignment.value;
    if (!prompt.empty() && prompt.front() == '"') {
        prompt.remove_prefix(1);
        prompt = prompt.substr(0, prompt.rfind('"'));
    }
    writeAll(STDOUT_FILENO, prompt);
    std::string line;
    if (!readInputLine(&line, maxLineLength) || line.empty()) {
        context.errorLevel = 1;
        return 1;
    }
    if (!assignment.name.empty())
        context.environment.set(assignment.name, line);
    return 0;
}

} // namespace

int commandChangeDirectory(Context &context, std::string_view arguments)
{
    std::string_view text = trim(arguments);
    if (startsWithWord(text, "/d"))
        text = trim(text.substr(2));
    if (text.empty()) {
        writeAll(STDOUT_FILENO, context.directory + '\n');
        return 0;
    }
    if (!context.changeDirectory(nativePath(removeQuotes(text))))
        return context.fail(1, directoryError());
    return 0;
}

int commandPath(Context &context, std::string_view arguments)
{
    std::string_view text = trim(arguments);
    if (!text.empty() && text.front() == '=')
        text = trimLeft(text.substr(1));
    if (text.empty()) {
        const std::string *path = context.environment.find("PATH");
        writeAll(STDOUT_FILENO, path ? "PATH=" + *path + '\n' : std::string("No Path\n"));
        return 0;
    }
    context.environment.set("PATH", text == ";" ? std::string_view() : text);
    return 0;
}

int commandPopDirectory(Context &context, std::string_view)
{
    if (context.directoryStack.empty())
        return 0;
    const std::string folder = context.directoryStack.back();
    context.directoryStack.pop_back();
    if (!context.changeDirectory(folder))
        return context.fail(1, directoryError());
    return 0;
}

int commandPushDirectory(Context &context, std::string_view arguments)
{
    const std::string path = nativePath(removeQuotes(trim(arguments)));
    if (path.empty()) {
        std::string listing;
        for (auto it = context.directoryStack.rbegin(); it != context.directoryStack.rend(); ++it)
            listing += *it + '\n';
        writeAll(STDOUT_FILENO, listing);
        return 0;
    }
    if (context.directoryStack.size() >= maxPushedFolders) {
        return context.fail(1,
                            "korvani-cmd: " + std::to_string(maxPushedFolders)
                                + " folders are pushed already; pop one with popd first");
    }
    const std::string previous = context.directory;
    if (!context.changeDirectory(path))
        return context.fail(1, directoryError());
    context.directoryStack.push_back(previous);
    return 0;
}

// As in a .bat file, a successful set leaves the error level as it was.
int commandSet(Context &context, std::string_view arguments)
{
    const std::string_view text = trimLeft(arguments);
    if (text.size() >= 2 && equalsIgnoreCase(text.substr(0, 2), "/a"))
        return setArithmetic(context, text.substr(2));
    if (text.size() >= 2 && equalsIgnoreCase(text.substr(0, 2), "/p"))
        return setFromInput(context, trimLeft(text.substr(2)));
    const Assignment assignment = splitAssignment(text);
    if (!assignment.hasEquals) {
        const std::string_view prefix = trimRight(assignment.name);
        if (!listVariables(context.environment, prefix))
            return context.fail(1, "Environment variable " + std::string(prefix) + " not defined");
        return 0;
    }
    if (assignment.name.empty())
        return context.fail(1, syntaxError);
    context.environment.set(assignment.name, assignment.value);
    return 0;
}

} // namespace Cmd
