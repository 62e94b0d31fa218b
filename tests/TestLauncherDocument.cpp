#include "document/fileSnapshot.h"
#include "document/launcherDocument.h"
#include "document/launcherModel.h"
#include "document/removalHistory.h"
#include "launcherSetup.h"
#include "platform/dataFolder.h"
#include "records/launcherFile.h"
#include "records/recordStream.h"
#include "testSupport.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using Model = LauncherDataModel;

// The launcher's entries and their file, without a window: what counts as
// unsaved, what one read of the file finds, and where the file is.
class TestLauncherDocument : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void unsavedIsWhatDiffersFromTheFile_data();
    void unsavedIsWhatDiffersFromTheFile();
    void snapshots_data();
    void snapshots();
    void pathsDoNotFollowTheCurrentFolder();
    void readProblemsAreTold_data();
    void readProblemsAreTold();

private:
    QTemporaryDir m_dir;
};

void TestLauncherDocument::initTestCase()
{
    registerRecordTypes();
}

void TestLauncherDocument::init()
{
    QVERIFY(m_dir.isValid());
    QDir(m_dir.path()).removeRecursively();
    QVERIFY(QDir().mkpath(m_dir.path()));
}

void TestLauncherDocument::unsavedIsWhatDiffersFromTheFile_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("unsaved");

    QTest::newRow("nothing") << QStringList() << false;
    QTest::newRow("star on") << QStringList{"star"} << true;
    QTest::newRow("star on, star off") << QStringList{"star", "star"} << false;
    QTest::newRow("mark on, mark off") << QStringList{"heart", "heart"} << false;
    QTest::newRow("a name, then the old name") << QStringList{"rename", "name back"} << false;
    QTest::newRow("moved down, moved up") << QStringList{"down", "up"} << false;
    QTest::newRow("moved down") << QStringList{"down"} << true;
    QTest::newRow("added, removed") << QStringList{"add", "remove last"} << false;
    QTest::newRow("removed, undone") << QStringList{"remove first", "undo"} << false;
    QTest::newRow("removed") << QStringList{"remove first"} << true;
    QTest::newRow("the same entry written whole") << QStringList{"same whole"} << false;
    QTest::newRow("star on, saved") << QStringList{"star", "save"} << false;
    QTest::newRow("star on, saved, star off") << QStringList{"star", "save", "star"} << true;
}

// Unsaved is a comparison with what was last read or written, not a flag that
// any change sets: a change taken back by hand leaves nothing to save.
void TestLauncherDocument::unsavedIsWhatDiffersFromTheFile()
{
    QFETCH(QStringList, steps);
    QFETCH(bool, unsaved);

    const DataFolder folder(m_dir.path());
    QVERIFY(writeLauncherFile(folder.launcherFile(), {entry("a", 1), entry("b"), entry("c", 0, true)}));
    ScriptedPrompts prompts;
    LauncherDocument document(folder, &prompts);
    QCOMPARE(document.load(), QString());
    Model *model = document.model();
    for (const QString &step : steps) {
        const QModelIndex first = model->index(0);
        if (step == "star")
            model->setData(first, !first.data(Model::FavoriteRole).toBool(), Model::FavoriteRole);
        else if (step == "heart")
            model->setData(first, first.data(Model::TagRole).toInt() ^ HeartMark, Model::TagRole);
        else if (step == "rename")
            model->setData(first, QStringLiteral("renamed"), Model::NameRole);
        else if (step == "name back")
            model->setData(first, QStringLiteral("a"), Model::NameRole);
        else if (step == "down")
            model->moveRow(QModelIndex(), 0, QModelIndex(), 2);
        else if (step == "up")
            model->moveRow(QModelIndex(), 1, QModelIndex(), 0);
        else if (step == "add")
            model->insertRow(model->rowCount());
        else if (step == "remove last")
            model->removeRow(model->rowCount() - 1);
        else if (step == "remove first")
            document.removalHistory()->remove({0});
        else if (step == "undo")
            document.removalHistory()->undo();
        else if (step == "same whole")
            model->setData(first, first.data(Model::ApplicationDataRole), Model::ApplicationDataRole);
        else if (step == "save")
            QVERIFY(document.write(document.fileName()));
    }
    QCOMPARE(document.isModified(), unsaved);
    const QByteArray before = readAll(folder.launcherFile());
    QString error;
    QCOMPARE(document.save(true, &error),
             unsaved ? LauncherDocument::SaveOutcome::Saved : LauncherDocument::SaveOutcome::NothingToSave);
    QVERIFY(!document.isModified());
    if (!unsaved)
        QCOMPARE(readAll(folder.launcherFile()), before);
    QVERIFY(prompts.asked.isEmpty());
}

void TestLauncherDocument::snapshots_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("hasReason");

    QTest::newRow("regular file") << "file" << int(FileSnapshot::State::Regular) << false;
    QTest::newRow("empty file") << "empty" << int(FileSnapshot::State::Regular) << false;
    QTest::newRow("missing") << "missing" << int(FileSnapshot::State::Gone) << false;
    QTest::newRow("link to nothing") << "dangling link" << int(FileSnapshot::State::Gone) << false;
    QTest::newRow("link to a file") << "link" << int(FileSnapshot::State::Regular) << false;
    QTest::newRow("folder") << "folder" << int(FileSnapshot::State::NotAFile) << true;
    QTest::newRow("FIFO") << "fifo" << int(FileSnapshot::State::NotAFile) << true;
    QTest::newRow("larger than allowed") << "large" << int(FileSnapshot::State::Unreadable) << true;
}

// One read tells what is there and which version it is; a FIFO is never
// waited on.
void TestLauncherDocument::snapshots()
{
    QFETCH(QString, kind);
    QFETCH(int, state);
    QFETCH(bool, hasReason);

    const QString path = m_dir.filePath(QStringLiteral("file"));
    const QByteArray content = kind == "empty" ? QByteArray() : QByteArray("[{\"name\":\"a\"}]\n");
    if (kind == "file" || kind == "empty" || kind == "large")
        writeFile(path, kind == "large" ? QByteArray(100, 'x') : content);
    else if (kind == "link" || kind == "dangling link") {
        if (kind == "link")
            writeFile(m_dir.filePath(QStringLiteral("target")), content);
        QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("target")), path));
    } else if (kind == "folder")
        QVERIFY(QDir().mkpath(path));
    else if (kind == "fifo")
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);

    const FileSnapshot snapshot = FileSnapshot::take(path, 64);
    QCOMPARE(int(snapshot.state()), state);
    QCOMPARE(!snapshot.reason().isEmpty(), hasReason);
    if (snapshot.state() != FileSnapshot::State::Regular) {
        QVERIFY(snapshot.content().isEmpty());
        QVERIFY(snapshot.sameVersion(FileSnapshot::take(path, 64)));
        QVERIFY(!snapshot.sameVersion(FileSnapshot::ofContent(content)));
        return;
    }
    QCOMPARE(snapshot.content(), content);
    QVERIFY(snapshot.sameVersion(FileSnapshot::ofContent(content)));
    QVERIFY(snapshot.version().sameVersion(snapshot));
    QVERIFY(snapshot.version().content().isEmpty());
    QVERIFY(!snapshot.sameVersion(FileSnapshot::ofContent(content + ' ')));
    QVERIFY(!snapshot.sameVersion(FileSnapshot()));
}

// The document reads and saves where its data folder is, wherever the
// program was started from.
void TestLauncherDocument::pathsDoNotFollowTheCurrentFolder()
{
    const DataFolder folder(m_dir.path());
    QVERIFY(QDir::isAbsolutePath(folder.launcherFile()));
    QVERIFY(writeLauncherFile(folder.launcherFile(), {entry("a")}));
    const TemporaryCurrentFolder elsewhere;
    QVERIFY(elsewhere.isCurrent());
    ScriptedPrompts prompts;
    LauncherDocument document(folder, &prompts);
    QCOMPARE(document.load(), QString());
    QCOMPARE(rowTexts(document.model(), Model::NameRole), QStringList{"a"});
    document.model()->insertRow(1);
    QString error;
    QCOMPARE(document.save(true, &error), LauncherDocument::SaveOutcome::Saved);
    ApplicationDataList saved;
    QVERIFY(readLauncherFile(folder.launcherFile(), &saved));
    QCOMPARE(saved.size(), 2);
    QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

void TestLauncherDocument::readProblemsAreTold_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("told");
    QTest::addColumn<QString>("copy");

    QTest::newRow("not JSON") << QByteArray("garbage") << "it is not a JSON list of entries."
                              << "shortchut.json.unreadable";
    QTest::newRow("read with losses") << QByteArray(R"([{"name":"a","tag":"x"}])") << "Saving leaves these out."
                                      << "shortchut.json.original";
    QTest::newRow("whole") << QByteArray(R"([{"name":"a"}])") << QString() << QString();
}

// What the entries cannot hold of a file is told once it is read, and the
// file is kept as it was beside it.
void TestLauncherDocument::readProblemsAreTold()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, told);
    QFETCH(QString, copy);

    const DataFolder folder(m_dir.path());
    writeFile(folder.launcherFile(), content);
    ScriptedPrompts prompts;
    LauncherDocument document(folder, &prompts);
    const QString message = document.load();
    QVERIFY2(told.isEmpty() ? message.isEmpty() : message.contains(told), qPrintable(message));
    const QStringList kept =
        QDir(QFileInfo(folder.launcherFile()).path()).entryList({QStringLiteral("shortchut.json.*")}, QDir::Files);
    QCOMPARE(kept, copy.isEmpty() ? QStringList() : QStringList{copy});
    if (!copy.isEmpty()) {
        QVERIFY2(message.contains(QDir::toNativeSeparators(QFileInfo(folder.launcherFile()).path() + '/' + copy)),
                 qPrintable(message));
        QCOMPARE(readAll(QFileInfo(folder.launcherFile()).path() + '/' + copy), content);
    }
    QVERIFY(!document.isModified());
    QVERIFY(prompts.messages.isEmpty());
}

QTEST_MAIN(TestLauncherDocument)
#include "TestLauncherDocument.moc"
