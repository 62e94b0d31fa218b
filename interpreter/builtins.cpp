#include "builtins.h"

#include "commands.h"
#include "context.h"
#include "text.h"

#include <algorithm>
#include <iterator>

namespace Cmd {

namespace {

// Sorted by name, for a binary search on every command a script runs. Which
// commands clear the error level when they succeed follows what cmd does in
// a .bat file: md, del, copy, type and the others marked do; echo, set,
// popd, path, title and the others leave it, or set it themselves.
constexpr BuiltIn builtIns[] = {
    {"assoc", nullptr, false},
    {"break", nullptr, false},
    {"call", commandCall, false},
    {"cd", commandChangeDirectory, false},
    {"chcp", commandChangeCodePage, true},
    {"chdir", commandChangeDirectory, false},
    {"cls", commandClearScreen, false},
    {"color", commandColor, true},
    {"copy", commandCopy, true},
    {"date", nullptr, false},
    {"del", commandDelete, true},
    {"dir", commandDirectory, true},
    {"dpath", nullptr, false},
    {"echo", commandEcho, false},
    {"endlocal", commandEndLocal, false},
    {"erase", commandDelete, true},
    {"exit", commandExit, false},
    {"ftype", nullptr, false},
    {"goto", commandGoto, false},
    {"keys", nullptr, false},
    {"md", commandMakeDirectory, true},
    {"mkdir", commandMakeDirectory, true},
    {"mklink", nullptr, false},
    {"move", commandMove, true},
    {"path", commandPath, false},
    {"pause", commandPause, false},
    {"popd", commandPopDirectory, false},
    {"prompt", nullptr, false},
    {"pushd", commandPushDirectory, true},
    {"rd", commandRemoveDirectory, true},
    {"rem", commandRemark, false},
    {"ren", commandRename, true},
    {"rename", commandRename, true},
    {"rmdir", commandRemoveDirectory, true},
    {"set", commandSet, false},
    {"setlocal", commandSetLocal, false},
    {"shift", commandShift, false},
    {"start", commandStart, true},
    {"time", nullptr, false},
    {"timeout", commandTimeout, true},
    {"title", commandTitle, false},
    {"type", commandType, true},
    {"ver", commandVersion, false},
    {"verify", nullptr, false},
    {"vol", nullptr, false},
};

constexpr bool isLowercaseName(std::string_view name)
{
    for (const char c : name) {
        if (c < 'a' || c > 'z')
            return false;
    }
    return !name.empty();
}

// Each name once, in lowercase, in order: what the search relies on.
constexpr bool isSortedTable()
{
    for (size_t i = 0; i < std::size(builtIns); ++i) {
        if (!isLowercaseName(builtIns[i].name) || (i > 0 && !(builtIns[i - 1].name < builtIns[i].name)))
            return false;
    }
    return true;
}
static_assert(isSortedTable(), "the built-in commands are listed once each, in lowercase and in order");

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

const BuiltIn *findBuiltIn(std::string_view text, std::string_view *arguments)
{
    size_t nameLength = 0;
    while (nameLength < text.size() && isLetter(text[nameLength]))
        ++nameLength;
    *arguments = text.substr(nameLength);
    if (nameLength == 0 || (nameLength < text.size() && !endsCommandName(text[nameLength])))
        return nullptr;
    const std::string_view written = text.substr(0, nameLength);
    const auto found = std::lower_bound(
        std::begin(builtIns), std::end(builtIns), written,
        [](const BuiltIn &entry, std::string_view name) { return compareIgnoreCase(entry.name, name) < 0; });
    return found != std::end(builtIns) && equalsIgnoreCase(found->name, written) ? found : nullptr;
}

int runBuiltIn(Context &context, const BuiltIn &command, std::string_view arguments)
{
    if (!command.run)
        return context.unsupported(std::string(command.name));
    const int code = command.run(context, arguments);
    if (command.resetsErrorLevel)
        context.errorLevel = code;
    return code;
}

} // namespace Cmd
