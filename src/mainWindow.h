#ifndef KORVANI_MAINWINDOW_H
#define KORVANI_MAINWINDOW_H

#include <QMainWindow>
#include <QSystemTrayIcon>

class ApplicationLauncher;
class QSettings;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);

    // Whether the desktop shows tray icons. Tests replace it.
    static bool (*systemTrayAvailable)();

public slots:
    bool close();
    void about();
    void showManual();
    void save();
    void iconActivated(QSystemTrayIcon::ActivationReason reason);
    // Shows, raises and activates the window, wherever it was.
    void bringForward();
    // Hides the window when it is shown and active, else brings it forward.
    void toggleWindow();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showTrayMenu();
    bool saveEntries();
    bool saveAll();

    QSystemTrayIcon *m_trayIcon;
    ApplicationLauncher *m_launcher;
    QSettings *m_settings;
};

#endif
