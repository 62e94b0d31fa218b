#ifndef KORVANI_INTERPRETER_UNWAITED_H
#define KORVANI_INTERPRETER_UNWAITED_H

#include <string>
#include <vector>

namespace Cmd {

// Programs started without waiting for them, as cmd.exe starts graphical
// programs; their first seconds are watched, so that one that fails at once
// is still reported.
//
// Each program is started by a watcher: a process in a session of its own, no
// child of the interpreter, that holds what the program writes to the streams
// it was asked to hold. If the program ends within its window with a non-zero
// status or by a signal, the watcher writes what it held to its own standard
// output and error (the interpreter's); otherwise it drops it. Either way it
// then reads and drops whatever else the program writes, until the program
// and everything it started have closed the streams, so that nothing they
// write blocks or kills them.
class UnwaitedPrograms
{
public:
    static constexpr int windowMilliseconds = 2000;

    UnwaitedPrograms() = default;
    UnwaitedPrograms(const UnwaitedPrograms &) = delete;
    UnwaitedPrograms &operator=(const UnwaitedPrograms &) = delete;
    ~UnwaitedPrograms() { forget(); }

    // Starts the program with its standard output and error held as asked,
    // anything else inherited; returns 0, or the errno value of a failed start.
    int start(const std::string &path, const std::vector<std::string> &arguments, char *const *environment,
              bool holdOutput, bool holdError);

    // Returns once the window of every program started so far has closed.
    void waitForWindows();

    // Leaves the windows to the process that started the programs, in a
    // forked copy of it.
    void forget();

private:
    std::vector<int> m_windows; // read ends that the watchers close with the window
};

} // namespace Cmd

#endif
