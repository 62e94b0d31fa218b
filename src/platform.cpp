#include "platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace Platform {

namespace {

// The name of this system's template folder.
QString templateSystem()
{
#ifdef Q_OS_WIN
    return QStringLiteral("windows");
#else
    // Other Unix systems run the same programs as Linux does.
    return QStringLiteral("linux");
#endif
}

// An installed program finds its shared files at ../share/korvani.
QString installedShare(const QString &applicationDir)
{
    const QString share = QDir(applicationDir).absoluteFilePath(QStringLiteral("../share/korvani"));
    return QFileInfo(share).isDir() ? QDir::cleanPath(share) : QString();
}

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

QString commandInterpreter()
{
#ifdef Q_OS_WIN
    return QStringLiteral("cmd.exe");
#else
    return QCoreApplication::applicationDirPath() + QStringLiteral("/korvani-cmd");
#endif
}

QString applicationFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\Program Files");
#else
    return QStringLiteral("/usr/bin");
#endif
}

QString applicationFilterPatterns()
{
#ifdef Q_OS_WIN
    return QStringLiteral(" (*.exe)");
#else
    // Programs here carry no extension.
    return QStringLiteral(" (*)");
#endif
}

QString anyFileFilterPatterns()
{
#ifdef Q_OS_WIN
    return QStringLiteral(" (*.*)");
#else
    // "*.*" would hide every file without a dot in its name.
    return QStringLiteral(" (*)");
#endif
}

QChar pathListSeparator()
{
#ifdef Q_OS_WIN
    return QLatin1Char(';');
#else
    return QLatin1Char(':');
#endif
}

QString templateFolder()
{
    return QStringLiteral("data/db/") + templateSystem();
}

QString dataFolder(const QString &applicationDir)
{
    if (installedShare(applicationDir).isEmpty() && QFileInfo(applicationDir).isWritable())
        return applicationDir;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

void addShippedTemplates(const QString &applicationDir, const QString &dataFolder)
{
    const QString share = installedShare(applicationDir);
    const QDir shipped(share.isEmpty() ? QDir(applicationDir).absoluteFilePath(templateFolder())
                                       : share + QStringLiteral("/db/") + templateSystem());
    const QDir target(QDir(dataFolder).absoluteFilePath(templateFolder()));
    if (shipped == target || !shipped.exists())
        return;
    target.mkpath(QStringLiteral("."));
    for (const QString &name : shipped.entryList({QStringLiteral("*.ini")}, QDir::Files)) {
        if (!target.exists(name))
            QFile::copy(shipped.filePath(name), target.filePath(name));
    }
}

QString launcherFile()
{
    return QStringLiteral("data/shortchut.json");
}

QString settingsFile()
{
    return QStringLiteral("data/settings.ini");
}

QString dragScriptPath(const QString &batchFileName)
{
    return QStringLiteral("data/temp/") + batchFileName;
}

QString launchScriptPath(const QString &batchFileName)
{
    return QStringLiteral("temp") + QDir::separator() + batchFileName;
}

QHash<QString, QString> desktopEntryValues(const QByteArray &content)
{
    QHash<QString, QString> values;
    bool inEntry = false;
    for (const QByteArray &rawLine : content.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (!inEntry || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        if (!values.contains(key))
            values.insert(key, unescapeDesktopValue(line.mid(equals + 1).trimmed()));
    }
    return values;
}

QStringList desktopEntryCommand(const QByteArray &content)
{
    return splitExec(desktopEntryValues(content).value(QStringLiteral("Exec")));
}

bool freedesktopIcons()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return true;
#else
    return false;
#endif
}

DroppedProgram droppedProgram(const QString &filePath)
{
    const QFileInfo file(filePath);
    DroppedProgram program;
    program.path = file.isSymLink() ? file.symLinkTarget() : file.absoluteFilePath();
    if (file.suffix() != QLatin1String("desktop"))
        return program;
    QFile desktopFile(program.path);
    QHash<QString, QString> values;
    if (desktopFile.open(QIODevice::ReadOnly))
        values = desktopEntryValues(desktopFile.readAll());
    QStringList command = splitExec(values.value(QStringLiteral("Exec")));
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
