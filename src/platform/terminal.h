#ifndef KORVANI_TERMINAL_H
#define KORVANI_TERMINAL_H

#include <QStringList>

namespace Platform {

// The command that runs a console program in a terminal window of its own:
// the terminal's program, its words for "run this", then the program and its
// arguments. The terminal is the one $TERMINAL names, else the system's
// x-terminal-emulator, else the first known terminal found on PATH; each takes
// the command its own way. Where no terminal is found, or the system opens a
// console for every console program (Windows), the command as it is.
QStringList terminalCommand(const QStringList &command);

} // namespace Platform

#endif
