#ifndef KORVANI_DESKTOPICONLOOKUP_H
#define KORVANI_DESKTOPICONLOOKUP_H

#include <QIcon>
#include <QString>

// Finds a program's icon as freedesktop desktops show it: the icon of a
// desktop entry that starts the program, else the icon theme's icon named
// after the program. Icon files that would cost much to decode are left out
// (see namedIcon): a huge SVG took the window seconds and hundreds of MiB to
// draw.
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
    // folders. Of a theme's files for the name, those are left out that are
    // no regular files, larger than maxIconFileSize, SVGs larger than
    // maxSvgFileSize or under another suffix than .svg, or images wider or
    // higher than maxIconSide; null when none is left or nothing is found.
    static QIcon namedIcon(const QString &name);

    // Whether the system's desktop entries have been read, so that the
    // answers of programIcon are final; the first call starts reading them,
    // off the GUI thread. Once they are read, every window is drawn anew.
    static bool entriesIndexed();

    // Real icons are at most some hundred KiB, 512 pixels wide; reading an
    // SVG costs a tenth of a second or more a MiB.
    static constexpr qint64 maxIconFileSize = 4 << 20;
    static constexpr qint64 maxSvgFileSize = 1 << 20;
    static constexpr int maxIconSide = 2048;
};

#endif
