#ifndef KORVANI_INTERPRETER_TEXT_H
#define KORVANI_INTERPRETER_TEXT_H

#include <string>
#include <string_view>

// Character and word helpers shared by the reader and the commands. Case is
// folded for ASCII letters only, as cmd does for command and variable names.
namespace Cmd {

// cmd's answer to a line or command it cannot read.
inline constexpr const char *syntaxError = "The syntax of the command is incorrect.";
// cmd's answers when a file is not there or may not be touched.
inline constexpr const char *fileNotFound = "The system cannot find the file specified.";
inline constexpr const char *pathNotFound = "The system cannot find the path specified.";
inline constexpr const char *accessDenied = "Access is denied.";
inline constexpr const char *directoryNameInvalid = "The directory name is invalid.";
// goto's and call's answer for a label that is not there; the label follows.
inline constexpr const char *labelNotFound = "The system cannot find the batch label specified - ";
// What this interpreter says when the system refuses it what it needs; the
// system's reason follows.
inline constexpr const char *cannotCreatePipe = "korvani-cmd: cannot create a pipe: ";
inline constexpr const char *cannotStartProcess = "korvani-cmd: cannot start a process: ";

// cmd's answer to a word its reader did not expect.
std::string unexpectedWord(std::string_view word);
// cmd's answer when start or for /f cannot find the file it was given.
std::string fileNotFoundNamed(std::string_view name);

inline bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

inline bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// Separators between batch parameters and after a command name.
inline bool isDelimiter(char c)
{
    return isBlank(c) || c == ',' || c == ';' || c == '=';
}

// Characters that end a command name, as in "echo." or "cd..".
inline bool endsCommandName(char c)
{
    switch (c) {
    case '\n':
    case '.':
    case ',':
    case ';':
    case '=':
    case '/':
    case '\\':
    case '(':
    case '+':
    case ':':
    case '[':
    case ']':
        return true;
    default:
        return isBlank(c);
    }
}

inline char toLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b);
int compareIgnoreCase(std::string_view a, std::string_view b);
std::string toLower(std::string_view text);

std::string_view trimLeft(std::string_view text);
std::string_view trimRight(std::string_view text);
std::string_view trim(std::string_view text);

// The text up to its first blank.
std::string_view firstWord(std::string_view text);

// The text after its leading parameter delimiters.
std::string_view skipDelimiters(std::string_view text);

// True when text starts with word (any case) followed by the end or a blank.
bool startsWithWord(std::string_view text, std::string_view word);

// Every double quote removed.
std::string removeQuotes(std::string_view text);

// A leading and a trailing double quote removed, as %~1 does.
std::string_view stripSurroundingQuotes(std::string_view text);

// Reads a whole decimal, hexadecimal (0x) or octal (leading 0) number as cmd
// does for comparisons, held to 32 bits; false when text is not one.
bool parseInteger(std::string_view text, long long *value);

// Reads a whole decimal number, with a sign if any, held to 32 bits: how
// if errorlevel reads its number.
bool parseDecimal(std::string_view text, long long *value);

// The leading decimal digits of text (with a sign), 0 when there are none, as
// exit takes its code.
int leadingInteger(std::string_view text);

// True when text starts with a decimal digit, after a sign if any.
bool startsWithNumber(std::string_view text);

} // namespace Cmd

#endif
