#include "applicationLauncher/applicationLauncher.h"
#include "document/removalHistory.h"
#include "launcherSetup.h"
#include "qtlib/itemViews.h"
#include "records/recordStream.h"
#include "testSupport.h"

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using Model = LauncherDataModel;

namespace {

QTabWidget *tabs(ApplicationLauncher &launcher)
{
    return launcher.findChild<QTabWidget *>();
}

QStringList shown(ApplicationLauncher &launcher, int tab)
{
    return rowTexts(tabView(launcher, tab)->model(), Model::NameRole);
}

} // namespace

class TestApplicationLauncher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void tabs();
    void viewsTakeNoFocus();
    void tagTabs_data();
    void tagTabs();
    void filteredTabsKeepListOrder();
    void unknownTagIsSavedBack();
    void favoritesFollowTheFlag();
    void addOpensEditor_data();
    void addOpensEditor();
    void removeTakesTheSelectionAndUndoPutsItBack_data();
    void removeTakesTheSelectionAndUndoPutsItBack();
    void removeInDiamondTab();
    void firstRunMarksShowAtOnce();
    void tabChosenBeforeReading();
    void tabOutOfRange();
    void readLauncherData_data();
    void readLauncherData();
    void saveThenRead();
    void saveFailureIsReported();
    void contextMenuAdds();
    void contextMenuRemovesSelection();

private:
    QString writeFile(const QByteArray &content);

    QTemporaryDir m_dir;
    ApplicationLauncher *m_launcher = nullptr;
    QList<QAbstractItemModelTester *> m_testers;
};

QString TestApplicationLauncher::writeFile(const QByteArray &content)
{
    const QString fileName = m_dir.filePath(QStringLiteral("shortchut.json"));
    QFile file(fileName);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
    return fileName;
}

void TestApplicationLauncher::initTestCase()
{
    registerRecordTypes();
    QVERIFY(m_dir.isValid());
}

void TestApplicationLauncher::init()
{
    m_launcher = new TestLauncher;
    // Every model and proxy of the widget is checked for consistent signals.
    for (int tab = 0; tab < 6; ++tab)
        m_testers.append(new QAbstractItemModelTester(tabView(*m_launcher, tab)->model()));
}

void TestApplicationLauncher::cleanup()
{
    qDeleteAll(m_testers);
    m_testers.clear();
    delete m_launcher;
    m_launcher = nullptr;
}

void TestApplicationLauncher::tabs()
{
    QTabWidget *tabWidget = ::tabs(*m_launcher);
    QCOMPARE(tabWidget->count(), 6);
    const QStringList icons = {"home", "star_off", "heart_off", "diamond_off", "spade_off", "kroeber_off"};
    for (int tab = 0; tab < 6; ++tab) {
        QVERIFY(tabWidget->tabText(tab).isEmpty());
        QCOMPARE(iconImage(tabWidget->tabIcon(tab), 20), iconImage(QIcon(":/images/" + icons.at(tab) + ".png"), 20));
    }
    QCOMPARE(tabWidget->iconSize(), QSize(20, 20));
    // The home list shows the model through its type-to-find stage.
    const auto *home = qobject_cast<QSortFilterProxyModel *>(tabView(*m_launcher, Home)->model());
    QVERIFY(home);
    QCOMPARE(home->sourceModel(), m_launcher->launcherModel());
}

void TestApplicationLauncher::viewsTakeNoFocus()
{
    for (int tab = 0; tab < 6; ++tab) {
        QCOMPARE(tabView(*m_launcher, tab)->focusPolicy(), Qt::NoFocus);
        QCOMPARE(tabView(*m_launcher, tab)->contextMenuPolicy(), Qt::CustomContextMenu);
    }
}

void TestApplicationLauncher::tagTabs_data()
{
    QTest::addColumn<int>("tag");
    QTest::addColumn<QList<int>>("tagTabs");

    QTest::newRow("none") << 0 << QList<int>();
    QTest::newRow("heart") << 1 << QList<int>{Heart};
    QTest::newRow("heart and diamond") << 3 << QList<int>{Heart, Diamond};
    QTest::newRow("heart and spade") << 5 << QList<int>{Heart, Spade};
    QTest::newRow("spade and kroeber") << 12 << QList<int>{Spade, Kroeber};
    QTest::newRow("every mark") << 15 << QList<int>{Heart, Diamond, Spade, Kroeber};
    QTest::newRow("unknown bit") << 16 << QList<int>();
    QTest::newRow("unknown bit and diamond") << 18 << QList<int>{Diamond};
    QTest::newRow("negative") << -1 << QList<int>{Heart, Diamond, Spade, Kroeber};
}

void TestApplicationLauncher::tagTabs()
{
    QFETCH(int, tag);
    QFETCH(QList<int>, tagTabs);

    m_launcher->setLauncherData({entry(QStringLiteral("other")), entry(QStringLiteral("e"), tag)});
    QCOMPARE(shown(*m_launcher, Home), (QStringList{"other", "e"}));
    QVERIFY(shown(*m_launcher, Favorites).isEmpty());
    for (int tab = Heart; tab <= Kroeber; ++tab)
        QCOMPARE(shown(*m_launcher, tab), tagTabs.contains(tab) ? QStringList{"e"} : QStringList());
}

void TestApplicationLauncher::filteredTabsKeepListOrder()
{
    m_launcher->setLauncherData({entry("a", 1, true), entry("b", 3), entry("c", 1, true), entry("d", 2, true)});
    QCOMPARE(shown(*m_launcher, Favorites), (QStringList{"a", "c", "d"}));
    QCOMPARE(shown(*m_launcher, Heart), (QStringList{"a", "b", "c"}));
    QCOMPARE(shown(*m_launcher, Diamond), (QStringList{"b", "d"}));
}

void TestApplicationLauncher::unknownTagIsSavedBack()
{
    m_launcher->setLauncherData({entry("a", 16)});
    const QString fileName = m_dir.filePath(QStringLiteral("tag16.json"));
    QVERIFY(m_launcher->saveLauncherData(fileName));
    TestLauncher again;
    again.readLauncherData(fileName);
    QCOMPARE(again.launcherModel()->index(0).data(Model::TagRole).toInt(), 16);
}

void TestApplicationLauncher::favoritesFollowTheFlag()
{
    m_launcher->setLauncherData({entry("a", 0, true), entry("b"), entry("c", 0, true)});
    Model *model = m_launcher->launcherModel();
    QVERIFY(model->setData(model->index(1), true, Model::FavoriteRole));
    QCOMPARE(shown(*m_launcher, Favorites), (QStringList{"a", "b", "c"}));

    QAbstractItemModel *favorites = tabView(*m_launcher, Favorites)->model();
    QVERIFY(favorites->setData(favorites->index(0, 0), false, Model::FavoriteRole));
    QCOMPARE(shown(*m_launcher, Favorites), (QStringList{"b", "c"}));
    QCOMPARE(shown(*m_launcher, Home), (QStringList{"a", "b", "c"}));
}

void TestApplicationLauncher::addOpensEditor_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QStringList>("home");
    QTest::addColumn<int>("tag");
    QTest::addColumn<bool>("favorite");

    const QStringList kept{"a", "Tool"};
    QTest::newRow("home, saved") << int(Home) << "typed, Save" << kept << 0 << false;
    QTest::newRow("favourites, saved") << int(Favorites) << "typed, Save" << kept << 0 << true;
    QTest::newRow("heart, saved") << int(Heart) << "typed, Save" << kept << 1 << false;
    QTest::newRow("spade, saved") << int(Spade) << "typed, Save" << kept << 4 << false;
    QTest::newRow("spade, saved unchanged") << int(Spade) << "Save" << QStringList{"a", "No Name"} << 4 << false;
    QTest::newRow("home, closed unchanged") << int(Home) << "Close" << QStringList{"a"} << 0 << false;
    QTest::newRow("kroeber, Escape unchanged") << int(Kroeber) << "Escape" << QStringList{"a"} << 0 << false;
    QTest::newRow("favourites, discarded")
        << int(Favorites) << "typed, Close, Discard" << QStringList{"a"} << 0 << false;
    QTest::newRow("diamond, saved from the box") << int(Diamond) << "typed, Close, Save" << kept << 2 << false;
}

// Add opens the editor on a new entry that the current tab shows; it stays
// only when the user saves it.
void TestApplicationLauncher::addOpensEditor()
{
    QFETCH(int, tab);
    QFETCH(QString, ending);
    QFETCH(QStringList, home);
    QFETCH(int, tag);
    QFETCH(bool, favorite);

    m_launcher->setLauncherData({entry("a", 4)});
    m_launcher->setCurrentTabIndex(tab);
    m_launcher->show();
    QStringList shownWhileEditing;
    QWidget *editorParent = nullptr;
    ModalAnswerer answerer([&](QWidget *window) {
        auto *box = qobject_cast<QMessageBox *>(window);
        if (box) {
            for (QAbstractButton *button : box->buttons()) {
                if (ending.endsWith(button->text()))
                    button->click();
            }
            return;
        }
        editorParent = window->parentWidget();
        shownWhileEditing = shown(*m_launcher, tab);
        QLineEdit *name = window->findChild<QLineEdit *>();
        if (ending.startsWith(QLatin1String("typed"))) {
            name->selectAll();
            QTest::keyClicks(name, QStringLiteral("Tool"));
        }
        if (ending.endsWith(QLatin1String("Escape"))) {
            QTest::keyClick(name, Qt::Key_Escape);
            return;
        }
        const QString button = ending.contains(QLatin1String("Close")) ? "Close" : "Save";
        for (QPushButton *push : window->findChildren<QPushButton *>()) {
            if (push->text() == button)
                QTest::mouseClick(push, Qt::LeftButton);
        }
    });
    m_launcher->addRow();
    QCOMPARE(editorParent, m_launcher);
    // The tab shows the new entry at once, behind the editor.
    QCOMPARE(shownWhileEditing.size(), shown(*m_launcher, tab).size() + (home.size() == 1 ? 1 : 0));
    QCOMPARE(shown(*m_launcher, Home), home);
    if (home.size() > 1) {
        const QModelIndex added = m_launcher->launcherModel()->index(1);
        QCOMPARE(added.data(Model::TagRole).toInt(), tag);
        QCOMPARE(added.data(Model::FavoriteRole).toBool(), favorite);
        QVERIFY(shown(*m_launcher, tab).contains(home.last()));
    }
}

void TestApplicationLauncher::removeTakesTheSelectionAndUndoPutsItBack_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QList<int>>("chosen"); // a row of the tab per removal
    QTest::addColumn<QList<QStringList>>("left");

    QTest::newRow("last of three") << int(Home) << QList<int>{2} << QList<QStringList>{{"a", "b", "c"}, {"a", "b"}};
    QTest::newRow("first of three") << int(Home) << QList<int>{0} << QList<QStringList>{{"a", "b", "c"}, {"b", "c"}};
    QTest::newRow("middle, then the last")
        << int(Home) << QList<int>{1, 1} << QList<QStringList>{{"a", "b", "c"}, {"a", "c"}, {"a"}};
    QTest::newRow("one by one") << int(Home) << QList<int>{2, 0, 0}
                                << QList<QStringList>{{"a", "b", "c"}, {"a", "b"}, {"b"}, {}};
    QTest::newRow("last card of the diamond tab")
        << int(Diamond) << QList<int>{1} << QList<QStringList>{{"a", "b", "c"}, {"a", "b"}};
}

// Remove takes exactly the chosen card, whichever it is; Undo puts the removed
// entries back where they were, step by step.
void TestApplicationLauncher::removeTakesTheSelectionAndUndoPutsItBack()
{
    QFETCH(int, tab);
    QFETCH(QList<int>, chosen);
    QFETCH(QList<QStringList>, left);

    m_launcher->setLauncherData({entry("a", 2), entry("b"), entry("c", 2)});
    m_launcher->setCurrentTabIndex(tab);
    m_launcher->resize(300, 400);
    m_launcher->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_launcher));
    RemovalHistory *history = m_launcher->removalHistory();
    QSignalSpy undoable(history, &RemovalHistory::canUndoChanged);
    ListView *view = tabView(*m_launcher, tab);
    for (int step = 0; step < chosen.size(); ++step) {
        const QRect card = view->visualRect(view->model()->index(chosen.at(step), 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, card.center());
        m_launcher->removeRow();
        QCOMPARE(shown(*m_launcher, Home), left.at(step + 1));
    }
    QCOMPARE(undoable.count(), 1);
    QVERIFY(history->canUndo());
    for (int step = chosen.size() - 1; step >= 0; --step) {
        history->undo();
        QCOMPARE(shown(*m_launcher, Home), left.at(step));
    }
    QVERIFY(!history->canUndo());
    QCOMPARE(undoable.count(), 2);
    history->undo();
    QCOMPARE(shown(*m_launcher, Home), left.first());
    QCOMPARE(shown(*m_launcher, Diamond), (QStringList{"a", "c"}));

    // A list read anew has nothing to undo.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(0, 0)).center());
    m_launcher->removeRow();
    QVERIFY(history->canUndo());
    m_launcher->setLauncherData({entry("d")});
    QVERIFY(!history->canUndo());
}

void TestApplicationLauncher::removeInDiamondTab()
{
    m_launcher->setLauncherData({entry("a", 2, true), entry("b", 3, true), entry("c", 2)});
    m_launcher->setCurrentTabIndex(Diamond);
    ListView *diamond = tabView(*m_launcher, Diamond);
    diamond->selectionModel()->select(diamond->model()->index(1, 0), QItemSelectionModel::ClearAndSelect);
    m_launcher->removeRow();

    QCOMPARE(shown(*m_launcher, Home), (QStringList{"a", "c"}));
    QCOMPARE(shown(*m_launcher, Favorites), QStringList{"a"});
    QCOMPARE(shown(*m_launcher, Heart), QStringList());
    QCOMPARE(shown(*m_launcher, Diamond), (QStringList{"a", "c"}));

    // With nothing selected, Remove does nothing.
    diamond->selectionModel()->clear();
    m_launcher->removeRow();
    QCOMPARE(shown(*m_launcher, Home), (QStringList{"a", "c"}));
}

void TestApplicationLauncher::firstRunMarksShowAtOnce()
{
    m_launcher->readLauncherData(m_dir.filePath(QStringLiteral("never-written.json")));
    m_launcher->launcherModel()->insertRow(0);
    Model *model = m_launcher->launcherModel();
    QVERIFY(model->setData(model->index(0), 4, Model::TagRole));
    QVERIFY(model->setData(model->index(0), true, Model::FavoriteRole));
    QCOMPARE(shown(*m_launcher, Spade), QStringList{"No Name"});
    QCOMPARE(shown(*m_launcher, Favorites), QStringList{"No Name"});
}

void TestApplicationLauncher::tabChosenBeforeReading()
{
    const QString fileName = writeFile(R"([{"name":"a","favorite":true},{"name":"b"}])");
    m_launcher->setCurrentTabIndex(Favorites);
    m_launcher->readLauncherData(fileName);
    QCOMPARE(m_launcher->currentTabIndex(), int(Favorites));
    QCOMPARE(::tabs(*m_launcher)->currentWidget(), tabView(*m_launcher, Favorites));
    QCOMPARE(shown(*m_launcher, Favorites), QStringList{"a"});
}

void TestApplicationLauncher::tabOutOfRange()
{
    m_launcher->setCurrentTabIndex(Heart);
    m_launcher->setCurrentTabIndex(6);
    QCOMPARE(m_launcher->currentTabIndex(), int(Heart));
    m_launcher->setCurrentTabIndex(-1);
    QCOMPARE(m_launcher->currentTabIndex(), int(Heart));
}

void TestApplicationLauncher::readLauncherData_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("missing file keeps the list") << false << QByteArray() << QStringList{"kept"};
    QTest::newRow("empty file") << true << QByteArray() << QStringList();
    QTest::newRow("not json") << true << QByteArray("{{{") << QStringList();
    QTest::newRow("object at top") << true << QByteArray(R"({"name":"a"})") << QStringList();
    QTest::newRow("two entries") << true << QByteArray(R"([{"name":"a","tag":1},{"name":"b"}])")
                                 << QStringList{"a", "b"};
}

void TestApplicationLauncher::readLauncherData()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, entries);

    m_launcher->setLauncherData({entry("kept", 1)});
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("shortchut.json"));
    if (exists) {
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    m_launcher->readLauncherData(fileName);
    QCOMPARE(shown(*m_launcher, Home), entries);
    QCOMPARE(shown(*m_launcher, Heart), entries.mid(0, 1));
}

void TestApplicationLauncher::saveThenRead()
{
    const ApplicationDataList list{
        ApplicationData(QStringLiteral("Terminal"), QStringLiteral("shell"), QStringLiteral("/usr/bin/xterm"),
                        QStringLiteral("cd ~"), {VariableData(QStringLiteral("-e"), QStringLiteral("bash"))},
                        {VariableData(QStringLiteral("TERM"), QStringLiteral("xterm"))}, true, 9),
        entry("second", 2)};
    m_launcher->setLauncherData(list);
    const QString fileName = m_dir.filePath(QStringLiteral("saved.json"));
    QVERIFY(m_launcher->saveLauncherData(fileName));

    TestLauncher again;
    again.readLauncherData(fileName);
    QCOMPARE(toJsonArray(again.launcherModel()->launcherData()), toJsonArray(list));
}

void TestApplicationLauncher::saveFailureIsReported()
{
    const QString plain = writeFile("x");
    QVERIFY(!m_launcher->saveLauncherData(plain + QStringLiteral("/data/shortchut.json")));
}

namespace {

// The card's commands, then Add and Remove.
const QStringList contextMenu = {"Edit", "Favourite", "Heart", "Diamond", "Spade", "Club", "", "Add", "Remove"};

} // namespace

void TestApplicationLauncher::contextMenuAdds()
{
    m_launcher->setLauncherData({entry("a", 2)});
    m_launcher->setCurrentTabIndex(Diamond);
    m_launcher->show();
    QStringList offered;
    chooseFromNextMenu(QStringLiteral("Add"), &offered);
    ModalAnswerer saving([](QWidget *window) {
        if (auto *dialog = qobject_cast<QDialog *>(window))
            dialog->accept();
    });
    m_launcher->createContextMenu(QPoint(5, 5));
    QCOMPARE(offered, contextMenu);
    QCOMPARE(shown(*m_launcher, Home), (QStringList{"a", "No Name"}));
    QCOMPARE(shown(*m_launcher, Diamond), (QStringList{"a", "No Name"}));
}

void TestApplicationLauncher::contextMenuRemovesSelection()
{
    m_launcher->setLauncherData({entry("a"), entry("b"), entry("c")});
    m_launcher->show();
    ListView *home = tabView(*m_launcher, Home);
    home->selectionModel()->select(home->model()->index(1, 0), QItemSelectionModel::ClearAndSelect);
    QStringList offered;
    chooseFromNextMenu(QStringLiteral("Remove"), &offered);
    m_launcher->createContextMenu(QPoint(5, 5));
    QCOMPARE(offered, contextMenu);
    QCOMPARE(shown(*m_launcher, Home), (QStringList{"a", "c"}));
}

QTEST_MAIN(TestApplicationLauncher)
#include "TestApplicationLauncher.moc"
