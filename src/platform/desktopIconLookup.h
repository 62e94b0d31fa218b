#ifndef KORVANI_DESKTOPICONLOOKUP_H
#define KORVANI_DESKTOPICONLOOKUP_H

#include <QHash>
#include <QIcon>
#include <QString>

// Finds a program's icon as freedesktop desktops show it: the icon of a
// desktop entry that starts the program, else the icon theme's icon named
// after the program. The desktop entries are read once, on the first lookup.
class DesktopIconLookup
{
public:
    // The icon for an existing program file, links resolved; null when
    // neither a desktop entry nor the theme knows the program.
    static QIcon programIcon(const QString &path);

    // The icon an Icon key of a desktop entry names: a file, or a name looked
    // up in the icon theme (which falls back to hicolor), then in the pixmaps
    // folders. Null when nothing is found.
    static QIcon namedIcon(const QString &name);

private:
    // Icon names by the canonical path of the program that Exec or TryExec
    // names, in the order of precedence of the applications folders.
    static const QHash<QString, QString> &desktopEntryIcons();
};

#endif
