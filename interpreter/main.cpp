#include "interpreter.h"
#include "process.h"

#include <csignal>
#include <cstring>

#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc < 3 || (std::strcmp(argv[1], "/c") != 0 && std::strcmp(argv[1], "/C") != 0)) {
        Cmd::writeAll(STDERR_FILENO, "usage: korvani-cmd /c BATCH-FILE [PARAMETER...]\n");
        return 1;
    }
    // A reader that goes away must not end the batch file half way.
    std::signal(SIGPIPE, SIG_IGN);
    Cmd::Interpreter interpreter(environ);
    return interpreter.run(argv[2], std::vector<std::string>(argv + 3, argv + argc));
}
