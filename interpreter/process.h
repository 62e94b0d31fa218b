#ifndef KORVANI_INTERPRETER_PROCESS_H
#define KORVANI_INTERPRETER_PROCESS_H

#include "script.h"

#include <string>
#include <string_view>
#include <vector>

#include <initializer_list>

#include <spawn.h>
#include <sys/types.h>

namespace Cmd {

// Writes everything, unbuffered, so that output keeps its order with the
// programs that share the stream; false when the rest could not be written,
// as when the reader has closed the pipe.
bool writeAll(int fd, std::string_view text);

// True for a pipe or a socket: a stream whose reader can go away.
bool isPipe(int fd);

// Closes every handle of this process from 3 on but those given.
void closeHandlesExcept(std::initializer_list<int> kept);

// Forks a process that is no child of this one, in a session of its own: an
// intermediate process forks it and ends at once, so that the system reaps
// it. Returns 0 in the new process, its parent's 1 when it was started, or
// -1 with errno set.
int forkDetached();

// The whole file, or false with errno set.
bool readFile(const std::string &path, std::string *contents);

// Reads one line from standard input, a byte at a time so that the rest is
// left for the programs that follow; false at the end of input. Characters
// beyond limit are read but not kept.
bool readInputLine(std::string *line, size_t limit = std::string::npos);

struct ProgramLookup
{
    enum class Result { Found, NotFound, NotExecutable };

    Result result = Result::NotFound;
    std::string path;
};

// A name with a slash is a path; any other is searched for in the folders of
// the given PATH, as searchFolders reads them. Names of batch files are looked for in the current directory first.
ProgramLookup findProgram(const std::string &name, const std::string *searchPath);

bool isBatchFileName(std::string_view name);

// The path of this interpreter's own executable, which also stands in for
// cmd.exe.
std::string ownExecutablePath();

// Starts a program with standard signal handling and the given environment,
// in a session of its own if asked, with the given handle changes if any;
// returns 0 or an errno value.
int spawnProgram(const std::string &path, const std::vector<std::string> &arguments, char *const *environment,
                 pid_t *pid, bool newSession = false, const posix_spawn_file_actions_t *handles = nullptr);

// Waits for a child: its exit code, or 128 plus the signal that ended it.
int waitForProcess(pid_t pid);

// Starts a program in its own session with its standard streams on
// /dev/null, in the given directory (if any). Unless wait is set, it is not
// waited for, and an intermediate process that ends at once leaves it to the
// system to reap. Returns the program's exit code when waiting, 0 otherwise,
// or -1 when it could not be started.
int startDetached(const std::string &path, const std::vector<std::string> &arguments, char *const *environment,
                  const std::string &directory, bool wait);

// Applies redirections to this process's handles and puts the handles back
// when it goes out of scope.
class RedirectionGuard
{
public:
    RedirectionGuard() = default;
    RedirectionGuard(const RedirectionGuard &) = delete;
    RedirectionGuard &operator=(const RedirectionGuard &) = delete;
    ~RedirectionGuard();

    // False with cmd's message when a file cannot be opened or a handle copied.
    bool apply(const std::vector<Redirection> &redirections, std::string *error);

private:
    void save(int handle);

    struct Saved
    {
        int handle;
        int copy; // -1: the handle was closed before
    };
    std::vector<Saved> m_saved;
};

} // namespace Cmd

#endif
