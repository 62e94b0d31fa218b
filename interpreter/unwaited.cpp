#include "unwaited.h"

#include "process.h"
#include "relay.h"

#include <cerrno>
#include <chrono>
#include <csignal>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Cmd {

namespace {

int childEndedSignal = -1; // the watcher's write end of its wake-up pipe

void noteChildEnded(int)
{
    const int savedErrno = errno;
    const char note = 'c';
    if (write(childEndedSignal, &note, 1) < 0) {
        // A full pipe has a wake-up in it already.
    }
    errno = savedErrno;
}

bool failed(int status)
{
    return !WIFEXITED(status) || WEXITSTATUS(status) != 0;
}

// The watcher: starts the program, reports the start on window, holds the
// program's output until the window closes, then drops what else comes.
[[noreturn]] void watch(const std::string &path, const std::vector<std::string> &arguments, char *const *environment,
                        const bool hold[2], int window)
{
    closeHandlesExcept({window});
    int childEnded[2] = {-1, -1};
    if (pipe2(childEnded, O_CLOEXEC | O_NONBLOCK) == 0) {
        childEndedSignal = childEnded[1];
        struct sigaction action
        {
        };
        action.sa_handler = noteChildEnded;
        sigemptyset(&action.sa_mask);
        sigaction(SIGCHLD, &action, nullptr);
    }

    posix_spawn_file_actions_t handles;
    posix_spawn_file_actions_init(&handles);
    std::vector<RelayChannel> channels;
    std::vector<int> writeEnds;
    for (const int stream : {STDOUT_FILENO, STDERR_FILENO}) {
        int held[2] = {-1, -1};
        if (!hold[stream - STDOUT_FILENO] || pipe2(held, O_CLOEXEC) != 0)
            continue;
        fcntl(held[0], F_SETFL, O_NONBLOCK);
        posix_spawn_file_actions_adddup2(&handles, held[1], stream);
        channels.push_back({held[0], stream, true, std::string()});
        writeEnds.push_back(held[1]);
    }
    pid_t program = 0;
    const int error = spawnProgram(path, arguments, environment, &program, false, &handles);
    posix_spawn_file_actions_destroy(&handles);
    for (const int handle : writeEnds)
        close(handle);
    writeAll(window, std::string_view(reinterpret_cast<const char *>(&error), sizeof error));
    if (error != 0)
        _exit(0);

    // Nothing held, nothing to report: the window closes at once.
    bool decided = channels.empty() || childEnded[0] < 0;
    bool report = false;
    const auto deadline = std::chrono::steady_clock::now()
        + std::chrono::milliseconds(UnwaitedPrograms::windowMilliseconds);
    while (!decided) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            break;
        if (!relayInput(channels, childEnded[0], int(left) + 1))
            continue;
        char notes[16];
        while (read(childEnded[0], notes, sizeof notes) > 0) { }
        int status = 0;
        if (waitpid(program, &status, WNOHANG) == program) {
            decided = true;
            report = failed(status);
        }
    }
    if (report)
        relayReady(channels);
    for (RelayChannel &channel : channels) {
        if (report)
            writeAll(channel.output, channel.kept);
        channel = {channel.input, -1, false, std::string()};
    }
    close(window);
    // The interpreter's streams are not needed any more; holding them would
    // keep its reader waiting for their end.
    const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    while (anyChannelOpen(channels))
        relayInput(channels, -1, -1);
    _exit(0);
}

} // namespace

int UnwaitedPrograms::start(const std::string &path, const std::vector<std::string> &arguments,
                            char *const *environment, bool holdOutput, bool holdError)
{
    int window[2] = {-1, -1};
    if (pipe2(window, O_CLOEXEC) != 0)
        return errno;
    const int watcher = forkDetached();
    if (watcher == 0) {
        const bool hold[2] = {holdOutput, holdError};
        watch(path, arguments, environment, hold, window[1]);
    }
    int error = errno;
    close(window[1]);
    if (watcher > 0) {
        // A watcher that ended before it could tell could not start anything.
        error = ECHILD;
        size_t got = 0;
        int reported = 0;
        char *const bytes = reinterpret_cast<char *>(&reported);
        while (got < sizeof reported) {
            const ssize_t count = read(window[0], bytes + got, sizeof reported - got);
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0)
                break;
            got += size_t(count);
        }
        if (got == sizeof reported)
            error = reported;
    }
    if (error != 0) {
        close(window[0]);
        return error;
    }
    m_windows.push_back(window[0]);
    return 0;
}

void UnwaitedPrograms::waitForWindows()
{
    for (const int window : m_windows) {
        char byte = 0;
        ssize_t count = 0;
        do {
            count = read(window, &byte, 1);
        } while (count > 0 || (count < 0 && errno == EINTR));
    }
    forget();
}

void UnwaitedPrograms::forget()
{
    for (const int window : m_windows)
        close(window);
    m_windows.clear();
}

} // namespace Cmd
