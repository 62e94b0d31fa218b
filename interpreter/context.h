#ifndef KORVANI_INTERPRETER_CONTEXT_H
#define KORVANI_INTERPRETER_CONTEXT_H

#include "environment.h"
#include "expansion.h"
#include "process.h"
#include "script.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Cmd {

// How the batch file goes on after a command.
enum class Flow { Next, Jump, LeaveBatch, Quit };

// The lines of a batch file, shared by the frames that run it.
struct Script
{
    std::string absolutePath;
    std::vector<std::string> lines;
};

// One running batch file, or one subroutine started with "call :label".
struct Frame
{
    std::shared_ptr<const Script> script;
    Parameters parameters;
    size_t nextLine = 0;
    size_t localsAtStart = 0;
    bool batch = true; // false for the command line of /c
    bool ending = false; // a goto failed: the frame ends once its line has run
};

// What setlocal saves and endlocal puts back.
struct Local
{
    Environment::Variables variables;
    std::string directory;
    bool delayedExpansion = false;
};

// What the built-in commands and the statements work on: the interpreter's
// state and the helpers they share, and the running of parsed lines, batch
// files and command lines, which the interpreter provides.
class Context
{
public:
    explicit Context(char *const *initialEnvironment);
    Context(const Context &) = delete;
    Context &operator=(const Context &) = delete;
    virtual ~Context() = default;

    virtual int execute(const Node &node) = 0;
    // Runs the frame's lines from firstLine on, until its end or a jump out.
    virtual void runFrame(Frame &started, size_t firstLine) = 0;
    // False, after cmd's message, when the file cannot be read.
    virtual bool runBatchFile(const std::string &path, const std::string &name, std::string_view parameters) = 0;
    // Runs one line as cmd /c does and returns the error level it leaves.
    virtual int runCommandLine(const std::string &line) = 0;

    bool inBatch() const { return frame && frame->batch; }
    // In a batch file named .cmd rather than .bat.
    bool inCmdFile() const;
    // Writes a message to the error channel and sets the error level.
    int fail(int level, const std::string &message);
    // Writes a message to the error channel and returns 1, the status of a
    // failed command, leaving the error level as it is.
    int report(const std::string &message);
    int unsupported(const std::string &name);
    // Percent expansion of a line of the running batch file or command line.
    bool expand(std::string_view line, const Frame &source, std::string *result) const;
    // What happens to a command's text when it runs rather than when its line
    // is read: the loop variables, then delayed expansion.
    std::string prepare(std::string_view text) const;
    // The line of the label, searched from the frame's next line on and
    // around; npos when there is none.
    size_t findLabel(const Frame &source, std::string_view label) const;
    bool changeDirectory(const std::string &path);
    void endLocal();
    // Shows a command after the prompt, as cmd does while echo is on.
    void showCommand(const std::string &text) const;
    // Asks on standard output; true for an answer that starts with "y".
    bool confirm(const std::string &question);
    ProgramLookup findCommand(const std::string &name) const;
    // A file of the name with one of PATHEXT's extensions, as call looks
    // for one before a built-in command: "call dir" runs a dir.cmd.
    ProgramLookup findCommandFile(const std::string &name) const;

    Environment environment;
    std::string directory;
    std::vector<std::string> directoryStack;
    std::vector<Local> locals;
    std::vector<ForVariable> forVariables;
    Frame *frame = nullptr;
    int errorLevel = 0;
    bool echo = true;
    bool delayedExpansion = false;
    Flow flow = Flow::Next;
    VariableLookup variables{environment, directory, errorLevel};
};

} // namespace Cmd

#endif
