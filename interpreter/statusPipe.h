#ifndef KORVANI_INTERPRETER_STATUSPIPE_H
#define KORVANI_INTERPRETER_STATUSPIPE_H

#include <string>
#include <vector>

namespace Cmd {

// The whole error level of a korvani-cmd that another one started (cmd /c,
// "%COMSPEC%" /c, a side of a pipe), which an exit status, 8 bits, cannot
// carry: "cmd /c exit 300" leaves 300, as in cmd.
//
// The parent makes a pipe and names its write end, with the pipe's inode, in
// the environment variable statusVariable of that child alone. The child
// takes the variable out of its environment before anything runs, so that no
// program it starts sees it, and writes its error level into the pipe as it
// ends. A variable that names no such pipe, set by someone else, is dropped
// and changes nothing; a child that is no korvani-cmd never gets one.
inline constexpr const char *statusVariable = "KORVANI_CMD_STATUS";

class StatusPipe
{
public:
    StatusPipe() = default;
    StatusPipe(const StatusPipe &) = delete;
    StatusPipe &operator=(const StatusPipe &) = delete;
    ~StatusPipe();

    bool open();
    // The environment for a child korvani-cmd: the given one and the variable
    // that names the write end, which its exec keeps open.
    std::vector<char *> childEnvironment(char *const *environment);
    // In a forked copy of this interpreter: passes its error level on.
    void report(int errorLevel) const;
    // Once the child is started, only it holds the write end.
    void closeWriteEnd();
    // The child's whole error level when it wrote one that fits its exit
    // status, else the exit status.
    int take(int exitStatus);

private:
    int m_read = -1;
    int m_write = -1;
    std::string m_variable;
};

// In a korvani-cmd that another started: the write end its parent named,
// -1 when there is none. The variable leaves the environment either way.
int claimStatusHandle();

// Writes the error level into the handle, if there is one.
void reportStatus(int handle, int errorLevel);

// True when path is this interpreter's own executable, however it is named.
bool isOwnExecutable(const std::string &path);

} // namespace Cmd

#endif
