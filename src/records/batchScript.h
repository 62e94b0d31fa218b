#ifndef KORVANI_BATCHSCRIPT_H
#define KORVANI_BATCHSCRIPT_H

#include <QString>

// The text that stands in a batch line for one argument word, so that the
// program receives exactly that word: quoted as programs split their command
// line, and with the characters that the interpreter itself would act on
// escaped.
QString batchArgument(const QString &word);

// Whether a word can stand in a batch line at all: a line break or another
// control character cannot. A program path, which the batch line quotes as
// it is, can also hold no quote and no percent sign.
bool fitsBatchLine(const QString &word);
bool fitsBatchProgramPath(const QString &path);

#endif
