#ifndef KORVANI_INTERPRETER_COMMANDS_H
#define KORVANI_INTERPRETER_COMMANDS_H

#include "commandLine.h"

#include <cstddef>
#include <string_view>

// The functions behind the table of built-in commands (builtins.cpp), by the
// file they are in, and the for statement.
namespace Cmd {

class Context;
struct Node;

// batchCommands.cpp: the course of a batch file.
int commandEndLocal(Context &context, std::string_view arguments);
int commandExit(Context &context, std::string_view arguments);
int commandGoto(Context &context, std::string_view arguments);
int commandRemark(Context &context, std::string_view arguments);
int commandSetLocal(Context &context, std::string_view arguments);
int commandShift(Context &context, std::string_view arguments);

// callCommands.cpp: other batch files, subroutines and programs.
int commandCall(Context &context, std::string_view arguments);
int commandStart(Context &context, std::string_view arguments);

// environmentCommands.cpp: variables and the current folder.
int commandChangeDirectory(Context &context, std::string_view arguments);
int commandPath(Context &context, std::string_view arguments);
int commandPopDirectory(Context &context, std::string_view arguments);
int commandPushDirectory(Context &context, std::string_view arguments);
int commandSet(Context &context, std::string_view arguments);

// consoleCommands.cpp: what is shown and read.
int commandChangeCodePage(Context &context, std::string_view arguments);
int commandClearScreen(Context &context, std::string_view arguments);
int commandColor(Context &context, std::string_view arguments);
int commandEcho(Context &context, std::string_view arguments);
int commandPause(Context &context, std::string_view arguments);
int commandTimeout(Context &context, std::string_view arguments);
int commandTitle(Context &context, std::string_view arguments);
int commandVersion(Context &context, std::string_view arguments);

// fileCommands.cpp: folders, and reading and deleting files.
int commandDelete(Context &context, std::string_view arguments);
int commandMakeDirectory(Context &context, std::string_view arguments);
int commandRemoveDirectory(Context &context, std::string_view arguments);
int commandType(Context &context, std::string_view arguments);
// The words of a file command; false, after cmd's message, for a switch the
// command does not have or a count of names outside fewest to most.
bool readFileCommand(Context &context, std::string_view arguments, std::string_view letters, size_t fewest, size_t most,
                     CommandWords *words);

// directoryListing.cpp
int commandDirectory(Context &context, std::string_view arguments);

// copyCommands.cpp: copying, moving and renaming files.
int commandCopy(Context &context, std::string_view arguments);
int commandMove(Context &context, std::string_view arguments);
int commandRename(Context &context, std::string_view arguments);

// forCommand.cpp: the for statement, which the reader parses like if.
int executeFor(Context &context, const Node &node);

} // namespace Cmd

#endif
