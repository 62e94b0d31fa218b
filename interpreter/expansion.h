#ifndef KORVANI_INTERPRETER_EXPANSION_H
#define KORVANI_INTERPRETER_EXPANSION_H

#include "environment.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How cmd replaces variables and parameters in the text of a line before
// and while it runs.
namespace Cmd {

// cmd's longest line, and the longest value a variable takes.
inline constexpr size_t maxLineLength = 8191;
inline constexpr const char *lineTooLong = "The input line is too long.";

// Variables as expansion sees them: the environment first, then cmd's
// dynamic variables for the names it does not hold.
class VariableLookup
{
public:
    VariableLookup(const Environment &environment, const std::string &directory, const int &errorLevel);

    std::optional<std::string> find(std::string_view name) const;
    const std::string &directory() const { return m_directory; }

private:
    const Environment &m_environment;
    const std::string &m_directory;
    const int &m_errorLevel;
    mutable uint32_t m_random;
};

// The parameters of a running batch file or subroutine.
struct Parameters
{
    std::vector<std::string> values; // %0 first
    std::string all; // %*
    std::string scriptPath; // the batch file, which %~f0 names until a shift moves %0
    bool zeroIsScript = true;

    // shift, or shift /n: the parameters from n on move down by one; false
    // when the argument is not /0 to /8.
    bool shift(std::string_view arguments);
};

// The parameters of a batch file or subroutine started by name with the
// given text after it.
Parameters batchParameters(std::string_view name, std::string_view text, const std::string &scriptPath);

// Percent expansion of a line as it is read: %NAME%, %NAME:~n,m%,
// %NAME:a=b%, %0 to %9, %*, the %~ modifiers and %%. Without parameters the
// line comes from the command line of /c, where undefined names and percent
// signs stay as written. False, with the result cut short, when the line
// grows beyond maxLineLength.
bool expandPercents(std::string_view line, const VariableLookup &variables, const Parameters *parameters,
                    std::string *result);

// Delayed expansion of !NAME! and its edited forms; in a text that holds an
// exclamation mark, a caret escapes the character after it.
std::string expandDelayed(std::string_view text, const VariableLookup &variables);

// NAME:~start[,length] or NAME:[*]search=replacement, applied to a value.
std::string editValue(const std::string &value, std::string_view edit);

struct ForVariable
{
    char name;
    std::string value;
};

// %V and %~[modifiers]V for the variables of the running loops, innermost last.
std::string substituteForVariables(std::string_view text, const std::vector<ForVariable> &variables,
                                   const VariableLookup &lookup);

} // namespace Cmd

#endif
