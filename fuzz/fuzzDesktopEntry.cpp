// Desktop entries, as dropped files and installed applications are read: the
// input as a whole file, and as an Exec value on its own.
#include "desktop/desktopEntry.h"
#include "desktop/execCommand.h"
#include "fuzzSupport.h"

#include <string>
#include <vector>

namespace {

// A word quoted as the specification asks an entry's author to quote it.
std::string quoted(const std::string &word)
{
    std::string result = "\"";
    for (const char c : word) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            result += '\\';
        else if (c == '%')
            result += '%';
        result += c;
    }
    return result + '"';
}

// Words written back into a command read as the same words.
void checkRoundTrip(const std::vector<std::string> &words)
{
    std::string command;
    for (const std::string &word : words)
        command += quoted(word) + ' ';
    check(Desktop::splitExec(command) == words, "quoted words read back as they were");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    checkRoundTrip(Desktop::splitExec(text));

    const std::optional<Desktop::DesktopEntry> entry = Desktop::DesktopEntry::parse(text);
    if (!entry)
        return 0;
    checkRoundTrip(entry->execWords());
    check(entry->localeString("Name", "") == entry->string("Name"), "no locale reads the plain key");
    for (const char *locale : {"ja_JP.UTF-8", "sr_RS@latin", "de", "C"}) {
        const std::optional<std::string> name = entry->localeString("Name", locale);
        check(name.has_value() || !entry->rawValue("Name"), "a localised key falls back to the plain one");
    }
    entry->comment("fr_FR");
    entry->icon();
    entry->tryExec();
    entry->isApplication();
    entry->terminal();
    entry->hidden();
    entry->noDisplay();
    return 0;
}
