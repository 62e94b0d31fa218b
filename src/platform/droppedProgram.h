#ifndef KORVANI_DROPPEDPROGRAM_H
#define KORVANI_DROPPEDPROGRAM_H

#include <QString>
#include <QStringList>

namespace Platform {

// What a file dropped onto the launcher starts, and what its entry is called:
// - a link or Windows shortcut: its target, named after the link's file;
// - a freedesktop desktop entry of an application: the program and argument
//   words of its Exec key, in a terminal when it asks for one (Terminal=true),
//   and the value of its Icon key; any other desktop entry starts itself;
//   either way it is called by its Name in the user's language (else its
//   file's name without ".desktop") and described by its Comment;
// - any other file: the file itself, named after it up to its first dot.
// A desktop entry that cannot be read leaves the path empty and says why in
// error.
struct DroppedProgram
{
    QString path;
    QStringList arguments;
    QString name;
    QString comment;
    QString icon;
    bool terminal = false;
    QString error;
};
DroppedProgram droppedProgram(const QString &filePath);

} // namespace Platform

#endif
