// call and start: other batch files, subroutines and programs.
#include "commands.h"

#include "builtins.h"
#include "commandLine.h"
#include "context.h"
#include "paths.h"
#include "process.h"
#include "text.h"

#include <sys/stat.h>
#include <unistd.h>

namespace Cmd {

namespace {

int callLabel(Context &context, std::string_view arguments)
{
    if (!context.frame->batch)
        return context.fail(1, "Invalid attempt to call batch label outside of batch script.");
    std::string expanded;
    if (!context.expand(arguments, *context.frame, &expanded))
        return context.fail(1, lineTooLong);
    size_t end = 1;
    while (end < expanded.size() && !isDelimiter(expanded[end]))
        ++end;
    const std::string label = expanded.substr(1, end - 1);
    const size_t index = context.findLabel(*context.frame, label);
    if (index == std::string::npos)
        return context.fail(1, labelNotFound + label);
    Frame subroutine;
    subroutine.script = context.frame->script;
    subroutine.parameters = batchParameters(std::string_view(expanded).substr(0, end),
                                            std::string_view(expanded).substr(end),
                                            context.frame->script->absolutePath);
    context.runFrame(subroutine, index + 1);
    return context.errorLevel;
}

} // namespace

int commandCall(Context &context, std::string_view arguments)
{
    // "(call)" fails and "(call )" succeeds, quietly: the known ways to set
    // the error level to 1 and to 0.
    if (arguments.empty()) {
        context.errorLevel = 1;
        return 1;
    }
    arguments = trimLeft(arguments);
    if (!arguments.empty() && arguments.front() == ':')
        return callLabel(context, arguments);
    // A called command that sets no error level leaves 0 (dbenham, "Which
    // cmd.exe internal commands clear the ERRORLEVEL"); a subroutine keeps it.
    context.errorLevel = 0;
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
    if (!context.expand(doubled, *context.frame, &expanded))
        return context.fail(1, lineTooLong);
    const ParsedLine parsed = parseLine(expanded);
    if (!parsed.error.empty())
        return context.fail(1, parsed.error);
    if (!parsed.node)
        return 0;
    const Node &node = *parsed.node;
    // Observed: call runs no if or for; it fails with error level 1.
    if (node.kind == Node::Kind::If || node.kind == Node::Kind::For) {
        return context.fail(1,
                            "'" + std::string(firstWord(trimLeft(expanded)))
                                + "' is not recognized as an internal or external command,\n"
                                  "operable program or batch file.");
    }
    if (node.kind == Node::Kind::Command && node.redirections.empty()) {
        const std::string text = context.prepare(node.text);
        std::string_view rest;
        const ProgramWord word = splitProgramWord(text);
        // Observed: call looks for a file before a built-in command, with the
        // extensions of PATHEXT ("call dir /b" runs a dir.cmd beside it); a
        // Linux program without one never stands in for a built-in.
        const bool builtIn = findBuiltIn(trimLeft(text), &rest) != nullptr;
        const ProgramLookup lookup = builtIn ? context.findCommandFile(word.name) : context.findCommand(word.name);
        if (lookup.result == ProgramLookup::Result::Found && isBatchFileName(lookup.path)) {
            context.runBatchFile(lookup.path, std::string(word.written), word.rest);
            return context.errorLevel;
        }
        if (lookup.result == ProgramLookup::Result::Found && builtIn) {
            Node program;
            program.text = '"' + lookup.path + '"' + std::string(word.rest);
            return context.execute(program);
        }
    }
    return context.execute(node);
}

int commandStart(Context &context, std::string_view arguments)
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
        // start /? : /WAIT, which /W abbreviates, in any case.
        bool known = option == "/wait" || option == "/w";
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
        return context.unsupported("start without a program");
    struct stat status
    {
    };
    if (!directory.empty() && (stat(directory.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)))
        return context.fail(1, pathNotFound);
    const ProgramLookup lookup = context.findCommand(word.name);
    if (lookup.result != ProgramLookup::Result::Found)
        return context.fail(9059, fileNotFoundNamed(word.written));
    std::vector<std::string> programArguments = splitArguments(word.rest);
    std::string program = lookup.path;
    if (isBatchFileName(lookup.path)) {
        program = ownExecutablePath();
        programArguments.insert(programArguments.begin(), {program, "/c", lookup.path});
    } else {
        programArguments.insert(programArguments.begin(), word.name);
    }
    const int code = startDetached(program, programArguments, context.environment.block(), directory, wait);
    if (code < 0)
        return context.fail(1, "korvani-cmd: cannot start '" + word.name + "'");
    // start keeps the error level, unless it waited for the program's.
    if (wait)
        context.errorLevel = code;
    return code;
}

} // namespace Cmd
