#include "paths.h"

#include "text.h"

#include <algorithm>

#include <dirent.h>
#include <sys/stat.h>

namespace Cmd {

namespace {

bool matchRun(std::string_view name, std::string_view pattern)
{
    size_t n = 0;
    size_t p = 0;
    size_t starPattern = std::string_view::npos;
    size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || toLower(pattern[p]) == toLower(name[n]))) {
            ++p;
            ++n;
        } else if (starPattern != std::string_view::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

std::string nativePath(std::string_view path)
{
    std::string result(path);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

bool isNullDevice(std::string_view path)
{
    const std::string_view name = splitPath(path).name;
    return equalsIgnoreCase(name, "nul") || equalsIgnoreCase(name, "nul:");
}

std::string openPath(std::string_view path)
{
    return isNullDevice(path) ? std::string("/dev/null") : nativePath(path);
}

std::string absolutePath(std::string_view path, const std::string &base)
{
    const std::string joined = !path.empty() && path.front() == '/' ? std::string(path)
                                                                    : base + '/' + std::string(path);
    std::vector<std::string_view> parts;
    const std::string_view view = joined;
    size_t start = 0;
    while (start <= view.size()) {
        size_t end = view.find('/', start);
        if (end == std::string_view::npos)
            end = view.size();
        const std::string_view part = view.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result;
    for (const std::string_view part : parts) {
        result += '/';
        result += part;
    }
    return result.empty() ? std::string("/") : result;
}

std::vector<std::string> searchFolders(std::string_view path)
{
    const bool windowsStyle = path.find(';') != std::string_view::npos;
    std::vector<std::string> folders;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of(";:", start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start || !windowsStyle)
            folders.push_back(nativePath(path.substr(start, end - start)));
        start = end + 1;
    }
    return folders;
}

std::string programSearchPath(std::string_view path)
{
    if (path.find_first_of(";\\") == std::string_view::npos)
        return std::string(path);
    const std::vector<std::string> folders = searchFolders(path);
    std::string result;
    for (size_t i = 0; i < folders.size(); ++i)
        result += (i > 0 ? ":" : "") + folders[i];
    return result;
}

std::string joinPath(std::string_view folder, std::string_view name)
{
    std::string path(folder);
    if (!path.empty() && path.back() != '/' && path.back() != '\\')
        path += '/';
    return path + std::string(name);
}

PathParts splitPath(std::string_view path)
{
    const size_t separator = path.find_last_of("/\\");
    if (separator == std::string_view::npos)
        return {std::string_view(), path};
    return {path.substr(0, separator + 1), path.substr(separator + 1)};
}

bool hasWildcards(std::string_view name)
{
    return name.find_first_of("*?") != std::string_view::npos;
}

NamePattern namePattern(std::string_view name)
{
    NamePattern result;
    const std::string path = nativePath(removeQuotes(name));
    if (isFolder(path)) {
        result.folder = path;
        result.pattern = "*";
    } else {
        const PathParts parts = splitPath(path);
        result.folder = parts.folder.empty() ? std::string(".") : std::string(parts.folder);
        result.pattern = parts.name;
    }
    result.whole = result.pattern == "*" || result.pattern == "*.*";
    return result;
}

bool matchesWildcard(std::string_view name, std::string_view pattern)
{
    if (matchRun(name, pattern))
        return true;
    // "*.*" and "name.*" take names without an extension too; "*." takes
    // only those.
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*")
        return name.find('.') == std::string_view::npos && matchRun(name, pattern.substr(0, pattern.size() - 2));
    if (!pattern.empty() && pattern.back() == '.' && name.find('.') == std::string_view::npos)
        return matchRun(name, pattern.substr(0, pattern.size() - 1));
    return false;
}

bool listFolder(const std::string &folder, std::vector<FolderEntry> *entries)
{
    entries->clear();
    DIR *directory = opendir(folder.empty() ? "." : folder.c_str());
    if (!directory)
        return false;
    while (const dirent *entry = readdir(directory)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        FolderEntry found{std::string(name), entry->d_type == DT_DIR, entry->d_type == DT_LNK};
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            const std::string path = folder.empty() ? found.name : joinPath(folder, found.name);
            struct stat status
            {
            };
            found.link = lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
            found.folder = Cmd::isFolder(path);
        }
        entries->push_back(std::move(found));
    }
    closedir(directory);
    std::sort(entries->begin(), entries->end(), [](const FolderEntry &a, const FolderEntry &b) {
        const int order = compareIgnoreCase(a.name, b.name);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    return true;
}

std::vector<FolderEntry> matchingEntries(const std::string &folder, std::string_view pattern, EntryKind kind)
{
    std::vector<FolderEntry> entries;
    listFolder(folder, &entries);
    const bool hiddenAsked = !pattern.empty() && pattern.front() == '.';
    const auto unwanted = [&](const FolderEntry &entry) {
        if ((kind == EntryKind::File && entry.folder) || (kind == EntryKind::Folder && !entry.folder))
            return true;
        return (entry.name.front() == '.' && !hiddenAsked) || !matchesWildcard(entry.name, pattern);
    };
    entries.erase(std::remove_if(entries.begin(), entries.end(), unwanted), entries.end());
    return entries;
}

std::vector<std::string> expandWildcards(std::string_view pattern, EntryKind kind)
{
    const PathParts parts = splitPath(pattern);
    if (!hasWildcards(parts.name))
        return {std::string(pattern)};
    std::vector<std::string> paths;
    for (const FolderEntry &entry : matchingEntries(nativePath(parts.folder), parts.name, kind))
        paths.push_back(std::string(parts.folder) + entry.name);
    return paths;
}

std::vector<std::string> existingMatches(std::string_view pattern, EntryKind kind)
{
    std::vector<std::string> paths = expandWildcards(pattern, kind);
    const auto missing = [kind](const std::string &path) {
        const std::string native = nativePath(path);
        return kind == EntryKind::File ? !isFile(native)
                                       : (kind == EntryKind::Folder ? !isFolder(native) : !pathExists(native));
    };
    paths.erase(std::remove_if(paths.begin(), paths.end(), missing), paths.end());
    return paths;
}

bool isFolder(const std::string &path)
{
    struct stat status
    {
    };
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool isFile(const std::string &path)
{
    struct stat status
    {
    };
    return stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

bool isReadOnly(const std::string &path)
{
    struct stat status
    {
    };
    return stat(path.c_str(), &status) == 0 && (status.st_mode & 0222) == 0;
}

bool pathExists(const std::string &path)
{
    struct stat status
    {
    };
    return stat(path.c_str(), &status) == 0;
}

} // namespace Cmd
