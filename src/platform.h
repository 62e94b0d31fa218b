#ifndef KORVANI_PLATFORM_H
#define KORVANI_PLATFORM_H

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

class QObject;

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

// Makes the data folder, enters it and adds the shipped templates. When the
// folder cannot be made or written, nothing is touched and the current folder
// stays: false, with a message for the user.
bool enterDataFolder(const QString &applicationDir, QString *error);

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

// Calls handler, on the GUI thread, when the system asks the program to end
// with a signal (SIGTERM, SIGINT, SIGHUP); for as long as context lives.
// Windows ends a program through its session messages only.
void onEndRequest(QObject *context, const std::function<void()> &handler);

// Reads a whole file that is a regular file of at most maxSize bytes. Anything
// else (a FIFO, a device, a folder, a larger file) is not read, so that it can
// neither hang the program nor fill its memory: false, with the reason.
bool readRegularFile(const QString &path, qint64 maxSize, QByteArray *content, QString *error);

// Writes a file anew: the content goes into a new file, readable and writable
// by the user only, that then takes the name over. Whatever had the name is
// replaced, a link included, which is never followed; a program still
// reading the old file reads it whole. False, with the reason, on failure.
bool replaceFile(const QString &path, const QByteArray &content, QString *error);

// The file that saving to path writes: path itself, or the regular file that a
// link at path leads to. Empty, with the reason, when the link leads to
// anything else, such as a device.
QString saveTarget(const QString &path, QString *error);

// The largest desktop entry, template or settings file that is read.
constexpr qint64 maxSettingsFileSize = 1 << 20;

// Whether a settings file or template may be handed to QSettings, which reads
// whatever it is given: a regular file of at most maxSettingsFileSize. A FIFO
// would hang the program, a huge file fill its memory.
bool isReadableSettingsFile(const QString &path);

// What a file dropped onto the launcher starts: the target of a link or a
// Windows shortcut; for a freedesktop desktop entry, the program and argument
// words of its Exec key, and the value of its Icon key; else the file itself. A
// desktop entry that cannot be read leaves the path empty and says why in error.
struct DroppedProgram
{
    QString path;
    QStringList arguments;
    QString icon;
    QString error;
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
