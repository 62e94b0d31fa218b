#ifndef KORVANI_INSTALLEDPROGRAMS_H
#define KORVANI_INSTALLEDPROGRAMS_H

#include <QList>
#include <QString>

#include <string>
#include <vector>

namespace Platform {

// The locale of the user's messages, such as "ja_JP.UTF-8", which picks the
// values of desktop entries' localised keys.
std::string desktopLocale();

// The folders desktop entries are installed in, first the one that takes
// precedence, as this process's environment names them.
std::vector<std::string> applicationFolders();

// A program the desktop offers in its menus, by its desktop entry.
struct InstalledProgram
{
    QString id; // the desktop file ID
    QString filePath;
    QString name; // in the user's language where the entry has it
    QString comment;
    QString icon; // the value of the Icon key
};

// The programs the desktop offers: the desktop entries of applications that
// are neither Hidden nor NoDisplay, whose TryExec program is there and whose
// Exec names a program, of each desktop file ID the one that takes
// precedence; in the order of their names. Entries without a Name go by their
// file's name.
QList<InstalledProgram> installedPrograms();

} // namespace Platform

#endif
