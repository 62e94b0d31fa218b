#ifndef KORVANI_INTERPRETER_SCRIPT_H
#define KORVANI_INTERPRETER_SCRIPT_H

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Cmd {

// The lines of a batch file: split at "\n", carriage returns dropped, a UTF-8
// byte order mark at the start ignored. A last line without a line feed counts.
std::vector<std::string> splitLines(std::string_view bytes);

// The name of the label a line declares, if it is a label line: blanks and
// "@" may stand before the colon and blanks after it, and the name ends at
// a blank or at one of : + & < > |, as cmd reads labels (":dest5&& echo x"
// and "@ : dest9>rubbish" declare dest5 and dest9).
std::optional<std::string_view> labelName(std::string_view line);

// The label at the start of text, up to where a label ends.
std::string_view labelWord(std::string_view text);

struct Redirection
{
    enum class Mode { Read, Write, Append };

    int handle = 1;
    Mode mode = Mode::Write;
    std::string target; // a file name as written, or empty with duplicateOf
    int duplicateOf = -1; // ">&2": the handle to copy
};

struct Condition
{
    enum class Kind { Compare, Exist, ErrorLevel, Defined };
    enum class Operator { Same, Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual };

    Kind kind = Kind::Compare;
    Operator op = Operator::Same;
    bool negated = false;
    bool ignoreCase = false;
    std::string left; // the only operand of exist, defined and errorlevel
    std::string right;
};

// for's switches, variable and set, as written; the body is the node's child.
struct ForLoop
{
    enum class Mode { Files, Folders, Numbers, Lines };

    Mode mode = Mode::Files;
    bool recursive = false; // /r
    std::string root; // /r's folder as written; empty for the current one
    std::string options; // /f's options, without their quotes
    char variable = 0;
    std::string set; // what stands between the parentheses
};

// The most commands one line may join with pipes: each runs in a process of
// its own, all at once.
inline constexpr int maxPipeStages = 64;

// One parsed command line. Command text keeps its quotes and loses its
// escapes and redirections, as cmd hands it to a command.
struct Node
{
    enum class Kind { Command, Block, If, List, Pipe, For };
    // How a list item depends on the one before it: "&", "&&" or "||".
    enum class Joint { Then, AndThen, OrElse };

    Kind kind = Kind::Command;
    Joint joint = Joint::Then;
    bool quiet = false; // an "@" stood before it
    std::string text;
    std::vector<Redirection> redirections;
    // List and Pipe: the items; Block: its body, if any; If: then and else;
    // For: its body.
    std::vector<std::unique_ptr<Node>> children;
    Condition condition;
    ForLoop loop;
};

struct ParsedLine
{
    std::unique_ptr<Node> node; // none for a blank line, a label or an error
    bool quiet = false; // started with "@"
    std::string error; // cmd's message for a line it cannot read
    bool tooLong = false; // grew beyond cmd's longest line when expanded
};

// A parsed command as cmd shows it when echo is on: each simple command and
// each block followed by a blank and then its redirections ("echo a 1>out",
// "(echo 1 ) "), operators with a blank on either side ("a  & b  && c "), a
// block on one line, an if with blanks around its "==" ("if 1 == 1 "), a for
// with its switches, variable and set. A command with an "@" before it is not
// shown, nor are the commands joined to it after it in its block.
std::string echoText(const Node &node);

// True when the command, or the first command of a list or pipe, has an
// "@" before it: cmd does not show it.
bool startsQuiet(const Node &node);

// Supplies the line after the last one read, for a block "(" that goes on over
// several lines or a "^" at the end of a line; false at the end of the file.
using MoreLines = std::function<bool(std::string &line)>;

ParsedLine parseLine(std::string_view line, const MoreLines &moreLines = MoreLines());

// Turns a line of a batch file into the text the reader takes, as percent
// expansion does when the line is read; false when the result is too long.
using LineExpansion = std::function<bool(std::string_view line, std::string *expanded)>;

// Reads the command line at lines[*next], with the lines that a block or a
// caret at its end take with it, each expanded first if an expansion is
// given; *next moves past them. A label line gives no node.
ParsedLine readCommandLine(const std::vector<std::string> &lines, size_t *next,
                           const LineExpansion &expand = LineExpansion());

// Reads a whole batch file as the interpreter does: one entry per command
// line, or per line that cannot be read.
std::vector<ParsedLine> parseScript(std::string_view bytes, const LineExpansion &expand = LineExpansion());

} // namespace Cmd

#endif
