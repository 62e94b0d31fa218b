#include "modifiers.h"

#include "paths.h"
#include "text.h"

#include <cstdio>
#include <ctime>

#include <langinfo.h>
#include <locale.h>
#include <sys/stat.h>

namespace Cmd {

namespace {

// The %~a letters of cmd: folder, read-only, archive, hidden, system,
// compressed, offline, temporary, link. A name starting with a dot counts as
// hidden; a file as ready for archiving.
std::string attributesText(const std::string &path)
{
    struct stat status
    {
    };
    if (lstat(path.c_str(), &status) != 0)
        return std::string();
    const bool link = S_ISLNK(status.st_mode);
    if (link && stat(path.c_str(), &status) != 0)
        return std::string();
    std::string text = "---------";
    if (S_ISDIR(status.st_mode))
        text[0] = 'd';
    if ((status.st_mode & 0222) == 0)
        text[1] = 'r';
    if (!S_ISDIR(status.st_mode))
        text[2] = 'a';
    const std::string_view name = splitPath(path).name;
    if (!name.empty() && name.front() == '.')
        text[3] = 'h';
    if (link)
        text[8] = 'l';
    return text;
}

locale_t timeLocale()
{
    static const locale_t locale = [] {
        const locale_t own = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
        return own ? own : newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
    }();
    return locale;
}

} // namespace

std::string modifyPath(std::string_view value, std::string_view modifiers, const std::string *searchVariable,
                       const VariableLookup &lookup, const std::string *fullPath)
{
    value = stripSurroundingQuotes(value);
    if (modifiers.empty() && !searchVariable)
        return std::string(value);
    if (value.empty())
        return std::string();
    std::string full = fullPath ? *fullPath : absolutePath(nativePath(value), lookup.directory());
    // A separator at the end stays, as GetFullPathName keeps it: "sub\" is
    // the folder's path with its separator.
    if (!fullPath && full.back() != '/' && (value.back() == '\\' || value.back() == '/'))
        full += '/';
    if (searchVariable) {
        full.clear();
        const std::string folders = lookup.find(*searchVariable).value_or(std::string());
        for (const std::string &folder : searchFolders(folders)) {
            const std::string candidate = absolutePath(joinPath(folder, nativePath(value)), lookup.directory());
            if (pathExists(candidate)) {
                full = candidate;
                break;
            }
        }
        if (full.empty())
            return std::string();
    }
    const auto has = [modifiers](char letter) { return modifiers.find(letter) != std::string_view::npos; };
    std::vector<std::string> parts;
    struct stat status
    {
    };
    const bool exists = stat(full.c_str(), &status) == 0;
    if (has('a') && exists)
        parts.push_back(attributesText(full));
    if (has('t') && exists)
        parts.push_back(dateText(status.st_mtime) + ' ' + minuteText(status.st_mtime));
    if (has('z') && exists && S_ISREG(status.st_mode))
        parts.push_back(std::to_string(status.st_size));
    const bool pieces = has('p') || has('n') || has('x');
    if (pieces) {
        // No drive letters here: "d" adds nothing.
        const PathParts split = splitPath(full);
        const std::string_view file = split.name;
        const size_t dot = file.rfind('.');
        std::string path;
        if (has('p'))
            path += split.folder;
        if (has('n'))
            path += file.substr(0, dot);
        if (has('x') && dot != std::string_view::npos)
            path += file.substr(dot);
        parts.push_back(path);
    } else if (has('f') || has('s') || has('d') || searchVariable) {
        parts.push_back(has('d') && !has('f') && !has('s') && !searchVariable ? std::string() : full);
    }
    std::string text;
    for (const std::string &part : parts) {
        if (!text.empty())
            text += ' ';
        text += part;
    }
    return text;
}

// The locale's short date, with the four-digit year that Windows' short
// dates have.
std::string dateText(int64_t seconds)
{
    const time_t time = time_t(seconds);
    tm local{};
    localtime_r(&time, &local);
    std::string format = nl_langinfo_l(D_FMT, timeLocale());
    for (size_t i = 0; i + 1 < format.size(); ++i) {
        if (format[i] == '%' && format[i + 1] == 'y')
            format[i + 1] = 'Y';
    }
    char text[128];
    const size_t size = strftime_l(text, sizeof text, format.c_str(), &local, timeLocale());
    return std::string(text, size);
}

std::string minuteText(int64_t seconds)
{
    const time_t time = time_t(seconds);
    tm local{};
    localtime_r(&time, &local);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", local.tm_hour, local.tm_min);
    return text;
}

} // namespace Cmd
