#ifndef KORVANI_INTERPRETER_INTERPRETER_H
#define KORVANI_INTERPRETER_INTERPRETER_H

#include "context.h"
#include "graphical.h"
#include "relay.h"
#include "unwaited.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Cmd {

// Runs batch files as cmd.exe /c does, with the commands a launcher's batch
// files use; programs are started as POSIX processes.
class Interpreter : public Context
{
public:
    explicit Interpreter(char *const *initialEnvironment);

    // Runs the batch file at path with the given parameters and returns the
    // exit status: the error level when it ends. A path that does not name a
    // batch file (.bat or .cmd) starts a command line instead, made of path
    // and the arguments, as cmd /c runs one.
    int run(const std::string &path, const std::vector<std::string> &arguments);

    int execute(const Node &node) override;
    void runFrame(Frame &started, size_t firstLine) override;
    bool runBatchFile(const std::string &path, const std::string &name, std::string_view parameters) override;
    int runCommandLine(const std::string &line) override;

private:
    void runLine(Frame &running);
    int executeNode(const Node &node);
    int executePipe(const Node &node);
    int runCommand(std::string_view text);
    bool namesFile(std::string_view arguments, std::string_view text) const;
    int runProgram(std::string_view text);
    int cannotStart(int error, const std::string &name);
    bool stackExhausted();

    uintptr_t m_stackBase = 0;
    size_t m_stackBudget = 0;
    Relay m_relay;
    ProgramKinds m_programKinds;
    UnwaitedPrograms m_unwaited;
    int m_depth = 0;
};

} // namespace Cmd

#endif
