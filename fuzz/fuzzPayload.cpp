// The record stream of a drop, which any drag source can send.
#include "fuzzSupport.h"
#include "records/launcherFile.h"
#include "records/recordStream.h"
#include "records/records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    const ApplicationDataList records = readApplicationDataPayload(bytesOf(data, size));
    // Every record takes at least four bytes of the payload.
    check(records.size() <= int(size / 4) + 1, "record count in proportion to the payload");
    // Whatever was read is written and read back unchanged.
    const ApplicationDataList again = readApplicationDataPayload(writeApplicationDataPayload(records));
    check(toJsonArray(again) == toJsonArray(records), "payload round trip");
    return 0;
}
