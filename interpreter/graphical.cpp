#include "graphical.h"

#include "environment.h"
#include "process.h"
#include "text.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <unordered_set>
#include <vector>

#include <dirent.h>
#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Cmd {

namespace {

constexpr int maxLinkSteps = 40;
constexpr int maxFolderDepth = 8;

// The path with the links in its folders resolved and its last part as it is;
// empty when the folder does not exist.
std::string located(const std::string &path)
{
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    char *real = realpath(folder.c_str(), nullptr);
    if (!real)
        return std::string();
    std::string result(real);
    std::free(real);
    if (result != "/")
        result += '/';
    return result + path.substr(slash == std::string::npos ? 0 : slash + 1);
}

// A desktop entry's string value with its escapes (\s, \n, \t, \r, \\) replaced.
std::string unescapeValue(std::string_view value)
{
    std::string result;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 >= value.size()) {
            result += value[i];
            continue;
        }
        const char next = value[++i];
        switch (next) {
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

// The words of an Exec value: blanks separate them, double quotes group them,
// and inside quotes a backslash takes the next character as it is.
std::vector<std::string> execWords(const std::string &command)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (size_t i = 0; i < command.size(); ++i) {
        const char c = command[i];
        if (quoted) {
            if (c == '\\' && i + 1 < command.size())
                word += command[++i];
            else if (c == '"')
                quoted = false;
            else
                word += c;
        } else if (c == ' ' || c == '\t') {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            if (c == '"')
                quoted = true;
            else
                word += c;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

// The program an Exec value runs: its first word, or after "env" the first
// word that is no assignment.
std::string execProgram(const std::string &value)
{
    const std::vector<std::string> words = execWords(unescapeValue(value));
    size_t first = 0;
    const auto baseName = [](const std::string &word) { return word.substr(word.rfind('/') + 1); };
    if (!words.empty() && baseName(words.front()) == "env") {
        first = 1;
        while (first < words.size() && words[first].find('=') != std::string::npos)
            ++first;
    }
    return first < words.size() ? words[first] : std::string();
}

struct DesktopEntry
{
    bool application = false;
    bool hidden = false;
    bool terminal = false;
    std::string exec;
    std::string tryExec;
};

DesktopEntry parseDesktopEntry(std::string_view text)
{
    DesktopEntry entry;
    bool inGroup = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = trim(text.substr(start, end - start));
        start = end + 1;
        // Translations make up most of an entry; none of them is wanted.
        if (line.empty() || (line.front() != '[' && line.front() != 'T' && line.front() != 'E' && line.front() != 'H'))
            continue;
        if (!line.empty() && line.front() == '[') {
            if (inGroup)
                break;
            inGroup = line == "[Desktop Entry]";
            continue;
        }
        const size_t equals = line.find('=');
        if (!inGroup || equals == std::string_view::npos)
            continue;
        const std::string_view key = trimRight(line.substr(0, equals));
        const std::string_view value = trimLeft(line.substr(equals + 1));
        if (key == "Type")
            entry.application = value == "Application";
        else if (key == "Hidden")
            entry.hidden = value == "true";
        else if (key == "Terminal")
            entry.terminal = value == "true";
        else if (key == "Exec")
            entry.exec = value;
        else if (key == "TryExec")
            entry.tryExec = unescapeValue(value);
    }
    return entry;
}

std::string_view baseName(std::string_view path)
{
    return path.substr(path.rfind('/') + 1);
}

// Collects the programs that the desktop entries of data folders name.
class EntryReader
{
public:
    explicit EntryReader(std::vector<ProgramKinds::NamedProgram> *named)
        : m_named(named)
    {
    }

    // Reads the applications folder below a data folder; a desktop file ID
    // that was seen in a folder read before is left out, as the earlier folder
    // takes precedence.
    void readDataFolder(const std::string &folder)
    {
        if (!folder.empty() && folder.front() == '/')
            readFolder(folder + "/applications", std::string(), 0);
    }

private:
    void readFolder(const std::string &folder, const std::string &idPrefix, int depth)
    {
        DIR *directory = opendir(folder.c_str());
        if (!directory)
            return;
        while (const dirent *item = readdir(directory)) {
            const std::string name = item->d_name;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + '/' + name;
            bool isFolder = item->d_type == DT_DIR;
            bool isFile = item->d_type == DT_REG;
            struct stat status
            {
            };
            if (!isFolder && !isFile && stat(path.c_str(), &status) == 0) {
                isFolder = S_ISDIR(status.st_mode);
                isFile = S_ISREG(status.st_mode);
            }
            if (isFolder && depth < maxFolderDepth)
                readFolder(path, idPrefix + name + '-', depth + 1);
            else if (isFile && name.size() > 8 && name.compare(name.size() - 8, 8, ".desktop") == 0)
                readEntry(path, idPrefix + name);
        }
        closedir(directory);
    }

    void readEntry(const std::string &path, const std::string &id)
    {
        std::string text;
        if (!m_ids.insert(id).second || !readFile(path, &text))
            return;
        const DesktopEntry entry = parseDesktopEntry(text);
        if (!entry.application || entry.hidden)
            return;
        for (std::string program : {entry.tryExec, execProgram(entry.exec)}) {
            if (!program.empty())
                m_named->push_back({std::move(program), entry.terminal});
        }
    }

    std::vector<ProgramKinds::NamedProgram> *m_named;
    std::unordered_set<std::string> m_ids;
};

// Where a program that a desktop entry names is found, as a path with the
// links in its folders resolved; empty when it is not found.
std::string findNamed(const std::string &program, const std::string *searchPath)
{
    if (program.find('/') != std::string::npos)
        return program.front() == '/' ? located(program) : std::string();
    const ProgramLookup lookup = findProgram(program, searchPath);
    return lookup.result == ProgramLookup::Result::Found ? located(lookup.path) : std::string();
}

bool isWindowingLibrary(std::string_view name)
{
    for (const std::string_view library : {"libX11.so", "libxcb.so", "libwayland-client.so"}) {
        if (name.substr(0, library.size()) == library)
            return true;
    }
    return false;
}

bool readAt(int fd, void *buffer, size_t size, off_t offset)
{
    return pread(fd, buffer, size, offset) == ssize_t(size);
}

template <typename Header, typename ProgramHeader, typename Dynamic>
bool needsWindowingLibrary(int fd)
{
    Header header{};
    if (!readAt(fd, &header, sizeof header, 0) || header.e_phentsize != sizeof(ProgramHeader) || header.e_phnum == 0
        || header.e_phnum > 4096)
        return false;
    std::vector<ProgramHeader> segments(header.e_phnum);
    if (!readAt(fd, segments.data(), segments.size() * sizeof(ProgramHeader), off_t(header.e_phoff)))
        return false;
    const ProgramHeader *dynamicSegment = nullptr;
    for (const ProgramHeader &segment : segments) {
        if (segment.p_type == PT_DYNAMIC)
            dynamicSegment = &segment;
    }
    if (!dynamicSegment || dynamicSegment->p_filesz > (1 << 20))
        return false;
    std::vector<Dynamic> dynamic(dynamicSegment->p_filesz / sizeof(Dynamic));
    if (!readAt(fd, dynamic.data(), dynamic.size() * sizeof(Dynamic), off_t(dynamicSegment->p_offset)))
        return false;
    std::vector<size_t> needed;
    unsigned long long tableAddress = 0;
    unsigned long long tableSize = 0;
    for (const Dynamic &item : dynamic) {
        if (item.d_tag == DT_NULL)
            break;
        if (item.d_tag == DT_NEEDED)
            needed.push_back(size_t(item.d_un.d_val));
        else if (item.d_tag == DT_STRTAB)
            tableAddress = item.d_un.d_ptr;
        else if (item.d_tag == DT_STRSZ)
            tableSize = item.d_un.d_val;
    }
    // The string table is given by its address once loaded; the segment that
    // loads it tells where it lies in the file. Only the names are read: the
    // table of a large program is megabytes.
    for (const ProgramHeader &segment : segments) {
        if (segment.p_type != PT_LOAD || tableAddress < segment.p_vaddr
            || tableAddress + tableSize > segment.p_vaddr + segment.p_filesz)
            continue;
        const off_t table = off_t(segment.p_offset + (tableAddress - segment.p_vaddr));
        for (const size_t offset : needed) {
            char name[32] = {};
            const size_t size = size_t(std::min<unsigned long long>(sizeof name - 1, tableSize - offset));
            if (offset < tableSize && readAt(fd, name, size, table + off_t(offset)) && isWindowingLibrary(name))
                return true;
        }
        return false;
    }
    return false;
}

} // namespace

bool ProgramKinds::isGraphical(const std::string &path, const Environment &environment)
{
    readEntries(environment);
    // Only entries that name a program by the name of a step can name that
    // step: just those are looked for on PATH.
    const std::string *searchPath = environment.find("PATH");
    std::string step = located(path);
    for (int i = 0; i < maxLinkSteps && !step.empty(); ++i) {
        bool named = false;
        bool graphical = false;
        for (const NamedProgram &program : m_named) {
            if (baseName(program.name) == baseName(step) && findNamed(program.name, searchPath) == step) {
                named = true;
                graphical = graphical || !program.terminal;
            }
        }
        if (named)
            return graphical;
        char target[PATH_MAX];
        const ssize_t size = readlink(step.c_str(), target, sizeof target);
        if (size <= 0 || size_t(size) >= sizeof target)
            break;
        std::string next(target, size_t(size));
        if (next.front() != '/')
            next = step.substr(0, step.rfind('/') + 1) + next;
        step = located(next);
    }
    return linksWindowingSystem(path);
}

void ProgramKinds::readEntries(const Environment &environment)
{
    const auto value = [&environment](const char *name) {
        const std::string *found = environment.find(name);
        return found ? *found : std::string();
    };
    const std::string home = value("HOME");
    std::string dataHome = value("XDG_DATA_HOME");
    std::string dataFolders = value("XDG_DATA_DIRS");
    const std::string key = home + '\n' + dataHome + '\n' + dataFolders;
    if (m_entriesRead && key == m_entriesKey)
        return;
    m_entriesRead = true;
    m_entriesKey = key;
    m_named.clear();
    // The defaults of the XDG base directory specification.
    if (dataHome.empty() && !home.empty())
        dataHome = home + "/.local/share";
    if (dataFolders.empty())
        dataFolders = "/usr/local/share/:/usr/share/";
    EntryReader reader(&m_named);
    reader.readDataFolder(dataHome);
    size_t start = 0;
    while (start <= dataFolders.size()) {
        size_t end = dataFolders.find(':', start);
        if (end == std::string::npos)
            end = dataFolders.size();
        reader.readDataFolder(dataFolders.substr(start, end - start));
        start = end + 1;
    }
}

bool linksWindowingSystem(const std::string &path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    unsigned char identity[EI_NIDENT] = {};
    bool result = false;
    const unsigned char byteOrder = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? ELFDATA2LSB : ELFDATA2MSB;
    if (readAt(fd, identity, sizeof identity, 0) && std::memcmp(identity, ELFMAG, SELFMAG) == 0
        && identity[EI_DATA] == byteOrder) {
        if (identity[EI_CLASS] == ELFCLASS64)
            result = needsWindowingLibrary<Elf64_Ehdr, Elf64_Phdr, Elf64_Dyn>(fd);
        else if (identity[EI_CLASS] == ELFCLASS32)
            result = needsWindowingLibrary<Elf32_Ehdr, Elf32_Phdr, Elf32_Dyn>(fd);
    }
    close(fd);
    return result;
}

} // namespace Cmd
