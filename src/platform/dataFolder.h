#ifndef KORVANI_DATAFOLDER_H
#define KORVANI_DATAFOLDER_H

#include <QString>

namespace Platform {

// Where a portable and an installed program keep their data.

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

// Makes the data folder, enters it and adds the shipped templates. When the
// folder cannot be made or written, nothing is touched and the current folder
// stays: false, with a message for the user.
bool enterDataFolder(const QString &applicationDir, QString *error);

// The files and folders of the program, relative to the folder that
// dataFolder() gives: the launcher file, the settings, and the folders of the
// batch files of launches and of entries dragged out of the window.
QString launcherFile();
QString settingsFile();
QString launchScriptFolder();
QString dragScriptFolder();

// Relative path of a batch file in the launch folder, as a launch hands it to
// the command interpreter. It is built with the native separator: cmd.exe
// takes a slash for the start of a switch.
QString launchScriptPath(const QString &fileName);

} // namespace Platform

#endif
