// The launcher file, which the user or any program may have changed.
#include "fuzzSupport.h"
#include "records/launcherFile.h"
#include "records/records.h"

#include <QJsonDocument>

#include <algorithm>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// A value's text as it was read: a piece of the input, from its first to its
// last character, and read alone, under any key, as the very same text.
void checkOtherValue(const QByteArray &input, const QByteArray &text)
{
    check(!text.isEmpty() && !isBlank(text.front()) && !isBlank(text.back()), "a value's text without blanks");
    check(std::search(input.begin(), input.end(), text.begin(), text.end()) != input.end(),
          "a value's text as it was in the file");
    ApplicationDataList alone;
    check(parseLauncherData("[{\"key\":" + text + "}]", &alone), "a value's text reads alone");
    check(alone.first().otherFields().value(QStringLiteral("key")) == text, "a value's text reads alone as itself");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    const QByteArray input = bytesOf(data, size);
    ApplicationDataList entries;
    const bool isList = parseLauncherData(input, &entries);
    check(isList || entries.isEmpty(), "unreadable content gives no entries");
    // The fields Korvani knows are saved as the toolkit writes their JSON form;
    // the others as their text was read.
    ApplicationDataList known = entries;
    for (ApplicationData &entry : known) {
        const OtherFields others = entry.otherFields();
        for (auto other = others.constBegin(); other != others.constEnd(); ++other)
            checkOtherValue(input, other.value());
        entry.setOtherFields(OtherFields());
    }
    check(launcherFileContent(known) == QJsonDocument(toJsonArray(known)).toJson(), "written as the toolkit writes it");
    // What was read is saved, and read back unchanged, to the byte.
    const QByteArray saved = launcherFileContent(entries);
    ApplicationDataList again;
    check(parseLauncherData(saved, &again), "a saved file reads as a list");
    check(again.size() == entries.size(), "as many entries read back");
    for (int i = 0; i < entries.size(); ++i)
        check(again.at(i).otherFields() == entries.at(i).otherFields(), "other values read back as they were");
    check(launcherFileContent(again) == saved, "launcher file round trip");
    return 0;
}
