#include "platform/droppedProgram.h"

#include "desktop/desktopEntry.h"
#include "platform/fileAccess.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace Platform {

DroppedProgram droppedProgram(const QString &filePath)
{
    const QFileInfo file(filePath);
    DroppedProgram program;
    program.path = file.isSymLink() ? file.symLinkTarget() : file.absoluteFilePath();
    if (file.suffix() != QLatin1String("desktop"))
        return program;
    QByteArray content;
    if (!readRegularFile(program.path, qint64(Desktop::maxEntrySize), &content, &program.error)) {
        program.path.clear();
        return program;
    }
    const std::optional<Desktop::DesktopEntry> entry = Desktop::DesktopEntry::parse(content.toStdString());
    if (!entry || !entry->isApplication())
        return program;
    const std::vector<std::string> words = entry->execWords();
    if (words.empty())
        return program;
    const QString name = QString::fromStdString(words.front());
    const QString found = name.contains(QLatin1Char('/')) ? QString() : QStandardPaths::findExecutable(name);
    program.path = found.isEmpty() ? name : found;
    for (auto word = words.begin() + 1; word != words.end(); ++word)
        program.arguments.append(QString::fromStdString(*word));
    program.icon = QString::fromStdString(entry->icon());
    return program;
}

} // namespace Platform
