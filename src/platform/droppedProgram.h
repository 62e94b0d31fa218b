#ifndef KORVANI_DROPPEDPROGRAM_H
#define KORVANI_DROPPEDPROGRAM_H

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

namespace Platform {

// What a file dropped onto the launcher starts: the target of a link or a
// Windows shortcut; for a freedesktop desktop entry, the program and argument
// words of its Exec key, and the value of its Icon key; else the file itself. A
// desktop entry that cannot be read leaves the path empty and says why in error.
struct DroppedProgram
{
    QString path;
    QStringList arguments;
    QString icon;
    QString error;
};
DroppedProgram droppedProgram(const QString &filePath);

// The program a desktop entry's content starts, then its arguments: the words
// of the Exec key of its [Desktop Entry] group, without field codes. Empty when
// there is none.
QStringList desktopEntryCommand(const QByteArray &content);

// The unescaped values of the keys of a desktop entry's [Desktop Entry] group;
// of a key given twice, the first counts.
QHash<QString, QString> desktopEntryValues(const QByteArray &content);

} // namespace Platform

#endif
