// The interpreter's reading of a batch file: launch scripts hold whatever the
// user typed into an entry. Each line is expanded as it is read, as when the
// batch file runs.
#include "expansion.h"
#include "fuzzSupport.h"
#include "script.h"

#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    char *const start[] = {const_cast<char *>("PATH=/usr/bin:/bin"), const_cast<char *>("V=a&b"),
                           const_cast<char *>("Q=\"(x)\""), nullptr};
    const Cmd::Environment environment(start);
    const std::string directory = "/tmp";
    const int errorLevel = 0;
    const Cmd::VariableLookup lookup(environment, directory, errorLevel);
    const Cmd::Parameters parameters = Cmd::batchParameters("run.bat", "\"a b\" ^& sub\\x.txt", "/tmp/run.bat");

    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const auto lines = Cmd::splitLines(bytes);
    check(lines.size() <= size + 1, "no more lines than bytes");
    const auto expand = [&](std::string_view line, std::string *expanded) {
        const bool fits = Cmd::expandPercents(line, lookup, &parameters, expanded);
        check(expanded->size() <= Cmd::maxLineLength, "an expanded line fits");
        return fits;
    };
    for (const Cmd::ParsedLine &line : Cmd::parseScript(bytes, expand))
        check(line.node || !line.error.empty() || line.tooLong, "a command line read is a command or an error");
    return 0;
}
