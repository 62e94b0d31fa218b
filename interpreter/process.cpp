#include "process.h"

#include "paths.h"
#include "text.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Cmd {

namespace {

bool isExecutableFile(const std::string &path, bool *exists)
{
    struct stat status
    {
    };
    *exists = stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
    return *exists && access(path.c_str(), X_OK) == 0;
}

std::vector<char *> argumentVector(const std::vector<std::string> &arguments)
{
    std::vector<char *> vector;
    vector.reserve(arguments.size() + 1);
    for (const std::string &argument : arguments)
        vector.push_back(const_cast<char *>(argument.c_str()));
    vector.push_back(nullptr);
    return vector;
}

} // namespace

bool writeAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno == EAGAIN) {
            // A stream handed over in non-blocking mode: wait until it takes more.
            pollfd ready{fd, POLLOUT, 0};
            if (poll(&ready, 1, -1) < 0 && errno != EINTR)
                return false;
            continue;
        }
        if (written <= 0)
            return false;
        text.remove_prefix(size_t(written));
    }
    return true;
}

bool isPipe(int fd)
{
    struct stat status
    {
    };
    return fstat(fd, &status) == 0 && (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode));
}

void closeHandlesExcept(std::initializer_list<int> kept)
{
    std::vector<int> sorted(kept);
    std::sort(sorted.begin(), sorted.end());
    int from = 3;
    const auto closeRange = [](int first, int last) {
        if (first > last)
            return;
        if (close_range(unsigned(first), unsigned(last), 0) == 0)
            return;
        // Kernels before 5.9 have no close_range.
        const long limit = sysconf(_SC_OPEN_MAX);
        for (long handle = first; handle <= std::min<long>(last, limit > 0 ? limit : 1024); ++handle)
            close(int(handle));
    };
    for (const int handle : sorted) {
        if (handle < from)
            continue;
        closeRange(from, handle - 1);
        from = handle + 1;
    }
    closeRange(from, INT_MAX);
}

int forkDetached()
{
    const pid_t middle = fork();
    if (middle < 0)
        return -1;
    if (middle == 0) {
        setsid();
        const pid_t detached = fork();
        if (detached == 0)
            return 0;
        _exit(detached < 0 ? errno : 0);
    }
    const int code = waitForProcess(middle);
    if (code == 0)
        return 1;
    errno = code;
    return -1;
}

bool readFile(const std::string &path, std::string *contents)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status
    {
    };
    if (fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        close(fd);
        errno = EISDIR;
        return false;
    }
    contents->clear();
    char buffer[65536];
    for (;;) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            const int error = errno;
            close(fd);
            errno = error;
            return false;
        }
        if (count == 0)
            break;
        contents->append(buffer, size_t(count));
    }
    close(fd);
    return true;
}

bool readInputLine(std::string *line, size_t limit)
{
    line->clear();
    for (;;) {
        char c = 0;
        const ssize_t count = read(STDIN_FILENO, &c, 1);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return !line->empty();
        if (c == '\n')
            break;
        if (c != '\r' && line->size() < limit)
            *line += c;
    }
    return true;
}

std::string ownExecutablePath()
{
    char buffer[PATH_MAX];
    const ssize_t size = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return size > 0 ? std::string(buffer, size_t(size)) : std::string("korvani-cmd");
}

bool isBatchFileName(std::string_view name)
{
    if (name.size() < 4)
        return false;
    const std::string_view extension = name.substr(name.size() - 4);
    return equalsIgnoreCase(extension, ".bat") || equalsIgnoreCase(extension, ".cmd");
}

ProgramLookup findProgram(const std::string &name, const std::string *searchPath)
{
    ProgramLookup lookup;
    // A batch file is read, not executed: it needs no execute permission.
    const bool batch = isBatchFileName(name);
    const auto check = [&](const std::string &candidate) {
        bool exists = false;
        if (isExecutableFile(candidate, &exists) || (exists && batch)) {
            lookup.result = ProgramLookup::Result::Found;
            lookup.path = candidate;
            return true;
        }
        if (exists)
            lookup.result = ProgramLookup::Result::NotExecutable;
        return false;
    };
    if (name.empty())
        return lookup;
    if (name.find('/') != std::string::npos) {
        check(name);
        return lookup;
    }
    if ((batch && check(name)) || !searchPath)
        return lookup;
    for (const std::string &folder : searchFolders(*searchPath)) {
        if (check(folder.empty() ? name : folder + '/' + name))
            return lookup;
    }
    return lookup;
}

int spawnProgram(const std::string &path, const std::vector<std::string> &arguments, char *const *environment,
                 pid_t *pid, bool newSession, const posix_spawn_file_actions_t *handles)
{
    // The interpreter ignores SIGPIPE; the programs it starts must not inherit that.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    sigset_t mask;
    sigemptyset(&mask);
    posix_spawnattr_setsigmask(&attributes, &mask);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | (newSession ? POSIX_SPAWN_SETSID : 0));
    std::vector<char *> argv = argumentVector(arguments);
    const int error = posix_spawn(pid, path.c_str(), handles, &attributes, argv.data(), environment);
    posix_spawnattr_destroy(&attributes);
    return error;
}

int waitForProcess(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return 1;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return 1;
}

int startDetached(const std::string &path, const std::vector<std::string> &arguments, char *const *environment,
                  const std::string &directory, bool wait)
{
    std::vector<char *> argv = argumentVector(arguments);
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (!directory.empty() && chdir(directory.c_str()) != 0)
            _exit(127);
        const int null = open("/dev/null", O_RDWR);
        if (null < 0)
            _exit(127);
        for (int handle = 0; handle <= 2; ++handle)
            dup2(null, handle);
        if (null > 2)
            close(null);
        if (wait) {
            setsid();
            signal(SIGPIPE, SIG_DFL);
            execve(path.c_str(), argv.data(), environment);
            _exit(127);
        }
        pid_t program = 0;
        _exit(spawnProgram(path, arguments, environment, &program, true) == 0 ? 0 : 127);
    }
    const int code = waitForProcess(child);
    if (wait)
        return code;
    return code == 0 ? 0 : -1;
}

RedirectionGuard::~RedirectionGuard()
{
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
        if (it->copy >= 0) {
            dup2(it->copy, it->handle);
            close(it->copy);
        } else {
            close(it->handle);
        }
    }
}

void RedirectionGuard::save(int handle)
{
    for (const Saved &saved : m_saved) {
        if (saved.handle == handle)
            return;
    }
    m_saved.push_back({handle, fcntl(handle, F_DUPFD_CLOEXEC, 10)});
}

bool RedirectionGuard::apply(const std::vector<Redirection> &redirections, std::string *error)
{
    for (const Redirection &redirection : redirections) {
        if (redirection.duplicateOf >= 0) {
            if (fcntl(redirection.duplicateOf, F_GETFD) < 0) {
                *error = "The handle could not be duplicated during redirection of handle "
                    + std::to_string(redirection.handle) + ".";
                return false;
            }
            save(redirection.handle);
            if (redirection.duplicateOf != redirection.handle)
                dup2(redirection.duplicateOf, redirection.handle);
            continue;
        }
        const std::string &target = redirection.target;
        int flags = O_CLOEXEC;
        switch (redirection.mode) {
        case Redirection::Mode::Read:
            flags |= O_RDONLY;
            break;
        case Redirection::Mode::Write:
            flags |= O_WRONLY | O_CREAT | O_TRUNC;
            break;
        case Redirection::Mode::Append:
            flags |= O_WRONLY | O_CREAT | O_APPEND;
            break;
        }
        save(redirection.handle);
        const int source = open(target.c_str(), flags, 0666);
        if (source < 0) {
            if (errno == EACCES || errno == EISDIR || errno == EROFS)
                *error = accessDenied;
            else if (redirection.mode == Redirection::Mode::Read)
                *error = fileNotFound;
            else
                *error = pathNotFound;
            return false;
        }
        if (source != redirection.handle) {
            dup2(source, redirection.handle);
            close(source);
        } else {
            fcntl(source, F_SETFD, 0);
        }
    }
    return true;
}

} // namespace Cmd
