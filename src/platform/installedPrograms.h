#ifndef KORVANI_INSTALLEDPROGRAMS_H
#define KORVANI_INSTALLEDPROGRAMS_H

#include <QList>
#include <QString>

#include <string>
#include <vector>

namespace Desktop {
struct InstalledApplication;
}

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

    bool operator==(const InstalledProgram &other) const
    {
        return id == other.id && filePath == other.filePath && name == other.name && comment == other.comment
            && icon == other.icon;
    }
};

// The program an installed application's desktop entry offers in the
// desktop's menus: false for an entry that is NoDisplay, whose TryExec
// program is missing or whose Exec names no program. An entry without a
// Name goes by its file's name; names and comments are those of the locale.
bool offeredProgram(const Desktop::InstalledApplication &application, const std::string &locale,
                    InstalledProgram *program);

// Puts programs in the order of their names. DesktopEntryIndex keeps those
// of the entries that take precedence, in this order.
void sortPrograms(QList<InstalledProgram> *programs);

} // namespace Platform

#endif
