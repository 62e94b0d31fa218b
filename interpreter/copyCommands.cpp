// cmd's commands that copy, move and rename files, with their messages and
// error levels. Copies are byte for byte: Linux text files have no end
// mark to stop at.
#include "commands.h"

#include "commandLine.h"
#include "context.h"
#include "paths.h"
#include "process.h"
#include "text.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Cmd {

namespace {

// ren's rule for a new name with wildcards: "?" keeps the old name's
// character in its place, "*" keeps the old name up to the last place of the
// new name's next character, and any other character replaces one.
std::string renamedName(std::string_view name, std::string_view pattern)
{
    std::string result;
    size_t at = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '*') {
            const size_t end = i + 1 < pattern.size() ? name.rfind(pattern[i + 1]) : std::string_view::npos;
            const size_t stop = end == std::string_view::npos || end < at ? name.size() : end;
            result += name.substr(at, stop - at);
            at = stop;
        } else if (c == '?') {
            if (at < name.size() && name[at] != '.')
                result += name[at++];
        } else {
            result += c;
            if (at < name.size())
                ++at;
        }
    }
    return result;
}

bool sameFile(const std::string &a, const std::string &b)
{
    struct stat first
    {
    };
    struct stat second
    {
    };
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev
        && first.st_ino == second.st_ino;
}

// The copy keeps the source's permissions and, unless appended to, its
// time. 0, or the errno value of what failed.
int copyBytes(const std::string &from, const std::string &to, bool append)
{
    const int source = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status
    {
    };
    if (source < 0 || fstat(source, &status) != 0) {
        const int error = errno;
        if (source >= 0)
            close(source);
        return error;
    }
    const int target = open(to.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC),
                            status.st_mode & 0777);
    int error = target < 0 ? errno : 0;
    char buffer[65536];
    while (error == 0) {
        const ssize_t count = read(source, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            error = errno;
        if (count <= 0)
            break;
        for (ssize_t written = 0; error == 0 && written < count;) {
            const ssize_t step = write(target, buffer + written, size_t(count - written));
            if (step > 0)
                written += step;
            else if (step == 0 || errno != EINTR)
                error = step == 0 ? EIO : errno;
        }
    }
    struct stat written
    {
    };
    if (error == 0 && !append && S_ISREG(status.st_mode) && fstat(target, &written) == 0 && S_ISREG(written.st_mode)) {
        const timespec times[2] = {status.st_atim, status.st_mtim};
        futimens(target, times);
    }
    close(source);
    if (target >= 0 && close(target) != 0 && error == 0)
        error = errno;
    return error;
}

// cmd's message for a file that could not be written or moved.
const char *writeError(int error)
{
    return error == ENOENT || error == ENOTDIR ? pathNotFound : accessDenied;
}

std::string countLine(int count, const char *what)
{
    char line[64];
    std::snprintf(line, sizeof line, "%9d %s\n", count, what);
    return line;
}

// copy and move ask this before they overwrite a file outside a batch file.
std::string overwriteQuestion(const std::string &path)
{
    return "Overwrite " + path + "? (Yes/No/All): ";
}

struct CopyJob
{
    std::vector<std::string> sources; // "a+b" gives two
    std::string destination; // quotes removed; empty for the current folder
    std::vector<std::string> files; // what the sources stand for
    std::string target; // the destination as a path
    bool intoFolder = false;
    bool wildcards = false;
    bool ask = false;
};

// Sources joined with "+", in one word or several, then the destination;
// false for a second destination or no source.
bool readCopyNames(const std::vector<std::string> &names, CopyJob *job)
{
    bool joining = false;
    for (const std::string &word : names) {
        if (!job->sources.empty() && !joining && word.front() != '+') {
            if (!job->destination.empty())
                return false;
            job->destination = removeQuotes(word);
            continue;
        }
        for (size_t start = 0; start <= word.size();) {
            size_t end = word.find('+', start);
            if (end == std::string::npos)
                end = word.size();
            if (end > start)
                job->sources.push_back(removeQuotes(word.substr(start, end - start)));
            start = end + 1;
        }
        joining = word.back() == '+';
    }
    return !job->sources.empty();
}

// The files the sources stand for; a folder stands for the files in it.
void findSourceFiles(CopyJob *job)
{
    for (std::string written : job->sources) {
        if (isNullDevice(written)) {
            job->files.push_back(written);
            continue;
        }
        if (isFolder(nativePath(written)))
            written = joinPath(written, "*");
        job->wildcards = job->wildcards || hasWildcards(splitPath(written).name);
        const std::vector<std::string> found = existingMatches(written, EntryKind::File);
        job->files.insert(job->files.end(), found.begin(), found.end());
    }
}

// One file made of all: the destination, or else a file in the current
// folder named as the first source, as copy /? describes "copy a+b". 0 or 1,
// and the count of files made.
int copyJoined(Context &context, const CopyJob &job, int *copied)
{
    std::string into = job.destination.empty() ? openPath(splitPath(job.files.front()).name) : job.target;
    if (job.intoFolder && !job.destination.empty())
        into = joinPath(job.target, splitPath(job.files.front()).name);
    bool append = false;
    int code = 0;
    for (const std::string &file : job.files) {
        writeAll(STDOUT_FILENO, file + '\n');
        const int error = sameFile(openPath(file), into) ? 0 : copyBytes(openPath(file), into, append);
        if (error != 0)
            code = context.fail(1, writeError(error));
        append = true;
    }
    *copied = code == 0 ? 1 : 0;
    return code;
}

// Each file to a file of its own. 0 or 1, and the count of files copied.
int copyEach(Context &context, const CopyJob &job, int *copied)
{
    const PathParts targetParts = splitPath(job.target);
    int code = 0;
    for (const std::string &file : job.files) {
        const std::string name(splitPath(file).name);
        std::string into = job.target;
        if (job.intoFolder)
            into = joinPath(job.target, name);
        else if (hasWildcards(targetParts.name))
            into = joinPath(targetParts.folder, renamedName(name, targetParts.name));
        if (sameFile(openPath(file), into)) {
            code = context.fail(1, "The file cannot be copied onto itself.");
            continue;
        }
        if (job.ask && pathExists(into) && !context.confirm(overwriteQuestion(into)))
            continue;
        if (job.wildcards)
            writeAll(STDOUT_FILENO, file + '\n');
        const int error = copyBytes(openPath(file), into, false);
        if (error == 0)
            ++*copied;
        else
            code = context.fail(1, writeError(error));
    }
    return code;
}

// The two names that move and ren take, without their quotes.
bool readTwoNames(Context &context, std::string_view arguments, std::string_view letters, CommandWords *words,
                  std::string *first, std::string *second)
{
    if (!readFileCommand(context, arguments, letters, 2, 2, words))
        return false;
    *first = removeQuotes(words->names[0]);
    *second = removeQuotes(words->names[1]);
    return true;
}

} // namespace

// copy /? : outside a batch file copy asks before it overwrites a file,
// unless /Y (or /Y in COPYCMD); in one it does not ask. Concatenated sources
// (a+b) or a wildcard onto one file make one file.
int commandCopy(Context &context, std::string_view arguments)
{
    const std::string *preset = context.environment.find("COPYCMD");
    const std::string presetSwitches = preset ? *preset + ' ' : std::string();
    CommandWords words;
    if (!readFileCommand(context, presetSwitches + std::string(arguments), "yabvndzl", 1, SIZE_MAX, &words))
        return context.errorLevel;
    CopyJob job;
    if (!readCopyNames(words.names, &job))
        return context.fail(1, syntaxError);
    job.ask = (!context.inBatch() && !words.has('y')) || words.has('-');
    findSourceFiles(&job);
    if (job.files.empty()) {
        context.fail(1, fileNotFound);
        writeAll(STDOUT_FILENO, countLine(0, "file(s) copied."));
        return 1;
    }
    job.target = openPath(job.destination.empty() ? std::string(".") : job.destination);
    job.intoFolder = isFolder(job.target);
    int copied = 0;
    const bool joined = job.sources.size() > 1
        || (job.wildcards && !job.intoFolder && !hasWildcards(splitPath(job.target).name));
    const int code = joined ? copyJoined(context, job, &copied) : copyEach(context, job, &copied);
    writeAll(STDOUT_FILENO, countLine(copied, "file(s) copied."));
    return code;
}

// move /? : like copy, it asks before overwriting only outside a batch file.
int commandMove(Context &context, std::string_view arguments)
{
    CommandWords words;
    std::string written, target;
    if (!readTwoNames(context, arguments, "y", &words, &written, &target))
        return context.errorLevel;
    target = nativePath(target);
    const bool wildcards = hasWildcards(splitPath(written).name);
    const std::vector<std::string> sources = existingMatches(nativePath(written), EntryKind::Any);
    if (sources.empty())
        return context.fail(1, fileNotFound);
    const bool intoFolder = isFolder(target);
    if (sources.size() > 1 && !intoFolder)
        return context.fail(1, "Cannot move multiple files to a single file.");
    const bool ask = (!context.inBatch() && !words.has('y')) || words.has('-');
    int files = 0;
    int folders = 0;
    int code = 0;
    for (const std::string &source : sources) {
        const std::string into = intoFolder ? joinPath(target, splitPath(source).name) : target;
        const bool folder = isFolder(source);
        if (ask && !folder && isFile(into) && !context.confirm(overwriteQuestion(into)))
            continue;
        if (wildcards)
            writeAll(STDOUT_FILENO, absolutePath(source, context.directory) + '\n');
        int error = rename(source.c_str(), into.c_str()) == 0 ? 0 : errno;
        // Across file systems a file is copied and the original deleted.
        if (error == EXDEV && !folder) {
            error = copyBytes(source, into, false);
            if (error == 0 && unlink(source.c_str()) != 0)
                error = errno;
        }
        if (error != 0)
            code = context.fail(1, writeError(error));
        else
            ++(folder ? folders : files);
    }
    writeAll(STDOUT_FILENO,
             folders > 0 && files == 0 ? countLine(folders, "dir(s) moved.") : countLine(files, "file(s) moved."));
    return code;
}

// ren /? : the new name has no folder; it may hold wildcards.
int commandRename(Context &context, std::string_view arguments)
{
    CommandWords words;
    std::string written, newName;
    if (!readTwoNames(context, arguments, "", &words, &written, &newName))
        return context.errorLevel;
    if (newName.find_first_of("/\\") != std::string::npos)
        return context.fail(1, syntaxError);
    const std::vector<std::string> sources = existingMatches(nativePath(written), EntryKind::Any);
    if (sources.empty())
        return context.fail(1, fileNotFound);
    int code = 0;
    for (const std::string &source : sources) {
        const PathParts parts = splitPath(source);
        const std::string into = joinPath(parts.folder,
                                          hasWildcards(newName) ? renamedName(parts.name, newName) : newName);
        if (pathExists(into) && !sameFile(source, into))
            code = context.fail(1, "A duplicate file name exists, or the file cannot be found.");
        else if (rename(source.c_str(), into.c_str()) != 0)
            code = context.fail(1, accessDenied);
    }
    return code;
}

} // namespace Cmd
