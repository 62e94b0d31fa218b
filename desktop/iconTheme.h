#ifndef KORVANI_DESKTOP_ICONTHEME_H
#define KORVANI_DESKTOP_ICONTHEME_H

#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace Desktop {

// The files freedesktop icon themes hold for an icon name, found as the Icon
// Theme Specification describes: in the folders that a theme's index.theme
// lists, below each folder themes are looked for in, first in the current
// theme, then in the themes it inherits, then in hicolor. A theme's folders
// are listed once, on its first lookup, and never walked further, so a theme
// cannot make a lookup walk a disk; its index.theme is read as a desktop
// entry, no larger than maxEntrySize.
class IconThemes
{
public:
    // searchPaths: the folders that hold themes (such as /usr/share/icons),
    // first the one that takes precedence.
    IconThemes(std::string theme, std::vector<std::string> searchPaths);

    // The PNG, SVG and XPM files of the icon in the first theme that has it,
    // in all of the theme's folders, under its name or, as Qt's theme loader
    // also tries them, the name shortened at a dash ("x-y-z", "x-y", "x").
    // Empty for a name that holds a "/".
    std::vector<std::string> files(std::string_view name);

    // What is looked at of the themes at the most; real themes list a few
    // hundred folders and some thousand files.
    static constexpr std::size_t maxFolders = 4096; // of a theme
    static constexpr std::size_t maxNames = 100000; // in the folders of a theme
    static constexpr std::size_t maxThemes = 16;

private:
    struct Theme
    {
        // The icon files by name without suffix, in the order of the
        // theme's folders.
        std::unordered_map<std::string, std::vector<std::string>> icons;
        std::vector<std::string> parents;
    };

    const Theme &theme(const std::string &name);
    std::vector<std::string> lineOfThemes();

    std::string m_theme;
    std::vector<std::string> m_searchPaths;
    std::map<std::string, Theme> m_themes;
};

} // namespace Desktop

#endif
