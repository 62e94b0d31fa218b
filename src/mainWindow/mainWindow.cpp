#include "mainWindow/mainWindow.h"

#include "applicationLauncher/applicationLauncher.h"
#include "applicationLauncher/launchService.h"
#include "document/removalHistory.h"
#include "mainWindow/trayMenu.h"
#include "platform/dataFolder.h"
#include "platform/fileAccess.h"
#include "platform/globalShortcut.h"
#include "qtlib/userPrompts.h"
#include "version.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPersistentModelIndex>
#include <QPixmap>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QUrl>

namespace {

const QString manualAddress = QStringLiteral("https://korvani.org/tools/korvani");
const QString defaultGlobalShortcut = QStringLiteral("Ctrl+Alt+Space");

} // namespace

MainWindow::MainWindow(LauncherDocument *document, const DataFolder &folder, UserPrompts *prompts, QWidget *parent)
    : QMainWindow(parent)
    , m_document(document)
    , m_prompts(prompts)
{
    // The program ends through requestQuit() only. Otherwise closing an error box
    // or a menu while the window is hidden in the tray would end it, unsaved.
    QApplication::setQuitOnLastWindowClosed(false);

    resize(290, 480);
    setWindowTitle(tr("Korvani"));
    // A window and tray icon is never drawn large: the 512-pixel image would
    // cost a fifth of the start.
    const QIcon appIcon(QStringLiteral(":/images/appicon_64.png"));
    setWindowIcon(appIcon);

    m_launcher = new ApplicationLauncher(document, folder, prompts, this);
    setCentralWidget(m_launcher);

    QMenu *fileMenu = menuBar()->addMenu(tr("&File"));
    QAction *saveAction = fileMenu->addAction(tr("Save"));
    saveAction->setShortcut(QKeySequence::Save);
    connect(saveAction, &QAction::triggered, this, &MainWindow::save);
    fileMenu->addSeparator();
    QAction *addAction = fileMenu->addAction(QIcon(QStringLiteral(":/images/plus.png")), tr("Add"));
    addAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_N), QKeySequence(Qt::Key_Insert)});
    connect(addAction, &QAction::triggered, m_launcher, &ApplicationLauncher::addRow);
    connect(fileMenu->addAction(tr("Add Installed Programs...")), &QAction::triggered, m_launcher,
            &ApplicationLauncher::addInstalledPrograms);
    QAction *removeAction = fileMenu->addAction(QIcon(QStringLiteral(":/images/x.png")), tr("Remove"));
    removeAction->setShortcut(QKeySequence(Qt::Key_Delete));
    connect(removeAction, &QAction::triggered, m_launcher, &ApplicationLauncher::removeRow);
    fileMenu->addSeparator();
    QAction *quitAction = fileMenu->addAction(tr("&Quit"));
    quitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quitAction, &QAction::triggered, this, &MainWindow::requestQuit);
    connect(m_launcher, &ApplicationLauncher::launchedFromFilter, this, &MainWindow::hideIfBroughtForward);

    QMenu *editMenu = menuBar()->addMenu(tr("&Edit"));
    QAction *undo = editMenu->addAction(tr("Undo"));
    undo->setShortcut(QKeySequence::Undo);
    undo->setEnabled(false);
    connect(undo, &QAction::triggered, document->removalHistory(), &RemovalHistory::undo);
    connect(document->removalHistory(), &RemovalHistory::canUndoChanged, undo, &QAction::setEnabled);

    QMenu *helpMenu = menuBar()->addMenu(tr("&Help"));
    connect(helpMenu->addAction(tr("Online &Manual")), &QAction::triggered, this, &MainWindow::showManual);
    helpMenu->addSeparator();
    connect(helpMenu->addAction(tr("About &Korvani")), &QAction::triggered, this, &MainWindow::about);
    connect(helpMenu->addAction(tr("About &Qt")), &QAction::triggered, qApp, &QApplication::aboutQt);

    m_trayIcon = new QSystemTrayIcon(appIcon, this);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &MainWindow::iconActivated);
    m_trayIcon->setVisible(true);

    QStringList problems;
    QString shortcut = defaultGlobalShortcut;
    const QString settingsFile = folder.settingsFile();
    if (QFileInfo::exists(settingsFile) && !Platform::isReadableSettingsFile(settingsFile)) {
        problems.append(
            tr("The settings in %1 are neither read nor written: it is not a regular file of at most 1 MiB.")
                .arg(QDir::toNativeSeparators(settingsFile)));
    } else {
        m_settings = new QSettings(settingsFile, QSettings::IniFormat, this);
        m_settings->beginGroup(QStringLiteral("MainWindow"));
        restoreGeometry(m_settings->value(QStringLiteral("mainWindowGeometry")).toByteArray());
        restoreState(m_settings->value(QStringLiteral("mainWindowState")).toByteArray(), 0);
        shortcut = m_settings->value(QStringLiteral("globalShortcut"), defaultGlobalShortcut).toString();
        m_trayMessageShown = m_settings->value(QStringLiteral("trayMessageShown")).toBool();
        m_settings->endGroup();
        m_settings->beginGroup(QStringLiteral("ApplicationLauncher"));
        m_launcher->setCurrentTabIndex(m_settings->value(QStringLiteral("currentTab")).toInt());
        m_settings->endGroup();
    }
    if (GlobalShortcut *globalShortcut = GlobalShortcut::forDesktop(this)) {
        connect(globalShortcut, &GlobalShortcut::activated, this, &MainWindow::toggleWindow);
        globalShortcut->setShortcut(QKeySequence::fromString(shortcut, QKeySequence::PortableText));
    }

    const QString fileProblem = document->load();
    if (!fileProblem.isEmpty())
        problems.append(fileProblem);
    // Told once the window shows, so that the user sees what it is about.
    if (!problems.isEmpty()) {
        QTimer::singleShot(0, this,
                           [this, problems] { m_prompts->warn(tr("Korvani"), problems.join(QStringLiteral("\n\n"))); });
    }
}

bool MainWindow::requestQuit()
{
    if (!saveAll())
        return false;
    m_trayIcon->setVisible(false);
    return close();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_trayIcon->isVisible()) {
        if (m_prompts->hasSystemTray()) {
            hide();
            event->ignore();
            if (!m_trayMessageShown) {
                m_trayMessageShown = true;
                m_prompts->showTrayMessage(
                    m_trayIcon, tr("Korvani"),
                    tr("Korvani keeps running here. Click this icon to show it again or to launch an "
                       "entry; choose Quit in its menu to end it."));
            }
            return;
        }
        // Without a tray a hidden window could never come back, and a new start
        // finds this instance running: closing must end the program.
        if (!saveAll()) {
            event->ignore();
            return;
        }
        m_trayIcon->setVisible(false);
    }
    event->accept();
    // Not quit(): Qt 6 has it close every window first, this one again, and
    // ignore it outside the event loop.
    QCoreApplication::exit(0);
}

void MainWindow::endOnRequest()
{
    // Nobody may be there to answer a box: a failure goes to the error channel.
    QString error;
    if (writeAll(false, &error) == LauncherDocument::SaveOutcome::Failed)
        qWarning("%s", qPrintable(error));
    m_trayIcon->setVisible(false);
    close();
}

void MainWindow::commitSessionData()
{
    QString error;
    if (writeAll(false, &error) == LauncherDocument::SaveOutcome::Failed)
        qWarning("%s", qPrintable(error));
}

LauncherDocument::SaveOutcome MainWindow::writeAll(bool asking, QString *error)
{
    if (m_settings) {
        m_settings->beginGroup(QStringLiteral("MainWindow"));
        m_settings->setValue(QStringLiteral("mainWindowGeometry"), saveGeometry());
        m_settings->setValue(QStringLiteral("mainWindowState"), saveState(0));
        m_settings->setValue(QStringLiteral("trayMessageShown"), m_trayMessageShown);
        m_settings->endGroup();
        m_settings->beginGroup(QStringLiteral("ApplicationLauncher"));
        m_settings->setValue(QStringLiteral("currentTab"), m_launcher->currentTabIndex());
        m_settings->endGroup();
        // The new file takes the old one's permissions.
        Platform::makePrivateFolder(QFileInfo(m_settings->fileName()).path());
        Platform::makePrivateFile(m_settings->fileName());
        m_settings->sync();
    }
    return m_document->save(asking, error);
}

bool MainWindow::saveAll()
{
    QString error;
    const LauncherDocument::SaveOutcome outcome = writeAll(true, &error);
    if (outcome != LauncherDocument::SaveOutcome::Failed)
        return outcome != LauncherDocument::SaveOutcome::Cancelled;
    // The user may end the program anyway, knowing what is lost.
    return m_prompts->askToQuitUnsaved(error);
}

void MainWindow::about()
{
    QMessageBox::about(this, tr("About Korvani"),
                       QStringLiteral("<p>Version : %1</p>").arg(QStringLiteral(KORVANI_ABOUT_VERSION))
                           + tr("<p>Korvani is built with the Qt toolkit. "
                                "More about Korvani at <a href=\"https://korvani.org\">korvani.org</a>.</p>"));
}

void MainWindow::showManual()
{
    QDesktopServices::openUrl(QUrl(manualAddress, QUrl::TolerantMode));
}

void MainWindow::save()
{
    QString error;
    if (m_document->save(true, &error) == LauncherDocument::SaveOutcome::Failed)
        m_prompts->warn(tr("Korvani"), error);
}

void MainWindow::iconActivated(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Context:
    case QSystemTrayIcon::Trigger:
        showTrayMenu();
        break;
    case QSystemTrayIcon::DoubleClick:
        show();
        break;
    default:
        break;
    }
}

void MainWindow::bringForward()
{
    present();
    m_broughtForward = true;
}

void MainWindow::present()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    // Hidden while active, the window can get the focus back without the
    // widgets learning of it, and the keys would then reach no widget.
    if (windowHandle() && QGuiApplication::focusWindow() == windowHandle() && QApplication::activeWindow() != this)
        QApplication::setActiveWindow(this);
}

bool MainWindow::isShownAndActive() const
{
    // A window hidden while active that gets the focus back is not counted
    // active again by the widgets, only by its native window.
    const bool active = isActiveWindow() || (windowHandle() && QGuiApplication::focusWindow() == windowHandle());
    return isVisible() && active;
}

void MainWindow::toggleWindow()
{
    if (isShownAndActive())
        hide();
    else
        bringForward();
}

void MainWindow::hideIfBroughtForward()
{
    // Brought forward to launch one entry, the window goes once it is launched.
    if (m_broughtForward)
        hide();
}

void MainWindow::hideEvent(QHideEvent *event)
{
    m_broughtForward = false;
    QMainWindow::hideEvent(event);
}

void MainWindow::showTrayMenu()
{
    const QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const bool shown = isShownAndActive();
    TrayMenu menu(
        m_document->model(), shown, screen ? screen->availableGeometry().height() : 480,
        [this](const QModelIndex &index) {
            m_launcher->launchService()->launch(
                index.data(LauncherDataModel::ApplicationDataRole).value<ApplicationData>());
        },
        this);
    connect(menu.windowAction(), &QAction::triggered, this, [this, shown] { shown ? hide() : present(); });
    connect(menu.quitAction(), &QAction::triggered, this, &MainWindow::requestQuit);
    m_trayIcon->setContextMenu(&menu);
    menu.exec(QCursor::pos());
    m_trayIcon->setContextMenu(nullptr);
}
