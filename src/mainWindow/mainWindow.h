#ifndef KORVANI_MAINWINDOW_H
#define KORVANI_MAINWINDOW_H

#include "mainWindow/launcherFileController.h"

#include <QMainWindow>
#include <QSystemTrayIcon>

class ApplicationLauncher;
class QSettings;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);

    // Whether the desktop shows tray icons, and how the tray icon shows a
    // message. Tests replace them.
    static bool (*systemTrayAvailable)();
    static void (*showTrayMessage)(QSystemTrayIcon *icon, const QString &title, const QString &text);

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
    static void showMessageOfTray(QSystemTrayIcon *icon, const QString &title, const QString &text);
    // Writes the settings and the entries; only another program's change to
    // the launcher file is asked about, when asking.
    LauncherFileController::Outcome writeAll(bool asking, QString *error);
    // For "&Quit": true when everything was written, or the user chose to
    // end without it.
    bool saveAll();

    QSystemTrayIcon *m_trayIcon;
    ApplicationLauncher *m_launcher;
    LauncherFileController *m_fileController;
    // None when the settings file is not one that can be read.
    QSettings *m_settings = nullptr;
    // The message that Korvani goes on in the tray is shown once.
    bool m_trayMessageShown = false;
    bool m_broughtForward = false;
};

#endif
