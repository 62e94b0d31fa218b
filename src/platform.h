#ifndef KORVANI_PLATFORM_H
#define KORVANI_PLATFORM_H

#include <QHash>
#include <QString>
#include <QStringList>

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

// The files and folders of the program, relative to the folder that
// dataFolder() gives: the launcher file, the settings, and the folder of the
// batch files of entries dragged out of the window.
QString launcherFile();
QString settingsFile();
QString dragScriptPath(const QString &batchFileName);

// Relative path of the batch file that a launch writes and hands to the command
// interpreter. It is built with the native separator: cmd.exe takes a slash for
// the start of a switch.
QString launchScriptPath(const QString &batchFileName);

// What a file dropped onto the launcher starts: the target of a link or a
// Windows shortcut; for a freedesktop desktop entry, the program and argument
// words of its Exec key, and the value of its Icon key; else the file itself.
struct DroppedProgram
{
    QString path;
    QStringList arguments;
    QString icon;
};
DroppedProgram droppedProgram(const QString &filePath);

// The program a desktop entry's content starts, then its arguments: the words
// of the Exec key of its [Desktop Entry] group, without field codes. Empty when
// there is none.
QStringList desktopEntryCommand(const QByteArray &content);

// The unescaped values of the keys of a desktop entry's [Desktop Entry] group;
// of a key given twice, the first counts.
QHash<QString, QString> desktopEntryValues(const QByteArray &content);

// Whether programs' icons come from freedesktop desktop entries and the icon
// theme, rather than from the system's own file icons.
bool freedesktopIcons();

} // namespace Platform

#endif
