#ifndef KORVANI_INTERPRETER_BUILTINS_H
#define KORVANI_INTERPRETER_BUILTINS_H

#include <string_view>

// cmd's built-in commands, found by name in one table.
namespace Cmd {

class Context;

// Runs a command with the text after its name and returns its status: 0 for
// success, which && and || go by.
using CommandFunction = int (*)(Context &context, std::string_view arguments);

// What a command does to the error level beyond what its failures set.
enum class ErrorLevelRule {
    Keep, // it stays as it was
    Status, // it becomes the command's status: 0 after a success
    StatusInCmdFile, // so in a .cmd file; in a .bat file and on the command line it stays
};

struct BuiltIn
{
    std::string_view name; // in lowercase
    CommandFunction run; // nullptr for a command of cmd that this interpreter does not have
    ErrorLevelRule errorLevel;
};

// The built-in command that text starts with, if any; arguments gets the
// text after the name either way.
const BuiltIn *findBuiltIn(std::string_view text, std::string_view *arguments);

int runBuiltIn(Context &context, const BuiltIn &command, std::string_view arguments);

} // namespace Cmd

#endif
