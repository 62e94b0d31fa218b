#ifndef KORVANI_INTERPRETER_COMMAND_LINE_H
#define KORVANI_INTERPRETER_COMMAND_LINE_H

#include <string>
#include <string_view>
#include <vector>

namespace Cmd {

// Splits the arguments that follow the program name the way the Windows C
// runtime builds argv from a command line: white space separates words,
// double quotes group them and are removed, 2n backslashes before a quote
// give n backslashes and the quote toggles grouping, 2n+1 give n backslashes
// and a literal quote, other backslashes are literal, and "" inside a
// quoted part gives a literal quote.
std::vector<std::string> splitArguments(std::string_view arguments);

// The first word of a command: the program to run.
struct ProgramWord
{
    std::string name; // quotes removed
    std::string_view written; // as it stands in the command
    std::string_view rest; // everything after it
};

// The word ends at white space outside double quotes.
ProgramWord splitProgramWord(std::string_view command);

// Batch parameters (%1, %2, ...) as cmd splits them: blanks, commas,
// semicolons and equal signs separate them, double quotes group them and stay.
std::vector<std::string> splitBatchParameters(std::string_view text);

// set's argument, NAME=VALUE or "NAME=VALUE", where the text after the last
// quote is left out.
struct Assignment
{
    std::string_view name; // without an equal sign: all there is
    std::string_view value;
    bool hasEquals = false;
};
Assignment splitAssignment(std::string_view text);

// The words of a file command: names as written, quotes kept, and switches.
// A word that starts with "/" holds switches ("/s", "/s/q", "/a:-d") only
// when each part of it is one of letters; otherwise it is a path, as
// Linux paths start with "/".
struct CommandWords
{
    std::vector<std::string> names;
    std::vector<std::string> switches; // lowercase, without "/" and ":"
    std::string invalid; // a one-letter switch that the command does not have

    // cmd's message for the invalid switch.
    std::string invalidMessage() const { return "Invalid switch - " + invalid + "."; }
    bool has(char letter) const;
    // What follows the letter: "/a:-d" gives "-d"; nullptr without the switch.
    const std::string *value(char letter) const;
};

// letters: the command's switches; "a" and "o" take attribute and order
// letters after them.
CommandWords splitCommandWords(std::string_view arguments, std::string_view letters);

} // namespace Cmd

#endif
