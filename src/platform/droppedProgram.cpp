#include "platform/droppedProgram.h"

#include "platform/fileAccess.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace Platform {

namespace {

// Undoes the escapes of a desktop entry's string values.
QString unescapeDesktopValue(const QString &value)
{
    QString result;
    for (int i = 0; i < value.size(); ++i) {
        if (value.at(i) != QLatin1Char('\\') || i + 1 == value.size()) {
            result += value.at(i);
            continue;
        }
        const QChar next = value.at(++i);
        if (next == QLatin1Char('s'))
            result += QLatin1Char(' ');
        else if (next == QLatin1Char('n'))
            result += QLatin1Char('\n');
        else if (next == QLatin1Char('t'))
            result += QLatin1Char('\t');
        else if (next == QLatin1Char('r'))
            result += QLatin1Char('\r');
        else if (next == QLatin1Char('\\'))
            result += QLatin1Char('\\');
        else
            result += QLatin1Char('\\') + QString(next);
    }
    return result;
}

// Splits an Exec value into words: double quotes group, and inside them a
// backslash keeps the next character. Field codes go; "%%" is a percent sign.
QStringList splitExec(const QString &exec)
{
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (int i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (quoted) {
            if (c == QLatin1Char('"'))
                quoted = false;
            else if (c == QLatin1Char('\\') && i + 1 < exec.size())
                word += exec.at(++i);
            else
                word += c;
        } else if (c == QLatin1Char('"')) {
            quoted = inWord = true;
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inWord && !word.isEmpty())
                words.append(word);
            word.clear();
            inWord = false;
        } else if (c == QLatin1Char('%') && i + 1 < exec.size()) {
            inWord = true;
            if (exec.at(++i) == QLatin1Char('%'))
                word += QLatin1Char('%');
        } else {
            inWord = true;
            word += c;
        }
    }
    if (inWord && !word.isEmpty())
        words.append(word);
    return words;
}

} // namespace

QHash<QString, QString> desktopEntryValues(const QByteArray &content)
{
    // Only a file made of groups and keys is a desktop entry: a script or any
    // other file that merely holds an Exec line is not read as one.
    QHash<QString, QString> values;
    bool inEntry = false;
    for (const QByteArray &rawLine : content.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return {};
        const QString key = line.left(equals).trimmed();
        if (inEntry && !values.contains(key))
            values.insert(key, unescapeDesktopValue(line.mid(equals + 1).trimmed()));
    }
    return values;
}

QStringList desktopEntryCommand(const QByteArray &content)
{
    const QHash<QString, QString> values = desktopEntryValues(content);
    const QString type = values.value(QStringLiteral("Type"));
    if (!type.isEmpty() && type != QLatin1String("Application"))
        return QStringList();
    return splitExec(values.value(QStringLiteral("Exec")));
}

DroppedProgram droppedProgram(const QString &filePath)
{
    const QFileInfo file(filePath);
    DroppedProgram program;
    program.path = file.isSymLink() ? file.symLinkTarget() : file.absoluteFilePath();
    if (file.suffix() != QLatin1String("desktop"))
        return program;
    QByteArray content;
    if (!readRegularFile(program.path, maxSettingsFileSize, &content, &program.error)) {
        program.path.clear();
        return program;
    }
    const QHash<QString, QString> values = desktopEntryValues(content);
    QStringList command = desktopEntryCommand(content);
    if (command.isEmpty())
        return program;
    const QString name = command.takeFirst();
    const QString found = name.contains(QLatin1Char('/')) ? QString() : QStandardPaths::findExecutable(name);
    program.path = found.isEmpty() ? name : found;
    program.arguments = command;
    program.icon = values.value(QStringLiteral("Icon"));
    return program;
}

} // namespace Platform
