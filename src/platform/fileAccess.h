#ifndef KORVANI_FILEACCESS_H
#define KORVANI_FILEACCESS_H

#include <QByteArray>
#include <QString>

namespace Platform {

// Reads a whole file that is a regular file of at most maxSize bytes. Anything
// else (a FIFO, a device, a folder, a larger file) is not read, so that it can
// neither hang the program nor fill its memory: false, with the reason.
bool readRegularFile(const QString &path, qint64 maxSize, QByteArray *content, QString *error);

// Writes a file anew: the content goes into a new file, readable and writable
// by the user only, that then takes the name over. Whatever had the name is
// replaced, a link included, which is never followed; a program still
// reading the old file reads it whole. False, with the reason, on failure.
bool replaceFile(const QString &path, const QByteArray &content, QString *error);

// The file that saving to path writes: path itself, or the regular file that a
// link at path leads to. Empty, with the reason, when the link leads to
// anything else, such as a device.
QString saveTarget(const QString &path, QString *error);

// The largest template or settings file that is read.
constexpr qint64 maxSettingsFileSize = 1 << 20;

// Whether a settings file or template may be handed to QSettings, which reads
// whatever it is given: a regular file of at most maxSettingsFileSize. A FIFO
// would hang the program, a huge file fill its memory.
bool isReadableSettingsFile(const QString &path);

} // namespace Platform

#endif
