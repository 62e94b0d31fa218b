#include "launcherSetup.h"
#include "qtlib/pathLineEdit.h"

#include <QApplication>
#include <QCompleter>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using Mode = PathLineEditButton::DialogMode;
Q_DECLARE_METATYPE(PathLineEditButton::DialogMode)

namespace {

struct DialogCall
{
    int calls = 0;
    Mode mode = PathLineEditButton::OpenFile;
    QString title;
    QString directory;
    QString filter;
};

QString styleSheet()
{
    QFile file(QStringLiteral(":/style/style1.qss"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QMimeData *urlData(const QStringList &paths)
{
    auto *data = new QMimeData;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data->setUrls(urls);
    return data;
}

} // namespace

class TestPathLineEdit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void state_data();
    void state();
    void vanishingPathTurnsRed();
    void dropTakesFirstFile();
    void dropOfTextIsRefused();
    void presets_data();
    void presets();
    void setTextEmitsNothing();
    void lineEditFinishingIsPassedOn();
    void browse_data();
    void browse();
    void unknownModeOpensNothing();
    void modeSetThroughItsSlotSignature();
    void completerShowsNativePaths();

private:
    QTemporaryDir m_dir;
    QString m_file;
    TestPrompts m_prompts;
};

namespace {

// The dialog mode that asks for a path of this kind.
PathLineEditButton::DialogMode modeOf(UserPrompts::PathKind kind)
{
    return kind == UserPrompts::PathKind::Folder ? PathLineEditButton::ExistingDirectory : PathLineEditButton::OpenFile;
}

} // namespace

void TestPathLineEdit::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_file = m_dir.filePath(QStringLiteral("program"));
    QFile file(m_file);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("sub")));
}

void TestPathLineEdit::cleanup()
{
    m_prompts.pathChoice = nullptr;
    qApp->setStyleSheet(QString());
}

void TestPathLineEdit::state_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("relative");
    QTest::addColumn<QString>("state");

    QTest::newRow("empty") << QString() << false << "Invalid";
    QTest::newRow("existing folder") << "sub" << false << "Acceptable";
    QTest::newRow("existing file") << "program" << false << "Acceptable";
    QTest::newRow("missing") << "nothing" << false << "Invalid";
    QTest::newRow("relative to the current folder") << "program" << true << "Acceptable";
    QTest::newRow("root") << "/" << true << "Acceptable";
}

void TestPathLineEdit::state()
{
    QFETCH(QString, text);
    QFETCH(bool, relative);
    QFETCH(QString, state);

    const QString previous = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    PathLineEdit edit;
    QCOMPARE(edit.objectName(), QStringLiteral("PathLineEdit"));
    QCOMPARE(edit.property("state").toString(), QStringLiteral("Invalid"));
    edit.setText(relative || text.isEmpty() ? text : m_dir.filePath(text));
    QDir::setCurrent(previous);
    QCOMPARE(edit.property("state").toString(), state);
}

void TestPathLineEdit::vanishingPathTurnsRed()
{
    qApp->setStyleSheet(styleSheet());
    PathLineEdit edit;
    edit.setText(m_file);
    QCOMPARE(edit.palette().color(QPalette::Text), QColor(0xbd, 0xbd, 0xbd));
    edit.backspace();
    QCOMPARE(edit.property("state").toString(), QStringLiteral("Invalid"));
    QCOMPARE(edit.palette().color(QPalette::Text), QColor(0xdc, 0x71, 0x79));
    edit.insert(QStringLiteral("m"));
    QCOMPARE(edit.palette().color(QPalette::Text), QColor(0xbd, 0xbd, 0xbd));
}

void TestPathLineEdit::dropTakesFirstFile()
{
    PathLineEdit edit;
    QScopedPointer<QMimeData> data(urlData({m_file, m_dir.filePath("sub"), QStringLiteral("/tmp")}));
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, data.data(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&edit, &enter);
    QVERIFY(enter.isAccepted());
    QCOMPARE(enter.dropAction(), Qt::CopyAction);

    QSignalSpy finished(&edit, SIGNAL(editingFinished()));
    QDropEvent drop(QPointF(1, 1), Qt::CopyAction, data.data(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&edit, &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(edit.text(), m_file);
    QCOMPARE(edit.property("state").toString(), QStringLiteral("Acceptable"));
    QCOMPARE(finished.count(), 0);
}

void TestPathLineEdit::dropOfTextIsRefused()
{
    PathLineEdit edit;
    edit.setText(QStringLiteral("kept"));
    QMimeData data;
    data.setText(QStringLiteral("/tmp"));
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&edit, &enter);
    QCOMPARE(enter.dropAction(), Qt::IgnoreAction);
    QDragMoveEvent move(QPoint(2, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&edit, &move);
    QCOMPARE(move.dropAction(), Qt::IgnoreAction);
    QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&edit, &drop);
    QCOMPARE(edit.text(), QStringLiteral("kept"));
}

void TestPathLineEdit::presets_data()
{
    QTest::addColumn<int>("factory");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<Mode>("mode");

#ifdef Q_OS_WIN
    QTest::newRow("application") << 0 << "Select Application"
                                 << "C:\\Program Files"
                                 << "Application (*.exe)" << PathLineEditButton::OpenFile;
    QTest::newRow("file") << 1 << "Select File" << QString() << "File (*.*)" << PathLineEditButton::OpenFile;
#else
    QTest::newRow("application") << 0 << "Select Application"
                                 << "/usr/bin"
                                 << "Application (*)" << PathLineEditButton::OpenFile;
    QTest::newRow("file") << 1 << "Select File" << QString() << "File (*)" << PathLineEditButton::OpenFile;
#endif
    QTest::newRow("directory") << 2 << "Select Directory" << QString() << QString()
                               << PathLineEditButton::ExistingDirectory;
}

void TestPathLineEdit::presets()
{
    QFETCH(int, factory);
    QFETCH(QString, title);
    QFETCH(QString, directory);
    QFETCH(QString, filter);
    QFETCH(Mode, mode);

    QWidget parent;
    PathLineEditButton *button = factory == 0 ? PathLineEditButton::createApplicationButton(&m_prompts, &parent)
        : factory == 1                        ? PathLineEditButton::createFileButton(&m_prompts, &parent)
                                              : PathLineEditButton::createDirectoryButton(&m_prompts, &parent);
    QCOMPARE(button->parentWidget(), &parent);

    DialogCall call;
    m_prompts.pathChoice = [&call](QWidget *, UserPrompts::PathKind kind, const QString &dialogTitle,
                                   const QString &dialogDirectory, const QString &dialogFilter) {
        ++call.calls;
        call.mode = modeOf(kind);
        call.title = dialogTitle;
        call.directory = dialogDirectory;
        call.filter = dialogFilter;
        return QString();
    };
    button->findChild<QPushButton *>()->click();
    QCOMPARE(call.calls, 1);
    QCOMPARE(call.title, title);
    QCOMPARE(call.directory, directory);
    QCOMPARE(call.filter, filter);
    QCOMPARE(call.mode, mode);
}

void TestPathLineEdit::setTextEmitsNothing()
{
    PathLineEditButton button(&m_prompts);
    QSignalSpy finished(&button, SIGNAL(editingFinished()));
    button.setText(m_file);
    QCOMPARE(button.text(), m_file);
    QCOMPARE(button.findChild<PathLineEdit *>()->property("state").toString(), QStringLiteral("Acceptable"));
    QCOMPARE(finished.count(), 0);
}

void TestPathLineEdit::lineEditFinishingIsPassedOn()
{
    PathLineEditButton button(&m_prompts);
    QSignalSpy finished(&button, SIGNAL(editingFinished()));
    emit button.findChild<PathLineEdit *>()->editingFinished();
    QCOMPARE(finished.count(), 1);
}

void TestPathLineEdit::browse_data()
{
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("emitted");

    QTest::newRow("file chosen") << PathLineEditButton::OpenFile << "/usr/bin/env" << 1;
    QTest::newRow("file dialog cancelled") << PathLineEditButton::OpenFile << QString() << 0;
    QTest::newRow("folder chosen") << PathLineEditButton::ExistingDirectory << "/tmp" << 1;
    QTest::newRow("folder dialog cancelled") << PathLineEditButton::ExistingDirectory << QString() << 0;
}

void TestPathLineEdit::browse()
{
    QFETCH(Mode, mode);
    QFETCH(QString, chosen);
    QFETCH(int, emitted);

    PathLineEditButton button(&m_prompts);
    button.setText(QStringLiteral("before"));
    button.setDialogMode(mode);
    Mode asked = mode == PathLineEditButton::OpenFile ? PathLineEditButton::ExistingDirectory
                                                      : PathLineEditButton::OpenFile;
    m_prompts.pathChoice = [&](QWidget *parent, UserPrompts::PathKind kind, const QString &, const QString &,
                               const QString &) {
        asked = modeOf(kind);
        return parent == &button ? chosen : QStringLiteral("wrong parent");
    };
    QSignalSpy finished(&button, SIGNAL(editingFinished()));
    button.findChild<QPushButton *>()->click();
    QCOMPARE(asked, mode);
    QCOMPARE(finished.count(), emitted);
    QCOMPARE(button.text(), chosen.isEmpty() ? QStringLiteral("before") : chosen);
}

void TestPathLineEdit::unknownModeOpensNothing()
{
    PathLineEditButton button(&m_prompts);
    button.setDialogMode(Mode(2));
    int calls = 0;
    m_prompts.pathChoice = [&calls](QWidget *, UserPrompts::PathKind, const QString &, const QString &,
                                    const QString &) {
        ++calls;
        return QStringLiteral("/tmp");
    };
    QSignalSpy finished(&button, SIGNAL(editingFinished()));
    button.findChild<QPushButton *>()->click();
    QCOMPARE(calls, 0);
    QCOMPARE(finished.count(), 0);
    QVERIFY(button.text().isEmpty());
}

// Sends a dialog mode by a signal declared as the slot is.
class ModeChooser : public QObject
{
    Q_OBJECT

public:
    using DialogMode = PathLineEditButton::DialogMode;

signals:
    void chosen(DialogMode mode);
};

void TestPathLineEdit::modeSetThroughItsSlotSignature()
{
    PathLineEditButton button(&m_prompts);
    ModeChooser chooser;
    QVERIFY(connect(&chooser, SIGNAL(chosen(DialogMode)), &button, SLOT(setDialogMode(DialogMode))));
    emit chooser.chosen(PathLineEditButton::ExistingDirectory);
    QCOMPARE(button.dialogMode(), PathLineEditButton::ExistingDirectory);
}

void TestPathLineEdit::completerShowsNativePaths()
{
    FileSystemModel model;
    model.setRootPath(QString());
    const QModelIndex folder = model.index(m_dir.filePath("sub"));
    QCOMPARE(folder.data().toString(), QDir::toNativeSeparators(m_dir.filePath("sub")));
    QCOMPARE(model.index(m_file).data().toString(), QDir::toNativeSeparators(m_file));
    // Other columns and roles are the file-system model's own.
    QCOMPARE(model.index(m_file).sibling(model.index(m_file).row(), 1).data().toString(),
             model.QFileSystemModel::data(model.index(m_file).sibling(model.index(m_file).row(), 1)).toString());
#ifndef Q_OS_WIN
    QCOMPARE(model.index(QStringLiteral("/")).data().toString(), QStringLiteral("/"));
#endif

    PathLineEdit edit;
    QVERIFY(dynamic_cast<FileSystemModel *>(edit.completer()->model()));
    QCOMPARE(edit.completer()->completionMode(), QCompleter::UnfilteredPopupCompletion);
}

QTEST_MAIN(TestPathLineEdit)
#include "TestPathLineEdit.moc"
