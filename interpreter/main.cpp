#include "interpreter.h"
#include "process.h"
#include "statusPipe.h"
#include "text.h"

#include <csignal>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// The switches of cmd /? before /c: /q turns echo off and /v:on turns on
// delayed expansion; /d, /s, /a, /u, /e, /f, /t, /x and /y change nothing
// here. /c may have its command right after it ("/ctmp.cmd"). False for
// anything else, /k included, as there is no prompt to stay at.
bool readSwitches(int argc, char **argv, Cmd::Interpreter *interpreter, std::vector<std::string> *command)
{
    for (int i = 1; i < argc; ++i) {
        const std::string word = Cmd::toLower(argv[i]);
        if (word.compare(0, 2, "/c") == 0) {
            if (word.size() > 2)
                command->push_back(std::string(argv[i]).substr(2));
            command->insert(command->end(), argv + i + 1, argv + argc);
            return !command->empty();
        }
        if (word == "/q")
            interpreter->echo = false;
        else if (word == "/v" || word == "/v:on" || word == "/v:off")
            interpreter->delayedExpansion = word != "/v:off";
        else if (word.size() < 2 || word[0] != '/' || std::string_view("dsauefxyt").find(word[1]) == std::string::npos
                 || (word.size() > 2 && word[2] != ':'))
            return false;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    // Taken before the interpreter copies the environment.
    const int statusHandle = Cmd::claimStatusHandle();
    Cmd::Interpreter interpreter(environ);
    std::vector<std::string> command;
    if (!readSwitches(argc, argv, &interpreter, &command)) {
        Cmd::writeAll(STDERR_FILENO, "usage: korvani-cmd /c BATCH-FILE [PARAMETER...]\n");
        return 1;
    }
    // A reader that goes away must not end the batch file half way.
    std::signal(SIGPIPE, SIG_IGN);
    const int code = interpreter.run(command.front(), std::vector<std::string>(command.begin() + 1, command.end()));
    Cmd::reportStatus(statusHandle, code);
    return code;
}
