#ifndef KORVANI_DESKTOP_APPLICATIONFOLDERS_H
#define KORVANI_DESKTOP_APPLICATIONFOLDERS_H

#include "desktop/desktopEntry.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Desktop {

// The folders installed desktop entries live in, first the one that takes
// precedence: "applications" below $XDG_DATA_HOME (by default
// $HOME/.local/share), then below each folder of $XDG_DATA_DIRS (by default
// /usr/local/share:/usr/share). Relative folders are left out, as the base
// directory specification asks. The values are passed in, so that the
// interpreter can give those of its own environment.
std::vector<std::string> applicationFolders(std::string_view home, std::string_view dataHome,
                                            std::string_view dataDirs);

// The desktop entry in a file, or another group of it: nothing when the
// file is no regular file (a FIFO would block the reader), is larger than
// maxEntrySize, cannot be read or is no desktop entry.
std::optional<DesktopEntry> readDesktopEntry(const std::string &path, std::string_view group = "Desktop Entry");

struct InstalledApplication
{
    // The desktop file ID: the path below the applications folder with "/"
    // made "-", such as "kde-konsole.desktop" for kde/konsole.desktop.
    std::string id;
    std::string path;
    const DesktopEntry &entry;
};

// What a walk of one applications folder takes on at the most, so that a
// folder that holds a link to /, a loop or a million files ends soon. Real
// folders hold a few hundred entries of some KiB, a level or two deep.
struct WalkLimits
{
    int depth = 8; // levels of subfolders
    std::size_t names = 10000; // files and folders looked at
    std::size_t bytes = std::size_t(64) << 20; // of the entries read
};

// Visits the applications installed in the folders, in order of precedence
// (the folders' order, then the names'). Of the files with one desktop file
// ID only the first counts, as the specification orders: one that is hidden
// (Hidden=true), unreadable or no desktop entry hides the others too, which
// is how a user removes a system entry. Entries of other types than
// Application and hidden ones are not visited. Linked entries are read, but
// linked folders are not walked.
void forEachApplication(const std::vector<std::string> &folders,
                        const std::function<void(const InstalledApplication &)> &visit,
                        const WalkLimits &limits = WalkLimits());

} // namespace Desktop

#endif
