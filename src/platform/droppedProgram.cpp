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
    if (file.suffix() != QLatin1String("desktop")) {
        program.name = file.baseName();
        return program;
    }
    // "org.gnome.Calculator.desktop" goes by more than "org".
    program.name = file.completeBaseName();
    QByteArray content;
    if (!readRegularFile(program.path, qint64(Desktop::maxEntrySize), &content, &program.error)) {
        program.path.clear();
        return program;
    }
    const std::optional<Desktop::DesktopEntry> entry = Desktop::DesktopEntry::parse(content.toStdString());
    if (!entry)
        return program;
    const std::string locale = desktopLocale();
    const QString name = QString::fromStdString(entry->name(locale));
    if (!name.isEmpty())
        program.name = name;
    program.comment = QString::fromStdString(entry->comment(locale));
    const std::vector<std::string> words = entry->isApplication() ? entry->execWords() : std::vector<std::string>();
    if (words.empty())
        return program;
    const QString executable = QString::fromStdString(words.front());
    const QString found = executable.contains(QLatin1Char('/')) ? QString()
                                                                : QStandardPaths::findExecutable(executable);
    QStringList command(found.isEmpty() ? executable : found);
    for (auto word = words.begin() + 1; word != words.end(); ++word)
        command.append(QString::fromStdString(*word));
    program.terminal = entry->terminal();
    if (program.terminal)
        command = terminalCommand(command);
    program.path = command.takeFirst();
    program.arguments = command;
    program.icon = QString::fromStdString(entry->icon(locale));
    return program;
}

} // namespace Platform
