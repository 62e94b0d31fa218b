// dir, for its bare listing (/b): names, or with /s the full paths of every
// folder below; /a and /o choose and order the entries.
#include "commands.h"

#include "commandLine.h"
#include "context.h"
#include "paths.h"
#include "process.h"
#include "text.h"

#include <algorithm>
#include <cstdint>

#include <sys/stat.h>
#include <unistd.h>

namespace Cmd {

namespace {

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

} // namespace

// Only the bare listing of dir (/b): names, or with /s the full paths of
// every folder below; /a and /o choose and order the entries.
int commandDirectory(Context &context, std::string_view arguments)
{
    CommandWords words;
    if (!readFileCommand(context, arguments, "bsaolwp", 0, SIZE_MAX, &words))
        return context.errorLevel;
    if (!words.has('b'))
        return context.unsupported("dir without /b");
    const AttributeFilter filter = attributeFilter(words.value('a'));
    std::vector<std::string> names = words.names;
    if (names.empty())
        names.push_back("*");
    bool any = false;
    for (const std::string &name : names) {
        const NamePattern found = namePattern(name);
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
            walkFolders(absolutePath(found.folder, context.directory), list);
        else
            list(found.folder);
    }
    if (!any)
        return context.fail(1, "File Not Found");
    return 0;
}

} // namespace Cmd
