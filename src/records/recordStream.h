#ifndef KORVANI_RECORDSTREAM_H
#define KORVANI_RECORDSTREAM_H

#include "records/records.h"

// Registers the four record types, with their stream operators, under their own names.
void registerRecordTypes();

// The drag-and-drop payload: records back to back, without a count.
QByteArray writeApplicationDataPayload(const ApplicationDataList &list);
ApplicationDataList readApplicationDataPayload(const QByteArray &payload);

// The payload's bytes are fixed and hold only the fields this version knows.
// Beside it, under a type of its own, go the other fields of the records, so
// that an entry moved by dragging keeps them: a JSON array of one object per
// record, in order, each value as it was read. Empty when no record has any.
extern const QString otherFieldsMimeType;
QByteArray writeOtherFieldsPayload(const ApplicationDataList &list);
// Gives the records the other fields of the payload, when it holds one object for each.
void readOtherFieldsPayload(const QByteArray &payload, ApplicationDataList *list);

#endif
