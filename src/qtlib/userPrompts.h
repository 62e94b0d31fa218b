#ifndef KORVANI_USERPROMPTS_H
#define KORVANI_USERPROMPTS_H

#include <QString>

class QMessageBox;
class QSystemTrayIcon;
class QWidget;

// Every question Korvani asks the user and every message it shows them goes
// through here: the program answers with boxes and dialogs, tests with
// answers of their own, so that no test waits for a person.
class UserPrompts
{
public:
    enum class ChangedFileAnswer { Reload, KeepMine, Cancel };
    enum class PathKind { File, Folder };

    virtual ~UserPrompts() = default;

    // Another program changed the launcher file, and the entries have changes
    // that are not saved: drop ours and read theirs, keep both, or decide later.
    virtual ChangedFileAnswer askAboutChangedFile(const QString &text, const QString &details) = 0;
    // Saving failed on the way out, for the reason in text: true to end all the same.
    virtual bool askToQuitUnsaved(const QString &text) = 0;
    // Something the user should know of: a file that could not be read whole,
    // a save that failed, programs that could not be added.
    virtual void warn(const QString &title, const QString &text) = 0;
    // A launch that could not run.
    virtual void showError(const QString &title, const QString &text) = 0;
    // A box its caller has made and keeps up to date, such as the Error box
    // of a running launch, shown until the user has answered it.
    virtual void runBox(QMessageBox *box) = 0;
    // A file or folder the user picks in a dialog over parent: empty when
    // they cancel.
    virtual QString choosePath(QWidget *parent, PathKind kind, const QString &title, const QString &folder,
                               const QString &filter) = 0;
    // Whether the desktop shows tray icons, and a message shown at the tray icon.
    virtual bool hasSystemTray() = 0;
    virtual void showTrayMessage(QSystemTrayIcon *icon, const QString &title, const QString &text) = 0;
    // Whether the user is in a dialog or menu, which holds entries as they
    // were when it opened: changes from outside wait until it has closed.
    virtual bool isBusy() = 0;
};

#endif
