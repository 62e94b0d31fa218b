#ifndef KORVANI_INTERPRETER_PATHS_H
#define KORVANI_INTERPRETER_PATHS_H

#include <string>
#include <string_view>
#include <vector>

// Paths as batch files write them: backslashes separate folders, and names
// match wildcards and each other in any case.
namespace Cmd {

// A path the interpreter opens itself, with backslashes as folder separators.
// Arguments handed to programs never go through this.
std::string nativePath(std::string_view path);

// NUL, in any case, with or without a colon and in any folder, is the null
// device for every command, as the device names are on Windows.
bool isNullDevice(std::string_view path);

// The path to open for a name as written: the null device for NUL, else
// the name as nativePath gives it.
std::string openPath(std::string_view path);

// Made absolute against base, with "." and ".." folded away as written.
std::string absolutePath(std::string_view path, const std::string &base);

// The folders of a PATH value in search order. ";" separates them as on
// Windows and ":" as on Linux, and backslashes separate the folders within
// them. An empty entry stands for the current folder, as on Linux, unless
// the value uses ";": Windows passes over empty entries.
std::vector<std::string> searchFolders(std::string_view path);

// PATH as the programs a batch file starts get it: the folders that
// searchFolders gives, separated by ":" only, so that a Windows-style PATH
// set by a batch file works for them too. A value without ";" or a
// backslash is passed on as it is.
std::string programSearchPath(std::string_view path);

// folder and name with one separator between them.
std::string joinPath(std::string_view folder, std::string_view name);

// The folder part of a path as written, up to and with its last separator,
// and the name after it.
struct PathParts
{
    std::string_view folder;
    std::string_view name;
};
PathParts splitPath(std::string_view path);

bool hasWildcards(std::string_view name);

// A name as del and dir take it: the folder and the wildcard pattern in it;
// a folder stands for all that it holds.
struct NamePattern
{
    std::string folder;
    std::string pattern;
    bool whole = false; // every file of the folder
};
NamePattern namePattern(std::string_view name);

// cmd's wildcards, in any case: "*" any run of characters, "?" one; "*.*"
// and "name.*" also match names without a dot.
bool matchesWildcard(std::string_view name, std::string_view pattern);

enum class EntryKind { File, Folder, Any };

struct FolderEntry
{
    std::string name;
    bool folder = false;
    bool link = false;
};

// The entries of a folder but "." and "..", in name order ignoring case;
// false when the folder cannot be read.
bool listFolder(const std::string &folder, std::vector<FolderEntry> *entries);

// The entries of a folder whose names match pattern. A name starting with a
// dot counts as hidden, as cmd leaves hidden files out of wildcard matches.
std::vector<FolderEntry> matchingEntries(const std::string &folder, std::string_view pattern, EntryKind kind);

// The paths a name or wildcard pattern stands for, each written with the
// folder part of the pattern as given; a name without wildcards stands for
// itself whether or not it exists.
std::vector<std::string> expandWildcards(std::string_view pattern, EntryKind kind);
// Those of them that are there, as files, folders or either.
std::vector<std::string> existingMatches(std::string_view pattern, EntryKind kind);

// Calls visit for root and every folder below it, each folder before the
// ones in it, in name order; hidden folders and links to folders are not
// entered. Stops when visit returns false.
template <typename Visit>
void walkFolders(const std::string &root, Visit visit)
{
    std::vector<std::string> pending{root};
    std::vector<FolderEntry> entries;
    while (!pending.empty()) {
        const std::string folder = std::move(pending.back());
        pending.pop_back();
        if (!visit(folder))
            return;
        listFolder(folder, &entries);
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
            if (it->folder && !it->link && it->name.front() != '.')
                pending.push_back(joinPath(folder, it->name));
        }
    }
}

bool isFolder(const std::string &path);
// No one may write to it: Windows' read-only attribute. Checked on the
// permission bits, as even root obeys the attribute on Windows.
bool isReadOnly(const std::string &path);
bool isFile(const std::string &path);
bool pathExists(const std::string &path);

} // namespace Cmd

#endif
