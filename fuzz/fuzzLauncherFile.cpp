// The launcher file, which the user or any program may have changed.
#include "fuzzSupport.h"
#include "records/launcherFile.h"
#include "records/records.h"

#include <QJsonDocument>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    ApplicationDataList entries;
    const bool isList = parseLauncherData(bytesOf(data, size), &entries);
    check(isList || entries.isEmpty(), "unreadable content gives no entries");
    // What was read is saved as the toolkit writes its JSON form, and read back unchanged.
    const QByteArray saved = launcherFileContent(entries);
    check(saved == QJsonDocument(toJsonArray(entries)).toJson(), "written as the toolkit writes it");
    ApplicationDataList again;
    check(parseLauncherData(saved, &again), "a saved file reads as a list");
    // Compared as saved: the toolkit's values tell 2500 read from "2.5e3" from
    // 2500 read from "2500", though both are the same number and saved alike.
    check(launcherFileContent(again) == saved, "launcher file round trip");
    return 0;
}
