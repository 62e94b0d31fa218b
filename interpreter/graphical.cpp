#include "graphical.h"

#include "desktop/applicationFolders.h"
#include "environment.h"
#include "process.h"
#include "text.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <elf.h>
#include <fcntl.h>
#include <unistd.h>

namespace Cmd {

namespace {

constexpr int maxLinkSteps = 40;

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

std::string_view baseName(std::string_view path)
{
    return path.substr(path.rfind('/') + 1);
}

// The program an Exec value runs: its first word, or after "env" the first
// word that is no assignment.
std::string execProgram(const std::vector<std::string> &words)
{
    size_t first = 0;
    if (!words.empty() && baseName(words.front()) == "env") {
        first = 1;
        while (first < words.size() && words[first].find('=') != std::string::npos)
            ++first;
    }
    return first < words.size() ? words[first] : std::string();
}

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
    const std::string dataHome = value("XDG_DATA_HOME");
    const std::string dataFolders = value("XDG_DATA_DIRS");
    const std::string key = home + '\n' + dataHome + '\n' + dataFolders;
    if (m_entriesRead && key == m_entriesKey)
        return;
    m_entriesRead = true;
    m_entriesKey = key;
    m_named.clear();
    const std::vector<std::string> folders = Desktop::applicationFolders(home, dataHome, dataFolders);
    Desktop::forEachApplication(folders, [this](const Desktop::InstalledApplication &application) {
        const bool terminal = application.entry.terminal();
        for (std::string program : {application.entry.tryExec(), execProgram(application.entry.execWords())}) {
            if (!program.empty())
                m_named.push_back({std::move(program), terminal});
        }
    });
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
