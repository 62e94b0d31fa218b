#include "applicationLauncher/applicationLauncher.h"
#include "applicationLauncher/filterField.h"
#include "mainWindow/launcherFileController.h"
#include "mainWindow/mainWindow.h"
#include "platform/sessionEnd.h"
#include "records/launcherFile.h"
#include "records/recordStream.h"
#include "testSupport.h"

#include <QtTest>

#include <csignal>
#include <memory>

// Another program (a sync tool, an editor) changes the launcher file while
// Korvani runs: nothing of either side is lost, and only the user decides
// which version to drop.
class TestFileChanges : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void changedWithoutEdits_data();
    void changedWithoutEdits();
    void changedWithEdits_data();
    void changedWithEdits();
    void nothingToSaveLeavesFile();

private:
    void newWindow();
    ApplicationLauncher *launcher() const { return m_window->findChild<ApplicationLauncher *>(); }
    int entriesShown() const { return launcher()->launcherModel()->rowCount(); }
    // Writes the file as the other program does: a new file renamed over it,
    // or the same file rewritten in place.
    void writeAsOtherProgram(const QString &how, int count);

    std::unique_ptr<TemporaryCurrentFolder> m_folder;
    std::unique_ptr<MainWindow> m_window;
};

namespace {

const QString fileName = QStringLiteral("data/shortchut.json");

ApplicationDataList entries(int count)
{
    ApplicationDataList list;
    for (int i = 0; i < count; ++i)
        list.append(ApplicationData(QStringLiteral("entry %1").arg(i)));
    return list;
}

int entriesIn(const QString &file)
{
    ApplicationDataList list;
    return readLauncherFile(file, &list) ? list.size() : -1;
}

// What the user answered, and what was asked.
LauncherFileController::Answer answer = LauncherFileController::Cancel;
QStringList asked;

LauncherFileController::Answer answerQuestion(QWidget *, const QString &text, const QString &details)
{
    asked.append(text + QLatin1Char('\n') + details);
    return answer;
}

QStringList conflictCopies()
{
    return QDir(QStringLiteral("data")).entryList({QStringLiteral("shortchut.json.conflict-*")}, QDir::Files);
}

} // namespace

void TestFileChanges::initTestCase()
{
    registerRecordTypes();
    LauncherFileController::ask = answerQuestion;
}

void TestFileChanges::init()
{
    m_folder.reset(new TemporaryCurrentFolder);
    QVERIFY(m_folder->isCurrent());
    asked.clear();
    answer = LauncherFileController::Cancel;
    QVERIFY(writeLauncherFile(fileName, entries(100)));
}

void TestFileChanges::cleanup()
{
    m_window.reset();
    m_folder.reset();
    takeQuitRequest();
}

void TestFileChanges::newWindow()
{
    m_window.reset(new MainWindow);
    Platform::onEndRequest(m_window.get(), [this] { m_window->endOnRequest(); });
}

void TestFileChanges::writeAsOtherProgram(const QString &how, int count)
{
    const QByteArray content = launcherFileContent(entries(count));
    if (how == "rename over") {
        writeFile(QStringLiteral("data/.sync-tool-part"), content);
        QVERIFY(QFile::remove(fileName));
        QVERIFY(QFile::rename(QStringLiteral("data/.sync-tool-part"), fileName));
    } else {
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        // In two parts, as editors write: the half-written file is no list.
        QCOMPARE(file.write(content.left(content.size() / 2)), qint64(content.size() / 2));
        QVERIFY(file.flush());
        QTest::qWait(50);
        QCOMPARE(file.write(content.mid(content.size() / 2)), qint64(content.size() - content.size() / 2));
    }
}

void TestFileChanges::changedWithoutEdits_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("renamed over") << "rename over";
    QTest::newRow("written in place") << "in place";
}

// Read again at once; the tab and the filter stay, and quitting leaves
// their file as it is.
void TestFileChanges::changedWithoutEdits()
{
    QFETCH(QString, how);
    newWindow();
    QCOMPARE(entriesShown(), 100);
    launcher()->setCurrentTabIndex(Heart);
    launcher()->findChild<FilterField *>()->typeText(QStringLiteral("entry"));

    writeAsOtherProgram(how, 105);
    QTRY_COMPARE_WITH_TIMEOUT(entriesShown(), 105, 20000);
    QCOMPARE(launcher()->currentTabIndex(), int(Heart));
    QCOMPARE(launcher()->findChild<FilterField *>()->text(), QStringLiteral("entry"));
    QVERIFY(asked.isEmpty());

    writeAsOtherProgram(how, 110);
    QTRY_COMPARE_WITH_TIMEOUT(entriesShown(), 110, 20000);
    const QByteArray theirs = readAll(fileName);
    QVERIFY(m_window->requestQuit());
    QCOMPARE(readAll(fileName), theirs);
    QVERIFY(conflictCopies().isEmpty());
}

void TestFileChanges::changedWithEdits_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("ending");
    QTest::addColumn<int>("inFile");
    QTest::addColumn<int>("inCopy");

    for (const QString how : {"rename over", "in place"}) {
        QTest::addRow("%s, keep mine", qPrintable(how)) << how << "keep mine" << 101 << 105;
        QTest::addRow("%s, reload", qPrintable(how)) << how << "reload" << 105 << -1;
        QTest::addRow("%s, SIGTERM", qPrintable(how)) << how << "SIGTERM" << 101 << 105;
    }
}

// With unsaved edits the user is asked, at the change and again at a save;
// where nobody can answer, both versions are kept.
void TestFileChanges::changedWithEdits()
{
    QFETCH(QString, how);
    QFETCH(QString, ending);
    QFETCH(int, inFile);
    QFETCH(int, inCopy);
    newWindow();
    launcher()->launcherModel()->insertRow(0);

    writeAsOtherProgram(how, 105);
    // Cancelled: theirs on disk, ours shown, nothing lost yet.
    QTRY_COMPARE_WITH_TIMEOUT(asked.size(), 1, 20000);
    QCOMPARE(entriesShown(), 101);
    QCOMPARE(entriesIn(fileName), 105);

    if (ending == "SIGTERM") {
        QCOMPARE(::raise(SIGTERM), 0);
        QTRY_COMPARE_WITH_TIMEOUT(entriesIn(fileName), inFile, 20000);
        QVERIFY(takeQuitRequest());
        QCOMPARE(asked.size(), 1);
    } else {
        answer = ending == "keep mine" ? LauncherFileController::KeepMine : LauncherFileController::Reload;
        m_window->save();
        QCOMPARE(asked.size(), 2);
        QCOMPARE(entriesShown(), ending == "keep mine" ? 101 : 105);
    }
    QCOMPARE(entriesIn(fileName), inFile);
    const QStringList copies = conflictCopies();
    QCOMPARE(copies.size(), inCopy < 0 ? 0 : 1);
    if (inCopy >= 0) {
        const QString copy = QStringLiteral("data/") + copies.first();
        QCOMPARE(entriesIn(copy), inCopy);
        QCOMPARE(fileMode(copy), 0600);
        QCOMPARE(fileMode(fileName), 0600);
        if (ending == "keep mine")
            QVERIFY2(asked.last().contains(QDir::toNativeSeparators(QFileInfo(copy).absoluteFilePath())),
                     qPrintable(asked.last()));
    }
}

// A save or a quit with nothing unsaved writes nothing, whatever is on disk.
void TestFileChanges::nothingToSaveLeavesFile()
{
    newWindow();
    const QDateTime written = QFileInfo(fileName).lastModified();
    const QByteArray before = readAll(fileName);
    QTest::qWait(20);
    m_window->save();
    QVERIFY(m_window->requestQuit());
    QCOMPARE(readAll(fileName), before);
    QCOMPARE(QFileInfo(fileName).lastModified(), written);
    QVERIFY(asked.isEmpty());
}

QTEST_MAIN(TestFileChanges)
#include "TestFileChanges.moc"
