#ifndef KORVANI_INTERPRETER_INTERPRETER_H
#define KORVANI_INTERPRETER_INTERPRETER_H

#include "environment.h"
#include "graphical.h"
#include "relay.h"
#include "script.h"
#include "unwaited.h"

#include <cstdint>
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
    // exit status: the error level when it ends.
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
        std::vector<std::string> parameters; // %0 first
        std::string allParameters; // %*
        size_t nextLine = 0;
        size_t localsAtStart = 0;
    };
    struct Local
    {
        Environment::Variables variables;
        std::string directory;
    };
    enum class Flow { Next, Jump, LeaveBatch, Quit };
    using Command = int (Interpreter::*)(std::string_view arguments);

    bool runBatchFile(const std::string &path, const std::string &name, std::string_view parameters);
    void runFrame(Frame &frame, size_t firstLine);
    void runLine(Frame &frame);
    int execute(const Node &node);
    int executePipe(const Node &node);
    int runCommand(std::string_view text);
    int runProgram(std::string_view text);
    int cannotStart(int error, const std::string &name);
    bool evaluate(const Condition &condition) const;

    std::string expand(std::string_view line, const Frame &frame) const;
    std::string expandVariable(std::string_view reference) const;
    size_t expandParameterPath(std::string_view line, size_t start, const Frame &frame, std::string *result) const;
    std::string parameterPath(const Frame &frame, int index, std::string_view modifiers,
                              const std::string &searchVariable) const;
    std::optional<std::string> variable(std::string_view name) const;
    size_t findLabel(const Frame &frame, std::string_view label) const;

    bool stackExhausted();
    bool changeDirectory(const std::string &path);
    void endLocal();
    int fail(int errorLevel, const std::string &message);
    int unsupported(const std::string &name);
    void listVariables(std::string_view prefix) const;

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
    int commandSetFromInput(std::string_view arguments);
    int commandSetLocal(std::string_view arguments);
    int commandShift(std::string_view arguments);
    int commandStart(std::string_view arguments);

    uintptr_t m_stackBase = 0;
    size_t m_stackBudget = 0;
    Environment m_environment;
    Relay m_relay;
    ProgramKinds m_programKinds;
    UnwaitedPrograms m_unwaited;
    std::string m_directory;
    std::vector<std::string> m_directoryStack;
    std::vector<Local> m_locals;
    Frame *m_frame = nullptr;
    int m_depth = 0;
    int m_errorLevel = 0;
    bool m_echo = true;
    Flow m_flow = Flow::Next;
};

} // namespace Cmd

#endif
