#ifndef KORVANI_DRAGSCRIPTS_H
#define KORVANI_DRAGSCRIPTS_H

#include "records/records.h"

#include <QList>
#include <QUrl>

// Writes the batch files of entries dragged out of the window, for a file
// manager to copy or move, into folders of this drag's own below dragFolder: every dragged entry arrives, also those
// whose file names are the same, and no later drag replaces them. Folders of earlier drags go once the drops that took
// them are long over. The URLs of the files written, in the entries' order; an entry whose file could not be written
// has none.
QList<QUrl> writeDragScripts(const QString &dragFolder, const ApplicationDataList &applications);

#endif
