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
        const std::string path = nativePath(written);
        if (pathExists(path))
            return context.fail(1, "A subdirectory or file " + written + " already exists.");
        if (!makeFolders(path))
            return context.fail(1, errno == EACCES || errno == EROFS ? accessDenied : pathNotFound);
        return 0;
    });
}

// rd /s asks before it removes a tree, unless /q.
int commandRemoveDirectory(Context &context, std::string_view arguments)
{
    return forEachName(context, arguments, "sq", [&context](const std::string &written, const CommandWords &words) {
        const std::string path = nativePath(written);
        if (!pathExists(path))
            return context.fail(1, fileNotFound);
        if (!isFolder(path))
            return context.fail(1, directoryNameInvalid);
        if (words.has('s')) {
            if ((words.has('q') || context.confirm(written + ", Are you sure (Y/N)? ")) && !removeTree(path))
                return context.fail(1, accessDenied);
        } else if (rmdir(path.c_str()) != 0) {
            return context.fail(1,
                                errno == ENOTEMPTY || errno == EEXIST ? "The directory is not empty." : accessDenied);
        }
        return 0;
    });
}

// del asks before it empties a whole folder, unless /q; /s deletes in the
// folders below too and names each file it deleted. A name that matches
// nothing is reported, but as in cmd del does not fail for it.
int commandDelete(Context &context, std::string_view arguments)
{
    return forEachName(context, arguments, "pfsqa", [&context](const std::string &written, const CommandWords &words) {
        const NamePattern found = namePattern(written);
        const std::string folder = absolutePath(found.folder, context.directory);
        if (!isFolder(folder))
            return context.fail(1, pathNotFound);
        if (found.whole && !words.has('q') && !words.has('p')
            && !context.confirm(joinPath(folder, found.pattern) + ", Are you sure (Y/N)? "))
            return 0;
        bool any = false;
        int code = 0;
        const auto deleteIn = [&](const std::string &place) {
            for (const FolderEntry &entry : matchingEntries(place, found.pattern, EntryKind::File)) {
                const std::string path = joinPath(place, entry.name);
                any = true;
                if (words.has('p') && !context.confirm(path + ", Delete (Y/N)? "))
                    continue;
                // A file without write permission is read-only: /f deletes it anyway.
                if ((!words.has('f') && isReadOnly(path)) || unlink(path.c_str()) != 0)
                    code = context.fail(1, accessDenied);
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

int commandType(Context &context, std::string_view arguments)
{
    return forEachName(context, arguments, "", [&context](const std::string &written, const CommandWords &) {
        const std::vector<std::string> files = expandWildcards(written, EntryKind::File);
        int code = files.empty() ? context.fail(1, fileNotFound) : 0;
        for (const std::string &file : files) {
            const std::string path = nativePath(file);
            const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0 || isFolder(path)) {
                code = context.fail(1, fd < 0 && errno == ENOENT ? fileNotFound : accessDenied);
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

} // namespace Cmd
