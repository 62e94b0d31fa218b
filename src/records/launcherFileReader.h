#ifndef KORVANI_LAUNCHERFILEREADER_H
#define KORVANI_LAUNCHERFILEREADER_H

#include "records/records.h"

#include <QByteArray>

// The bytes the JSON parser may read past the end of a launcher file's
// content. Content read with this much room to spare is parsed where it lies;
// other content is copied first.
constexpr int launcherFilePadding = 64;

// The entries of a launcher file's content, straight from its JSON text. The
// content is taken as a JSON array when it is one whole valid JSON document
// (a UTF-8 byte order mark at the very start aside, nested at most 1024 deep);
// otherwise the list is empty and the result false. Within an entry object,
// keys may come in any order, the last of a repeated key counts, and a value
// of another kind gives the field's default.
bool parseLauncherData(const QByteArray &content, ApplicationDataList *list);

#endif
