#ifndef KORVANI_INTERPRETER_BUILTINS_H
#define KORVANI_INTERPRETER_BUILTINS_H

#include <string_view>

// cmd's built-in commands, found by name in one table.
namespace Cmd {

class Context;

// Runs a command with the text after its name and returns its status: 0 for
// success, which && and || go by.
using CommandFunction = int (*)(Context &context, std::string_view arguments);

struct BuiltIn
{
    std::string_view name; // in lowercase
    CommandFunction run; // nullptr for a command of cmd that this interpreter does not have
    // Success sets the error level to 0; the other commands leave it as it
    // was unless they fail.
    bool resetsErrorLevel;
};

// The built-in command that text starts with, if any; arguments gets the
// text after the name either way.
const BuiltIn *findBuiltIn(std::string_view text, std::string_view *arguments);

int runBuiltIn(Context &context, const BuiltIn &command, std::string_view arguments);

} // namespace Cmd

#endif
