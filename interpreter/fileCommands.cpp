// cmd's commands for folders and for reading and deleting files: md, rd,
// del and type, with the messages and error levels of cmd.
#include "commands.h"

#include "commandLine.h"
#include "context.h"
#include "paths.h"
#include "process.h"
#include "text.h"

#include <cerrno>
#include <cstdint>
#include <functional>

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Cmd {

namespace {

// cmd's answer for a name that no folder may have.
const char *const invalidName = "The filename, directory name, or volume label syntax is incorrect.";

// md makes the folders on the way too, up to the first name with a wildcard,
// which Windows allows in no folder's name ("md foo\?" makes foo, then fails).
bool makeFolders(const std::string &path)
{
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (hasWildcards(splitPath(part).name)) {
            errno = EINVAL;
            return false;
        }
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
    }
    if (hasWildcards(splitPath(path).name)) {
        errno = EINVAL;
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

// Copies a file to standard output; false, after cmd's message, when it
// cannot be read.
bool typeFile(Context &context, const std::string &file)
{
    const std::string path = openPath(file);
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || isFolder(path)) {
        context.fail(1, fd < 0 && errno == ENOENT ? fileNotFound : accessDenied);
        if (fd >= 0)
            close(fd);
        return false;
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
    return true;
}

using NameAction = std::function<int(const std::string &written, const CommandWords &words)>;

// A command that works on each name it is given in turn, its quotes
// removed; the error level is 1 when the action failed for one of them.
int forEachName(Context &context, std::string_view arguments, std::string_view letters, const NameAction &action)
{
    CommandWords words;
    if (!readFileCommand(context, arguments, letters, 1, SIZE_MAX, &words))
        return context.errorLevel;
    int code = 0;
    for (const std::string &name : words.names) {
        if (action(removeQuotes(name), words) != 0)
            code = 1;
    }
    return code;
}

} // namespace

bool readFileCommand(Context &context, std::string_view arguments, std::string_view letters, size_t fewest, size_t most,
                     CommandWords *words)
{
    *words = splitCommandWords(arguments, letters);
    if (!words->invalid.empty())
        context.fail(1, words->invalidMessage());
    else if (words->names.size() < fewest || words->names.size() > most)
        context.fail(1, syntaxError);
    else
        return true;
    return false;
}

int commandMakeDirectory(Context &context, std::string_view arguments)
{
    return forEachName(context, arguments, "", [&context](const std::string &written, const CommandWords &) {
        // "md foo\" makes foo: separators at the end name no further folder.
        std::string path = nativePath(written);
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        if (pathExists(path))
            return context.fail(1, "A subdirectory or file " + written + " already exists.");
        if (!makeFolders(path)) {
            if (errno == EINVAL)
                return context.fail(1, invalidName);
            return context.fail(1, errno == EACCES || errno == EROFS ? accessDenied : pathNotFound);
        }
        return 0;
    });
}

// rd /s asks before it removes a tree, unless /q. A folder rd cannot remove
// fails the command for || but leaves the error level as it was, as in cmd
// (dbenham, "Which cmd.exe internal commands clear the ERRORLEVEL").
int commandRemoveDirectory(Context &context, std::string_view arguments)
{
    return forEachName(context, arguments, "sq", [&context](const std::string &written, const CommandWords &words) {
        const std::string path = nativePath(written);
        if (!pathExists(path))
            return context.report(fileNotFound);
        if (!isFolder(path))
            return context.report(directoryNameInvalid);
        if (words.has('s')) {
            if ((words.has('q') || context.confirm(written + ", Are you sure (Y/N)? ")) && !removeTree(path))
                return context.report(accessDenied);
        } else if (rmdir(path.c_str()) != 0) {
            return context.report(errno == ENOTEMPTY || errno == EEXIST ? "The directory is not empty." : accessDenied);
        }
        return 0;
    });
}

// del asks before it empties a whole folder, unless /q; /s deletes in the
// folders below too and names each file it deleted. What it cannot delete
// is reported, but as in cmd del succeeds all the same and clears the error
// level (dbenham, "Which cmd.exe internal commands clear the ERRORLEVEL").
int commandDelete(Context &context, std::string_view arguments)
{
    return forEachName(context, arguments, "pfsqa", [&context](const std::string &written, const CommandWords &words) {
        const NamePattern found = namePattern(written);
        const std::string folder = absolutePath(found.folder, context.directory);
        if (!isFolder(folder)) {
            context.report(pathNotFound);
            return 0;
        }
        if (found.whole && !words.has('q') && !words.has('p')
            && !context.confirm(joinPath(folder, found.pattern) + ", Are you sure (Y/N)? "))
            return 0;
        bool any = false;
        const auto deleteIn = [&](const std::string &place) {
            for (const FolderEntry &entry : matchingEntries(place, found.pattern, EntryKind::File)) {
                const std::string path = joinPath(place, entry.name);
                any = true;
                if (words.has('p') && !context.confirm(path + ", Delete (Y/N)? "))
                    continue;
                // A file without write permission is read-only: /f deletes it anyway.
                if ((!words.has('f') && isReadOnly(path)) || unlink(path.c_str()) != 0)
                    context.report(accessDenied);
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
            context.report("Could Not Find " + joinPath(folder, found.pattern));
        return 0;
    });
}

// type /? : given more than one file, type names each on the error channel
// before its contents, in the form cmd shows: a blank line, the name and two
// more blank lines.
int commandType(Context &context, std::string_view arguments)
{
    CommandWords words;
    if (!readFileCommand(context, arguments, "", 1, SIZE_MAX, &words))
        return context.errorLevel;
    std::vector<std::vector<std::string>> named;
    size_t count = 0;
    for (const std::string &name : words.names) {
        named.push_back(expandWildcards(removeQuotes(name), EntryKind::File));
        count += named.back().size();
    }
    int code = 0;
    for (const std::vector<std::string> &files : named) {
        if (files.empty())
            code = context.fail(1, fileNotFound);
        for (const std::string &file : files) {
            if (count > 1)
                writeAll(STDERR_FILENO, "\n" + file + "\n\n\n");
            if (!typeFile(context, file))
                code = 1;
        }
    }
    return code;
}

} // namespace Cmd
