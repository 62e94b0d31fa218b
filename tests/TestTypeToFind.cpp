#include "applicationLauncher/applicationLauncher.h"
#include "applicationLauncher/launcherDelegate.h"
#include "launcherSetup.h"
#include "qtlib/itemViews.h"
#include "records/recordStream.h"
#include "testSupport.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

using Model = LauncherDataModel;

namespace {

const QStringList allNames = {"Python", "Editor", "Files", "Prompt"};

// Where the keyboard is, as a person typing would reach it.
QWidget *keyTarget(QWidget *fallback)
{
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus : fallback;
}

} // namespace

// Typing to find, and Enter, on a shown launcher; launches are seen by the
// batch files they write below the current folder.
class TestTypeToFind : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void filter_data();
    void filter();
    void keys_data();
    void keys();
    void enterLaunchesInEveryTab_data();
    void enterLaunchesInEveryTab();
    void ranking_data();
    void ranking();
    void rankingFollowsChanges();
    void marksWhileFiltered();
    void emptyLauncherTellsHowToAdd();

private:
    QStringList shown(int tab) const { return rowTexts(tabView(*m_launcher, tab)->model(), Model::NameRole); }
    QLineEdit *field() const { return m_launcher->findChild<QLineEdit *>(); }
    QLabel *hint(int tab) const { return tabView(*m_launcher, tab)->viewport()->findChild<QLabel *>(); }
    void waitForLaunches() const;
    static QStringList launched(const ModalAnswerer &errorBoxes);

    std::unique_ptr<TemporaryCurrentFolder> m_folder;
    std::unique_ptr<ApplicationLauncher> m_launcher;
    QList<QAbstractItemModelTester *> m_testers;
};

void TestTypeToFind::waitForLaunches() const
{
    // The programs are missing: each launch ends soon, after an error box.
    QTRY_VERIFY_WITH_TIMEOUT(m_launcher->findChildren<QProcess *>().isEmpty(), 10000);
}

// The programs launched, as their error boxes name them.
QStringList TestTypeToFind::launched(const ModalAnswerer &errorBoxes)
{
    QStringList programs;
    const QRegularExpression missing(QStringLiteral("/nowhere/(\\w+)"));
    for (const QString &message : errorBoxes.messages())
        programs.append(missing.match(message).captured(1));
    return programs;
}

void TestTypeToFind::initTestCase()
{
    registerRecordTypes();
}

void TestTypeToFind::init()
{
    m_folder = std::make_unique<TemporaryCurrentFolder>();
    QVERIFY(m_folder->isCurrent());
    m_launcher = std::make_unique<TestLauncher>();
    m_launcher->setLauncherData({
        ApplicationData("Python", "interactive prompt", "/nowhere/python3", {}, {}, {}, false, 1),
        ApplicationData("Editor", "text files", "/nowhere/vim", {}, {}, {}, false, 1),
        ApplicationData("Files", "home folder", "/nowhere/nautilus", {}, {}, {}, true, 3),
        ApplicationData("Prompt", "a shell", "/nowhere/bash"),
    });
    for (int tab = 0; tab < 6; ++tab)
        m_testers.append(new QAbstractItemModelTester(tabView(*m_launcher, tab)->model()));
    m_launcher->resize(300, 400);
    m_launcher->show();
    QApplication::setActiveWindow(m_launcher.get());
    QVERIFY(QTest::qWaitForWindowActive(m_launcher.get()));
}

void TestTypeToFind::cleanup()
{
    qDeleteAll(m_testers);
    m_testers.clear();
    m_launcher.reset();
    m_folder.reset();
}

void TestTypeToFind::filter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("no filter") << QString() << int(Home) << allNames;
    QTest::newRow("one word in a name") << "edit" << int(Home) << QStringList{"Editor"};
    QTest::newRow("every word matches somewhere") << "py prom" << int(Home) << QStringList{"Python"};
    QTest::newRow("a word in names and descriptions") << "prompt" << int(Home) << QStringList{"Prompt", "Python"};
    QTest::newRow("case does not matter") << "PYTHON" << int(Home) << QStringList{"Python"};
    QTest::newRow("program file name") << "vim" << int(Home) << QStringList{"Editor"};
    QTest::newRow("not the program's folder") << "nowhere" << int(Home) << QStringList();
    QTest::newRow("no match") << "py xyz" << int(Home) << QStringList();
    QTest::newRow("tab switch keeps the filter") << "fi" << int(Heart) << QStringList{"Files", "Editor"};
    QTest::newRow("favourites filtered") << "fi" << int(Favorites) << QStringList{"Files"};
}

void TestTypeToFind::filter()
{
    QFETCH(QString, typed);
    QFETCH(int, tab);
    QFETCH(QStringList, expected);

    for (const QChar c : typed)
        QTest::keyClicks(keyTarget(m_launcher.get()), QString(c));
    QCOMPARE(field()->isVisible(), !typed.isEmpty());
    QCOMPARE(field()->text(), typed);
    m_launcher->setCurrentTabIndex(tab);
    QCOMPARE(shown(tab), expected);

    QCOMPARE(hint(tab)->isVisible(), expected.isEmpty());
    if (expected.isEmpty())
        QCOMPARE(hint(tab)->text(), QStringLiteral("No entry matches the filter."));
    // The home list is reordered by dragging only while it shows every entry.
    const QAbstractItemModel *home = tabView(*m_launcher, Home)->model();
    if (home->rowCount() > 0)
        QCOMPARE(bool(home->flags(home->index(0, 0)) & Qt::ItemIsDragEnabled), typed.isEmpty());
}

void TestTypeToFind::keys_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QStringList>("expectedLaunches");
    QTest::addColumn<bool>("fieldOpen");
    QTest::addColumn<QStringList>("expectedShown");

    QTest::newRow("Escape clears and closes")
        << "py" << QList<int>{Qt::Key_Escape} << QStringList() << false << allNames;
    // A launch clears the filter.
    QTest::newRow("Enter launches the first match")
        << "prompt" << QList<int>{Qt::Key_Return} << QStringList{"bash"} << false << allNames;
    QTest::newRow("Down chooses the next match") << "prompt" << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Enter}
                                                 << QStringList{"python3"} << false << allNames;
    QTest::newRow("Down stops at the last match")
        << "prompt" << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Return}
        << QStringList{"bash"} << false << allNames;
    QTest::newRow("Down without a filter chooses a card")
        << "" << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Return} << QStringList{"vim"} << false << allNames;
    QTest::newRow("Enter without a match launches nothing")
        << "xyz" << QList<int>{Qt::Key_Return} << QStringList() << true << QStringList();
    QTest::newRow("backspacing the filter away closes the field")
        << "p" << QList<int>{Qt::Key_Backspace} << QStringList() << false << allNames;
}

void TestTypeToFind::keys()
{
    QFETCH(QString, typed);
    QFETCH(QList<int>, keys);
    QFETCH(QStringList, expectedLaunches);
    QFETCH(bool, fieldOpen);
    QFETCH(QStringList, expectedShown);

    ModalAnswerer errorBoxes;
    QTest::keyClicks(keyTarget(m_launcher.get()), typed);
    for (const int key : keys)
        QTest::keyClick(keyTarget(m_launcher.get()), Qt::Key(key));
    waitForLaunches();
    QCOMPARE(launched(errorBoxes), expectedLaunches);
    QCOMPARE(field()->isVisible(), fieldOpen);
    QCOMPARE(shown(Home), expectedShown);
    if (!fieldOpen) {
        // The keyboard went back to the launcher, and typing finds again.
        QTest::keyClicks(keyTarget(m_launcher.get()), "ed");
        QCOMPARE(shown(Home), QStringList{"Editor"});
    }
}

void TestTypeToFind::enterLaunchesInEveryTab_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("home") << int(Home) << 1 << int(Qt::Key_Return) << "vim";
    QTest::newRow("favourites") << int(Favorites) << 0 << int(Qt::Key_Return) << "nautilus";
    QTest::newRow("heart, keypad Enter") << int(Heart) << 2 << int(Qt::Key_Enter) << "nautilus";
    QTest::newRow("diamond") << int(Diamond) << 0 << int(Qt::Key_Return) << "nautilus";
    QTest::newRow("no card chosen") << int(Home) << -1 << int(Qt::Key_Return) << QString();
}

void TestTypeToFind::enterLaunchesInEveryTab()
{
    QFETCH(int, tab);
    QFETCH(int, row);
    QFETCH(int, key);
    QFETCH(QString, expected);

    ModalAnswerer errorBoxes;
    m_launcher->setCurrentTabIndex(tab);
    ListView *view = tabView(*m_launcher, tab);
    if (row >= 0)
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(row, 0)).center());
    QCOMPARE(view->currentIndex().row(), row);
    QTest::keyClick(keyTarget(m_launcher.get()), Qt::Key(key));
    waitForLaunches();
    QCOMPARE(launched(errorBoxes), expected.isEmpty() ? QStringList() : QStringList{expected});
    QVERIFY(!field()->isVisible());
}

void TestTypeToFind::ranking_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expected");

    // Names first that start with the first word, then those with a word that
    // does; each further word decides among equals; list order last.
    QTest::newRow("two words") << "py prom"
                               << QStringList{"Python / prompt", "Prompt 0495", "Spyder prompt", "Terminal"};
    QTest::newRow("start of a later word")
        << "prompt" << QStringList{"Prompt 0495", "Python / prompt", "Spyder prompt", "Terminal"};
    QTest::newRow("any case") << "TERM" << QStringList{"Terminal", "Prompt 0495"};
}

void TestTypeToFind::ranking()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, expected);

    const ApplicationDataList list = {
        ApplicationData("Terminal", "prompt python", "/nowhere/xterm"),
        ApplicationData("Python / prompt", "", "/nowhere/python3"),
        ApplicationData("Prompt 0495", "py tools, term", "/nowhere/bash"),
        ApplicationData("Spyder prompt", "", "/nowhere/spyder", {}, {}, {}, true),
    };
    m_launcher->setLauncherData(list);
    QTest::keyClicks(keyTarget(m_launcher.get()), typed);
    QCOMPARE(shown(Home), expected);
    const QStringList listOrder = {"Terminal", "Python / prompt", "Prompt 0495", "Spyder prompt"};
    QCOMPARE(rowTexts(m_launcher->launcherModel(), Model::NameRole), listOrder);
    QTest::keyClick(keyTarget(m_launcher.get()), Qt::Key_Escape);
    QCOMPARE(shown(Home), listOrder);
}

void TestTypeToFind::rankingFollowsChanges()
{
    m_launcher->setLauncherData({
        ApplicationData("Terminal", "prompt python", "/nowhere/xterm"),
        ApplicationData("Python / prompt", "", "/nowhere/python3"),
        ApplicationData("Prompt 0495", "", "/nowhere/bash"),
        ApplicationData("Spyder prompt", "", "/nowhere/spyder"),
    });
    QTest::keyClicks(keyTarget(m_launcher.get()), "prompt");
    QCOMPARE(shown(Home), (QStringList{"Prompt 0495", "Python / prompt", "Spyder prompt", "Terminal"}));

    LauncherDataModel *model = m_launcher->launcherModel();
    QVERIFY(model->setData(model->index(3), QStringLiteral("Prompts"), Model::NameRole));
    QCOMPARE(shown(Home), (QStringList{"Prompt 0495", "Prompts", "Python / prompt", "Terminal"}));
    // Every row after it moves down one.
    model->insertApplications(0, {ApplicationData("prompt first")});
    QCOMPARE(shown(Home), (QStringList{"prompt first", "Prompt 0495", "Prompts", "Python / prompt", "Terminal"}));
    QVERIFY(model->removeRows(0, 2));
    QCOMPARE(shown(Home), (QStringList{"Prompt 0495", "Prompts", "Python / prompt"}));
}

void TestTypeToFind::marksWhileFiltered()
{
    QTest::keyClicks(keyTarget(m_launcher.get()), "fi");
    m_launcher->setCurrentTabIndex(Heart);
    ListView *heart = tabView(*m_launcher, Heart);
    // Ranked first, as its name starts with the filter.
    const QRect files = heart->visualRect(heart->model()->index(0, 0));
    QTest::mouseClick(heart->viewport(), Qt::LeftButton, {}, LauncherDelegate::buttonRect(files, 0).center());

    QCOMPARE(shown(Heart), QStringList{"Editor"});
    QCOMPARE(shown(Diamond), QStringList{"Files"});
    QCOMPARE(shown(Home), (QStringList{"Files", "Editor"}));
    QCOMPARE(m_launcher->launcherModel()->index(2).data(Model::TagRole).toInt(), 2);

    QTest::keyClick(keyTarget(m_launcher.get()), Qt::Key_Escape);
    QCOMPARE(shown(Heart), (QStringList{"Python", "Editor"}));
}

void TestTypeToFind::emptyLauncherTellsHowToAdd()
{
    m_launcher->setLauncherData({});
    for (const int tab : {Home, Spade}) {
        m_launcher->setCurrentTabIndex(tab);
        QVERIFY(hint(tab)->isVisible());
        QCOMPARE(hint(tab)->text(),
                 QStringLiteral(
                     "Drop programs or .desktop files here, or choose File > Add or File > Add Installed Programs."));
        QCOMPARE(hint(tab)->geometry(), tabView(*m_launcher, tab)->viewport()->rect());
    }
    m_launcher->launcherModel()->insertRow(0);
    QVERIFY(!hint(Home)->isVisible());
}

QTEST_MAIN(TestTypeToFind)
#include "TestTypeToFind.moc"
