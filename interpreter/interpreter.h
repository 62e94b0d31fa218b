#ifndef KORVANI_INTERPRETER_INTERPRETER_H
#define KORVANI_INTERPRETER_INTERPRETER_H

#include "commandLine.h"
#include "environment.h"
#include "expansion.h"
#include "graphical.h"
#include "process.h"
#include "relay.h"
#include "script.h"
#include "unwaited.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Cmd {

// Runs batch files as cmd.exe /c does, with the commands a launcher's batch
// files use; programs are started as POSIX processes.
class Interpreter
{
public:
    explicit Interpreter(char *const *environment);

    // Runs the batch file at path with the given parameters and returns the
    // exit status: the error level when it ends. A path that does not name a
    // batch file (.bat or .cmd) starts a command line instead, made of path
    // and the arguments, as cmd /c runs one.
    int run(const std::string &path, const std::vector<std::string> &arguments);

private:
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
    };
    struct Local
    {
        Environment::Variables variables;
        std::string directory;
        bool delayedExpansion = false;
    };
    enum class Flow { Next, Jump, LeaveBatch, Quit };
    using Command = int (Interpreter::*)(std::string_view arguments);

    bool runBatchFile(const std::string &path, const std::string &name, std::string_view parameters);
    int runCommandLine(const std::string &line);
    void runFrame(Frame &frame, size_t firstLine);
    void runLine(Frame &frame);
    int execute(const Node &node);
    int executeNode(const Node &node);
    int executePipe(const Node &node);
    int runCommand(std::string_view text);
    int runProgram(std::string_view text);
    int cannotStart(int error, const std::string &name);
    Command findBuiltIn(std::string_view text, std::string_view *arguments) const;
    ProgramLookup findCommand(const std::string &name) const;

    // condition.cpp
    bool evaluate(const Condition &condition) const;

    // forCommand.cpp
    int executeFor(const Node &node);
    int forEachNumber(const Node &body, char variable, std::string_view set);
    int forEachLine(const Node &body, char variable, std::string_view set, std::string_view options);
    int forEachFile(const Node &body, char variable, std::string_view set, const std::string &folder, bool folders);
    int runLoopBody(const Node &body, const std::vector<ForVariable> &values);
    int startCapturingOutput(const std::string &commandLine, pid_t *child);

    bool expand(std::string_view line, const Frame &frame, std::string *result) const;
    std::string prepare(std::string_view text) const;
    size_t findLabel(const Frame &frame, std::string_view label) const;
    bool inBatch() const { return m_frame && m_frame->batch; }

    bool stackExhausted();
    bool changeDirectory(const std::string &path);
    void endLocal();
    int fail(int errorLevel, const std::string &message);
    int unsupported(const std::string &name);
    void listVariables(std::string_view prefix) const;
    bool confirm(const std::string &question);

    int commandCall(std::string_view arguments);
    int commandCallLabel(std::string_view arguments);
    int commandChangeDirectory(std::string_view arguments);
    int commandEcho(std::string_view arguments);
    int commandEndLocal(std::string_view arguments);
    int commandExit(std::string_view arguments);
    int commandGoto(std::string_view arguments);
    int commandPath(std::string_view arguments);
    int commandPause(std::string_view arguments);
    int commandPopDirectory(std::string_view arguments);
    int commandPushDirectory(std::string_view arguments);
    int commandRemark(std::string_view arguments);
    int commandSet(std::string_view arguments);
    int commandSetArithmetic(std::string_view arguments);
    int commandSetFromInput(std::string_view arguments);
    int commandSetLocal(std::string_view arguments);
    int commandShift(std::string_view arguments);
    int commandStart(std::string_view arguments);

    // consoleCommands.cpp
    int commandChangeCodePage(std::string_view arguments);
    int commandClearScreen(std::string_view arguments);
    int commandColor(std::string_view arguments);
    int commandTimeout(std::string_view arguments);
    int commandTitle(std::string_view arguments);
    int commandVersion(std::string_view arguments);

    // fileCommands.cpp
    bool readFileCommand(std::string_view arguments, std::string_view letters, size_t fewest, size_t most,
                         CommandWords *words);
    using NameAction = std::function<int(const std::string &written, const CommandWords &words)>;
    int forEachName(std::string_view arguments, std::string_view letters, const NameAction &action);
    int commandCopy(std::string_view arguments);
    int commandDelete(std::string_view arguments);
    int commandDirectory(std::string_view arguments);
    int commandMakeDirectory(std::string_view arguments);
    int commandMove(std::string_view arguments);
    int commandRemoveDirectory(std::string_view arguments);
    int commandRename(std::string_view arguments);
    int commandType(std::string_view arguments);

    uintptr_t m_stackBase = 0;
    size_t m_stackBudget = 0;
    Environment m_environment;
    Relay m_relay;
    ProgramKinds m_programKinds;
    UnwaitedPrograms m_unwaited;
    std::string m_directory;
    std::vector<std::string> m_directoryStack;
    std::vector<Local> m_locals;
    std::vector<ForVariable> m_forVariables;
    Frame *m_frame = nullptr;
    int m_depth = 0;
    int m_errorLevel = 0;
    bool m_echo = true;
    bool m_delayedExpansion = false;
    Flow m_flow = Flow::Next;
    VariableLookup m_variables{m_environment, m_directory, m_errorLevel};
};

} // namespace Cmd

#endif
