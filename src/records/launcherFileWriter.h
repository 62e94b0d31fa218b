#ifndef KORVANI_LAUNCHERFILEWRITER_H
#define KORVANI_LAUNCHERFILEWRITER_H

#include "records/launcherFileReader.h"
#include "records/records.h"

#include <QByteArray>
#include <QString>

// The launcher file's content for the entries: the text the toolkit's JSON
// document writes for their JSON form, indented by four blanks a level, with
// every key in sorted order, written straight from the entries; the value of a
// key Korvani does not know is its JSON text as read. Content that would be
// larger than maxSize, which the reader would not read again, is not made: the
// result is then a null byte array.
QByteArray launcherFileContent(const ApplicationDataList &list, qint64 maxSize = maxLauncherFileSize);
// What the user is told when there is no content: the entries are too many.
QString launcherFileTooLarge();

// The other fields of each entry, as a JSON array of one object per entry
// holding them as read: what a drag carries beside the record stream.
QByteArray otherFieldsContent(const ApplicationDataList &list);

#endif
