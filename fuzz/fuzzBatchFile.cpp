// The interpreter's reading of a batch file: launch scripts hold whatever the
// user typed into an entry.
#include "fuzzSupport.h"
#include "script.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const auto lines = Cmd::splitLines(bytes);
    check(lines.size() <= size + 1, "no more lines than bytes");
    Cmd::parseScript(bytes);
    return 0;
}
