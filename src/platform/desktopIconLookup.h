#ifndef KORVANI_DESKTOPICONLOOKUP_H
#define KORVANI_DESKTOPICONLOOKUP_H

#include <QIcon>
#include <QString>

// Finds a program's icon as freedesktop desktops show it: the icon of a
// desktop entry that starts the program, else the icon theme's icon named
// after the program. No icon file larger than maxIconFileSize is decoded:
// a huge SVG would take the window seconds and hundreds of MiB to draw.
class DesktopIconLookup
{
public:
    // The icon for an existing program file, links resolved; null when
    // neither a desktop entry nor the theme knows the program. Until the
    // system's desktop entries have been read (see entriesIndexed), their
    // icons are left out.
    static QIcon programIcon(const QString &path);

    // The icon an Icon key of a desktop entry names: a file, or a name looked
    // up in the icon theme (which falls back to hicolor), then in the pixmaps
    // folders. Null when nothing is found or a file it would take is larger
    // than maxIconFileSize or no regular file.
    static QIcon namedIcon(const QString &name);

    // Whether the system's desktop entries have been read, so that the
    // answers of programIcon are final; the first call starts reading them,
    // off the GUI thread. Once they are read, every window is drawn anew.
    static bool entriesIndexed();

    static constexpr qint64 maxIconFileSize = 4 << 20;
};

#endif
