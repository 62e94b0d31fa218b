#include "desktop/iconTheme.h"

#include "desktop/applicationFolders.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

namespace Desktop {

namespace {

namespace fs = std::filesystem;

// The items of a comma-separated list, such as Directories and Inherits.
std::vector<std::string> listItems(std::string_view list)
{
    std::vector<std::string> items;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view item = list.substr(0, comma);
        if (!item.empty())
            items.emplace_back(item);
        list.remove_prefix(comma == std::string_view::npos ? list.size() : comma + 1);
    }
    return items;
}

// A theme's folders lie below it.
bool isFolderBelow(const std::string &folder)
{
    if (folder.front() == '/')
        return false;
    for (const fs::path &part : fs::path(folder)) {
        if (part == "..")
            return false;
    }
    return true;
}

// Adds the icon files of a folder to icons, PNG before SVG before XPM of one
// name; at most names names are looked at.
void listIcons(const std::string &folder, std::size_t *names,
               std::unordered_map<std::string, std::vector<std::string>> *icons)
{
    static const std::string suffixes[] = {".png", ".svg", ".xpm"};
    std::vector<std::pair<std::string, int>> found; // name without suffix, suffix
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end && *names > 0; it.increment(error)) {
        --*names;
        const std::string name = it->path().filename().string();
        for (int suffix = 0; suffix < 3; ++suffix) {
            const std::string &ending = suffixes[suffix];
            if (name.size() > ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0)
                found.emplace_back(name.substr(0, name.size() - ending.size()), suffix);
        }
    }
    std::sort(found.begin(), found.end());
    for (const auto &[stem, suffix] : found)
        (*icons)[stem].push_back(folder + '/' + stem + suffixes[suffix]);
}

} // namespace

IconThemes::IconThemes(std::string theme, std::vector<std::string> searchPaths)
    : m_theme(std::move(theme))
    , m_searchPaths(std::move(searchPaths))
{
}

const IconThemes::Theme &IconThemes::theme(const std::string &name)
{
    const auto known = m_themes.find(name);
    if (known != m_themes.end())
        return known->second;
    Theme &loaded = m_themes[name];
    if (name.empty() || name.find('/') != std::string::npos || name == "..")
        return loaded;
    // The first index.theme describes the theme; every folder of that name
    // holds its icons.
    std::optional<DesktopEntry> index;
    std::vector<std::string> contentFolders;
    for (const std::string &searchPath : m_searchPaths) {
        if (searchPath.empty() || searchPath.front() != '/')
            continue;
        const std::string folder = searchPath + '/' + name;
        std::error_code error;
        if (!fs::is_directory(folder, error))
            continue;
        contentFolders.push_back(folder);
        if (!index)
            index = readDesktopEntry(folder + "/index.theme", "Icon Theme");
    }
    if (!index)
        return loaded;
    std::vector<std::string> folders = listItems(index->string("Directories").value_or(std::string()));
    for (const std::string &scaled : listItems(index->string("ScaledDirectories").value_or(std::string())))
        folders.push_back(scaled);
    if (folders.size() > maxFolders)
        folders.resize(maxFolders);
    std::size_t names = maxNames;
    for (const std::string &contentFolder : contentFolders) {
        for (const std::string &folder : folders) {
            if (isFolderBelow(folder))
                listIcons(contentFolder + '/' + folder, &names, &loaded.icons);
        }
    }
    loaded.parents = listItems(index->string("Inherits").value_or(std::string()));
    return loaded;
}

std::vector<std::string> IconThemes::lineOfThemes()
{
    std::vector<std::string> line;
    const auto seen = [&line](const std::string &name) {
        return std::find(line.begin(), line.end(), name) != line.end();
    };
    // Depth first, as a theme's parents stand in for it before the next one.
    std::vector<std::string> pending{m_theme};
    while (!pending.empty() && line.size() < maxThemes) {
        std::string name = pending.front();
        pending.erase(pending.begin());
        if (seen(name))
            continue;
        const std::vector<std::string> parents = theme(name).parents;
        pending.insert(pending.begin(), parents.begin(), parents.end());
        line.push_back(std::move(name));
    }
    if (!seen("hicolor"))
        line.push_back("hicolor");
    return line;
}

std::vector<std::string> IconThemes::files(std::string_view name)
{
    if (name.empty() || name.find('/') != std::string_view::npos)
        return {};
    for (const std::string &themeName : lineOfThemes()) {
        const Theme &current = theme(themeName);
        for (std::string_view shortened = name;;) {
            const auto found = current.icons.find(std::string(shortened));
            if (found != current.icons.end())
                return found->second;
            const std::size_t dash = shortened.rfind('-');
            if (dash == std::string_view::npos)
                break;
            shortened = shortened.substr(0, dash);
        }
    }
    return {};
}

} // namespace Desktop
