#include "context.h"

#include "paths.h"
#include "text.h"

#include <cstdlib>

#include <unistd.h>

namespace Cmd {

namespace {

std::string currentDirectory()
{
    char *folder = getcwd(nullptr, 0);
    if (!folder)
        return std::string();
    std::string result(folder);
    std::free(folder);
    return result;
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

// A name without an extension is looked for with each extension of
// PATHEXT too: batch files in the current folder first, as cmd looks there
// before PATH, then the name itself (unless only files with an extension
// are asked for) and the others along PATH.
ProgramLookup lookUpCommand(const Environment &environment, const std::string &name, bool withExtensionOnly)
{
    const std::string path = nativePath(name);
    const std::string *searchPath = environment.find("PATH");
    const std::string_view file = splitPath(path).name;
    if (file.empty() || file.find('.') != std::string_view::npos)
        return findProgram(path, searchPath);
    const std::vector<std::string> extensions = commandExtensions(environment.find("PATHEXT"));
    const bool hasFolder = path.find('/') != std::string::npos;
    if (!hasFolder) {
        for (const std::string &extension : extensions) {
            const std::string candidate = path + toLower(extension);
            if (isBatchFileName(candidate) && isFile(candidate))
                return findProgram(candidate, nullptr);
        }
    }
    ProgramLookup lookup = withExtensionOnly ? ProgramLookup() : findProgram(path, searchPath);
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

} // namespace

Context::Context(char *const *initialEnvironment)
    : environment(initialEnvironment)
    , directory(currentDirectory())
{
}

bool Context::inCmdFile() const
{
    const std::string_view path = inBatch() ? std::string_view(frame->script->absolutePath) : std::string_view();
    return path.size() >= 4 && equalsIgnoreCase(path.substr(path.size() - 4), ".cmd");
}

int Context::fail(int level, const std::string &message)
{
    report(message);
    errorLevel = level;
    return level;
}

int Context::report(const std::string &message)
{
    writeAll(STDERR_FILENO, message + '\n');
    return 1;
}

int Context::unsupported(const std::string &name)
{
    return fail(1, "korvani-cmd: '" + name + "' is not supported");
}

bool Context::expand(std::string_view line, const Frame &source, std::string *result) const
{
    return expandPercents(line, variables, source.batch ? &source.parameters : nullptr, result);
}

std::string Context::prepare(std::string_view text) const
{
    std::string prepared = forVariables.empty() ? std::string(text)
                                                : substituteForVariables(text, forVariables, variables);
    if (delayedExpansion)
        return expandDelayed(prepared, variables);
    return prepared;
}

size_t Context::findLabel(const Frame &source, std::string_view label) const
{
    const std::vector<std::string> &lines = source.script->lines;
    for (size_t step = 0; step < lines.size(); ++step) {
        const size_t index = (source.nextLine + step) % lines.size();
        const std::optional<std::string_view> name = labelName(lines[index]);
        if (name && equalsIgnoreCase(*name, label))
            return index;
    }
    return std::string::npos;
}

bool Context::changeDirectory(const std::string &path)
{
    if (chdir(path.c_str()) != 0)
        return false;
    directory = currentDirectory();
    return true;
}

void Context::endLocal()
{
    Local &local = locals.back();
    environment.restore(std::move(local.variables));
    changeDirectory(local.directory);
    delayedExpansion = local.delayedExpansion;
    locals.pop_back();
}

void Context::showCommand(const std::string &text) const
{
    writeAll(STDOUT_FILENO, '\n' + directory + '>' + text + '\n');
}

bool Context::confirm(const std::string &question)
{
    writeAll(STDOUT_FILENO, question);
    std::string answer;
    readInputLine(&answer);
    const std::string_view reply = trim(answer);
    return !reply.empty() && toLower(reply.front()) == 'y';
}

ProgramLookup Context::findCommand(const std::string &name) const
{
    ProgramLookup lookup = lookUpCommand(environment, name, false);
    // Where there is no cmd, as on Linux, cmd is this interpreter.
    if (lookup.result == ProgramLookup::Result::NotFound
        && (equalsIgnoreCase(name, "cmd") || equalsIgnoreCase(name, "cmd.exe")))
        lookup = {ProgramLookup::Result::Found, ownExecutablePath()};
    return lookup;
}

ProgramLookup Context::findCommandFile(const std::string &name) const
{
    return lookUpCommand(environment, name, true);
}

} // namespace Cmd
