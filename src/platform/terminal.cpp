#include "platform/terminal.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace Platform {

namespace {

struct KnownTerminal
{
    const char *program;
    QStringList runWords; // what comes between the terminal and the command
};

// In the order they are looked for on PATH. Each takes the program and its
// arguments as words of their own after these.
const QList<KnownTerminal> &knownTerminals()
{
    static const QList<KnownTerminal> terminals = {
        // Debian's choice of terminal; its policy asks every terminal to take -e.
        {"x-terminal-emulator", {QStringLiteral("-e")}},
        {"gnome-terminal", {QStringLiteral("--")}},
        {"konsole", {QStringLiteral("-e")}},
        {"xfce4-terminal", {QStringLiteral("-x")}},
        {"mate-terminal", {QStringLiteral("-x")}},
        {"terminator", {QStringLiteral("-x")}},
        {"alacritty", {QStringLiteral("-e")}},
        {"kitty", {}},
        {"foot", {}},
        {"wezterm", {QStringLiteral("start"), QStringLiteral("--")}},
        {"urxvt", {QStringLiteral("-e")}},
        {"st", {QStringLiteral("-e")}},
        {"xterm", {QStringLiteral("-e")}},
    };
    return terminals;
}

QString findProgram(const QString &program)
{
    if (program.isEmpty())
        return QString();
    if (program.contains(QLatin1Char('/')))
        return QFileInfo(program).isExecutable() && !QFileInfo(program).isDir() ? program : QString();
    return QStandardPaths::findExecutable(program);
}

// A terminal known by its file's name takes the command its way; any other
// takes -e, as most do.
QStringList runWords(const QString &terminal)
{
    const QString name = QFileInfo(terminal).fileName();
    for (const KnownTerminal &known : knownTerminals()) {
        if (name == QLatin1String(known.program))
            return known.runWords;
    }
    return {QStringLiteral("-e")};
}

} // namespace

QStringList terminalCommand(const QStringList &command)
{
#ifdef Q_OS_WIN
    return command;
#else
    QString terminal = findProgram(qEnvironmentVariable("TERMINAL"));
    for (int i = 0; terminal.isEmpty() && i < knownTerminals().size(); ++i)
        terminal = findProgram(QLatin1String(knownTerminals().at(i).program));
    if (terminal.isEmpty())
        return command;
    return QStringList(terminal) + runWords(terminal) + command;
#endif
}

} // namespace Platform
