#ifndef KORVANI_PLATFORM_H
#define KORVANI_PLATFORM_H

#include <QString>

// Everything that differs between Windows and the other systems lives here.
namespace Platform {

// Folder of this system's program templates, relative to the program's directory:
// "data/db/" followed by the system's name.
QString templateFolder();

// Relative path of the batch file that a launch writes and hands to the command
// interpreter. It is built with the native separator: cmd.exe takes a slash for
// the start of a switch.
QString launchScriptPath(const QString &batchFileName);

} // namespace Platform

#endif
