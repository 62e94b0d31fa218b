// What batch files show and read: echo and pause, and console commands that
// change nothing a launch depends on, accepted so that batch files written
// for a console window run unchanged.
#include "commands.h"

#include "context.h"
#include "process.h"
#include "text.h"

#include <cerrno>
#include <ctime>

#include <poll.h>
#include <unistd.h>

namespace Cmd {

namespace {

const char *const timeoutUsage = "ERROR: Invalid syntax. Type \"TIMEOUT /?\" for usage.";

bool isHexDigit(char c)
{
    const char lower = toLower(c);
    return isDigit(c) || (lower >= 'a' && lower <= 'f');
}

// Waits up to milliseconds; true when a line of input came first.
bool waitForInput(int milliseconds)
{
    pollfd input{STDIN_FILENO, POLLIN, 0};
    const int ready = poll(&input, 1, milliseconds);
    return ready > 0;
}

void sleepFor(int milliseconds)
{
    timespec time{milliseconds / 1000, long(milliseconds % 1000) * 1000000L};
    while (nanosleep(&time, &time) != 0 && errno == EINTR) { }
}

} // namespace

int commandEcho(Context &context, std::string_view arguments)
{
    if (trim(arguments).empty() && (arguments.empty() || isBlank(arguments.front()))) {
        writeAll(STDOUT_FILENO, context.echo ? "ECHO is on.\n" : "ECHO is off.\n");
        return 0;
    }
    const std::string_view text = arguments.substr(1);
    if (isBlank(arguments.front())) {
        const std::string_view word = trim(text);
        if (equalsIgnoreCase(word, "on") || equalsIgnoreCase(word, "off")) {
            context.echo = equalsIgnoreCase(word, "on");
            return 0;
        }
    }
    writeAll(STDOUT_FILENO, std::string(text) + '\n');
    return 0;
}

int commandPause(Context &, std::string_view)
{
    writeAll(STDOUT_FILENO, "Press any key to continue . . . ");
    std::string line;
    readInputLine(&line);
    // A terminal has shown the user's line feed already; anything else has not.
    if (!isatty(STDIN_FILENO))
        writeAll(STDOUT_FILENO, "\n");
    return 0;
}

// The code page is UTF-8 and stays so; chcp only reports it.
int commandChangeCodePage(Context &context, std::string_view arguments)
{
    const std::string_view page = trim(arguments);
    for (const char c : page) {
        if (!isDigit(c))
            return context.fail(1, "Parameter format not correct - " + std::string(page));
    }
    writeAll(STDOUT_FILENO, "Active code page: 65001\n");
    return 0;
}

// cls clears a console; written to a file or pipe it is a form feed.
int commandClearScreen(Context &, std::string_view)
{
    writeAll(STDOUT_FILENO, isatty(STDOUT_FILENO) ? "\x1b[H\x1b[2J" : "\f");
    return 0;
}

// color /? : the error level is 1 when foreground and background are the same.
int commandColor(Context &, std::string_view arguments)
{
    const std::string_view colors = trim(arguments);
    const bool valid = colors.empty()
        || (colors.size() <= 2 && isHexDigit(colors.front()) && isHexDigit(colors.back()));
    const bool same = colors.size() == 2 && toLower(colors[0]) == toLower(colors[1]);
    return valid && !same ? 0 : 1;
}

// timeout /t N [/nobreak], with timeout.exe's messages. A key ends the wait
// early only on a terminal; where input comes from a pipe, as in a launch,
// the full time passes.
int commandTimeout(Context &context, std::string_view arguments)
{
    bool noBreak = false;
    std::string_view seconds;
    std::string_view text = trim(arguments);
    while (!text.empty()) {
        const std::string_view word = firstWord(text);
        text = trimLeft(text.substr(word.size()));
        if (equalsIgnoreCase(word, "/nobreak")) {
            noBreak = true;
        } else if (equalsIgnoreCase(word, "/t") && !text.empty()) {
            seconds = firstWord(text);
            text = trimLeft(text.substr(seconds.size()));
        } else if (seconds.empty() && word.front() != '/') {
            seconds = word;
        } else {
            return context.fail(1, timeoutUsage);
        }
    }
    long long wait = 0;
    if (seconds.empty())
        return context.fail(1, timeoutUsage);
    if (!parseInteger(seconds, &wait) || wait < -1 || wait > 99999)
        return context.fail(1, "ERROR: Invalid value for timeout (/T) specified. Valid range is -1 to 99999.");
    const bool keys = !noBreak && isatty(STDIN_FILENO);
    const char *const ending = noBreak ? "press CTRL+C to quit ..." : "press a key to continue ...";
    if (wait < 0) {
        writeAll(STDOUT_FILENO, noBreak ? "\nPress CTRL+C to quit ..." : "\nPress any key to continue ...");
        // Waiting for ever is what was asked for; only a signal ends it.
        while (noBreak)
            pause();
        std::string line;
        readInputLine(&line);
        writeAll(STDOUT_FILENO, "\n");
        return 0;
    }
    writeAll(STDOUT_FILENO, "\nWaiting for " + std::to_string(wait) + " seconds, " + ending);
    for (long long left = wait; left > 0; --left) {
        if (keys ? waitForInput(1000) : (sleepFor(1000), false)) {
            std::string line;
            readInputLine(&line);
            break;
        }
    }
    writeAll(STDOUT_FILENO, "\n");
    return 0;
}

int commandTitle(Context &, std::string_view)
{
    return 0;
}

int commandVersion(Context &, std::string_view)
{
    writeAll(STDOUT_FILENO, "\nkorvani-cmd [Version " KORVANI_VERSION "]\n");
    return 0;
}

} // namespace Cmd
