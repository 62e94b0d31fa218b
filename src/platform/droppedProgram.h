#ifndef KORVANI_DROPPEDPROGRAM_H
#define KORVANI_DROPPEDPROGRAM_H

#include <QString>
#include <QStringList>

namespace Platform {

// What a file dropped onto the launcher starts: the target of a link or a
// Windows shortcut; for a freedesktop desktop entry of an application, the
// program and argument words of its Exec key, and the value of its Icon key;
// else the file itself. A desktop entry that cannot be read leaves the path
// empty and says why in error.
struct DroppedProgram
{
    QString path;
    QStringList arguments;
    QString icon;
    QString error;
};
DroppedProgram droppedProgram(const QString &filePath);

} // namespace Platform

#endif
