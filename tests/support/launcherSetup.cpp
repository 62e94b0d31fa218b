#include "launcherSetup.h"

#include <QDir>
#include <QMessageBox>

QString TestPrompts::choosePath(QWidget *parent, PathKind kind, const QString &title, const QString &folder,
                                const QString &filter)
{
    return pathChoice ? pathChoice(parent, kind, title, folder, filter) : QString();
}

bool TestPrompts::hasSystemTray()
{
    return systemTray ? systemTray() : true;
}

void TestPrompts::showTrayMessage(QSystemTrayIcon *, const QString &title, const QString &text)
{
    if (trayMessage)
        trayMessage(title, text);
}

UserPrompts::ChangedFileAnswer ScriptedPrompts::askAboutChangedFile(const QString &text, const QString &details)
{
    asked.append(text + QLatin1Char('\n') + details);
    return changedFileAnswer;
}

bool ScriptedPrompts::askToQuitUnsaved(const QString &text)
{
    asked.append(text);
    return quitUnsaved;
}

void ScriptedPrompts::warn(const QString &title, const QString &text)
{
    messages.append(title + QStringLiteral(": ") + text);
}

void ScriptedPrompts::showError(const QString &title, const QString &text)
{
    messages.append(title + QStringLiteral(": ") + text);
}

void ScriptedPrompts::runBox(QMessageBox *box)
{
    messages.append(box->windowTitle() + QStringLiteral(": ") + box->text());
}

QString ScriptedPrompts::choosePath(QWidget *, PathKind, const QString &, const QString &, const QString &)
{
    return QString();
}

void ScriptedPrompts::showTrayMessage(QSystemTrayIcon *, const QString &title, const QString &text)
{
    messages.append(title + QStringLiteral(": ") + text);
}

LauncherSetup::LauncherSetup(const QString &root)
    : folder(root.isEmpty() ? QDir::currentPath() : root)
    , launcherDocument(folder, &prompts)
{
}

TestLauncher::TestLauncher(const QString &root)
    : LauncherSetup(root)
    , ApplicationLauncher(&launcherDocument, folder, &prompts)
{
    prompts.setWindow(this);
}

TestWindow::TestWindow(const QString &root)
    : LauncherSetup(root)
    , MainWindow(&launcherDocument, folder, &prompts)
{
    prompts.setWindow(this);
}
