#include "relay.h"

#include "process.h"

#include <algorithm>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Cmd {

namespace {

// Reads at most limit bytes from the channel once and passes them on; the
// number of bytes read, 0 when nothing was ready or the channel has ended.
size_t moveOnce(RelayChannel &channel, size_t limit)
{
    char buffer[65536];
    const ssize_t count = read(channel.input, buffer, std::min(limit, sizeof buffer));
    if (count < 0 && (errno == EINTR || errno == EAGAIN))
        return 0;
    if (count <= 0) {
        close(channel.input);
        channel.input = -1;
        return 0;
    }
    const std::string_view data(buffer, size_t(count));
    if (channel.keep) {
        channel.kept.append(data);
        if (channel.kept.size() > RelayChannel::keptLimit)
            channel.kept.erase(0, channel.kept.size() - RelayChannel::keptLimit);
    } else if (channel.output >= 0 && !writeAll(channel.output, data)) {
        close(channel.output);
        channel.output = -1;
    }
    return size_t(count);
}

[[noreturn]] void runRelay(std::vector<RelayChannel> channels, int requests, int answers)
{
    while (anyChannelOpen(channels)) {
        if (!relayInput(channels, requests, -1))
            continue;
        char request = 0;
        const ssize_t count = read(requests, &request, 1);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            // The interpreter has ended; the programs may go on writing.
            close(requests);
            requests = -1;
            continue;
        }
        relayReady(channels);
        writeAll(answers, std::string_view(&request, 1));
    }
    _exit(0);
}

} // namespace

bool relayInput(std::vector<RelayChannel> &channels, int wake, int timeout)
{
    std::vector<pollfd> handles;
    std::vector<RelayChannel *> polled;
    for (RelayChannel &channel : channels) {
        if (channel.input >= 0) {
            handles.push_back({channel.input, POLLIN, 0});
            polled.push_back(&channel);
        }
    }
    if (wake >= 0)
        handles.push_back({wake, POLLIN, 0});
    if (poll(handles.data(), handles.size(), timeout) <= 0)
        return false;
    for (size_t i = 0; i < polled.size(); ++i) {
        if (handles[i].revents != 0)
            moveOnce(*polled[i], SIZE_MAX);
    }
    return wake >= 0 && handles.back().revents != 0;
}

void relayReady(std::vector<RelayChannel> &channels)
{
    // Only what is there now: a program that keeps writing must not hold
    // this up for ever.
    for (RelayChannel &channel : channels) {
        int ready = 0;
        if (channel.input < 0 || ioctl(channel.input, FIONREAD, &ready) != 0)
            continue;
        size_t left = size_t(ready);
        while (left > 0 && channel.input >= 0) {
            const size_t moved = moveOnce(channel, left);
            if (moved == 0)
                break;
            left -= moved;
        }
    }
}

bool anyChannelOpen(const std::vector<RelayChannel> &channels)
{
    return std::any_of(channels.begin(), channels.end(),
                       [](const RelayChannel &channel) { return channel.input >= 0; });
}

void Relay::start()
{
    if (m_checked)
        return;
    m_checked = true;
    const int streams[] = {STDOUT_FILENO, STDERR_FILENO};
    int data[2][2] = {{-1, -1}, {-1, -1}};
    int requests[2] = {-1, -1};
    int answers[2] = {-1, -1};
    bool ready = pipe2(requests, O_CLOEXEC) == 0 && pipe2(answers, O_CLOEXEC) == 0;
    bool relayed = false;
    for (int i = 0; i < 2 && ready; ++i) {
        if (isPipe(streams[i])) {
            relayed = true;
            ready = pipe2(data[i], O_CLOEXEC) == 0;
        }
    }
    // The relay outlives the interpreter, which holds its input until it
    // ends: it can be a plain child, never left as a zombie.
    const pid_t relay = ready && relayed ? fork() : -1;
    if (relay == 0) {
        setsid();
        std::vector<RelayChannel> channels;
        const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
        dup2(null, STDIN_FILENO);
        for (int i = 0; i < 2; ++i) {
            if (data[i][0] >= 0) {
                fcntl(data[i][0], F_SETFL, O_NONBLOCK);
                channels.push_back({data[i][0], streams[i], false, std::string()});
            } else {
                dup2(null, streams[i]);
            }
        }
        closeHandlesExcept({data[0][0], data[1][0], requests[0], answers[1]});
        std::signal(SIGPIPE, SIG_IGN);
        runRelay(std::move(channels), requests[0], answers[1]);
    }
    for (int i = 0; i < 2; ++i) {
        if (relay > 0 && data[i][1] >= 0) {
            dup2(data[i][1], streams[i]);
            struct stat status
            {
            };
            if (fstat(streams[i], &status) == 0)
                m_pipes.push_back({status.st_dev, status.st_ino});
        }
        for (const int handle : data[i]) {
            if (handle >= 0)
                close(handle);
        }
    }
    for (int handle : {requests[0], answers[1]}) {
        if (handle >= 0)
            close(handle);
    }
    if (relay > 0) {
        m_request = requests[1];
        m_answer = answers[0];
    } else {
        for (int handle : {requests[1], answers[0]}) {
            if (handle >= 0)
                close(handle);
        }
    }
}

bool Relay::carries(int handle) const
{
    struct stat status
    {
    };
    if (m_pipes.empty() || fstat(handle, &status) != 0)
        return false;
    return std::any_of(m_pipes.begin(), m_pipes.end(), [&status](const Pipe &pipe) {
        return pipe.device == status.st_dev && pipe.inode == status.st_ino;
    });
}

void Relay::flush()
{
    if (m_request < 0 || !writeAll(m_request, "f"))
        return;
    char answer = 0;
    while (read(m_answer, &answer, 1) < 0 && errno == EINTR) { }
}

} // namespace Cmd
