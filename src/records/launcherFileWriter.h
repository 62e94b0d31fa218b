#ifndef KORVANI_LAUNCHERFILEWRITER_H
#define KORVANI_LAUNCHERFILEWRITER_H

#include "records/records.h"

#include <QByteArray>

// The launcher file's content for the entries: the text the toolkit's JSON
// document writes for their JSON form, indented by four blanks a level, with
// every key in sorted order, written straight from the entries.
QByteArray launcherFileContent(const ApplicationDataList &list);

#endif
