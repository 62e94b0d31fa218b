#include "applicationLauncher/applicationLauncher.h"
#include "launcherSetup.h"
#include "mainWindow/mainWindow.h"
#include "mainWindow/trayMenu.h"
#include "platform/sessionEnd.h"
#include "qtlib/itemViews.h"
#include "records/recordStream.h"
#include "testSupport.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>

using Model = LauncherDataModel;

namespace {

// Whether the desktop has a tray, and the tray messages of every window.
bool trayShown = true;
QStringList trayMessages;

// The entries a menu offers, its submenus' included.
void collectEntries(const QMenu *menu, QStringList *entries)
{
    for (QAction *action : menu->actions()) {
        if (action->menu())
            collectEntries(action->menu(), entries);
        else if (!action->isSeparator())
            entries->append(action->text());
    }
}

QStringList texts(const QList<QAction *> &actions)
{
    QStringList result;
    for (QAction *action : actions)
        result.append(action->isSeparator() ? QStringLiteral("|") : action->text());
    return result;
}

} // namespace

// Opened URLs land here instead of in a browser.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void menus();
    void saveWritesOnlyTheLauncherFile();
    void closeWritesBothAndEnds();
    void restoresStoredTab_data();
    void restoresStoredTab();
    void restoresGeometry();
    void trayMenuListsEveryEntry();
    void trayMenuLaunchesWhileHidden();
    void trayMenuShowsAndHidesTheWindow();
    void trayMenuWithManyEntries();
    void firstCloseIntoTrayTellsOnce();
    void activations_data();
    void activations();
    void titleBarCloseHidesIntoTray();
    void closeWithoutTrayEnds();
    void failedSaveWarnsAndKeepsRunning();
    void quitWithoutSavingEnds_data();
    void quitWithoutSavingEnds();
    void endRequestSaves_data();
    void endRequestSaves();
    void boxClosedWhileHiddenDoesNotEnd();
    void aboutShowsVersionFirst();
    void manualOpensProjectPage();
    void shownWithoutSettingsAtSpecifiedSize();
    void filesThatCannotBeReadAreReported_data();
    void filesThatCannotBeReadAreReported();

private:
    MainWindow *newWindow();
    ApplicationLauncher *launcher() const { return m_window->findChild<ApplicationLauncher *>(); }
    QSystemTrayIcon *trayIcon() const { return m_window->findChild<QSystemTrayIcon *>(); }

    QString m_previousDir;
    QTemporaryDir *m_dir = nullptr;
    MainWindow *m_window = nullptr;
};

void TestMainWindow::initTestCase()
{
    registerRecordTypes();
    m_previousDir = QDir::currentPath();
}

void TestMainWindow::init()
{
    // Every relative path of the program is taken against the current folder.
    m_dir = new QTemporaryDir;
    QVERIFY(QDir::setCurrent(m_dir->path()));
    trayShown = true;
    trayMessages.clear();
}

void TestMainWindow::cleanup()
{
    delete m_window;
    m_window = nullptr;
    QDir::setCurrent(m_previousDir);
    delete m_dir;
    m_dir = nullptr;
    takeQuitRequest();
}

MainWindow *TestMainWindow::newWindow()
{
    delete m_window;
    auto *window = new TestWindow;
    window->prompts.systemTray = [] { return trayShown; };
    window->prompts.trayMessage = [](const QString &title, const QString &text) {
        trayMessages.append(title + QStringLiteral(": ") + text);
    };
    m_window = window;
    return m_window;
}

void TestMainWindow::menus()
{
    newWindow();
    const QList<QAction *> menus = m_window->menuBar()->actions();
    QCOMPARE(texts(menus), (QStringList{"&File", "&Edit", "&Help"}));
    const QList<QAction *> file = menus.at(0)->menu()->actions();
    QCOMPARE(texts(file), (QStringList{"Save", "|", "Add", "Add Installed Programs...", "Remove", "|", "&Quit"}));
    const QList<QAction *> edit = menus.at(1)->menu()->actions();
    QCOMPARE(texts(edit), QStringList{"Undo"});
    QCOMPARE(edit.at(0)->shortcut(), QKeySequence(QKeySequence::Undo));
    QCOMPARE(texts(menus.at(2)->menu()->actions()),
             (QStringList{"Online &Manual", "|", "About &Korvani", "About &Qt"}));

    QVERIFY(file.at(0)->icon().isNull());
    QCOMPARE(iconImage(file.at(2)->icon(), 16), iconImage(QIcon(":/images/plus.png"), 16));
    QCOMPARE(iconImage(file.at(4)->icon(), 16), iconImage(QIcon(":/images/x.png"), 16));
    QVERIFY(file.at(6)->icon().isNull());

    QCOMPARE(m_window->size(), QSize(290, 480));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Korvani"));
    QCOMPARE(m_window->centralWidget(), launcher());
    QVERIFY(trayIcon()->isVisible());

    // Add, Remove and Undo reach the launcher.
    {
        ModalAnswerer saving([](QWidget *window) { qobject_cast<QDialog *>(window)->accept(); });
        file.at(2)->trigger();
    }
    QCOMPARE(rowTexts(launcher()->launcherModel()), QStringList{"No Name"});
    QVERIFY(!edit.at(0)->isEnabled());
    ListView *home = tabView(*launcher(), Home);
    home->selectionModel()->select(home->model()->index(0, 0), QItemSelectionModel::ClearAndSelect);
    file.at(4)->trigger();
    QCOMPARE(launcher()->launcherModel()->rowCount(), 0);
    QVERIFY(edit.at(0)->isEnabled());
    edit.at(0)->trigger();
    QCOMPARE(rowTexts(launcher()->launcherModel()), QStringList{"No Name"});
    QVERIFY(!edit.at(0)->isEnabled());

    QString opened;
    {
        ModalAnswerer closing([&opened](QWidget *window) {
            opened = window->windowTitle();
            window->close();
        });
        file.at(3)->trigger();
    }
    QCOMPARE(opened, QStringLiteral("Add Installed Programs"));
    QCOMPARE(launcher()->launcherModel()->rowCount(), 1);
}

void TestMainWindow::saveWritesOnlyTheLauncherFile()
{
    newWindow();
    launcher()->launcherModel()->insertRow(0);
    m_window->menuBar()->actions().at(0)->menu()->actions().at(0)->trigger();
    QVERIFY(readAll("data/shortchut.json").contains("\"No Name\""));
    QVERIFY(!QFile::exists("data/settings.ini"));
    QVERIFY(!takeQuitRequest());
}

void TestMainWindow::closeWritesBothAndEnds()
{
    newWindow();
    m_window->show();
    launcher()->launcherModel()->insertRow(0);
    launcher()->setCurrentTabIndex(4);
    QVERIFY(m_window->requestQuit());

    QVERIFY(readAll("data/shortchut.json").contains("\"No Name\""));
    QSettings settings("data/settings.ini", QSettings::IniFormat);
    QCOMPARE(settings.value("ApplicationLauncher/currentTab").toInt(), 4);
    QCOMPARE(fileMode("data/settings.ini"), 0600);
    QCOMPARE(fileMode("data/shortchut.json"), 0600);
    QCOMPARE(fileMode("data"), 0700);
    QVERIFY(!settings.value("MainWindow/mainWindowGeometry").toByteArray().isEmpty());
    QVERIFY(!settings.value("MainWindow/mainWindowState").toByteArray().isEmpty());
    QVERIFY(!trayIcon()->isVisible());
    QVERIFY(!m_window->isVisible());
    QVERIFY(takeQuitRequest());
}

void TestMainWindow::restoresStoredTab_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<int>("tab");

    QTest::newRow("no settings file") << QByteArray() << 0;
    QTest::newRow("spade tab") << QByteArray("[ApplicationLauncher]\ncurrentTab=4\n") << 4;
    QTest::newRow("favourites tab") << QByteArray("[ApplicationLauncher]\ncurrentTab=1\n") << 1;
    QTest::newRow("tab out of range") << QByteArray("[ApplicationLauncher]\ncurrentTab=9\n") << 0;
    QTest::newRow("random bytes") << QByteArray("\x01\xff[\x00=\n==\xfe", 10) << 0;
}

void TestMainWindow::restoresStoredTab()
{
    QFETCH(QByteArray, settings);
    QFETCH(int, tab);

    if (!settings.isEmpty())
        writeFile("data/settings.ini", settings);
    writeFile("data/shortchut.json", R"([{"name":"a","favorite":true,"tag":4}])");
    newWindow();
    QCOMPARE(launcher()->currentTabIndex(), tab);
    QCOMPARE(m_window->size(), QSize(290, 480));
    QCOMPARE(launcher()->launcherModel()->rowCount(), 1);
}

void TestMainWindow::restoresGeometry()
{
    newWindow();
    m_window->show();
    m_window->resize(350, 520);
    QVERIFY(m_window->requestQuit());
    takeQuitRequest();

    newWindow();
    QCOMPARE(m_window->size(), QSize(350, 520));
}

void TestMainWindow::trayMenuListsEveryEntry()
{
    writeFile("data/shortchut.json",
              R"([{"name":"Editor","description":"text files","tag":4},)"
              R"({"name":"Editor","favorite":true},{"description":"desc"}])");
    newWindow();
    launcher()->setCurrentTabIndex(2);
    QStringList offered;
    chooseFromNextMenu(QString(), &offered);
    m_window->iconActivated(QSystemTrayIcon::Trigger);
    QCOMPARE(offered, (QStringList{"Show Korvani", "", "Editor(text files)", "Editor", "(desc)", "", "&Quit"}));
    QVERIFY(!QFile::exists("temp"));
    QVERIFY(trayIcon()->contextMenu() == nullptr);
}

void TestMainWindow::trayMenuLaunchesWhileHidden()
{
    writeFile("data/shortchut.json",
              R"([{"name":"First","preScript":"echo First> launched.txt"},)"
              R"({"name":"Second","description":"two","preScript":"echo Second> launched.txt"}])");
    newWindow();
    QVERIFY(!m_window->isVisible());
    ModalAnswerer errorBoxes;
    QStringList offered;
    chooseFromNextMenu(QStringLiteral("Second(two)"), &offered);
    m_window->iconActivated(QSystemTrayIcon::Context);

    QVERIFY(!m_window->isVisible());
    QVERIFY(!takeQuitRequest());
    QTRY_COMPARE_WITH_TIMEOUT(readAll("launched.txt").trimmed(), QByteArray("Second"), 10000);
}

// On X11 a double click never reaches the program: the menu brings the
// window back, and hides it when it is shown and active.
void TestMainWindow::trayMenuShowsAndHidesTheWindow()
{
    newWindow();
    QStringList offered;
    chooseFromNextMenu(QStringLiteral("Show Korvani"), &offered);
    m_window->iconActivated(QSystemTrayIcon::Trigger);
    QCOMPARE(offered.first(), QStringLiteral("Show Korvani"));
    QVERIFY(m_window->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(m_window));

    offered.clear();
    chooseFromNextMenu(QStringLiteral("Hide Korvani"), &offered);
    m_window->iconActivated(QSystemTrayIcon::Context);
    QCOMPARE(offered.first(), QStringLiteral("Hide Korvani"));
    QVERIFY(!m_window->isVisible());
    QVERIFY(!takeQuitRequest());
}

// More entries than the screen has room for: favourites first, the rest in
// submenus, each menu no taller than the screen, and Quit in the top one.
void TestMainWindow::trayMenuWithManyEntries()
{
    QAbstractItemModel *model = nullptr;
    newWindow();
    ApplicationDataList list;
    QStringList names;
    for (int i = 0; i < 1000; ++i) {
        names.append(QStringLiteral("Entry %1").arg(i, 4, 10, QLatin1Char('0')));
        list.append(ApplicationData(names.last(), QString(), QString(), QString(), {}, {}, i % 100 == 7));
    }
    launcher()->setLauncherData(list);
    model = launcher()->launcherModel();
    const int screenHeight = 600;
    QStringList launched;
    TrayMenu menu(model, false, screenHeight,
                  [&launched](const QModelIndex &index) { launched.append(index.data(Model::NameRole).toString()); });

    const QList<QAction *> top = menu.actions();
    QCOMPARE(top.first()->text(), QStringLiteral("Show Korvani"));
    QCOMPARE(top.last()->text(), QStringLiteral("&Quit"));
    QCOMPARE(top.last(), menu.quitAction());
    // The favourites, every hundredth from 7 on, come first.
    QCOMPARE(top.at(2)->text(), QStringLiteral("Entry 0007"));
    QCOMPARE(top.at(3)->text(), QStringLiteral("Entry 0107"));

    QStringList entries;
    collectEntries(&menu, &entries);
    entries.removeOne(QStringLiteral("Show Korvani"));
    entries.removeOne(QStringLiteral("&Quit"));
    std::sort(entries.begin(), entries.end());
    QCOMPARE(entries, names);

    QList<QMenu *> menus = menu.findChildren<QMenu *>();
    menus.append(&menu);
    QVERIFY(menus.size() > 1);
    for (QMenu *each : qAsConst(menus))
        QVERIFY2(each->sizeHint().height() <= screenHeight, qPrintable(each->title()));

    // A grouped entry launches its own row.
    QMenu *group = top.at(top.size() - 3)->menu();
    QVERIFY(group);
    while (group->actions().first()->menu())
        group = group->actions().first()->menu();
    group->actions().first()->trigger();
    QCOMPARE(launched, QStringList{group->actions().first()->text()});
}

void TestMainWindow::firstCloseIntoTrayTellsOnce()
{
    newWindow();
    m_window->show();
    QVERIFY(!m_window->close());
    QCOMPARE(trayMessages.size(), 1);
    QVERIFY(trayMessages.first().contains(QStringLiteral("Quit")));
    m_window->show();
    QVERIFY(!m_window->close());
    QCOMPARE(trayMessages.size(), 1);

    // Nor at the next start.
    QVERIFY(m_window->requestQuit());
    takeQuitRequest();
    newWindow();
    m_window->show();
    QVERIFY(!m_window->close());
    QCOMPARE(trayMessages.size(), 1);
}

void TestMainWindow::activations_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("menu");
    QTest::addColumn<bool>("shown");

    QTest::newRow("trigger") << int(QSystemTrayIcon::Trigger) << true << false;
    QTest::newRow("context") << int(QSystemTrayIcon::Context) << true << false;
    QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << false << true;
    QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << false << false;
    QTest::newRow("unknown") << int(QSystemTrayIcon::Unknown) << false << false;
}

void TestMainWindow::activations()
{
    QFETCH(int, reason);
    QFETCH(bool, menu);
    QFETCH(bool, shown);

    newWindow();
    ModalAnswerer answerer;
    m_window->iconActivated(QSystemTrayIcon::ActivationReason(reason));
    QCOMPARE(answerer.answered(), menu ? 1 : 0);
    QCOMPARE(m_window->isVisible(), shown);
}

void TestMainWindow::titleBarCloseHidesIntoTray()
{
    newWindow();
    m_window->show();
    launcher()->launcherModel()->insertRow(0);
    QVERIFY(!m_window->close());
    QVERIFY(!m_window->isVisible());
    QVERIFY(trayIcon()->isVisible());
    QVERIFY(!QFile::exists("data/shortchut.json"));
    QVERIFY(!QFile::exists("data/settings.ini"));
    QVERIFY(!takeQuitRequest());

    m_window->iconActivated(QSystemTrayIcon::DoubleClick);
    QVERIFY(m_window->isVisible());
}

void TestMainWindow::closeWithoutTrayEnds()
{
    trayShown = false;
    newWindow();
    m_window->show();
    launcher()->launcherModel()->insertRow(0);
    launcher()->setCurrentTabIndex(3);
    QVERIFY(m_window->close());
    QVERIFY(!m_window->isVisible());
    QVERIFY(readAll("data/shortchut.json").contains("\"No Name\""));
    QCOMPARE(QSettings("data/settings.ini", QSettings::IniFormat).value("ApplicationLauncher/currentTab").toInt(), 3);
    QVERIFY(!trayIcon()->isVisible());
    QVERIFY(takeQuitRequest());
}

void TestMainWindow::failedSaveWarnsAndKeepsRunning()
{
    newWindow();
    m_window->show();
    launcher()->launcherModel()->insertRow(0);
    // A plain file where the data folder belongs makes every save fail.
    writeFile("data", "not a folder");

    ModalAnswerer answerer;
    m_window->save();
    QCOMPARE(answerer.messages().size(), 1);
    // The box names the file and the system's reason.
    QVERIFY(answerer.messages().first().contains(
        QDir::toNativeSeparators(QDir::current().absoluteFilePath("data/shortchut.json"))));
    QVERIFY2(answerer.messages().first().contains(QStringLiteral("Not a directory")),
             qPrintable(answerer.messages().first()));

    // Quit offers to end without saving; closing its box cancels.
    QVERIFY(!m_window->requestQuit());
    QCOMPARE(answerer.messages().size(), 2);
    QVERIFY(m_window->isVisible());
    QVERIFY(trayIcon()->isVisible());
    QVERIFY(!takeQuitRequest());

    trayShown = false;
    QVERIFY(!m_window->close());
    QCOMPARE(answerer.messages().size(), 3);
    QVERIFY(m_window->isVisible());
    QVERIFY(!takeQuitRequest());
}

void TestMainWindow::quitWithoutSavingEnds_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("ends");
    QTest::newRow("quit without saving") << "Quit without saving" << true;
    QTest::newRow("cancel") << "Cancel" << false;
}

void TestMainWindow::quitWithoutSavingEnds()
{
    QFETCH(QString, answer);
    QFETCH(bool, ends);
    newWindow();
    m_window->show();
    launcher()->launcherModel()->insertRow(0);
    writeFile("data", "not a folder");
    QStringList offered;
    ModalAnswerer answerer([&](QWidget *window) {
        for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
            offered.append(button->text());
            if (button->text() == answer)
                button->click();
        }
    });
    QCOMPARE(m_window->requestQuit(), ends);
    QCOMPARE(offered, (QStringList{"Quit without saving", "Cancel"}));
    QCOMPARE(m_window->isVisible(), !ends);
    QCOMPARE(takeQuitRequest(), ends);
}

void TestMainWindow::endRequestSaves_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("terminate") << int(SIGTERM);
    QTest::newRow("hang up") << int(SIGHUP);
}

// A signal to end, as at a logout, saves an entry the user never saved.
void TestMainWindow::endRequestSaves()
{
    QFETCH(int, signal);
    newWindow();
    Platform::onEndRequest(m_window, [this] { m_window->endOnRequest(); });
    m_window->hide();
    launcher()->launcherModel()->insertRow(0);
    QCOMPARE(::raise(signal), 0);
    QTRY_VERIFY(readAll("data/shortchut.json").contains("\"No Name\""));
    QVERIFY(QFile::exists("data/settings.ini"));
    QVERIFY(!trayIcon()->isVisible());
    QVERIFY(takeQuitRequest());
}

void TestMainWindow::boxClosedWhileHiddenDoesNotEnd()
{
    newWindow();
    QVERIFY(!m_window->isVisible());
    ModalAnswerer answerer;
    QMessageBox::critical(launcher(), QStringLiteral("Error"), QStringLiteral("output"), QMessageBox::Ok);
    QCOMPARE(answerer.answered(), 1);
    QVERIFY(!takeQuitRequest());
}

void TestMainWindow::aboutShowsVersionFirst()
{
    newWindow();
    ModalAnswerer answerer;
    m_window->about();
    QCOMPARE(answerer.messages().size(), 1);
    QVERIFY(answerer.messages().first().startsWith(QStringLiteral("About Korvani: <p>Version : 1.20</p>")));
}

void TestMainWindow::manualOpensProjectPage()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    newWindow();
    m_window->showManual();
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QCOMPARE(catcher.urls.size(), 1);
    QCOMPARE(catcher.urls.first().scheme(), QStringLiteral("https"));
    QCOMPARE(catcher.urls.first().path(), QStringLiteral("/tools/korvani"));
}

// Six tabs fit into the window's width.
void TestMainWindow::shownWithoutSettingsAtSpecifiedSize()
{
    const ProgramStyleSheet styleSheet;
    newWindow();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    const QSize size = m_window->size();
    QCOMPARE(size, QSize(290, 480));
}

void TestMainWindow::filesThatCannotBeReadAreReported_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("told");
    QTest::addColumn<bool>("savedOver");

    QTest::newRow("launcher file not JSON")
        << "data/shortchut.json"
        << "garbage" << QDir::toNativeSeparators("/data/shortchut.json.unreadable") << true;
    QTest::newRow("launcher file read with losses")
        << "data/shortchut.json"
        << "losses" << QDir::toNativeSeparators("/data/shortchut.json.original") << true;
    QTest::newRow("launcher file a FIFO") << "data/shortchut.json"
                                          << "fifo"
                                          << "not a regular file" << false;
    QTest::newRow("settings a FIFO") << "data/settings.ini"
                                     << "fifo"
                                     << "settings" << true;
}

// What cannot be read is told when the window shows; a launcher file that
// could not even be copied is not saved over until it is dealt with.
void TestMainWindow::filesThatCannotBeReadAreReported()
{
    QFETCH(QString, file);
    QFETCH(QString, kind);
    QFETCH(QString, told);
    QFETCH(bool, savedOver);
    if (kind == "fifo") {
        QDir().mkpath("data");
        QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    } else {
        writeFile(file, kind == "losses" ? R"([{"name":"a","tag":"x"}])" : "garbage");
    }

    ModalAnswerer answerer;
    newWindow();
    m_window->show();
    QTRY_COMPARE(answerer.messages().size(), 1);
    QVERIFY2(answerer.messages().first().contains(told), qPrintable(answerer.messages().first()));

    launcher()->launcherModel()->insertRow(0);
    m_window->save();
    QCOMPARE(answerer.messages().size(), savedOver ? 1 : 2);
    // Reading a FIFO would wait for a writer.
    QCOMPARE(QFileInfo("data/shortchut.json").isFile(), savedOver);
    if (savedOver) {
        QVERIFY(readAll("data/shortchut.json").contains("\"No Name\""));
    } else {
        // Moved away, the file no longer stands in the way.
        QVERIFY(QFile::rename(file, file + ".moved"));
        m_window->save();
        QCOMPARE(answerer.messages().size(), 2);
        QVERIFY(readAll("data/shortchut.json").contains("\"No Name\""));
    }
    QVERIFY(m_window->requestQuit());
    QVERIFY(takeQuitRequest());
}

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
