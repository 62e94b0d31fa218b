#ifndef KORVANI_FILEACCESS_H
#define KORVANI_FILEACCESS_H

#include <QByteArray>
#include <QString>

namespace Platform {

// Reads a whole file that is a regular file of at most maxSize bytes. Anything
// else (a FIFO, a device, a folder, a larger file) is not read, so that it can
// neither hang the program nor fill its memory: false, with the reason. The
// content is given padding bytes of room past its end.
bool readRegularFile(const QString &path, qint64 maxSize, QByteArray *content, QString *error, int padding = 0);

// How long a written file must last: the launcher file and its copies must
// survive a power cut; a batch file is of no use after one, and a sync to
// disk would hold up every launch.
enum class Durability { Lasting, Temporary };

// Writes a file anew: the content goes into a new file, readable and writable
// by the user only, that then takes the name over. Whatever had the name is
// replaced, a link included, which is never followed; a program still
// reading the old file reads it whole. Every way the write can fail (a full
// disk, a failed flush, sync or close) fails it: false, with the system's
// reason, and the old file stays as it was. A lasting file is on the disk
// before it takes the name over.
bool replaceFile(const QString &path, const QByteArray &content, QString *error,
                 Durability durability = Durability::Lasting);

// Writes a new file, readable and writable by the user only, that must not
// exist yet: never through a link or file already there. On Unix it is on the
// disk when this returns true. False, with the reason, on failure; nothing is
// left behind then.
bool writeNewFile(const QString &path, const QByteArray &content, QString *error);

// Makes the folders of a path that are missing, each for the user alone;
// folders already there are left as they are. False when the path is no
// folder in the end.
bool makeFolders(const QString &path);

// Makes a folder of the program's own, which holds secrets (the data folder,
// the folders of batch files, the single-instance channel), and lets the user
// alone in: it must be a folder, not a link, of this user. False, with the
// reason, when it is not.
bool makePrivateFolder(const QString &path, QString *reason = nullptr);

// Lets the user alone read and write a file of the program's, made empty
// when there is none, so that what is written into it never shows to others.
void makePrivateFile(const QString &path);

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
