#include "applicationLauncher/applicationLauncher.h"
#include "applicationLauncher/filterField.h"
#include "document/launcherDocument.h"
#include "document/launcherModel.h"
#include "launcherSetup.h"
#include "platform/dataFolder.h"
#include "platform/sessionEnd.h"
#include "records/launcherFile.h"
#include "records/recordStream.h"
#include "testSupport.h"

#include <QtTest>

#include <csignal>
#include <memory>

// Another program (a sync tool, an editor) changes the launcher file while
// Korvani runs: nothing of either side is lost, and only the user decides
// which version to drop. The document decides, with scripted answers; a
// launcher shows it, to see what the user keeps of the view.
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
    void eachVersionOfTheirsIsAskedAboutOnce();
    void changeWaitsWhileTheUserIsBusy();

private:
    void newDocument();
    int entriesShown() const { return m_document->model()->rowCount(); }
    // Writes the file as the other program does: a new file renamed over it,
    // or the same file rewritten in place.
    void writeAsOtherProgram(const QString &how, int count);

    std::unique_ptr<TemporaryCurrentFolder> m_folder;
    ScriptedPrompts m_prompts;
    std::unique_ptr<LauncherDocument> m_document;
    std::unique_ptr<ApplicationLauncher> m_launcher;
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

QStringList conflictCopies()
{
    return QDir(QStringLiteral("data")).entryList({QStringLiteral("shortchut.json.conflict-*")}, QDir::Files);
}

} // namespace

void TestFileChanges::initTestCase()
{
    registerRecordTypes();
}

void TestFileChanges::init()
{
    m_folder.reset(new TemporaryCurrentFolder);
    QVERIFY(m_folder->isCurrent());
    m_prompts = ScriptedPrompts();
    QVERIFY(writeLauncherFile(fileName, entries(100)));
}

void TestFileChanges::cleanup()
{
    m_launcher.reset();
    m_document.reset();
    m_folder.reset();
}

void TestFileChanges::newDocument()
{
    const DataFolder folder(QDir::currentPath());
    m_document.reset(new LauncherDocument(folder, &m_prompts));
    m_launcher.reset(new ApplicationLauncher(m_document.get(), folder, &m_prompts));
    QCOMPARE(m_document->load(), QString());
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

// Read again at once; the tab and the filter stay, and saving on the way out
// leaves their file as it is.
void TestFileChanges::changedWithoutEdits()
{
    QFETCH(QString, how);
    newDocument();
    QCOMPARE(entriesShown(), 100);
    m_launcher->setCurrentTabIndex(Heart);
    m_launcher->findChild<FilterField *>()->typeText(QStringLiteral("entry"));

    writeAsOtherProgram(how, 105);
    QTRY_COMPARE_WITH_TIMEOUT(entriesShown(), 105, 20000);
    QCOMPARE(m_launcher->currentTabIndex(), int(Heart));
    QCOMPARE(m_launcher->findChild<FilterField *>()->text(), QStringLiteral("entry"));
    QVERIFY(m_prompts.asked.isEmpty());

    writeAsOtherProgram(how, 110);
    QTRY_COMPARE_WITH_TIMEOUT(entriesShown(), 110, 20000);
    const QByteArray theirs = readAll(fileName);
    QString error;
    QCOMPARE(m_document->save(true, &error), LauncherDocument::SaveOutcome::NothingToSave);
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
// where nobody can answer, as at a signal to end, both versions are kept.
void TestFileChanges::changedWithEdits()
{
    QFETCH(QString, how);
    QFETCH(QString, ending);
    QFETCH(int, inFile);
    QFETCH(int, inCopy);
    newDocument();
    m_document->model()->insertRow(0);

    writeAsOtherProgram(how, 105);
    // Cancelled: theirs on disk, ours shown, nothing lost yet.
    QTRY_COMPARE_WITH_TIMEOUT(m_prompts.asked.size(), 1, 20000);
    QCOMPARE(entriesShown(), 101);
    QCOMPARE(entriesIn(fileName), 105);

    if (ending == "SIGTERM") {
        Platform::onEndRequest(m_document.get(), [this] {
            QString error;
            m_document->save(false, &error);
        });
        QCOMPARE(::raise(SIGTERM), 0);
        QTRY_COMPARE_WITH_TIMEOUT(entriesIn(fileName), inFile, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(conflictCopies().size(), 1, 20000);
        QCOMPARE(m_prompts.asked.size(), 1);
    } else {
        m_prompts.changedFileAnswer = ending == "keep mine" ? UserPrompts::ChangedFileAnswer::KeepMine
                                                            : UserPrompts::ChangedFileAnswer::Reload;
        QString error;
        QVERIFY(m_document->save(true, &error) != LauncherDocument::SaveOutcome::Failed);
        QCOMPARE(m_prompts.asked.size(), 2);
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
            QVERIFY2(m_prompts.asked.last().contains(QDir::toNativeSeparators(QFileInfo(copy).absoluteFilePath())),
                     qPrintable(m_prompts.asked.last()));
    }
    QVERIFY(m_prompts.messages.isEmpty());
}

// A save with nothing unsaved writes nothing, whatever is on disk.
void TestFileChanges::nothingToSaveLeavesFile()
{
    newDocument();
    const QDateTime written = QFileInfo(fileName).lastModified();
    const QByteArray before = readAll(fileName);
    QTest::qWait(20);
    QString error;
    QCOMPARE(m_document->save(true, &error), LauncherDocument::SaveOutcome::NothingToSave);
    QCOMPARE(m_document->save(false, &error), LauncherDocument::SaveOutcome::NothingToSave);
    QCOMPARE(readAll(fileName), before);
    QCOMPARE(QFileInfo(fileName).lastModified(), written);
    QVERIFY(m_prompts.asked.isEmpty());
}

// Declined, a version of theirs is not asked about again until it changes;
// a save asks about it all the same.
void TestFileChanges::eachVersionOfTheirsIsAskedAboutOnce()
{
    newDocument();
    m_document->model()->insertRow(0);
    writeAsOtherProgram(QStringLiteral("rename over"), 105);
    QTRY_COMPARE_WITH_TIMEOUT(m_prompts.asked.size(), 1, 20000);
    // The same bytes again: the same version.
    writeAsOtherProgram(QStringLiteral("rename over"), 105);
    QTest::qWait(1000);
    QCOMPARE(m_prompts.asked.size(), 1);
    writeAsOtherProgram(QStringLiteral("rename over"), 106);
    QTRY_COMPARE_WITH_TIMEOUT(m_prompts.asked.size(), 2, 20000);
    QString error;
    QCOMPARE(m_document->save(true, &error), LauncherDocument::SaveOutcome::Cancelled);
    QCOMPARE(m_prompts.asked.size(), 3);
    QCOMPARE(entriesIn(fileName), 106);
    QVERIFY(m_document->isModified());
}

// While a dialog or menu holds entries, their change waits, and is taken
// once it has closed.
void TestFileChanges::changeWaitsWhileTheUserIsBusy()
{
    newDocument();
    m_prompts.busy = true;
    writeAsOtherProgram(QStringLiteral("rename over"), 105);
    QTest::qWait(1500);
    QCOMPARE(entriesShown(), 100);
    m_prompts.busy = false;
    QTRY_COMPARE_WITH_TIMEOUT(entriesShown(), 105, 20000);
    QVERIFY(!m_document->isModified());
}

QTEST_MAIN(TestFileChanges)
#include "TestFileChanges.moc"
