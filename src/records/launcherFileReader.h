#ifndef KORVANI_LAUNCHERFILEREADER_H
#define KORVANI_LAUNCHERFILEREADER_H

#include "records/records.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QStringList>

// The largest launcher file that is read, and so written.
constexpr qint64 maxLauncherFileSize = qint64(256) << 20;

// The bytes the JSON parser may read past the end of a launcher file's
// content. Content read with this much room to spare is parsed where it lies;
// other content is copied first.
constexpr int launcherFilePadding = 64;

// What a launcher file held that its entries cannot keep: elements of the
// list that are no entries, and values of known keys of another kind than
// the entry keeps. Keys Korvani does not know are no loss: each entry keeps
// them.
struct LauncherDataLosses
{
    Q_DECLARE_TR_FUNCTIONS(LauncherDataLosses)

public:
    static constexpr int shownExamples = 3;

    int count = 0;
    // The first few, as the user is told them.
    QStringList examples;
};

// The entries of a launcher file's content, straight from its JSON text. The
// content is taken as a JSON array when it is one whole valid JSON document
// (a UTF-8 byte order mark at the very start aside, nested at most 1024 deep)
// of at most maxLauncherFileSize bytes; otherwise the list is empty and the
// result false. Within an entry object, keys may come in any order, the last
// of a repeated key counts, and a value of another kind gives the field's
// default. The value of a key Korvani does not know is kept as its JSON text.
bool parseLauncherData(const QByteArray &content, ApplicationDataList *list, LauncherDataLosses *losses = nullptr);

#endif
