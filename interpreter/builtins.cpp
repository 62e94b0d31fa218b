#include "builtins.h"

#include "commands.h"
#include "context.h"
#include "text.h"

#include <algorithm>
#include <iterator>

namespace Cmd {

namespace {

// Sorted by name, for a binary search on every command a script runs. What
// success does to the error level is what cmd does, as observed on Windows
// 10 (dbenham, "Which cmd.exe internal commands clear the ERRORLEVEL to 0
// upon success?"): cd, copy, del, dir, md, move, pushd, ren, setlocal, type
// and ver clear it; echo, endlocal, goto, pause, popd, rd, rem, shift,
// start and title keep it; path and set clear it only in a .cmd file.
// chcp and timeout are programs on Windows, whose status is the error level.
constexpr BuiltIn builtIns[] = {
    {"assoc", nullptr, ErrorLevelRule::Keep},
    {"break", nullptr, ErrorLevelRule::Keep},
    {"call", commandCall, ErrorLevelRule::Keep},
    {"cd", commandChangeDirectory, ErrorLevelRule::Status},
    {"chcp", commandChangeCodePage, ErrorLevelRule::Status},
    {"chdir", commandChangeDirectory, ErrorLevelRule::Status},
    {"cls", commandClearScreen, ErrorLevelRule::Keep},
    {"color", commandColor, ErrorLevelRule::Status},
    {"copy", commandCopy, ErrorLevelRule::Status},
    {"date", nullptr, ErrorLevelRule::Keep},
    {"del", commandDelete, ErrorLevelRule::Status},
    {"dir", commandDirectory, ErrorLevelRule::Status},
    {"dpath", nullptr, ErrorLevelRule::Keep},
    {"echo", commandEcho, ErrorLevelRule::Keep},
    {"endlocal", commandEndLocal, ErrorLevelRule::Keep},
    {"erase", commandDelete, ErrorLevelRule::Status},
    {"exit", commandExit, ErrorLevelRule::Keep},
    {"ftype", nullptr, ErrorLevelRule::Keep},
    {"goto", commandGoto, ErrorLevelRule::Keep},
    {"keys", nullptr, ErrorLevelRule::Keep},
    {"md", commandMakeDirectory, ErrorLevelRule::Status},
    {"mkdir", commandMakeDirectory, ErrorLevelRule::Status},
    {"mklink", nullptr, ErrorLevelRule::Keep},
    {"move", commandMove, ErrorLevelRule::Status},
    {"path", commandPath, ErrorLevelRule::StatusInCmdFile},
    {"pause", commandPause, ErrorLevelRule::Keep},
    {"popd", commandPopDirectory, ErrorLevelRule::Keep},
    {"prompt", nullptr, ErrorLevelRule::Keep},
    {"pushd", commandPushDirectory, ErrorLevelRule::Status},
    {"rd", commandRemoveDirectory, ErrorLevelRule::Keep},
    {"rem", commandRemark, ErrorLevelRule::Keep},
    {"ren", commandRename, ErrorLevelRule::Status},
    {"rename", commandRename, ErrorLevelRule::Status},
    {"rmdir", commandRemoveDirectory, ErrorLevelRule::Keep},
    {"set", commandSet, ErrorLevelRule::StatusInCmdFile},
    {"setlocal", commandSetLocal, ErrorLevelRule::Status},
    {"shift", commandShift, ErrorLevelRule::Keep},
    {"start", commandStart, ErrorLevelRule::Keep},
    {"time", nullptr, ErrorLevelRule::Keep},
    {"timeout", commandTimeout, ErrorLevelRule::Status},
    {"title", commandTitle, ErrorLevelRule::Keep},
    {"type", commandType, ErrorLevelRule::Status},
    {"ver", commandVersion, ErrorLevelRule::Status},
    {"verify", nullptr, ErrorLevelRule::Keep},
    {"vol", nullptr, ErrorLevelRule::Keep},
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
    if (command.errorLevel == ErrorLevelRule::Status
        || (command.errorLevel == ErrorLevelRule::StatusInCmdFile && context.inCmdFile()))
        context.errorLevel = code;
    return code;
}

} // namespace Cmd
