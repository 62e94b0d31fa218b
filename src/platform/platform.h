#ifndef KORVANI_PLATFORM_H
#define KORVANI_PLATFORM_H

#include <QString>

// Everything that differs between Windows and the other systems, and between
// a portable and an installed program, lives in this folder; here are the
// small differences of programs, folders and separators.
namespace Platform {

// The command interpreter that runs launch scripts with the arguments "/c" and
// the script's path: cmd.exe on Windows; elsewhere Korvani's own interpreter,
// which lives beside the executable and is never looked up on PATH.
QString commandInterpreter();

// What the user is told of a launch, named name, whose process did not end
// normally: here the signal that ended it, on Windows the status of its crash.
QString abnormalEnd(const QString &name, int exitCode);

// Where the program browse dialog opens, and the file-name patterns that follow
// the translated word in its filter: programs, and any file.
QString applicationFolder();
QString applicationFilterPatterns();
QString anyFileFilterPatterns();

// The name a program goes by, for an entry that starts it: the Name of a
// desktop entry that starts it where freedesktop desktops have one, else the
// file's name as it stands (python3.11 stays python3.11), without the .exe of
// Windows; empty for an empty path.
QString programName(const QString &path);

// The separator of folder lists such as PATH: ";" on Windows, ":" elsewhere.
QChar pathListSeparator();

// Whether programs' icons come from freedesktop desktop entries and the icon
// theme, rather than from the system's own file icons.
bool freedesktopIcons();

// The folder of Qt's own catalogues (its dialogs and standard buttons): the
// system's Qt translations, or on Windows the "translations" folder that is
// deployed beside the executable.
QString qtTranslationsFolder();

} // namespace Platform

#endif
