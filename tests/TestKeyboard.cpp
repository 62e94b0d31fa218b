#include "applicationEditor/applicationEditor.h"
#include "applicationLauncher/applicationLauncher.h"
#include "launcherSetup.h"
#include "mainWindow/mainWindow.h"
#include "qtlib/itemViews.h"
#include "records/recordStream.h"
#include "testSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

#include <memory>

using Model = LauncherDataModel;

namespace {

QWidget *keyTarget(QWidget *fallback)
{
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus : fallback;
}

// Presses keys written as Qt writes them ("Ctrl+Down") where the keyboard is.
void press(QWidget *window, const QStringList &keys)
{
    for (const QString &key : keys) {
        // Where a dialog that a key opened has closed, the window manager
        // makes the window active again; the offscreen platform does not.
        if (!QApplication::activeWindow())
            QApplication::setActiveWindow(window);
        QTest::keySequence(keyTarget(window), QKeySequence::fromString(key));
    }
}

// Saves an edited name in the editor, and picks "Edit" from a context menu.
void editAs(QWidget *window)
{
    if (auto *menu = qobject_cast<QMenu *>(window)) {
        for (QAction *action : menu->actions()) {
            if (action->text() == QStringLiteral("Edit")) {
                menu->close();
                // Outside the answerer's own call, which answers the editor.
                QTimer::singleShot(0, action, &QAction::trigger);
                return;
            }
        }
    }
    if (auto *editor = qobject_cast<ApplicationEditor *>(window)) {
        editor->findChildren<QLineEdit *>().first()->setText(QStringLiteral("Edited"));
        editor->accept();
        return;
    }
    window->close();
}

} // namespace

// The keys of the main window, pressed on the shown window as a person would.
class TestKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void shortcuts_data();
    void shortcuts();
    void menusShowTheirKeys();
    void launchFromFilterHidesABroughtForwardWindow_data();
    void launchFromFilterHidesABroughtForwardWindow();

private:
    ApplicationLauncher *launcher() const { return m_window->findChild<ApplicationLauncher *>(); }
    // The tab, the current card and the whole list (star, then marks).
    QString state() const;

    std::unique_ptr<TemporaryCurrentFolder> m_folder;
    std::unique_ptr<MainWindow> m_window;
};

QString TestKeyboard::state() const
{
    const ListView *view = launcher()->currentView();
    QStringList list;
    const Model *model = launcher()->launcherModel();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row);
        const int tag = index.data(Model::TagRole).toInt();
        list.append(index.data(Model::NameRole).toString() + (index.data(Model::FavoriteRole).toBool() ? "*" : "")
                    + (tag ? QString::number(tag) : QString()));
    }
    const QString current = view->currentIndex().data(Model::NameRole).toString();
    return QStringLiteral("tab %1, %2: %3%4")
        .arg(launcher()->currentTabIndex())
        .arg(current.isEmpty() ? QStringLiteral("none") : current, list.join(QStringLiteral(", ")),
             QFile::exists(QStringLiteral("data/shortchut.json")) ? QStringLiteral(", saved") : QString());
}

void TestKeyboard::initTestCase()
{
    registerRecordTypes();
}

void TestKeyboard::init()
{
    m_folder = std::make_unique<TemporaryCurrentFolder>();
    QVERIFY(m_folder->isCurrent());
    writeFile("data/shortchut.json",
              R"([{"name":"A","path":"/nowhere/a","favorite":true},{"name":"B","path":"/nowhere/b","tag":1},)"
              R"({"name":"C","path":"/nowhere/c"}])");
    m_window = std::make_unique<TestWindow>();
    // Saving shows again.
    QVERIFY(QFile::remove("data/shortchut.json"));
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestKeyboard::cleanup()
{
    m_window.reset();
    m_folder.reset();
    takeQuitRequest();
}

void TestKeyboard::shortcuts_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("expected");

    QTest::newRow("nothing pressed") << QStringList() << "tab 0, none: A*, B1, C";
    QTest::newRow("Down from the start") << QStringList{"Down"} << "tab 0, A: A*, B1, C";
    QTest::newRow("Down, Down, Up") << QStringList{"Down", "Down", "Up"} << "tab 0, A: A*, B1, C";
    QTest::newRow("Up from the start") << QStringList{"Up"} << "tab 0, C: A*, B1, C";
    QTest::newRow("End, Home") << QStringList{"End", "Home"} << "tab 0, A: A*, B1, C";
    QTest::newRow("Page Down") << QStringList{"Down", "PgDown"} << "tab 0, C: A*, B1, C";
    QTest::newRow("End, Page Up") << QStringList{"End", "PgUp"} << "tab 0, A: A*, B1, C";
    QTest::newRow("heart") << QStringList{"Down", "Ctrl+1"} << "tab 0, A: A*1, B1, C";
    QTest::newRow("club twice") << QStringList{"Down", "Ctrl+4", "Ctrl+4"} << "tab 0, A: A*, B1, C";
    QTest::newRow("star") << QStringList{"Down", "Ctrl+D"} << "tab 0, A: A, B1, C";
    QTest::newRow("move down") << QStringList{"Down", "Down", "Ctrl+Down"} << "tab 0, B: A*, C, B1";
    QTest::newRow("move up") << QStringList{"Down", "Down", "Ctrl+Up"} << "tab 0, B: B1, A*, C";
    QTest::newRow("move up at the top") << QStringList{"Down", "Ctrl+Up"} << "tab 0, A: A*, B1, C";
    QTest::newRow("next tab") << QStringList{"Ctrl+Tab"} << "tab 1, none: A*, B1, C";
    QTest::newRow("previous tab wraps") << QStringList{"Ctrl+Shift+Tab"} << "tab 5, none: A*, B1, C";
    QTest::newRow("page keys switch tabs")
        << QStringList{"Ctrl+PgDown", "Ctrl+PgDown", "Ctrl+PgUp"} << "tab 1, none: A*, B1, C";
    QTest::newRow("heart in the heart tab")
        << QStringList{"Ctrl+Tab", "Ctrl+Tab", "Down", "Ctrl+1"} << "tab 2, none: A*, B, C";
    QTest::newRow("no move outside the first tab")
        << QStringList{"Ctrl+Tab", "Ctrl+Tab", "Down", "Ctrl+Down"} << "tab 2, B: A*, B1, C";
    QTest::newRow("Delete") << QStringList{"Down", "Down", "Delete"} << "tab 0, C: A*, C";
    QTest::newRow("Delete, Ctrl+Z") << QStringList{"Down", "Down", "Delete", "Ctrl+Z"} << "tab 0, C: A*, B1, C";
    QTest::newRow("Insert") << QStringList{"Insert"} << "tab 0, Edited: A*, B1, C, Edited";
    QTest::newRow("Insert, Ctrl+S") << QStringList{"Insert", "Ctrl+S"} << "tab 0, Edited: A*, B1, C, Edited, saved";
    QTest::newRow("Ctrl+N in the heart tab")
        << QStringList{"Ctrl+Tab", "Ctrl+Tab", "Ctrl+N"} << "tab 2, Edited: A*, B1, C, Edited1";
    QTest::newRow("F2 edits") << QStringList{"Down", "F2"} << "tab 0, Edited: Edited*, B1, C";
    QTest::newRow("the Menu key's Edit") << QStringList{"Down", "Down", "Menu"} << "tab 0, Edited: A*, Edited1, C";
    QTest::newRow("Ctrl+S") << QStringList{"Down", "Ctrl+D", "Ctrl+S"} << "tab 0, A: A, B1, C, saved";
    QTest::newRow("filter field keeps the card keys")
        << QStringList{"B", "Down", "Ctrl+D", "Escape"} << "tab 0, B: A*, B*1, C";
}

void TestKeyboard::shortcuts()
{
    QFETCH(QStringList, keys);
    QFETCH(QString, expected);

    ModalAnswerer answerer(editAs);
    press(m_window.get(), keys);
    // The context menu's Edit opens the editor once the menu has closed.
    QTRY_COMPARE(state(), expected);
    QVERIFY(!takeQuitRequest());
}

void TestKeyboard::menusShowTheirKeys()
{
    QStringList shown;
    for (QAction *menu : m_window->menuBar()->actions()) {
        for (QAction *action : menu->menu()->actions()) {
            if (!action->shortcut().isEmpty())
                shown.append(action->text() + QLatin1Char(' ') + action->shortcut().toString());
        }
    }
    QCOMPARE(shown, (QStringList{"Save Ctrl+S", "Add Ctrl+N", "Remove Del", "&Quit Ctrl+Q", "Undo Ctrl+Z"}));

    // Nothing was edited, nor a new entry kept, so quitting writes no
    // launcher file.
    {
        const ModalAnswerer closing;
        press(m_window.get(), {"Insert"});
    }
    QCOMPARE(state(), QStringLiteral("tab 0, none: A*, B1, C"));
    press(m_window.get(), {"Ctrl+Q"});
    QVERIFY(takeQuitRequest());
    QVERIFY(!QFile::exists("data/shortchut.json"));
}

void TestKeyboard::launchFromFilterHidesABroughtForwardWindow_data()
{
    QTest::addColumn<bool>("broughtForward");
    QTest::newRow("brought forward") << true;
    QTest::newRow("shown as usual") << false;
}

// A launcher brought forward by the global key or a second start goes away
// again once Enter has launched a card found by typing.
void TestKeyboard::launchFromFilterHidesABroughtForwardWindow()
{
    QFETCH(bool, broughtForward);
    if (broughtForward) {
        m_window->hide();
        m_window->bringForward();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    ModalAnswerer errorBoxes;
    press(m_window.get(), {"B", "Return"});
    QTRY_VERIFY_WITH_TIMEOUT(launcher()->findChildren<QProcess *>().isEmpty(), 10000);
    // B's program is missing: its box tells what was launched.
    QCOMPARE(errorBoxes.messages().size(), 1);
    QVERIFY2(errorBoxes.messages().first().contains(QStringLiteral("/nowhere/b")),
             qPrintable(errorBoxes.messages().first()));
    QCOMPARE(m_window->isVisible(), !broughtForward);
    QVERIFY(!launcher()->findChild<QLineEdit *>()->isVisible());
    QCOMPARE(rowTexts(launcher()->currentView()->model(), Model::NameRole), (QStringList{"A", "B", "C"}));
}

QTEST_MAIN(TestKeyboard)
#include "TestKeyboard.moc"
