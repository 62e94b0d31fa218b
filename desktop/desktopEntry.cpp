#include "desktop/desktopEntry.h"

#include "desktop/execCommand.h"

namespace Desktop {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isControl(char c)
{
    return (unsigned char)c < 0x20 || c == 0x7f;
}

std::string_view trimRight(std::string_view text)
{
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Well-formed UTF-8: no stray continuation bytes, overlong forms, surrogates
// or code points above U+10FFFF.
bool isUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = (unsigned char)text[i];
        std::size_t length = 1;
        unsigned int lowest = 0;
        unsigned int point = byte;
        if (byte >= 0xf0 && byte <= 0xf4) {
            length = 4;
            lowest = 0x10000;
            point = byte & 0x07;
        } else if (byte >= 0xe0 && byte <= 0xef) {
            length = 3;
            lowest = 0x800;
            point = byte & 0x0f;
        } else if (byte >= 0xc2 && byte <= 0xdf) {
            length = 2;
            lowest = 0x80;
            point = byte & 0x1f;
        } else if (byte >= 0x80) {
            return false;
        }
        if (text.size() - i < length)
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = (unsigned char)text[i + k];
            if ((next & 0xc0) != 0x80)
                return false;
            point = (point << 6) | (next & 0x3f);
        }
        if (point < lowest || point > 0x10ffff || (point >= 0xd800 && point <= 0xdfff))
            return false;
        i += length;
    }
    return true;
}

// A group name: anything but brackets and control characters.
bool isGroupName(std::string_view name)
{
    if (name.empty())
        return false;
    for (const char c : name) {
        if (c == '[' || c == ']' || isControl(c))
            return false;
    }
    return true;
}

// KEY or KEY[LOCALE]. The specification allows only A-Za-z0-9- in keys;
// like GKeyFile, any other character but "=", brackets and control
// characters is taken too, so that no installed application is lost to an
// odd key of an extension.
bool isKey(std::string_view key)
{
    const std::size_t open = key.find('[');
    const std::string_view name = key.substr(0, open);
    if (!isGroupName(name))
        return false;
    if (open == std::string_view::npos)
        return true;
    if (key.back() != ']')
        return false;
    return isGroupName(key.substr(open + 1, key.size() - open - 2));
}

} // namespace

std::optional<DesktopEntry> DesktopEntry::parse(std::string text, std::string_view group)
{
    if (text.size() > maxEntrySize)
        return std::nullopt;
    DesktopEntry entry;
    entry.m_text = std::move(text);
    const std::string_view all(entry.m_text);
    bool inGroup = false;
    bool inEntryGroup = false;
    bool hasEntryGroup = false;
    for (std::size_t start = 0; start < all.size();) {
        std::size_t end = all.find('\n', start);
        if (end == std::string_view::npos)
            end = all.size();
        std::string_view line = all.substr(start, end - start);
        const std::size_t lineStart = start;
        start = end + 1;
        // Files written on Windows end their lines with CR LF.
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        std::size_t indent = 0;
        while (indent < line.size() && isBlank(line[indent]))
            ++indent;
        line.remove_prefix(indent);
        // Comments are uninterpreted and may be in any encoding.
        if (line.empty() || line.front() == '#')
            continue;
        if (!isUtf8(line))
            return std::nullopt;
        if (line.front() == '[') {
            const std::string_view header = trimRight(line);
            if (header.back() != ']' || !isGroupName(header.substr(1, header.size() - 2)))
                return std::nullopt;
            inGroup = true;
            inEntryGroup = header.substr(1, header.size() - 2) == group;
            hasEntryGroup = hasEntryGroup || inEntryGroup;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inGroup || equals == std::string_view::npos)
            return std::nullopt;
        const std::string_view key = trimRight(line.substr(0, equals));
        if (!isKey(key))
            return std::nullopt;
        std::size_t valueStart = equals + 1;
        while (valueStart < line.size() && isBlank(line[valueStart]))
            ++valueStart;
        if (inEntryGroup) {
            const std::size_t offset = lineStart + indent;
            entry.m_items.push_back({std::uint32_t(offset), std::uint32_t(key.size()),
                                     std::uint32_t(offset + valueStart), std::uint32_t(line.size() - valueStart)});
        }
    }
    if (!hasEntryGroup)
        return std::nullopt;
    return entry;
}

std::optional<std::string_view> DesktopEntry::rawValue(std::string_view wanted) const
{
    for (auto item = m_items.rbegin(); item != m_items.rend(); ++item) {
        if (key(*item) == wanted)
            return std::string_view(m_text).substr(item->valueStart, item->valueLength);
    }
    return std::nullopt;
}

std::optional<std::string> DesktopEntry::string(std::string_view key) const
{
    const std::optional<std::string_view> value = rawValue(key);
    if (!value)
        return std::nullopt;
    return unescape(*value);
}

std::optional<std::string> DesktopEntry::localeString(std::string_view key, std::string_view locale) const
{
    for (const std::string &candidate : localeCandidates(locale)) {
        std::string localized(key);
        localized += '[';
        localized += candidate;
        localized += ']';
        if (std::optional<std::string> value = string(localized))
            return value;
    }
    return string(key);
}

bool DesktopEntry::boolean(std::string_view key) const
{
    return rawValue(key) == std::optional<std::string_view>("true");
}

std::vector<std::string> DesktopEntry::execWords() const
{
    const std::optional<std::string> exec = string("Exec");
    return exec ? splitExec(*exec) : std::vector<std::string>();
}

std::vector<std::string> localeCandidates(std::string_view locale)
{
    const std::size_t at = locale.find('@');
    const std::string_view modifier = at == std::string_view::npos ? std::string_view() : locale.substr(at + 1);
    const std::string_view withoutModifier = locale.substr(0, at);
    const std::string_view langCountry = withoutModifier.substr(0, withoutModifier.find('.'));
    const std::size_t underscore = langCountry.find('_');
    const std::string_view lang = langCountry.substr(0, underscore);
    if (lang.empty() || langCountry == "C" || langCountry == "POSIX")
        return {};
    std::vector<std::string> candidates;
    const auto add = [&candidates](std::string_view base, std::string_view suffix) {
        std::string candidate(base);
        if (!suffix.empty())
            candidate.append("@").append(suffix);
        candidates.push_back(std::move(candidate));
    };
    if (underscore != std::string_view::npos) {
        if (!modifier.empty())
            add(langCountry, modifier);
        add(langCountry, {});
    }
    if (!modifier.empty())
        add(lang, modifier);
    add(lang, {});
    return candidates;
}

std::string unescape(std::string_view value)
{
    std::string result;
    result.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            result += value[i];
            continue;
        }
        switch (const char next = value[++i]) {
        case 's':
            result += ' ';
            break;
        case 'n':
            result += '\n';
            break;
        case 't':
            result += '\t';
            break;
        case 'r':
            result += '\r';
            break;
        case '\\':
            result += '\\';
            break;
        default:
            result += '\\';
            result += next;
        }
    }
    return result;
}

} // namespace Desktop
