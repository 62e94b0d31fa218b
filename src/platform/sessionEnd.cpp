#include "platform/sessionEnd.h"

#include <QObject>
#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace Platform {

namespace {

#ifdef Q_OS_UNIX
// A signal handler may do next to nothing: it writes a byte that the event loop
// then reads.
int endRequestSocket[2] = {-1, -1};

void writeEndRequest(int)
{
    const char byte = 1;
    const int savedErrno = errno;
    [[maybe_unused]] const ssize_t written = ::write(endRequestSocket[1], &byte, 1);
    errno = savedErrno;
}
#endif

} // namespace

void onEndRequest(QObject *context, const std::function<void()> &handler)
{
#ifdef Q_OS_UNIX
    if (endRequestSocket[0] < 0
        && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, endRequestSocket) != 0)
        return;
    auto *notifier = new QSocketNotifier(endRequestSocket[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [handler] {
        char bytes[16];
        while (::read(endRequestSocket[0], bytes, sizeof bytes) > 0) { }
        handler();
    });
    struct sigaction action = {};
    action.sa_handler = writeEndRequest;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
#else
    Q_UNUSED(context)
    Q_UNUSED(handler)
#endif
}

} // namespace Platform
