#include "applicationLauncher/applicationLauncher.h"
#include "desktopEntryRows.h"
#include "launcherSetup.h"
#include "platform/droppedProgram.h"
#include "qtlib/itemViews.h"
#include "records/recordStream.h"
#include "testSupport.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QJsonArray>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <utime.h>
#endif

using Model = LauncherDataModel;

namespace {

// Presses on a card and drags it with the mouse, as a user does, to a point
// on the screen, where it is dropped.
void dragCard(ListView *view, const QModelIndex &index, const QPoint &globalDrop)
{
    QWidget *viewport = view->viewport();
    const QPoint start = view->visualRect(index).center();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, start);
    // The drag runs an event loop of its own; the rest of the pointer's way is
    // played into it.
    QTimer::singleShot(0, viewport, [viewport, globalDrop] {
        QWindow *window = viewport->window()->windowHandle();
        const QPoint local = window->mapFromGlobal(globalDrop);
        QTest::mouseMove(window, local);
        QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, local);
    });
    // The first move arms the drag, the second, far enough, starts it.
    for (const QPoint &step : {start + QPoint(0, 1), start + QPoint(0, 2 * QApplication::startDragDistance())}) {
        QMouseEvent move(QEvent::MouseMove, step, viewport->mapToGlobal(step), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
    }
}

// Another program's window that takes every drop as a move, as a file manager
// that moves a dropped file does.
class MovingTarget : public QWidget
{
public:
    int drops = 0;

protected:
    void dragEnterEvent(QDragEnterEvent *event) override { takeAsMove(event); }
    void dragMoveEvent(QDragMoveEvent *event) override { takeAsMove(event); }
    void dropEvent(QDropEvent *event) override
    {
        takeAsMove(event);
        ++drops;
    }

private:
    static void takeAsMove(QDropEvent *event)
    {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    }
};
} // namespace

class TestDragAndDrop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void mimeTypesAndActions();
    void mimeDataOfTwoEntries();
    void sameFileNamesStayApart();
#ifdef Q_OS_UNIX
    void earlierDragsGo();
#endif
    void unwritableBatchFileLeavesNoUrl();
    void dropMimeData_data();
    void dropMimeData();
    void moveThirdCard_data();
    void moveThirdCard();
    void fileDrops_data();
    void fileDrops();
    void textDragIsRefused();
    void cardsAreNotTakenAsFiles();
    void desktopFileDrop();
    void desktopEntryRows_data();
    void desktopEntryRows();
    void desktopEntryWordsReachTheProgram_data();
    void desktopEntryWordsReachTheProgram();
#ifdef Q_OS_UNIX
    void desktopEntriesThatAreNotRead();
#endif

private:
    QString m_previousDir;
    QTemporaryDir *m_dir = nullptr;
};

void TestDragAndDrop::initTestCase()
{
    registerRecordTypes();
    m_previousDir = QDir::currentPath();
}

void TestDragAndDrop::init()
{
    // Dragged-out batch files go to data/temp below the current folder.
    m_dir = new QTemporaryDir;
    QVERIFY(QDir::setCurrent(m_dir->path()));
}

void TestDragAndDrop::cleanup()
{
    QDir::setCurrent(m_previousDir);
    delete m_dir;
    m_dir = nullptr;
}

void TestDragAndDrop::mimeTypesAndActions()
{
    Model model;
    QCOMPARE(model.mimeTypes(), (QStringList{"application/korvani-application-data", "text/uri-list", "text/plain"}));
    QCOMPARE(model.supportedDragActions(), Qt::CopyAction | Qt::MoveAction);
    QCOMPARE(model.supportedDropActions(), Qt::MoveAction);
}

void TestDragAndDrop::mimeDataOfTwoEntries()
{
    Model model;
    model.setDragScriptFolder(DataFolder(QDir::currentPath()).dragScriptFolder());
    const ApplicationDataList list = named({"one", "two", "three"});
    model.setLauncherData(list);
    QScopedPointer<QMimeData> data(model.mimeData({model.index(2), QModelIndex(), model.index(0)}));

    QCOMPARE(toJsonArray(readApplicationDataPayload(data->data("application/korvani-application-data"))),
             toJsonArray(ApplicationDataList{list.at(2), list.at(0)}));
    const QList<QUrl> urls = data->urls();
    QCOMPARE(urls.size(), 2);
    const QFileInfo three(urls.at(0).toLocalFile());
    const QFileInfo one(urls.at(1).toLocalFile());
    QCOMPARE(three.fileName(), QStringLiteral("three_about_three.bat"));
    QCOMPARE(one.fileName(), QStringLiteral("one_about_one.bat"));
    // Both in a folder of the drag's own below data/temp.
    QCOMPARE(three.absolutePath(), one.absolutePath());
    QCOMPARE(QFileInfo(three.absolutePath()).absolutePath(), QDir::current().absoluteFilePath("data/temp"));
    QVERIFY(three.isFile() && one.isFile());
    QCOMPARE(data->text(), list.at(2).batchScript() + list.at(0).batchScript());
}

// Entries whose file names are the same, dragged together or one drag after
// the other, each reach the file manager with their own file.
void TestDragAndDrop::sameFileNamesStayApart()
{
    const QString longName = QString(17, QChar(0x65E5));
    const ApplicationDataList list{ApplicationData("No Name", {}, "/bin/a"), ApplicationData("No Name", {}, "/bin/b"),
                                   ApplicationData("Build: x", {}, "/bin/c"), ApplicationData("Build; x", {}, "/bin/d"),
                                   ApplicationData(longName, QString(80, QChar(0x8A9E)), "/bin/e")};
    Model model;
    model.setDragScriptFolder(DataFolder(QDir::currentPath()).dragScriptFolder());
    model.setLauncherData(list);
    QModelIndexList indexes;
    for (int row = 0; row < list.size(); ++row)
        indexes.append(model.index(row));
    QList<QUrl> urls;
    for (int drag = 0; drag < 2; ++drag) {
        QScopedPointer<QMimeData> data(model.mimeData(indexes));
        urls += data->urls();
    }
    QCOMPARE(urls.size(), 2 * list.size());
    for (int i = 0; i < urls.size(); ++i) {
        const ApplicationData &application = list.at(i % list.size());
        QCOMPARE(readAll(urls.at(i).toLocalFile()), application.batchScript().toUtf8());
        if (application.name() != longName)
            QCOMPARE(QFileInfo(urls.at(i).toLocalFile()).fileName(), application.batchFileName());
    }
}

#ifdef Q_OS_UNIX
// A drag takes away the batch files of drags over an hour old and their
// folders, and leaves what else it finds.
void TestDragAndDrop::earlierDragsGo()
{
    Model model;
    model.setDragScriptFolder(DataFolder(QDir::currentPath()).dragScriptFolder());
    model.setLauncherData(named({"one"}));
    const auto draggedFolder = [&model] {
        QScopedPointer<QMimeData> data(model.mimeData({model.index(0)}));
        return QFileInfo(data->urls().value(0).toLocalFile()).absolutePath();
    };
    const auto age = [](const QString &path) {
        const time_t twoHoursAgo = time(nullptr) - 2 * 60 * 60;
        const utimbuf times{twoHoursAgo, twoHoursAgo};
        return utime(QFile::encodeName(path).constData(), &times) == 0;
    };
    const QString old = draggedFolder();
    const QString recent = draggedFolder();
    QVERIFY(!old.isEmpty() && old != recent);
    writeFile("data/temp/notes/one_about_one.bat");
    writeFile("data/temp/keepMe/one_about_one.bat");
    writeFile("data/temp/keepMe/notes.txt");
    for (const QString &folder : {old, QStringLiteral("data/temp/notes"), QStringLiteral("data/temp/keepMe")})
        QVERIFY(age(folder));

    const QString latest = draggedFolder();
    QVERIFY(!QFileInfo::exists(old));
    QVERIFY(QFileInfo::exists(recent + "/one_about_one.bat"));
    QVERIFY(QFileInfo::exists(latest + "/one_about_one.bat"));
    QVERIFY(QFileInfo::exists("data/temp/notes/one_about_one.bat"));
    QCOMPARE(QDir("data/temp/keepMe").entryList(QDir::Files), QStringList{"notes.txt"});
}
#endif

void TestDragAndDrop::unwritableBatchFileLeavesNoUrl()
{
    writeFile("data/temp", "a file where the folder belongs");
    Model model;
    model.setDragScriptFolder(DataFolder(QDir::currentPath()).dragScriptFolder());
    model.setLauncherData(named({"one"}));
    QScopedPointer<QMimeData> data(model.mimeData({model.index(0)}));
    QVERIFY(data->urls().isEmpty());
    QCOMPARE(data->text(), named({"one"}).first().batchScript());
    QCOMPARE(readApplicationDataPayload(data->data("application/korvani-application-data")).size(), 1);
}

void TestDragAndDrop::dropMimeData_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<bool>("recordFormat");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("parentRow");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("ignore action") << int(Qt::IgnoreAction) << true << 0 << 0 << -1 << true
                                   << QStringList{"a", "b", "c"};
    QTest::newRow("no record format") << int(Qt::MoveAction) << false << 0 << 0 << -1 << false
                                      << QStringList{"a", "b", "c"};
    QTest::newRow("column 1") << int(Qt::MoveAction) << true << 0 << 1 << -1 << false << QStringList{"a", "b", "c"};
    QTest::newRow("row 1") << int(Qt::MoveAction) << true << 1 << 0 << -1 << true
                           << QStringList{"a", "x", "y", "b", "c"};
    QTest::newRow("on an entry") << int(Qt::MoveAction) << true << -1 << -1 << 2 << true
                                 << QStringList{"a", "b", "x", "y", "c"};
    QTest::newRow("on empty space") << int(Qt::MoveAction) << true << -1 << -1 << -1 << true
                                    << QStringList{"a", "b", "c", "x", "y"};
    QTest::newRow("copy") << int(Qt::CopyAction) << true << 0 << 0 << -1 << true
                          << QStringList{"x", "y", "a", "b", "c"};
}

void TestDragAndDrop::dropMimeData()
{
    QFETCH(int, action);
    QFETCH(bool, recordFormat);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, parentRow);
    QFETCH(bool, result);
    QFETCH(QStringList, names);

    QTemporaryDir folder;
    ApplicationDataList dropped = named({"x", "y"});
    dropped[0].setPath(folder.path());
    QMimeData data;
    if (recordFormat)
        data.setData("application/korvani-application-data", writeApplicationDataPayload(dropped));
    data.setText(QStringLiteral("text"));

    Model model;
    model.setLauncherData(named({"a", "b", "c"}));
    const QModelIndex parent = parentRow < 0 ? QModelIndex() : model.index(parentRow);
    QCOMPARE(model.dropMimeData(&data, Qt::DropAction(action), row, column, parent), result);
    QCOMPARE(rowTexts(&model, Model::NameRole), names);
    if (names.size() == 5) {
        const QModelIndex x = model.index(names.indexOf("x"));
        QCOMPARE(x.data(Model::PathRole).toString(), folder.path());
        // The dropped record gets the icon of its path here.
        QCOMPARE(x.data(Model::IconRole).value<QIcon>().pixmap(32).toImage(),
                 QFileIconProvider().icon(QFileInfo(folder.path())).pixmap(32).toImage());
    }
}

void TestDragAndDrop::moveThirdCard_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("upper half of the first card") << "top" << QStringList{"c", "a", "b", "d"};
    QTest::newRow("lower half of the first card") << "second" << QStringList{"a", "c", "b", "d"};
    QTest::newRow("below the last card") << "end" << QStringList{"a", "b", "d", "c"};
    QTest::newRow("another window that moves it") << "outside" << QStringList{"a", "b", "c", "d"};
}

void TestDragAndDrop::moveThirdCard()
{
    QFETCH(QString, where);
    QFETCH(QStringList, names);
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        QSKIP("Dragging needs a window system; the X11 run of this test drags.");

    TestLauncher launcher;
    ApplicationDataList entries = named({"a", "b", "c", "d"});
    entries[2].setOtherFields({{QStringLiteral("later"), QByteArray("[1, \"x\", 1e400]")}});
    launcher.setLauncherData(entries);
    launcher.setGeometry(0, 0, 300, 400);
    launcher.show();
    MovingTarget target;
    target.setAcceptDrops(true);
    target.setGeometry(400, 0, 200, 200);
    target.show();
    QVERIFY(QTest::qWaitForWindowExposed(&launcher));
    QVERIFY(QTest::qWaitForWindowExposed(&target));
    ListView *home = tabView(launcher, Home);
    QAbstractItemModel *model = home->model();
    const QRect first = home->visualRect(model->index(0, 0));
    const QRect last = home->visualRect(model->index(3, 0));
    const QPoint pos = where == "top" ? QPoint(first.center().x(), first.top() + 5)
        : where == "second"           ? QPoint(first.center().x(), first.bottom() - 5)
                                      : QPoint(last.center().x(), last.bottom() + 30);
    const QPoint drop = where == "outside" ? target.mapToGlobal(target.rect().center())
                                           : home->viewport()->mapToGlobal(pos);

    dragCard(home, model->index(2, 0), drop);
    QCOMPARE(rowTexts(model, Model::NameRole), names);
    QCOMPARE(target.drops, where == "outside" ? 1 : 0);
    // What a newer version wrote moves with the card.
    const auto moved = model->index(names.indexOf("c"), 0).data(Model::ApplicationDataRole).value<ApplicationData>();
    QCOMPARE(moved.otherFields(), entries.at(2).otherFields());
}

void TestDragAndDrop::fileDrops_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("paths");

    QTest::newRow("program") << QStringList{"bin/edit"} << QStringList{"edit"} << QStringList{"bin/edit"};
    QTest::newRow("symbolic link") << QStringList{"link:Editor.lnk>bin/edit"} << QStringList{"Editor"}
                                   << QStringList{"bin/edit"};
    QTest::newRow("several dots") << QStringList{"archive.tar.gz"} << QStringList{"archive"}
                                  << QStringList{"archive.tar.gz"};
    QTest::newRow("folder and two files")
        << QStringList{"one", "folder/", "two"} << QStringList{"one", "two"} << QStringList{"one", "two"};
    QTest::newRow("web address") << QStringList{"https://example.org/tool"} << QStringList{""} << QStringList{""};
}

void TestDragAndDrop::fileDrops()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, names);
    QFETCH(QStringList, paths);

    QList<QUrl> urls;
    for (const QString &file : files) {
        if (file.startsWith("https:")) {
            urls.append(QUrl(file));
        } else if (file.startsWith("link:")) {
            const QStringList parts = file.mid(5).split('>');
            writeFile(parts.at(1));
            QVERIFY(QFile::link(QDir::current().absoluteFilePath(parts.at(1)), parts.at(0)));
            urls.append(QUrl::fromLocalFile(QDir::current().absoluteFilePath(parts.at(0))));
        } else {
            if (file.endsWith('/'))
                QDir().mkpath(file);
            else
                writeFile(file);
            urls.append(QUrl::fromLocalFile(QDir::current().absoluteFilePath(file)));
        }
    }
    TestLauncher launcher;
    launcher.setLauncherData(named({"kept"}));
    QMimeData data;
    data.setUrls(urls);
    QVERIFY(dragAndDrop(&launcher, QPoint(5, 5), &data, Qt::CopyAction));

    const ApplicationDataList added = launcher.launcherModel()->launcherData().mid(1);
    QCOMPARE(added.size(), names.size());
    for (int i = 0; i < added.size(); ++i) {
        QCOMPARE(added.at(i).name(), names.at(i));
        const QString expected = paths.at(i).isEmpty() ? QString() : QDir::current().absoluteFilePath(paths.at(i));
        QCOMPARE(added.at(i).path(), expected);
        QCOMPARE(added.at(i).favorite(), false);
        QCOMPARE(added.at(i).tag(), 0);
    }
}

void TestDragAndDrop::textDragIsRefused()
{
    TestLauncher launcher;
    QMimeData data;
    data.setText(QStringLiteral("/usr/bin/env"));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&launcher, &enter);
    QCOMPARE(enter.dropAction(), Qt::IgnoreAction);
    QCOMPARE(launcher.launcherModel()->rowCount(), 0);
}

void TestDragAndDrop::cardsAreNotTakenAsFiles()
{
    // A card dragged off the home list carries the URL of its batch file; the
    // launcher must not turn it into an entry for that file.
    TestLauncher launcher;
    launcher.setLauncherData(named({"a"}));
    QScopedPointer<QMimeData> data(launcher.launcherModel()->mimeData({launcher.launcherModel()->index(0)}));
    QVERIFY(data->hasUrls());
    QVERIFY(!dragAndDrop(&launcher, QPoint(5, 5), data.data(), Qt::MoveAction));
    QCOMPARE(rowTexts(launcher.launcherModel(), Model::NameRole), QStringList{"a"});
}

void TestDragAndDrop::desktopFileDrop()
{
    writeFile("bin/edit");
    writeFile("Text Editor.desktop",
              "[Desktop Entry]\nType=Application\nExec=\"" + QDir::current().absoluteFilePath("bin/edit").toUtf8()
                  + "\" --new %F\n");
    writeFile("shell.desktop", "[Desktop Entry]\nType=Application\nExec=env -i\n");
    TestLauncher launcher;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QDir::current().absoluteFilePath("Text Editor.desktop")),
                  QUrl::fromLocalFile(QDir::current().absoluteFilePath("shell.desktop"))});
    QVERIFY(dragAndDrop(&launcher, QPoint(5, 5), &data, Qt::CopyAction));

    const ApplicationDataList added = launcher.launcherModel()->launcherData();
    QCOMPARE(added.size(), 2);
    QCOMPARE(added.at(0).name(), QStringLiteral("Text Editor"));
    QCOMPARE(added.at(0).path(), QDir::current().absoluteFilePath("bin/edit"));
    QCOMPARE(toJsonArray(added.at(0).arguments()), toJsonArray(VariableDataList{VariableData("--new")}));
    QCOMPARE(added.at(1).name(), QStringLiteral("shell"));
    QCOMPARE(added.at(1).path(), QStandardPaths::findExecutable("env"));
    QCOMPARE(toJsonArray(added.at(1).arguments()), toJsonArray(VariableDataList{VariableData("-i")}));
}

void TestDragAndDrop::desktopEntryRows_data()
{
    addDesktopEntryRows(QStringLiteral(KORVANI_TEST_DATA "/desktopEntries.json"));
}

// A dropped desktop entry of an application starts the program and words of
// its Exec key, in a terminal when it asks for one; an entry without a command
// starts itself. Either brings its Name in the user's language and its
// Comment. A file that is no desktop entry starts itself and is named after
// the file.
void TestDragAndDrop::desktopEntryRows()
{
    QFETCH(QByteArray, text);
    QFETCH(QJsonObject, expected);

    // Named as desktop files are, after their program's domain.
    const QString file = QDir::current().absoluteFilePath(QStringLiteral("org.example.Row.desktop"));
    writeFile(file, text);
    const QString terminal = QDir::current().absoluteFilePath(QStringLiteral("terminal/term"));
    writeFile(terminal);
    QVERIFY(QFile::setPermissions(terminal, QFile::ReadOwner | QFile::ExeOwner));
    // Programs named without a folder stay as the entry names them. A terminal
    // unknown to Korvani takes the command after -e.
    const EnvironmentChange path("PATH", QDir::current().absoluteFilePath(QStringLiteral("no-programs")));
    const EnvironmentChange terminalChoice("TERMINAL", terminal);
    const Platform::DroppedProgram program = Platform::droppedProgram(file);

    QStringList words = expectedWords(expected);
    const bool command = expected.value(QStringLiteral("entry")).toBool(true)
        && expected.value(QStringLiteral("application")).toBool(true) && !words.isEmpty();
    if (!command) {
        words = QStringList{file};
        expected.remove(QStringLiteral("icon"));
        expected.remove(QStringLiteral("terminal"));
        // What cannot be read as a desktop entry goes by its file's name.
        if (!expected.value(QStringLiteral("entry")).toBool(true))
            expected = QJsonObject();
    } else if (expected.value(QStringLiteral("terminal")).toBool()) {
        words = QStringList{terminal, QStringLiteral("-e")} + words;
    }
    QCOMPARE(program.error, QString());
    QCOMPARE(program.path, words.takeFirst());
    QCOMPARE(program.arguments, words);
    QCOMPARE(program.icon, expected.value(QStringLiteral("icon")).toString());
    QCOMPARE(program.terminal, expected.value(QStringLiteral("terminal")).toBool());
    QCOMPARE(program.name,
             expected.value(QStringLiteral("names")).toObject().value(QString()).toString("org.example.Row"));
    QCOMPARE(program.comment, expected.value(QStringLiteral("comments")).toObject().value(QString()).toString());
    // Names and comments follow the locale of messages, as the system sets it.
    for (const char *key : {"names", "comments"}) {
        const QJsonObject localised = expected.value(QLatin1String(key)).toObject();
        for (auto value = localised.begin(); value != localised.end(); ++value) {
            const EnvironmentChange locale("LC_ALL", value.key());
            const Platform::DroppedProgram inLocale = Platform::droppedProgram(file);
            QCOMPARE(key == QLatin1String("names") ? inLocale.name : inLocale.comment, value.value().toString());
        }
    }
}

void TestDragAndDrop::desktopEntryWordsReachTheProgram_data()
{
    QTest::addColumn<QByteArray>("words");
    QTest::addColumn<QStringList>("received");

    // The Exec words after the program, as the desktop file holds them, and
    // the words the program receives; none for a command that is refused.
    QTest::newRow("command separator") << QByteArray(R"("hello & touch P")") << QStringList{"hello & touch P"};
    QTest::newRow("redirection") << QByteArray(R"("a>FILE" b<FILE)") << QStringList{"a>FILE", "b<FILE"};
    QTest::newRow("blanks") << QByteArray(R"("two words" plain)") << QStringList{"two words", "plain"};
    QTest::newRow("percent signs") << QByteArray("100%% %%PATH%%") << QStringList{"100%", "%PATH%"};
    QTest::newRow("caret and pipe") << QByteArray(R"("x^y|z" ^ |)") << QStringList{"x^y|z", "^", "|"};
    QTest::newRow("quotes inside") << QByteArray(R"("say \\"hi\\" & bye")") << QStringList{R"(say "hi" & bye)"};
    QTest::newRow("backslashes") << QByteArray(R"("a\\\\b\\\\" c\\d)") << QStringList{R"(a\b\)", R"(c\d)"};
    QTest::newRow("escaped line break") << QByteArray(R"(one\ntouch P)") << QStringList();
    QTest::newRow("tab") << QByteArray(R"("a\tb")") << QStringList();
}

// A desktop entry's command runs exactly as the file says, whatever its words
// hold, through the real interpreter; one that cannot is refused.
void TestDragAndDrop::desktopEntryWordsReachTheProgram()
{
    QFETCH(QByteArray, words);
    QFETCH(QStringList, received);

    const QString program = QDir::current().absoluteFilePath(QStringLiteral("args.sh"));
    writeFile(program, "#!/bin/sh\nfor word in \"$@\"; do printf '%s\\n' \"$word\"; done > argv.txt\n");
    QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    writeFile(QStringLiteral("FILE"), "kept");
    writeFile(QStringLiteral("Words.desktop"),
              "[Desktop Entry]\nType=Application\nExec=" + program.toUtf8() + ' ' + words + '\n');

    TestLauncher launcher;
    ModalAnswerer answerer;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QDir::current().absoluteFilePath(QStringLiteral("Words.desktop")))});
    QVERIFY(dragAndDrop(&launcher, QPoint(5, 5), &data, Qt::CopyAction));
    if (received.isEmpty()) {
        QCOMPARE(launcher.launcherModel()->rowCount(), 0);
        QCOMPARE(answerer.messages().size(), 1);
        return;
    }
    QCOMPARE(launcher.launcherModel()->rowCount(), 1);
    launcher.doubleClickedItem(launcher.launcherModel()->index(0));
    QTRY_VERIFY_WITH_TIMEOUT(launcher.findChildren<QProcess *>().isEmpty(), 10000);
    QCOMPARE(answerer.messages(), QStringList());
    QCOMPARE(QString::fromUtf8(readAll(QStringLiteral("argv.txt"))), received.join('\n') + '\n');
    QVERIFY(!QFile::exists(QStringLiteral("P")));
    QCOMPARE(readAll(QStringLiteral("FILE")), QByteArray("kept"));
}

#ifdef Q_OS_UNIX
// A FIFO would hang the window and a huge file fill the memory: neither is
// read, both are reported, and the rest of the drop is taken.
void TestDragAndDrop::desktopEntriesThatAreNotRead()
{
    QCOMPARE(mkfifo("pipe.desktop", 0600), 0);
    QFile huge(QStringLiteral("huge.desktop"));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    huge.write("[Desktop Entry]\nExec=/bin/true\n");
    QVERIFY(huge.resize(200 << 20));
    huge.close();
    writeFile(QStringLiteral("tool"));

    TestLauncher launcher;
    ModalAnswerer answerer;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QDir::current().absoluteFilePath(QStringLiteral("pipe.desktop"))),
                  QUrl::fromLocalFile(QDir::current().absoluteFilePath(QStringLiteral("huge.desktop"))),
                  QUrl::fromLocalFile(QDir::current().absoluteFilePath(QStringLiteral("tool")))});
    QVERIFY(dragAndDrop(&launcher, QPoint(5, 5), &data, Qt::CopyAction));
    QCOMPARE(rowTexts(launcher.launcherModel(), Model::NameRole), QStringList{"tool"});
    QTRY_COMPARE(answerer.messages().size(), 1);
    QVERIFY(answerer.messages().first().contains(QStringLiteral("pipe.desktop")));
    QVERIFY(answerer.messages().first().contains(QStringLiteral("huge.desktop")));
}
#endif

QTEST_MAIN(TestDragAndDrop)
#include "TestDragAndDrop.moc"
