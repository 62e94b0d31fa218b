#ifndef KORVANI_DESKTOP_DESKTOPENTRY_H
#define KORVANI_DESKTOP_DESKTOPENTRY_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// freedesktop desktop entries (.desktop files), read the same way by Korvani
// and by korvani-cmd.
namespace Desktop {

// The largest desktop entry that is read; real ones are a few KiB, and a file
// the size of a disk must neither fill the memory nor stall whoever reads it.
constexpr std::size_t maxEntrySize = std::size_t(1) << 20;

// The [Desktop Entry] group of a desktop entry file, or another group of a
// file in that format, such as the [Icon Theme] group of a theme's
// index.theme.
//
// One rule decides what a desktop entry is: a UTF-8 text of at most
// maxEntrySize bytes made only of blank lines, comments ("#"), group headers
// ("[name]") and KEY=VALUE or KEY[LOCALE]=VALUE lines inside groups, with the
// group that is read. Any other line, or a key before the first group,
// makes the whole file no desktop entry, as GKeyFile refuses to load it: a
// script or another file that merely holds an Exec line is never taken for
// one.
//
// The specification forbids a key given twice in a group and a group given
// twice, and leaves open what a reader does with them; as in GKeyFile, the
// last value of a key counts and groups of one name are read as one.
class DesktopEntry
{
public:
    // Nothing when the text is no desktop entry.
    static std::optional<DesktopEntry> parse(std::string text, std::string_view group = "Desktop Entry");

    // The value of a key as written, after the blanks that follow "=".
    std::optional<std::string_view> rawValue(std::string_view key) const;
    // A string value with its escapes (\s \n \t \r \\) undone.
    std::optional<std::string> string(std::string_view key) const;
    // The value of KEY[LOCALE] that best matches a POSIX locale such as
    // "ja_JP.UTF-8" or "sr_RS@latin", else of KEY (see localeCandidates).
    std::optional<std::string> localeString(std::string_view key, std::string_view locale) const;
    // "true" is true; "false", any other value or none is false, since only
    // those two words are booleans.
    bool boolean(std::string_view key) const;

    std::string type() const { return string("Type").value_or(std::string()); }
    // The specification requires Type and asks readers to pass over types
    // they do not know: an entry without one is no application.
    bool isApplication() const { return type() == "Application"; }
    std::string name(std::string_view locale) const { return localeString("Name", locale).value_or(std::string()); }
    std::string comment(std::string_view locale) const
    {
        return localeString("Comment", locale).value_or(std::string());
    }
    std::string icon(std::string_view locale = {}) const
    {
        return localeString("Icon", locale).value_or(std::string());
    }
    std::string tryExec() const { return string("TryExec").value_or(std::string()); }
    bool terminal() const { return boolean("Terminal"); }
    bool hidden() const { return boolean("Hidden"); }
    bool noDisplay() const { return boolean("NoDisplay"); }
    // The program and arguments the Exec key starts (see execWords); empty
    // when there is none or it cannot be read.
    std::vector<std::string> execWords() const;

private:
    struct Item
    {
        std::uint32_t keyStart;
        std::uint32_t keyLength;
        std::uint32_t valueStart;
        std::uint32_t valueLength;
    };

    std::string_view key(const Item &item) const
    {
        return std::string_view(m_text).substr(item.keyStart, item.keyLength);
    }

    std::string m_text;
    std::vector<Item> m_items; // of [Desktop Entry], in the order of the file
};

// The keys a localised value is looked up under, best first, for a POSIX
// locale lang_COUNTRY.ENCODING@MODIFIER: lang_COUNTRY@MODIFIER, lang_COUNTRY,
// lang@MODIFIER, lang, each only where the locale has its parts; the
// encoding never counts. None for "C", "POSIX" or an empty locale.
std::vector<std::string> localeCandidates(std::string_view locale);

// Undoes the escapes of a string value: \s \n \t \r \\. A backslash before
// anything else, or at the end, stays as it is.
std::string unescape(std::string_view value);

} // namespace Desktop

#endif
