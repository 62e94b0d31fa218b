#ifndef KORVANI_MAINWINDOW_H
#define KORVANI_MAINWINDOW_H

#include "document/launcherDocument.h"

#include <QMainWindow>
#include <QSystemTrayIcon>

class ApplicationLauncher;
class DataFolder;
class QSettings;
class UserPrompts;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // A view of the document, whose file it reads once it is built; the
    // settings are in the data folder, and questions and messages go through
    // prompts.
    MainWindow(LauncherDocument *document, const DataFolder &folder, UserPrompts *prompts, QWidget *parent = nullptr);

public slots:
    // Saves everything and ends the program; false when it goes on (the
    // user cancelled, or chose to keep running after a failed save).
    bool requestQuit();
    void about();
    void showManual();
    void save();
    void iconActivated(QSystemTrayIcon::ActivationReason reason);
    // The end of the desktop session, or a signal to end: settings and entries
    // are written as by "&Quit", then the program ends, whatever the outcome.
    void endOnRequest();
    // The session manager asks for everything to be written.
    void commitSessionData();
    // Shows, raises and activates the window, wherever it was, for a second
    // start or the global key: a launch from the filter then hides it again.
    void bringForward();
    // Hides the window when it is shown and active, else brings it forward.
    void toggleWindow();

protected:
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private slots:
    void hideIfBroughtForward();

private:
    void showTrayMenu();
    void present();
    bool isShownAndActive() const;
    // Writes the settings and the entries; only another program's change to
    // the launcher file is asked about, when asking.
    LauncherDocument::SaveOutcome writeAll(bool asking, QString *error);
    // For "&Quit": true when everything was written, or the user chose to
    // end without it.
    bool saveAll();

    LauncherDocument *m_document;
    UserPrompts *m_prompts;
    QSystemTrayIcon *m_trayIcon;
    ApplicationLauncher *m_launcher;
    // None when the settings file is not one that can be read.
    QSettings *m_settings = nullptr;
    // The message that Korvani goes on in the tray is shown once.
    bool m_trayMessageShown = false;
    bool m_broughtForward = false;
};

#endif
