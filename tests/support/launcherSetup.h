#ifndef KORVANI_LAUNCHERSETUP_H
#define KORVANI_LAUNCHERSETUP_H

#include "applicationLauncher/applicationLauncher.h"
#include "document/launcherDocument.h"
#include "mainWindow/mainWindow.h"
#include "platform/dataFolder.h"
#include "qtlib/messageBoxPrompts.h"

#include <QStringList>

#include <functional>

// Questions and messages as the program shows them, in real boxes that a
// ModalAnswerer answers; the tray, and the file dialog, are the test's.
class TestPrompts : public MessageBoxPrompts
{
public:
    using PathChoice = std::function<QString(QWidget *parent, PathKind kind, const QString &title,
                                             const QString &folder, const QString &filter)>;

    // The desktop has a tray unless this says otherwise.
    std::function<bool()> systemTray;
    // Where tray messages go; none are shown.
    std::function<void(const QString &title, const QString &text)> trayMessage;
    // What the file dialog gives; without it, the dialog is cancelled.
    PathChoice pathChoice;

    QString choosePath(QWidget *parent, PathKind kind, const QString &title, const QString &folder,
                       const QString &filter) override;
    bool hasSystemTray() override;
    void showTrayMessage(QSystemTrayIcon *icon, const QString &title, const QString &text) override;
};

// Prompts that show nothing: every message is recorded as "title: text", and
// every question gets the answer set for it, or that of a person who cancels.
class ScriptedPrompts : public UserPrompts
{
public:
    ChangedFileAnswer changedFileAnswer = ChangedFileAnswer::Cancel;
    bool quitUnsaved = false;
    bool busy = false;
    // What was asked and told, in order.
    QStringList asked;
    QStringList messages;

    ChangedFileAnswer askAboutChangedFile(const QString &text, const QString &details) override;
    bool askToQuitUnsaved(const QString &text) override;
    void warn(const QString &title, const QString &text) override;
    void showError(const QString &title, const QString &text) override;
    void runBox(QMessageBox *box) override;
    QString choosePath(QWidget *parent, PathKind kind, const QString &title, const QString &folder,
                       const QString &filter) override;
    bool hasSystemTray() override { return true; }
    void showTrayMessage(QSystemTrayIcon *icon, const QString &title, const QString &text) override;
    bool isBusy() override { return busy; }
};

// What Korvani's start makes before its window, over a data folder: the
// current folder unless one is given.
struct LauncherSetup
{
    explicit LauncherSetup(const QString &root = QString());

    DataFolder folder;
    TestPrompts prompts;
    LauncherDocument launcherDocument;
};

// The launcher widget over a document of its own, as the window holds it.
class TestLauncher : public LauncherSetup, public ApplicationLauncher
{
public:
    explicit TestLauncher(const QString &root = QString());
};

// The main window over a document of its own, as Korvani's start makes it.
class TestWindow : public LauncherSetup, public MainWindow
{
public:
    explicit TestWindow(const QString &root = QString());
};

#endif
