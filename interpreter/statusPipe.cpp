#include "statusPipe.h"

#include "process.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Cmd {

namespace {

// A whole decimal number with an optional minus sign.
bool readNumber(std::string_view text, long long *value)
{
    const std::string copy(text);
    char *end = nullptr;
    errno = 0;
    *value = std::strtoll(copy.c_str(), &end, 10);
    return !copy.empty() && errno == 0 && end && *end == '\0';
}

} // namespace

StatusPipe::~StatusPipe()
{
    closeWriteEnd();
    if (m_read >= 0)
        close(m_read);
}

bool StatusPipe::open()
{
    int handles[2] = {-1, -1};
    // The child writes a few bytes once, which a pipe takes without blocking.
    if (pipe2(handles, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    m_read = handles[0];
    m_write = handles[1];
    struct stat status
    {
    };
    fstat(m_write, &status);
    m_variable = std::string(statusVariable) + '=' + std::to_string(m_write) + ':'
        + std::to_string(static_cast<unsigned long long>(status.st_ino));
    return true;
}

std::vector<char *> StatusPipe::childEnvironment(char *const *environment)
{
    std::vector<char *> result;
    for (; environment && *environment; ++environment)
        result.push_back(*environment);
    if (m_write >= 0 && fcntl(m_write, F_SETFD, 0) == 0)
        result.push_back(m_variable.data());
    result.push_back(nullptr);
    return result;
}

void StatusPipe::report(int errorLevel) const
{
    reportStatus(m_write, errorLevel);
}

void StatusPipe::closeWriteEnd()
{
    if (m_write >= 0)
        close(m_write);
    m_write = -1;
}

int StatusPipe::take(int exitStatus)
{
    if (m_read < 0)
        return exitStatus;
    char buffer[32];
    const ssize_t count = read(m_read, buffer, sizeof buffer);
    long long value = 0;
    if (count <= 0 || !readNumber(std::string_view(buffer, size_t(count)), &value) || (value & 0xff) != exitStatus)
        return exitStatus;
    return int(value);
}

int claimStatusHandle()
{
    const char *named = std::getenv(statusVariable);
    if (!named)
        return -1;
    const std::string_view text = named;
    const size_t colon = text.find(':');
    long long handle = -1;
    long long inode = -1;
    struct stat status
    {
    };
    const bool valid = colon != std::string_view::npos && readNumber(text.substr(0, colon), &handle)
        && readNumber(text.substr(colon + 1), &inode) && handle > STDERR_FILENO && handle < 65536
        && fstat(int(handle), &status) == 0 && S_ISFIFO(status.st_mode)
        && static_cast<long long>(status.st_ino) == inode;
    unsetenv(statusVariable);
    if (!valid)
        return -1;
    // The programs this interpreter starts must not hold it.
    fcntl(int(handle), F_SETFD, FD_CLOEXEC);
    return int(handle);
}

void reportStatus(int handle, int errorLevel)
{
    if (handle >= 0)
        writeAll(handle, std::to_string(errorLevel));
}

bool isOwnExecutable(const std::string &path)
{
    static const struct stat own = [] {
        struct stat status
        {
        };
        if (stat("/proc/self/exe", &status) != 0)
            status.st_ino = 0;
        return status;
    }();
    struct stat status
    {
    };
    return own.st_ino != 0 && stat(path.c_str(), &status) == 0 && status.st_ino == own.st_ino
        && status.st_dev == own.st_dev;
}

} // namespace Cmd
