// cmd's commands for folders and for reading and deleting files: md, rd,
// del, type and dir /b, with the messages and error levels of cmd.
#include "interpreter.h"

#include "commandLine.h"
#include "paths.h"
#include "text.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Cmd {

namespace {

// md makes the folders on the way too.
bool makeFolders(const std::string &path)
{
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
    }
    return mkdir(path.c_str(), 0777) == 0;
}

int removeEntry(const char *path, const struct stat *, int, FTW *)
{
    return remove(path);
}

// Everything below path and path itself, links removed rather than followed.
bool removeTree(const std::string &path)
{
    return nftw(path.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS) == 0;
}

// dir /a: by default hidden entries stay out; "/a" alone lets all in.
struct AttributeFilter
{
    int folders = 0; // 1: only folders, -1: no folders
    int hidden = -1; // 1: only hidden, -1: no hidden, 0: either

    bool accepts(const FolderEntry &entry) const
    {
        const bool isHidden = entry.name.front() == '.';
        return (folders == 0 || (folders > 0) == entry.folder) && (hidden == 0 || (hidden > 0) == isHidden);
    }
};

AttributeFilter attributeFilter(const std::string *option)
{
    AttributeFilter filter;
    if (!option)
        return filter;
    filter.hidden = 0;
    bool negated = false;
    for (const char c : option->substr(1)) {
        if (c == '-') {
            negated = true;
            continue;
        }
        if (c == 'd')
            filter.folders = negated ? -1 : 1;
        else if (c == 'h')
            filter.hidden = negated ? -1 : 1;
        negated = false;
    }
    return filter;
}

// dir /o: n name, e extension, g folders first, s size, d date; "-"
// reverses the key after it.
void sortEntries(const std::string &folder, const std::string *option, std::vector<FolderEntry> *entries)
{
    if (!option)
        return;
    struct Key
    {
        char letter;
        bool reversed;
    };
    std::vector<Key> keys;
    bool negated = false;
    for (const char c : option->substr(1)) {
        if (c == '-') {
            negated = true;
            continue;
        }
        keys.push_back({c, negated});
        negated = false;
    }
    if (keys.empty())
        keys = {{'g', false}, {'n', false}};
    const auto status = [&folder](const FolderEntry &entry) {
        struct stat result
        {
        };
        stat(joinPath(folder, entry.name).c_str(), &result);
        return result;
    };
    const auto extension = [](const std::string &name) {
        const size_t dot = name.rfind('.');
        return dot == std::string::npos ? std::string() : name.substr(dot);
    };
    std::stable_sort(entries->begin(), entries->end(), [&](const FolderEntry &a, const FolderEntry &b) {
        for (const Key &key : keys) {
            int order = 0;
            if (key.letter == 'n')
                order = compareIgnoreCase(a.name, b.name);
            else if (key.letter == 'e')
                order = compareIgnoreCase(extension(a.name), extension(b.name));
            else if (key.letter == 'g')
                order = int(b.folder) - int(a.folder);
            else if (key.letter == 's')
                order = status(a).st_size < status(b).st_size ? -1 : (status(a).st_size > status(b).st_size ? 1 : 0);
            else if (key.letter == 'd')
                order = status(a).st_mtime < status(b).st_mtime ? -1
                                                                : (status(a).st_mtime > status(b).st_mtime ? 1 : 0);
            if (order != 0)
                return key.reversed ? order > 0 : order < 0;
        }
        return false;
    });
}

// A name's folder and the wildcard pattern in it; a folder stands for all
// that it holds.
struct Target
{
    std::string written; // quotes removed
    std::string folder;
    std::string pattern;
    bool whole = false; // every file of the folder
};

Target target(const std::string &name)
{
    Target result;
    result.written = removeQuotes(name);
    const std::string path = nativePath(result.written);
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

} // namespace

// The words of a file command; false, after cmd's message, for a switch the
// command does not have or a count of names outside fewest to most.
bool Interpreter::readFileCommand(std::string_view arguments, std::string_view letters, size_t fewest, size_t most,
                                  CommandWords *words)
{
    *words = splitCommandWords(arguments, letters);
    if (!words->invalid.empty())
        fail(1, words->invalidMessage());
    else if (words->names.size() < fewest || words->names.size() > most)
        fail(1, syntaxError);
    else
        return true;
    return false;
}

// A command that works on each name it is given in turn, its quotes
// removed; the error level is 1 when the action failed for one of them.
int Interpreter::forEachName(std::string_view arguments, std::string_view letters, const NameAction &action)
{
    CommandWords words;
    if (!readFileCommand(arguments, letters, 1, SIZE_MAX, &words))
        return m_errorLevel;
    int code = 0;
    for (const std::string &name : words.names) {
        if (action(removeQuotes(name), words) != 0)
            code = 1;
    }
    m_errorLevel = code;
    return code;
}

bool Interpreter::confirm(const std::string &question)
{
    writeAll(STDOUT_FILENO, question);
    std::string answer;
    readInputLine(&answer);
    const std::string_view reply = trim(answer);
    return !reply.empty() && toLower(reply.front()) == 'y';
}

int Interpreter::commandMakeDirectory(std::string_view arguments)
{
    return forEachName(arguments, "", [this](const std::string &written, const CommandWords &) {
        const std::string path = nativePath(written);
        if (pathExists(path))
            return fail(1, "A subdirectory or file " + written + " already exists.");
        if (!makeFolders(path))
            return fail(1, errno == EACCES || errno == EROFS ? accessDenied : pathNotFound);
        return 0;
    });
}

// rd /s asks before it removes a tree, unless /q.
int Interpreter::commandRemoveDirectory(std::string_view arguments)
{
    return forEachName(arguments, "sq", [this](const std::string &written, const CommandWords &words) {
        const std::string path = nativePath(written);
        if (!pathExists(path))
            return fail(1, fileNotFound);
        if (!isFolder(path))
            return fail(1, "The directory name is invalid.");
        if (words.has('s')) {
            if ((words.has('q') || confirm(written + ", Are you sure (Y/N)? ")) && !removeTree(path))
                return fail(1, accessDenied);
        } else if (rmdir(path.c_str()) != 0) {
            return fail(1, errno == ENOTEMPTY || errno == EEXIST ? "The directory is not empty." : accessDenied);
        }
        return 0;
    });
}

// del asks before it empties a whole folder, unless /q; /s deletes in the
// folders below too and names each file it deleted. A name that matches
// nothing is reported, but as in cmd del does not fail for it.
int Interpreter::commandDelete(std::string_view arguments)
{
    return forEachName(arguments, "pfsqa", [this](const std::string &written, const CommandWords &words) {
        const Target found = target(written);
        const std::string folder = absolutePath(found.folder, m_directory);
        if (!isFolder(folder))
            return fail(1, pathNotFound);
        if (found.whole && !words.has('q') && !words.has('p')
            && !confirm(joinPath(folder, found.pattern) + ", Are you sure (Y/N)? "))
            return 0;
        bool any = false;
        int code = 0;
        const auto deleteIn = [&](const std::string &place) {
            for (const FolderEntry &entry : matchingEntries(place, found.pattern, EntryKind::File)) {
                const std::string path = joinPath(place, entry.name);
                any = true;
                if (words.has('p') && !confirm(path + ", Delete (Y/N)? "))
                    continue;
                // A file without write permission is read-only: /f deletes it anyway.
                if ((!words.has('f') && isReadOnly(path)) || unlink(path.c_str()) != 0)
                    code = fail(1, accessDenied);
                else if (words.has('s'))
                    writeAll(STDOUT_FILENO, "Deleted file - " + path + "\n");
            }
            return true;
        };
        if (words.has('s'))
            walkFolders(folder, deleteIn);
        else
            deleteIn(folder);
        if (!any)
            writeAll(STDERR_FILENO, "Could Not Find " + joinPath(folder, found.pattern) + "\n");
        return code;
    });
}

int Interpreter::commandType(std::string_view arguments)
{
    return forEachName(arguments, "", [this](const std::string &written, const CommandWords &) {
        const std::vector<std::string> files = expandWildcards(written, EntryKind::File);
        int code = files.empty() ? fail(1, fileNotFound) : 0;
        for (const std::string &file : files) {
            const std::string path = nativePath(file);
            const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0 || isFolder(path)) {
                code = fail(1, fd < 0 && errno == ENOENT ? fileNotFound : accessDenied);
                if (fd >= 0)
                    close(fd);
                continue;
            }
            char buffer[65536];
            for (;;) {
                const ssize_t count = read(fd, buffer, sizeof buffer);
                if (count < 0 && errno == EINTR)
                    continue;
                if (count <= 0)
                    break;
                writeAll(STDOUT_FILENO, std::string_view(buffer, size_t(count)));
            }
            close(fd);
        }
        return code;
    });
}

// Only the bare listing of dir (/b): names, or with /s the full paths of
// every folder below; /a and /o choose and order the entries.
int Interpreter::commandDirectory(std::string_view arguments)
{
    CommandWords words;
    if (!readFileCommand(arguments, "bsaolwp", 0, SIZE_MAX, &words))
        return m_errorLevel;
    if (!words.has('b'))
        return unsupported("dir without /b");
    const AttributeFilter filter = attributeFilter(words.value('a'));
    std::vector<std::string> names = words.names;
    if (names.empty())
        names.push_back("*");
    bool any = false;
    for (const std::string &name : names) {
        const Target found = target(name);
        const auto list = [&](const std::string &folder) {
            std::vector<FolderEntry> entries;
            listFolder(folder, &entries);
            entries.erase(std::remove_if(entries.begin(), entries.end(),
                                         [&](const FolderEntry &entry) {
                                             return !filter.accepts(entry)
                                                 || !matchesWildcard(entry.name, found.pattern);
                                         }),
                          entries.end());
            sortEntries(folder, words.value('o'), &entries);
            std::string listing;
            for (const FolderEntry &entry : entries) {
                const std::string shown = words.has('s') ? joinPath(folder, entry.name) : entry.name;
                listing += (words.has('l') ? toLower(shown) : shown) + '\n';
            }
            any = any || !entries.empty();
            writeAll(STDOUT_FILENO, listing);
            return true;
        };
        if (words.has('s'))
            walkFolders(absolutePath(found.folder, m_directory), list);
        else
            list(found.folder);
    }
    if (!any)
        return fail(1, "File Not Found");
    m_errorLevel = 0;
    return 0;
}

} // namespace Cmd
