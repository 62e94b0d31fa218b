#include "applicationLauncher/applicationLauncher.h"
#include "applicationLauncher/installedProgramsDialog.h"
#include "desktopEntryRows.h"
#include "launcherSetup.h"
#include "platform/desktopEntryIndex.h"
#include "platform/desktopIconLookup.h"
#include "platform/terminal.h"
#include "records/recordStream.h"
#include "testSupport.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QJsonArray toJson(const ApplicationDataList &list)
{
    QJsonArray array;
    for (const ApplicationData &application : list)
        array.append(application.toJsonObject());
    return array;
}

QPushButton *button(QWidget *dialog, const QString &text)
{
    for (QPushButton *push : dialog->findChildren<QPushButton *>()) {
        if (push->text() == text)
            return push;
    }
    return nullptr;
}

// Makes an empty file that runs.
void writeProgram(const QString &fileName)
{
    writeFile(fileName);
    QFile::setPermissions(fileName, QFile::ReadOwner | QFile::ExeOwner);
}

} // namespace

class TestInstalledPrograms : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void importedAsDropped_data();
    void importedAsDropped();
    void xdgFolders();
    void terminalCommand_data();
    void terminalCommand();

private:
    // What the dialog listed, and the entries chosen in it were added as.
    QStringList runDialog(ApplicationLauncher *launcher, const std::function<void(QListView *)> &choose);

    QTemporaryDir m_dir;
    QString m_terminal;
};

void TestInstalledPrograms::initTestCase()
{
    registerRecordTypes();
    QVERIFY(m_dir.isValid());
    m_terminal = m_dir.filePath(QStringLiteral("terminal/term"));
    writeProgram(m_terminal);
    // The icon theme is looked for in the data folders named when the first
    // icon is looked up: those of the test folder.
    const EnvironmentChange dataDirs("XDG_DATA_DIRS", QStringLiteral(KORVANI_TEST_XDG));
    QVERIFY(!DesktopIconLookup::namedIcon(QStringLiteral("korvani-test-editor-icon")).isNull());
}

QStringList TestInstalledPrograms::runDialog(ApplicationLauncher *launcher,
                                             const std::function<void(QListView *)> &choose)
{
    // The index read with the folders and programs of the test as they are now.
    DesktopEntryIndex *index = DesktopEntryIndex::instance();
    index->refresh();
    if (!QTest::qWaitFor([index] { return index->isUpToDate(); }, 20000))
        return {QStringLiteral("the desktop entries were not read")};
    QStringList listed;
    ModalAnswerer answerer([&](QWidget *window) {
        auto *dialog = qobject_cast<InstalledProgramsDialog *>(window);
        if (!dialog) {
            window->close();
            return;
        }
        auto *list = dialog->findChild<QListView *>();
        listed = rowTexts(list->model());
        choose(list);
    });
    launcher->addInstalledPrograms();
    return listed;
}

void TestInstalledPrograms::importedAsDropped_data()
{
    addDesktopEntryRows(QStringLiteral(KORVANI_TEST_DATA "/desktopEntries.json"));
}

// A program picked in the dialog becomes the entry that dropping its desktop
// entry makes; the dialog lists exactly the entries of applications that have
// a command and are shown in menus.
void TestInstalledPrograms::importedAsDropped()
{
    QFETCH(QByteArray, text);
    QFETCH(QJsonObject, expected);

    QTemporaryDir home;
    const QString file = home.filePath(QStringLiteral("applications/Row.desktop"));
    writeFile(file, text);
    const EnvironmentChange dataHome("XDG_DATA_HOME", home.path());
    const EnvironmentChange dataDirs("XDG_DATA_DIRS", home.filePath(QStringLiteral("none")));
    const EnvironmentChange path("PATH", home.filePath(QStringLiteral("no-programs")));
    const EnvironmentChange terminal("TERMINAL", m_terminal);

    TestLauncher dropped;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QVERIFY(dragAndDrop(&dropped, QPoint(5, 5), &data, Qt::CopyAction));

    TestLauncher imported;
    const QStringList listed = runDialog(&imported, [](QListView *list) {
        list->selectAll();
        const QString choice = list->model()->rowCount() > 0 ? QStringLiteral("Add") : QStringLiteral("Cancel");
        QTest::mouseClick(button(list->window(), choice), Qt::LeftButton);
    });
    const bool shown = expected.value(QStringLiteral("entry")).toBool(true)
        && expected.value(QStringLiteral("application")).toBool(true) && !expectedWords(expected).isEmpty()
        && !expected.value(QStringLiteral("hidden")).toBool() && !expected.value(QStringLiteral("noDisplay")).toBool()
        && expected.value(QStringLiteral("tryExec")).toString().isEmpty();
    if (!shown) {
        QCOMPARE(listed, QStringList());
        QCOMPARE(imported.launcherModel()->rowCount(), 0);
        return;
    }
    const ApplicationData entry = dropped.launcherModel()->launcherData().value(0);
    const QString comment = expected.value(QStringLiteral("comments")).toObject().value(QString()).toString();
    QCOMPARE(listed, QStringList(comment.isEmpty() ? entry.name() : entry.name() + '\n' + comment));
    QCOMPARE(toJson(imported.launcherModel()->launcherData()), toJson(dropped.launcherModel()->launcherData()));
}

// The test folder holds desktop entries of every kind; the user's own folder
// overrides one and hides another.
void TestInstalledPrograms::xdgFolders()
{
    QTemporaryDir home;
    writeFile(home.filePath(QStringLiteral("applications/korvani-test-editor.desktop")),
              "[Desktop Entry]\nType=Application\nName=My Editor\nExec=korvani-test-editor --mine\n"
              "Icon=korvani-test-editor-icon\n");
    writeFile(home.filePath(QStringLiteral("applications/korvani-test-wrapped.desktop")),
              "[Desktop Entry]\nType=Application\nHidden=true\n");
    writeProgram(home.filePath(QStringLiteral("bin/korvani-test-painter")));
    const EnvironmentChange dataHome("XDG_DATA_HOME", home.path());
    const EnvironmentChange dataDirs("XDG_DATA_DIRS", QStringLiteral(KORVANI_TEST_XDG));
    const EnvironmentChange path("PATH", home.filePath(QStringLiteral("bin")));
    const EnvironmentChange terminal("TERMINAL", m_terminal);
    const QStringList all{"My Editor", "Test Drawing", "Test Painter", "Test Terminal\nRuns in a terminal"};

    TestLauncher launcher;
    launcher.setLauncherData({ApplicationData(QStringLiteral("kept"))});
    QIcon editorIcon;
    // Cancel adds nothing.
    QCOMPARE(runDialog(&launcher,
                       [&editorIcon](QListView *list) {
                           editorIcon = list->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>();
                           QTest::mouseClick(button(list->window(), QStringLiteral("Cancel")), Qt::LeftButton);
                       }),
             all);
    QCOMPARE(iconImage(editorIcon),
             iconImage(DesktopIconLookup::namedIcon(QStringLiteral("korvani-test-editor-icon"))));
    QCOMPARE(launcher.launcherModel()->rowCount(), 1);

    // Typing narrows the list to what matches, the first match is chosen, and
    // Enter adds it.
    QStringList filtered;
    runDialog(&launcher, [&filtered](QListView *list) {
        auto *filter = list->window()->findChild<QLineEdit *>();
        QTest::keyClicks(filter, QStringLiteral("TERM"));
        filtered = rowTexts(list->model());
        QTest::keyClick(filter, Qt::Key_Return);
    });
    QCOMPARE(filtered, all.mid(3));
    const ApplicationData console = launcher.launcherModel()->launcherData().last();
    QCOMPARE(console.name(), QStringLiteral("Test Terminal"));
    QCOMPARE(console.description(), QStringLiteral("Runs in a terminal"));
    QCOMPARE(console.path(), m_terminal);
    QStringList words;
    for (const VariableData &argument : console.arguments())
        words.append(argument.name());
    QCOMPARE(words, (QStringList{"-e", "korvani-test-console", "--watch"}));

    // Several are chosen with the mouse and come in the list's order.
    runDialog(&launcher, [](QListView *list) {
        list->clearSelection();
        for (const int row : {2, 0}) {
            const QPoint centre = list->visualRect(list->model()->index(row, 0)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, centre);
        }
        QTest::mouseClick(button(list->window(), QStringLiteral("Add")), Qt::LeftButton);
    });
    QCOMPARE(rowTexts(launcher.launcherModel(), LauncherDataModel::NameRole),
             (QStringList{"kept", "Test Terminal", "My Editor", "Test Painter"}));
    QCOMPARE(launcher.launcherModel()->launcherData().at(2).arguments().value(0).name(), QStringLiteral("--mine"));
}

void TestInstalledPrograms::terminalCommand_data()
{
    QTest::addColumn<QString>("terminal"); // $TERMINAL
    QTest::addColumn<QStringList>("onPath");
    QTest::addColumn<QStringList>("expected"); // before the command; "@" is the folder on PATH

    QTest::newRow("$TERMINAL, unknown") << "@/myterm" << QStringList{"myterm"} << QStringList{"@/myterm", "-e"};
    QTest::newRow("$TERMINAL by name, known") << "kitty" << QStringList{"kitty", "xterm"} << QStringList{"@/kitty"};
    QTest::newRow("$TERMINAL missing") << "absent" << QStringList{"xterm"} << QStringList{"@/xterm", "-e"};
    QTest::newRow("the system's choice first")
        << "" << QStringList{"xterm", "x-terminal-emulator"} << QStringList{"@/x-terminal-emulator", "-e"};
    QTest::newRow("gnome-terminal") << "" << QStringList{"xterm", "gnome-terminal"}
                                    << QStringList{"@/gnome-terminal", "--"};
    QTest::newRow("xfce4-terminal") << "" << QStringList{"xfce4-terminal"} << QStringList{"@/xfce4-terminal", "-x"};
    QTest::newRow("wezterm") << "" << QStringList{"wezterm"} << QStringList{"@/wezterm", "start", "--"};
    QTest::newRow("no terminal") << "" << QStringList() << QStringList();
}

void TestInstalledPrograms::terminalCommand()
{
    QFETCH(QString, terminal);
    QFETCH(QStringList, onPath);
    QFETCH(QStringList, expected);

    QTemporaryDir folder;
    for (const QString &program : onPath)
        writeProgram(folder.filePath(program));
    const EnvironmentChange path("PATH", folder.path());
    const EnvironmentChange choice("TERMINAL", terminal.replace('@', folder.path()));
    expected.replaceInStrings(QStringLiteral("@"), folder.path());
    const QStringList command{QStringLiteral("/usr/bin/top"), QStringLiteral("-d 2")};
    QCOMPARE(Platform::terminalCommand(command), expected + command);
}

QTEST_MAIN(TestInstalledPrograms)
#include "TestInstalledPrograms.moc"
