// Starts a program on the X server of $DISPLAY and prints, in one line, the
// milliseconds from exec to its first top-level window being mapped, to the
// first drawing into that window, the program's peak resident memory in KiB
// and the processor time it used in milliseconds, both taken after it has run
// on for a while and been ended. The processor time varies less than the
// clock on a busy machine.
//   korvani-startup-probe SETTLE_MS PROGRAM [ARGUMENTS...]
// prints "mapped_ms painted_ms peak_kib cpu_ms".

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int fail(const char *message)
{
    std::fprintf(stderr, "korvani-startup-probe: %s\n", message);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3)
        return fail("usage: korvani-startup-probe SETTLE_MS PROGRAM [ARGUMENTS...]");
    const int settleMs = std::atoi(argv[1]);

    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        return fail("no X server");
    const xcb_query_extension_reply_t *damage = xcb_get_extension_data(connection, &xcb_damage_id);
    if (!damage || !damage->present)
        return fail("the X server has no DAMAGE extension");
    xcb_discard_reply(connection, xcb_damage_query_version(connection, 1, 1).sequence);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }

    // Damage is watched from the window's creation on, so that no drawing is
    // missed between its mapping and the probe hearing of it.
    std::set<xcb_window_t> mapped;
    double mappedMs = -1;
    double paintedMs = -1;
    pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (paintedMs < 0 && millisecondsSince(start) < 600000) {
        xcb_generic_event_t *event = xcb_poll_for_event(connection);
        if (!event) {
            if (xcb_connection_has_error(connection))
                return fail("lost the X server");
            poll(&descriptor, 1, 100);
            continue;
        }
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const auto *created = reinterpret_cast<xcb_create_notify_event_t *>(event);
            if (!created->override_redirect) {
                xcb_damage_create(connection, xcb_generate_id(connection), created->window,
                                  XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                xcb_flush(connection);
            }
        } else if (type == XCB_MAP_NOTIFY) {
            const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
            if (!map->override_redirect) {
                mapped.insert(map->window);
                if (mappedMs < 0)
                    mappedMs = millisecondsSince(start);
            }
        } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY) {
            const auto *notify = reinterpret_cast<xcb_damage_notify_event_t *>(event);
            if (mapped.count(notify->drawable))
                paintedMs = millisecondsSince(start);
        }
        std::free(event);
    }

    usleep(useconds_t(settleMs) * 1000);
    // Killed, not asked to end: asked, Korvani saves its entries, which is no
    // part of its start.
    kill(child, SIGKILL);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    xcb_disconnect(connection);
    if (paintedMs < 0)
        return fail("the program showed no window");
    const double cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
    std::printf("%.1f %.1f %ld %.1f\n", mappedMs, paintedMs, usage.ru_maxrss, cpuMs);
    return 0;
}
