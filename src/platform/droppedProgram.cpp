#include "platform/droppedProgram.h"

#include "desktop/desktopEntry.h"
#include "platform/fileAccess.h"
#include "platform/installedPrograms.h"
#include "platform/terminal.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace Platform {

DroppedProgram droppedProgram(const QString &filePath)
{
    const QFileInfo file(filePath);
    DroppedProgram program;
    program.path = file.isSymLink() ? file.symLinkTarget() : file.absoluteFilePath();
    program.name = file.baseName();
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
    QStringList command(found.isEmpty() ? name : found);
    for (auto word = words.begin() + 1; word != words.end(); ++word)
        command.append(QString::fromStdString(*word));
    program.terminal = entry->terminal();
    if (program.terminal)
        command = terminalCommand(command);
    program.path = command.takeFirst();
    program.arguments = command;
    const std::string locale = desktopLocale();
    program.name = QString::fromStdString(entry->name(locale));
    if (program.name.isEmpty())
        program.name = file.completeBaseName();
    program.comment = QString::fromStdString(entry->comment(locale));
    program.icon = QString::fromStdString(entry->icon(locale));
    return program;
}

} // namespace Platform
