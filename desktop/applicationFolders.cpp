#include "desktop/applicationFolders.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <unordered_set>

#ifdef _WIN32
#include <fstream>
#include <iterator>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Desktop {

namespace {

namespace fs = std::filesystem;

bool endsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The whole file when it is a regular file of at most maxEntrySize bytes.
bool readEntryFile(const std::string &path, std::string *text)
{
#ifdef _WIN32
    std::error_code error;
    if (!fs::is_regular_file(fs::u8path(path), error) || fs::file_size(fs::u8path(path), error) > maxEntrySize)
        return false;
    std::ifstream file(fs::u8path(path), std::ios::binary);
    text->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad() && text->size() <= maxEntrySize;
#else
    // Opening a FIFO for reading waits for a writer, unless it does not
    // block; what is read is then the file that was opened and looked at.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status = {};
    bool fits = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && std::size_t(status.st_size) <= maxEntrySize;
    text->clear();
    // It may grow while it is read.
    char buffer[16384];
    while (fits) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            fits = count == 0;
            break;
        }
        text->append(buffer, std::size_t(count));
        fits = text->size() <= maxEntrySize;
    }
    close(fd);
    return fits;
#endif
}

class FolderWalk
{
public:
    FolderWalk(const WalkLimits &limits, const std::function<void(const InstalledApplication &)> &visit)
        : m_limits(limits)
        , m_visit(visit)
    {
    }

    void walkRoot(const fs::path &folder)
    {
        m_names = m_limits.names;
        m_bytes = m_limits.bytes;
        walk(folder, std::string(), 0);
    }

private:
    void walk(const fs::path &folder, const std::string &idPrefix, int depth)
    {
        std::error_code error;
        std::vector<fs::directory_entry> items;
        for (fs::directory_iterator it(folder, error), end; !error && it != end && m_names > 0; it.increment(error)) {
            items.push_back(*it);
            --m_names;
        }
        std::sort(items.begin(), items.end());
        for (const fs::directory_entry &item : items) {
            const std::string name = item.path().filename().string();
            // A linked folder may lead anywhere, up to / and round in circles;
            // a linked entry is read, as packaging systems link theirs in.
            if (item.is_directory(error)) {
                if (!item.is_symlink(error) && depth < m_limits.depth)
                    walk(item.path(), idPrefix + name + '-', depth + 1);
            } else if (endsWith(name, ".desktop") && m_bytes > 0) {
                visitFile(idPrefix + name, item.path().string());
            }
        }
    }

    void visitFile(const std::string &id, const std::string &path)
    {
        if (!m_ids.insert(id).second)
            return;
        std::string text;
        if (!readEntryFile(path, &text))
            return;
        m_bytes -= std::min(m_bytes, text.size());
        const std::optional<DesktopEntry> entry = DesktopEntry::parse(std::move(text));
        if (entry && entry->isApplication() && !entry->hidden())
            m_visit({id, path, *entry});
    }

    const WalkLimits m_limits;
    const std::function<void(const InstalledApplication &)> &m_visit;
    std::unordered_set<std::string> m_ids;
    std::size_t m_names = 0;
    std::size_t m_bytes = 0;
};

} // namespace

std::vector<std::string> applicationFolders(std::string_view home, std::string_view dataHome, std::string_view dataDirs)
{
    std::vector<std::string> folders;
    const auto add = [&folders](std::string_view folder) {
        while (folder.size() > 1 && folder.back() == '/')
            folder.remove_suffix(1);
        if (!folder.empty() && folder.front() == '/')
            folders.push_back(std::string(folder) + (folder.size() > 1 ? "/applications" : "applications"));
    };
    if (!dataHome.empty())
        add(dataHome);
    else if (!home.empty())
        add(std::string(home) + "/.local/share");
    if (dataDirs.empty())
        dataDirs = "/usr/local/share/:/usr/share/";
    while (true) {
        const std::size_t colon = dataDirs.find(':');
        add(dataDirs.substr(0, colon));
        if (colon == std::string_view::npos)
            break;
        dataDirs.remove_prefix(colon + 1);
    }
    return folders;
}

std::optional<DesktopEntry> readDesktopEntry(const std::string &path, std::string_view group)
{
    std::string text;
    if (!readEntryFile(path, &text))
        return std::nullopt;
    return DesktopEntry::parse(std::move(text), group);
}

void forEachApplication(const std::vector<std::string> &folders,
                        const std::function<void(const InstalledApplication &)> &visit, const WalkLimits &limits)
{
    FolderWalk walk(limits, visit);
    for (const std::string &folder : folders)
        walk.walkRoot(fs::path(folder));
}

} // namespace Desktop
