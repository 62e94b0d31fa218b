#ifndef KORVANI_PLATFORM_H
#define KORVANI_PLATFORM_H

#include <QString>

// Everything that differs between Windows and the other systems, and between
// a portable and an installed program, lives here.
namespace Platform {

// The command interpreter that runs launch scripts with the arguments "/c" and
// the script's path: cmd.exe on Windows; elsewhere Korvani's own interpreter,
// which lives beside the executable and is never looked up on PATH.
QString commandInterpreter();

// Where the program browse dialog opens, and the file-name patterns that follow
// the translated word in its filter: programs, and any file.
QString applicationFolder();
QString applicationFilterPatterns();
QString anyFileFilterPatterns();

// The separator of folder lists such as PATH: ";" on Windows, ":" elsewhere.
QChar pathListSeparator();

// Folder of this system's program templates, relative to the program's directory:
// "data/db/" followed by the system's name.
QString templateFolder();

// The folder whose "data" and "temp" the program uses, made current at
// start-up: the executable's own folder when it is writable and the program
// is not installed (the portable layout), else the user's data folder.
QString dataFolder(const QString &applicationDir);

// Copies the templates shipped with the program into the template folder below
// dataFolder, leaving every template already there alone. A portable program
// reads its templates where they are, and copies nothing.
void addShippedTemplates(const QString &applicationDir, const QString &dataFolder);

// Relative path of the batch file that a launch writes and hands to the command
// interpreter. It is built with the native separator: cmd.exe takes a slash for
// the start of a switch.
QString launchScriptPath(const QString &batchFileName);

} // namespace Platform

#endif
