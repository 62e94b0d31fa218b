#include "applicationEditor/applicationEditor.h"
#include "applicationEditor/templateDatabase.h"
#include "launcherSetup.h"
#include "platform/dataFolder.h"
#include "platform/desktopEntryIndex.h"
#include "platform/fileAccess.h"
#include "platform/platform.h"
#include "qtlib/itemViews.h"
#include "qtlib/pathLineEdit.h"
#include "testSupport.h"
#include "variableEditor/pathEditor.h"
#include "variableEditor/variableEditor.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileIconProvider>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

class TestApplicationEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void findTemplate_data();
    void findTemplate();
    void templateFileSitsInTheFolder();
    void parseVariableType_data();
    void parseVariableType();
    void readVariableTypes();
    void unusualTemplateFiles_data();
    void unusualTemplateFiles();
#ifdef Q_OS_UNIX
    void templatesThatAreNotRead_data();
    void templatesThatAreNotRead();
#endif
    void fillAndCollect();
    void manualCaptionsWithoutTemplate();
    void finishedPathEditLooksUpTemplate();
    void browsedProgramLooksUpTemplate();
    void programWithoutTemplateKeepsTypes();
    void saveKeepsTagAndRecomputesIcon();
    void markupInPreScriptSurvives();
    void buttons();
    void fitsTheScreen();
    void keyboardReachesEveryField();
    void closingWithChangesAsks_data();
    void closingWithChangesAsks();
    void programFillsEmptyName_data();
    void programFillsEmptyName();
    void cellEditsAreKept_data();
    void cellEditsAreKept();
    void shippedTemplates_data();
    void shippedTemplates();
    void shippedTemplateLookup_data();
    void shippedTemplateLookup();

private:
    QString m_previousDir;
    QTemporaryDir m_desktop;
    QTemporaryDir *m_dir = nullptr;
    TestPrompts m_prompts;
};

namespace {

// The template folder of the data folder the test runs in.
QString templates()
{
    return DataFolder(QDir::currentPath()).templateFolder();
}

} // namespace

void TestApplicationEditor::initTestCase()
{
    m_previousDir = QDir::currentPath();
    // A program that a desktop entry of the test's own names; the desktop
    // entries are read once.
    QVERIFY(m_desktop.isValid());
    writeFile(m_desktop.filePath("bin/fine-tool"));
    writeFile(m_desktop.filePath("share/applications/fine.desktop"),
              "[Desktop Entry]\nType=Application\nName=Fine Tool\nExec=" + m_desktop.filePath("bin/fine-tool").toUtf8()
                  + " --now\n");
    qputenv("XDG_DATA_DIRS", QFile::encodeName(m_desktop.filePath("share")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_desktop.filePath("home")));
    // They are read off the GUI thread; the program's first card starts that.
    QTRY_VERIFY(DesktopEntryIndex::instance()->isReady());
}

void TestApplicationEditor::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(QDir::setCurrent(m_dir->path()));
    writeFile(templates() + "/mytool.ini", "[arguments]\n-n=1\n-m=\"4:low,high\"\n[environments]\nTOOL_HOME=7\n");
    writeFile(templates() + "/other.ini", "[arguments]\n--flag=5\n");
}

void TestApplicationEditor::cleanup()
{
    m_prompts.pathChoice = nullptr;
    QDir::setCurrent(m_previousDir);
    delete m_dir;
    m_dir = nullptr;
}

void TestApplicationEditor::findTemplate_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");

    QTest::newRow("first in name order") << QStringList{"javaw.ini", "java.ini"} << "/opt/jdk/bin/javaw.exe"
                                         << "java";
    QTest::newRow("folder name") << QStringList{"tools.ini"} << "/opt/tools/bin/run"
                                 << "tools";
    QTest::newRow("case is ignored") << QStringList{"MyTool.ini"} << "/usr/bin/mytool"
                                     << "MyTool";
    QTest::newRow("order ignores case") << QStringList{"B.ini", "a.ini"} << "/opt/ab"
                                        << "a";
    QTest::newRow("question mark") << QStringList{"my?ool.ini"} << "/usr/bin/myxool"
                                   << "my?ool";
    QTest::newRow("brackets") << QStringList{"[jk]ava.ini"} << "/usr/bin/kava"
                              << "[jk]ava";
    QTest::newRow("brackets are no literal") << QStringList{"[jk]ava.ini"} << "/usr/bin/[jk]ava"
                                             << "";
    QTest::newRow("star") << QStringList{"py*3.ini"} << "/usr/bin/python3"
                          << "py*3";
    QTest::newRow("no match") << QStringList{"gcc.ini"} << "/usr/bin/clang"
                              << "";
    QTest::newRow("empty path") << QStringList{"java.ini"} << ""
                                << "";
    QTest::newRow("dots never match") << QStringList{"zzz.ini"} << "/usr/bin/zzz"
                                      << "zzz";
    QTest::newRow("hidden entries are skipped") << QStringList{".cache.ini"} << "/home/u/.cache/tool"
                                                << "";
    QTest::newRow("last dot ends the name") << QStringList{"tool.v2.ini"} << "/opt/tool.v2/run"
                                            << "tool.v2";
    QTest::newRow("any entry counts") << QStringList{"node/"} << "/usr/lib/node/bin/npm"
                                      << "node";
    QTest::newRow("relative path") << QStringList{"relative.ini"} << "relative/prog"
                                   << "relative";
}

void TestApplicationEditor::findTemplate()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, path);
    QFETCH(QString, name);

    QTemporaryDir folder;
    for (const QString &entry : entries) {
        if (entry.endsWith('/'))
            QDir(folder.path()).mkpath(entry);
        else
            writeFile(folder.filePath(entry));
    }
    QCOMPARE(::findTemplate(path, folder.path()).name, name);
}

void TestApplicationEditor::templateFileSitsInTheFolder()
{
    const ProgramTemplate found = ::findTemplate(QStringLiteral("/usr/bin/mytool"), templates());
    QCOMPARE(found.name, QStringLiteral("mytool"));
    QCOMPARE(found.filePath, QDir::current().absoluteFilePath(templates() + "/mytool.ini"));
    QVERIFY(QFile::exists(found.filePath));
    QCOMPARE(::findTemplate(QStringLiteral("/usr/bin/else"), templates()).filePath,
             QDir::current().absoluteFilePath(templates() + "/.ini"));
}

void TestApplicationEditor::parseVariableType_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("type");
    QTest::addColumn<QVariant>("options");

    QTest::newRow("choices") << "4:low,medium,high" << 4 << QVariant(QStringList{"low", "medium", "high"});
    QTest::newRow("one empty choice") << "4:" << 4 << QVariant(QStringList{""});
    QTest::newRow("empty choices kept") << "4:a,,b" << 4 << QVariant(QStringList{"a", "", "b"});
    QTest::newRow("choice without list") << "4" << 4 << QVariant();
    QTest::newRow("choice with two colons") << "4:a:b" << 4 << QVariant();
    QTest::newRow("integer with parameter") << "1:5" << 1 << QVariant();
    QTest::newRow("path list") << "6" << 6 << QVariant();
    QTest::newRow("not a number") << "abc" << 0 << QVariant();
    QTest::newRow("empty") << "" << 0 << QVariant();
    QTest::newRow("outside the codes") << "42" << 42 << QVariant();
}

void TestApplicationEditor::parseVariableType()
{
    QFETCH(QString, value);
    QFETCH(int, type);
    QFETCH(QVariant, options);

    const VariableType parsed = ::parseVariableType(value);
    QCOMPARE(parsed.type, type);
    QCOMPARE(parsed.options.isValid(), options.isValid());
    QCOMPARE(parsed.options.toStringList(), options.toStringList());
}

void TestApplicationEditor::readVariableTypes()
{
    writeFile("t.ini",
              "[arguments]\nquoted=\"4:low,medium,high\"\nunquoted=4:low,medium,high\n"
              "count=1:5\nsub/key=8\n[environments]\nPATH=6\n[other]\nx=1\n");
    QSettings settings(QStringLiteral("t.ini"), QSettings::IniFormat);
    const VariableTypeHash arguments = ::readVariableTypes(&settings, QStringLiteral("arguments"));
    QCOMPARE(arguments.size(), 4);
    QCOMPARE(arguments.value("quoted").type, 4);
    QCOMPARE(arguments.value("quoted").options.toStringList(), (QStringList{"low", "medium", "high"}));
    QCOMPARE(arguments.value("unquoted").type, 0);
    QCOMPARE(arguments.value("count").type, 1);
    QCOMPARE(arguments.value("sub/key").type, 8);
    QCOMPARE(::readVariableTypes(&settings, QStringLiteral("environments")).value("PATH").type, 6);
    QVERIFY(::readVariableTypes(&settings, QStringLiteral("missing")).isEmpty());
    QVERIFY(settings.group().isEmpty());
}

void TestApplicationEditor::unusualTemplateFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("types");

    QByteArray binary(4096, Qt::Uninitialized);
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char((i * 7919) % 256);
    QTest::newRow("binary") << binary << -1;
    QTest::newRow("1 MB line") << "[arguments]\n-x=\"4:" + QByteArray(1 << 20, 'a') + "\"\n-y=1\n" << 2;
    QTest::newRow("1 MB key") << "[arguments]\n" + QByteArray(1 << 20, 'k') + "=1\n" << 1;
    QTest::newRow("no line feed") << QByteArray("[arguments]\n-y=1") << 1;
}

void TestApplicationEditor::unusualTemplateFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(int, types);

    writeFile(QStringLiteral("unusual.ini"), content);
    QSettings settings(QStringLiteral("unusual.ini"), QSettings::IniFormat);
    const VariableTypeHash arguments = ::readVariableTypes(&settings, QStringLiteral("arguments"));
    if (types >= 0)
        QCOMPARE(arguments.size(), types);
    if (arguments.contains(QStringLiteral("-x")))
        QCOMPARE(arguments.value(QStringLiteral("-x")).options.toStringList().first().size(), 1 << 20);
}

#ifdef Q_OS_UNIX
void TestApplicationEditor::templatesThatAreNotRead_data()
{
    QTest::addColumn<bool>("fifo");
    // A FIFO would hang the dialog; a huge file would fill the memory.
    QTest::newRow("FIFO") << true;
    QTest::newRow("over 1 MiB") << false;
}

void TestApplicationEditor::templatesThatAreNotRead()
{
    QFETCH(bool, fifo);
    const QString fileName = templates() + "/mytool.ini";
    QVERIFY(QFile::remove(fileName));
    if (fifo) {
        QCOMPARE(mkfifo(QFile::encodeName(fileName).constData(), 0600), 0);
    } else {
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[arguments]\n-n=1\n");
        QVERIFY(file.resize(Platform::maxSettingsFileSize + 1));
    }
    ApplicationEditor editor(templates(), &m_prompts);
    // The folder's listing passes over a FIFO; a large file is named.
    if (!fifo)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("mytool.ini is not read")));
    editor.setApplicationData(ApplicationData(QStringLiteral("x"), QString(), QStringLiteral("/usr/local/bin/mytool")));
    const QList<VariableEditor *> editors = editor.findChildren<VariableEditor *>();
    QCOMPARE(editors.at(0)->findChild<QLabel *>()->text(), QStringLiteral("Arguments ( Manual )"));
}
#endif

void TestApplicationEditor::fillAndCollect()
{
    const ApplicationData entry(QStringLiteral("Tool"), QStringLiteral("does things"), QStringLiteral("/usr/bin/else"),
                                QStringLiteral("cd /tmp\necho"), {VariableData("-n", "3"), VariableData()},
                                {VariableData("TOOL_HOME", "/opt")}, true, 9);
    ApplicationEditor editor(templates(), &m_prompts);
    editor.setApplicationData(entry);
    QCOMPARE(editor.findChild<QCheckBox *>(QStringLiteral("FavoriteCheckBox"))->isChecked(), true);
    QCOMPARE(editor.applicationData().toJsonObject(), entry.toJsonObject());
    QCOMPARE(editor.size(), QSize(640, 640));
}

void TestApplicationEditor::manualCaptionsWithoutTemplate()
{
    ApplicationEditor editor(templates(), &m_prompts);
    editor.setApplicationData(ApplicationData(QStringLiteral("x"), QString(), QStringLiteral("/usr/bin/else")));
    const QList<VariableEditor *> editors = editor.findChildren<VariableEditor *>();
    QCOMPARE(editors.at(0)->findChild<QLabel *>()->text(), QStringLiteral("Arguments ( Manual )"));
    QCOMPARE(editors.at(1)->findChild<QLabel *>()->text(), QStringLiteral("Environments ( Manual )"));
}

namespace {

// The class of the value editor a variable editor opens for a row named so.
QString valueEditorFor(VariableEditor *editor, const QString &name)
{
    editor->setVariables({VariableData(name)});
    auto *view = editor->findChild<TableView *>();
    QWidget *created = view->itemDelegate()->createEditor(view->viewport(), QStyleOptionViewItem(),
                                                          view->model()->index(0, 1));
    const QString className = created ? created->metaObject()->className() : QString();
    delete created;
    return className;
}
} // namespace

void TestApplicationEditor::finishedPathEditLooksUpTemplate()
{
    ApplicationEditor editor(templates(), &m_prompts);
    editor.setApplicationData(ApplicationData(QStringLiteral("x"), QString(), QStringLiteral("/usr/bin/else")));
    const QList<VariableEditor *> editors = editor.findChildren<VariableEditor *>();
    QCOMPARE(valueEditorFor(editors.at(0), "-n"), QStringLiteral("QLineEdit"));

    auto *pathEdit = editor.findChild<PathLineEdit *>();
    pathEdit->setText(QStringLiteral("/usr/local/bin/mytool"));
    QCOMPARE(editors.at(0)->findChild<QLabel *>()->text(), QStringLiteral("Arguments ( Manual )"));
    emit pathEdit->editingFinished();
    QCOMPARE(editors.at(0)->findChild<QLabel *>()->text(), QStringLiteral("Arguments ( mytool )"));
    QCOMPARE(editors.at(1)->findChild<QLabel *>()->text(), QStringLiteral("Environments ( mytool )"));
    QCOMPARE(valueEditorFor(editors.at(0), "-n"), QStringLiteral("QSpinBox"));
    QCOMPARE(valueEditorFor(editors.at(0), "-m"), QStringLiteral("QComboBox"));
    QCOMPARE(valueEditorFor(editors.at(1), "TOOL_HOME"), QStringLiteral("PathLineEditButton"));
}

void TestApplicationEditor::browsedProgramLooksUpTemplate()
{
    m_prompts.pathChoice = [](QWidget *, UserPrompts::PathKind, const QString &, const QString &, const QString &) {
        return QStringLiteral("/opt/other/bin/run");
    };
    ApplicationEditor editor(templates(), &m_prompts);
    editor.setApplicationData(ApplicationData());
    editor.findChild<PathLineEditButton *>()->findChild<QPushButton *>()->click();
    QCOMPARE(editor.findChildren<VariableEditor *>().at(0)->findChild<QLabel *>()->text(),
             QStringLiteral("Arguments ( other )"));
    QCOMPARE(editor.applicationData().path(), QStringLiteral("/opt/other/bin/run"));
}

void TestApplicationEditor::programWithoutTemplateKeepsTypes()
{
    ApplicationEditor editor(templates(), &m_prompts);
    editor.setApplicationData(ApplicationData(QStringLiteral("x"), QString(), QStringLiteral("/usr/bin/mytool")));
    VariableEditor *arguments = editor.findChildren<VariableEditor *>().at(0);
    QCOMPARE(arguments->findChild<QLabel *>()->text(), QStringLiteral("Arguments ( mytool )"));

    auto *pathEdit = editor.findChild<PathLineEdit *>();
    pathEdit->setText(QStringLiteral("/usr/bin/else"));
    emit pathEdit->editingFinished();
    QCOMPARE(arguments->findChild<QLabel *>()->text(), QStringLiteral("Arguments ( Manual )"));
    // The lookup informs the editors; it adds no rows.
    QCOMPARE(editor.applicationData().arguments().size(), 0);
    QCOMPARE(valueEditorFor(arguments, "-n"), QStringLiteral("QSpinBox"));
}

void TestApplicationEditor::saveKeepsTagAndRecomputesIcon()
{
    const QString folder = QDir::current().absoluteFilePath(QStringLiteral("program-folder"));
    QVERIFY(QDir().mkpath(folder));
    const ApplicationData entry(QStringLiteral("x"), QString(), QStringLiteral("/nowhere"), QString(), {}, {}, false,
                                5);
    ApplicationEditor editor(templates(), &m_prompts);
    editor.setApplicationData(entry);
    editor.findChild<PathLineEdit *>()->setText(folder);
    const ApplicationData saved = editor.applicationData();
    QCOMPARE(saved.tag(), 5);
    QCOMPARE(saved.path(), folder);
    QCOMPARE(iconImage(saved.icon()), iconImage(QFileIconProvider().icon(QFileInfo(folder))));
}

void TestApplicationEditor::markupInPreScriptSurvives()
{
    const QString script = QStringLiteral("<b>bold</b> &amp; <i>x\n<html><body>echo 1 > out</body></html>\n\ttab");
    ApplicationEditor editor(templates(), &m_prompts);
    editor.setApplicationData(ApplicationData(QStringLiteral("x"), QString(), QString(), script));
    QCOMPARE(editor.findChild<QTextEdit *>()->toPlainText(), script);
    QCOMPARE(editor.applicationData().preScript(), script);
}

void TestApplicationEditor::buttons()
{
    ApplicationEditor editor(templates(), &m_prompts);
    editor.setApplicationData(ApplicationData(QStringLiteral("x")));
    QList<QPushButton *> buttons;
    for (QPushButton *button : editor.findChildren<QPushButton *>()) {
        if (button->text() == QLatin1String("Save") || button->text() == QLatin1String("Close"))
            buttons.append(button);
    }
    QCOMPARE(buttons.size(), 2);
    QPushButton *save = buttons.at(0)->text() == QLatin1String("Save") ? buttons.at(0) : buttons.at(1);
    QPushButton *close = save == buttons.at(0) ? buttons.at(1) : buttons.at(0);
    QVERIFY(save->isDefault());
    {
        ModalAnswerer answerer([close](QWidget *) { close->click(); });
        QCOMPARE(editor.exec(), int(QDialog::Rejected));
    }
    ModalAnswerer answerer([save](QWidget *) { save->click(); });
    QCOMPARE(editor.exec(), int(QDialog::Accepted));
}

// However small the screen, Save stays on it: the fields scroll instead.
void TestApplicationEditor::fitsTheScreen()
{
    const ProgramStyleSheet styleSheet;
    ApplicationEditor editor(templates(), &m_prompts);
    VariableDataList many;
    for (int i = 0; i < 40; ++i)
        many.append(VariableData(QStringLiteral("-v%1").arg(i)));
    editor.setApplicationData(ApplicationData("a", "b", "/bin/sh", "echo", many, many));
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    const QRect screen = editor.screen()->availableGeometry();
    QPushButton *save = nullptr;
    for (QPushButton *button : editor.findChildren<QPushButton *>()) {
        if (button->text() == QStringLiteral("Save"))
            save = button;
    }
    QVERIFY(save);
    const QRect saveOnScreen(save->mapToGlobal(QPoint(0, 0)), save->size());
    const QSize saveHint = save->sizeHint();
    const QRect frame = editor.frameGeometry();
    QVERIFY2(screen.contains(frame), qPrintable(QStringLiteral("%1x%2").arg(frame.width()).arg(frame.height())));
    QVERIFY(screen.contains(saveOnScreen));
    QVERIFY(saveOnScreen.width() >= saveHint.width() && saveOnScreen.height() >= saveHint.height());
}

// Tab reaches every field, table and button in the order they stand, and
// each shows that it has the keyboard. In the pre script, Tab moves on and
// Ctrl+Tab writes a tab.
void TestApplicationEditor::keyboardReachesEveryField()
{
    const ProgramStyleSheet styleSheet;
    ApplicationEditor editor(templates(), &m_prompts);
    editor.setApplicationData(ApplicationData("a", "b", "/bin/sh", "echo", {VariableData("-x")}, {}));
    editor.show();
    QApplication::setActiveWindow(&editor);
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    auto *name = editor.findChildren<QLineEdit *>().first();
    name->setFocus();
    QStringList reached;
    QList<QWidget *> seen;
    for (int i = 0; i < 20 && !seen.contains(QApplication::focusWidget()); ++i) {
        QWidget *focused = QApplication::focusWidget();
        seen.append(focused);
        const QImage withFocus = focused->grab().toImage();
        if (auto *script = qobject_cast<QTextEdit *>(focused)) {
            QTest::keyClick(script, Qt::Key_Tab, Qt::ControlModifier);
            QCOMPARE(script->toPlainText(), QStringLiteral("\techo"));
        }
        QTest::keyClick(focused, Qt::Key_Tab);
        QVERIFY2(focused->grab().toImage() != withFocus, focused->metaObject()->className());
        reached.append(QString::fromLatin1(focused->metaObject()->className()));
    }
    QCOMPARE(reached,
             (QStringList{"QLineEdit", "QCheckBox", "QLineEdit", "PathLineEdit", "QPushButton", "QTextEdit",
                          "QPushButton", "TableView", "QPushButton", "TableView", "QPushButton", "QPushButton"}));
}

void TestApplicationEditor::closingWithChangesAsks_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("change"); // typed into the name, or into a value's cell left open
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("result");

    struct Row
    {
        const char *what;
        const char *change;
        const char *answer; // none: Escape in the box
        bool open;
        int result;
    };
    const Row rows[] = {
        {"unchanged", "", "", false, QDialog::Rejected},
        {"Save", "name", "Save", false, QDialog::Accepted},
        {"Discard", "name", "Discard", false, QDialog::Rejected},
        {"Cancel", "name", "Cancel", true, -1},
        {"Escape in the box", "name", "", true, -1},
    };
    for (const char *how : {"Close", "Escape", "window"}) {
        for (const Row &row : rows)
            QTest::addRow("%s, %s", how, row.what) << how << row.change << row.answer << row.open << row.result;
    }
    for (const Row &row : {rows[1], rows[3]}) {
        QTest::addRow("window, cell being typed, %s", row.what)
            << "window" << QString("cell") << row.answer << row.open << row.result;
    }
}

void TestApplicationEditor::closingWithChangesAsks()
{
    QFETCH(QString, how);
    QFETCH(QString, change);
    QFETCH(QString, answer);
    QFETCH(bool, open);
    QFETCH(int, result);

    ApplicationEditor editor(templates(), &m_prompts);
    editor.setApplicationData(ApplicationData(QStringLiteral("x"), QStringLiteral("about x"), QString(), QString(),
                                              {VariableData(QStringLiteral("-v"), QStringLiteral("1"))}));
    editor.show();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    QLineEdit *name = editor.findChild<QLineEdit *>();
    if (change == "name") {
        QTest::mouseClick(name, Qt::LeftButton);
        QTest::keyClicks(name, QStringLiteral("yz"));
    } else if (change == "cell") {
        doubleClick(editor.findChild<VariableEditor *>()->findChild<TableView *>(), 0, 1);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("2"));
    }
    QStringList offered;
    ModalAnswerer answerer([&](QWidget *window) {
        auto *box = qobject_cast<QMessageBox *>(window);
        for (QAbstractButton *button : box->buttons())
            offered.append(button->text());
        if (answer.isEmpty()) {
            QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == answer)
                button->click();
        }
    });
    if (how == "Close") {
        for (QPushButton *button : editor.findChildren<QPushButton *>()) {
            if (button->text() == QLatin1String("Close"))
                QTest::mouseClick(button, Qt::LeftButton);
        }
    } else if (how == "Escape") {
        QTest::keyClick(name, Qt::Key_Escape);
    } else {
        editor.close();
    }
    QCOMPARE(answerer.messages(),
             change.isEmpty() ? QStringList() : QStringList("Korvani: Save the changes to this entry?"));
    if (!change.isEmpty())
        QCOMPARE(QSet<QString>(offered.begin(), offered.end()), (QSet<QString>{"Save", "Discard", "Cancel"}));
    QCOMPARE(editor.isVisible(), open);
    if (!open)
        QCOMPARE(editor.result(), result);
    QCOMPARE(editor.applicationData().name(), change == "name" ? QStringLiteral("xyz") : QStringLiteral("x"));
    QCOMPARE(editor.applicationData().arguments().first().value(),
             change == "cell" ? QStringLiteral("2") : QStringLiteral("1"));
}

void TestApplicationEditor::programFillsEmptyName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("browse");
    QTest::addColumn<QString>("filled");

    QTest::newRow("empty, typed") << ""
                                  << "/opt/py/bin/python3.11" << false << "python3.11";
    QTest::newRow("new entry, browsed") << "No Name"
                                        << "/opt/py/bin/python3.11" << true << "python3.11";
    QTest::newRow("new entry, typed") << "No Name"
                                      << "/opt/tool.v2/run.sh" << false << "run.sh";
    QTest::newRow("named by the user") << "Mine"
                                       << "/opt/py/bin/python3.11" << false << "Mine";
    QTest::newRow("no program") << "No Name"
                                << "" << false << "No Name";
    QTest::newRow("named by a desktop entry") << "" << m_desktop.filePath("bin/fine-tool") << true << "Fine Tool";
}

void TestApplicationEditor::programFillsEmptyName()
{
    QFETCH(QString, name);
    QFETCH(QString, program);
    QFETCH(bool, browse);
    QFETCH(QString, filled);

    m_prompts.pathChoice = [program](QWidget *, UserPrompts::PathKind, const QString &, const QString &,
                                     const QString &) { return program; };
    ApplicationEditor editor(templates(), &m_prompts);
    editor.setApplicationData(ApplicationData(name));
    editor.show();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    auto *pathEdit = editor.findChild<PathLineEdit *>();
    if (browse) {
        QTest::mouseClick(editor.findChild<PathLineEditButton *>()->findChild<QPushButton *>(), Qt::LeftButton);
    } else {
        QTest::mouseClick(pathEdit, Qt::LeftButton);
        QTest::keyClicks(pathEdit, program);
        QTest::keyClick(pathEdit, Qt::Key_Tab);
    }
    QCOMPARE(editor.findChild<QLineEdit *>()->text(), filled);
    QCOMPARE(editor.applicationData().path(), program);
}

void TestApplicationEditor::cellEditsAreKept_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("savedName");
    QTest::addColumn<QString>("savedValue");

    struct Cell
    {
        const char *what;
        int column;
        int type;
        QString value;
        QString typed; // a tab moves on to the next cell
        QString savedName;
        QString savedValue;
    };
    const QString added = "/old" + QString(Platform::pathListSeparator()) + "/added";
    const Cell cells[] = {
        {"new name", 0, VariableType::TextType, "old", "-c", "-c", ""},
        {"new name and value", 0, VariableType::TextType, "old", "-c\tval", "-c", "val"},
        {"text", 1, VariableType::TextType, "old", "new", "v", "new"},
        {"integer", 1, VariableType::IntegerType, "5", "42", "v", "42"},
        {"real", 1, VariableType::RealType, "1.5", "2.75", "v", "2.75"},
        {"boolean", 1, VariableType::BooleanType, "false", " ", "v", "true"},
        {"choice", 1, VariableType::ChoiceType, "low", "high", "v", "high"},
        {"no value", 1, VariableType::NoValueType, "kept", "x", "v", "kept"},
        {"folder list", 1, VariableType::PathListType, "/old", "", "v", added},
        {"folder", 1, VariableType::DirectoryType, "/old", "/usr", "v", "/usr"},
        {"file", 1, VariableType::FileType, "/old", "/etc/hosts", "v", "/etc/hosts"},
    };
    for (const char *ending : {"Enter", "Tab", "Shift+Tab", "click elsewhere", "Save", "Enter on the dialog"}) {
        for (const Cell &cell : cells) {
            QTest::addRow("%s, %s", cell.what, ending) << cell.column << cell.type << QString(ending) << cell.value
                                                       << cell.typed << cell.savedName << cell.savedValue;
        }
    }
}

namespace {

// Where the window system delivers a key: an open popup, such as a
// completer's list, takes it before the focus widget. The offscreen platform
// does not hand the activation back to the window when a popup or dialog
// closes, as window systems do.
QWidget *keyTarget(QWidget *window)
{
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup;
    if (!window->isActiveWindow()) {
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window))
            return nullptr;
    }
    return QApplication::focusWidget();
}

void pressKey(QWidget *window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(keyTarget(window), key, modifiers);
}

void typeKeys(QWidget *window, const QString &text)
{
    for (const QChar c : text)
        QTest::keyClick(keyTarget(window), c.toLatin1());
}

} // namespace

// The user opens a cell's editor by double-clicking it, types, and ends the
// edit in any way: what was typed is saved.
void TestApplicationEditor::cellEditsAreKept()
{
    QFETCH(int, column);
    QFETCH(int, type);
    QFETCH(QString, ending);
    QFETCH(QString, value);
    QFETCH(QString, typed);
    QFETCH(QString, savedName);
    QFETCH(QString, savedValue);

    ApplicationEditor editor(templates(), &m_prompts);
    editor.setApplicationData(ApplicationData(QStringLiteral("x"), QString(), QStringLiteral("/usr/bin/else"),
                                              QString(), {VariableData(QStringLiteral("v"), value)}));
    VariableType variableType;
    variableType.type = type;
    variableType.options = QStringList{QStringLiteral("low"), QStringLiteral("high")};
    auto *arguments = editor.findChild<VariableEditor *>();
    // Typed names that a template knows open the completer's list.
    arguments->setTypes({{QStringLiteral("v"), variableType},
                         {QStringLiteral("-c"), VariableType()},
                         {QStringLiteral("-cc"), VariableType()}});
    editor.show();
    QVERIFY(QTest::qWaitForWindowActive(&editor));

    auto *view = arguments->findChild<TableView *>();
    // The folder-list dialog is the one editor that is a window of its own.
    ModalAnswerer answerer([](QWidget *dialog) {
        if (auto *pathEditor = qobject_cast<PathEditor *>(dialog)) {
            pathEditor->appendPath(QStringLiteral("/added"));
            pathEditor->accept();
        }
    });
    doubleClick(view, 0, column);
    const bool inCell = keyTarget(&editor) != view && view->isAncestorOf(QApplication::focusWidget());
    for (const QString &cell : typed.split('\t', Qt::SkipEmptyParts)) {
        if (cell != typed.left(cell.size()))
            pressKey(&editor, Qt::Key_Tab);
        // Typing replaces the value, as it does in a spreadsheet's cell.
        pressKey(&editor, Qt::Key_A, Qt::ControlModifier);
        typeKeys(&editor, cell);
    }
    QPushButton *save = nullptr;
    for (QPushButton *button : editor.findChildren<QPushButton *>()) {
        if (button->text() == QLatin1String("Save"))
            save = button;
    }
    if (ending == "Enter") {
        pressKey(&editor, Qt::Key_Return);
        // Enter in a cell's editor ends that edit only; a completer's list
        // takes the first Enter itself. Without an editor, Enter is the dialog's.
        if (QApplication::focusWidget() != view && view->isAncestorOf(QApplication::focusWidget()))
            pressKey(&editor, Qt::Key_Return);
        QTRY_COMPARE(view->model()->index(0, 1).data().toString(), savedValue);
        QCOMPARE(editor.isVisible(), inCell);
    } else if (ending == "Tab") {
        pressKey(&editor, Qt::Key_Tab);
    } else if (ending == "Shift+Tab") {
        pressKey(&editor, Qt::Key_Backtab, Qt::ShiftModifier);
    } else if (ending == "click elsewhere") {
        QLineEdit *description = editor.findChildren<QLineEdit *>().at(1);
        QTest::mouseClick(description, Qt::LeftButton);
        QTRY_VERIFY(description->hasFocus());
    } else if (ending == "Enter on the dialog") {
        while (editor.isVisible()) {
            pressKey(&editor, Qt::Key_Return);
            QTest::qWait(0);
        }
    }
    if (editor.isVisible())
        QTest::mouseClick(save, Qt::LeftButton);
    QVERIFY(!editor.isVisible());
    QCOMPARE(editor.result(), int(QDialog::Accepted));
    const VariableDataList saved = editor.applicationData().arguments();
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved.first().name(), savedName);
    QCOMPARE(saved.first().value(), savedValue);
}

namespace {

struct ShippedLookup
{
    const char *system;
    const char *path;
    const char *name;
};

// Programs as Debian and Windows install them, with the shipped template each
// one gets. A comment marks a program that gets neither a template of its own
// nor none, or none although one fits, and says why.
const ShippedLookup shippedLookups[] = {
    {"linux", "/usr/bin/bash", "bash"},
    {"linux", "/bin/bash", "bash"},
    // Restricted bash takes bash's options.
    {"linux", "/usr/bin/rbash", "bash"},
    // Holds /usr/bin/bash whole, so it can only get bash's template or one of its own.
    {"linux", "/usr/bin/bashbug", "bash"},
    {"linux", "/usr/bin/dash", ""},
    {"linux", "/usr/bin/zsh", ""},
    {"linux", "/usr/bin/make", "make"},
    {"linux", "/usr/bin/cmake", "cmake"},
    {"linux", "/usr/bin/ccmake", "cmake"},
    {"linux", "/usr/bin/ctest", ""},
    {"linux", "/usr/bin/automake", "automake"},
    {"linux", "/usr/bin/automake-1.16", "automake"},
    {"linux", "/usr/bin/qmake", "[q]make"},
    {"linux", "/usr/lib/qt5/bin/qmake", "[q]make"},
    {"linux", "/usr/bin/qmake6", "[q]make"},
    {"linux", "/usr/bin/makeinfo", "[m]akeinfo"},
    {"linux", "/usr/bin/ninja", ""},
    {"linux", "/usr/bin/meson", ""},
    {"linux", "/usr/bin/gcc", "gcc"},
    {"linux", "/usr/bin/gcc-12", "gcc"},
    {"linux", "/usr/bin/x86_64-linux-gnu-gcc-12", "gcc"},
    {"linux", "/usr/bin/arm-linux-gnueabihf-gcc", "gcc"},
    // The archiver wrapper holds /usr/bin/gcc whole.
    {"linux", "/usr/bin/gcc-ar-12", "gcc"},
    {"linux", "/usr/bin/g++-12", ""},
    {"linux", "/usr/bin/clang-14", ""},
    {"linux", "/usr/bin/gdb", ""},
    {"linux", "/usr/bin/git", "bin[.-0]git"},
    {"linux", "/usr/local/bin/git", "bin[.-0]git"},
    {"linux", "/home/gitta/.local/bin/git", "bin[.-0]git"},
    {"linux", "/home/gitta/bin/backup", ""},
    {"linux", "/home/anna/git/korvani/build/korvani", ""},
    {"linux", "/usr/bin/gitk", "[g]itk"},
    // Holds /usr/bin/git whole, as gitk does, but has no template of its own.
    {"linux", "/usr/bin/gitg", "bin[.-0]git"},
    // git's template answers only to bin/git, so that folders named after git
    // (~/git, /home/gitta) do not pick it; git's own copy here is the price.
    {"linux", "/usr/lib/git-core/git", ""},
    {"linux", "/usr/bin/java", "bin[.-0]java"},
    {"linux", "/usr/lib/jvm/java-17-openjdk-amd64/bin/java", "bin[.-0]java"},
    {"linux", "/usr/lib/jvm/java-17-openjdk-amd64/bin/javac", "[j]avac"},
    {"linux", "/usr/bin/javac", "[j]avac"},
    {"linux", "/usr/lib/jvm/java-17-openjdk-amd64/bin/jshell", ""},
    {"linux", "/usr/lib/jvm/java-17-openjdk-amd64/bin/keytool", ""},
    {"linux", "/usr/lib/jvm/java-17-openjdk-amd64/bin/jar", ""},
    {"linux", "/usr/bin/jshell", ""},
    // Holds .../bin/java whole.
    {"linux", "/usr/lib/jvm/java-17-openjdk-amd64/bin/javadoc", "bin[.-0]java"},
    {"linux", "/usr/bin/node", "bin[.-0]node"},
    {"linux", "/usr/bin/nodejs", "bin[.-0]node"},
    {"linux", "/home/anna/.nvm/versions/node/v20.11.0/bin/node", "bin[.-0]node"},
    {"linux", "/home/anna/site/node_modules/.bin/node", "bin[.-0]node"},
    {"linux", "/home/anna/site/node_modules/.bin/eslint", ""},
    {"linux", "/usr/bin/npm", ""},
    // Holds /usr/bin/node whole.
    {"linux", "/usr/bin/node-gyp", "bin[.-0]node"},
    {"linux", "/usr/bin/python3", "python3"},
    {"linux", "/usr/bin/python3.11", "python3"},
    {"linux", "/home/anna/.venv/bin/python3", "python3"},
    {"linux", "/usr/bin/python3-config", "python3-config"},
    {"linux", "/usr/bin/x86_64-linux-gnu-python3-config", "python3-config"},
    // Holds /usr/bin/python3 whole, and the version between python3 and
    // -config keeps python3-config's name from matching.
    {"linux", "/usr/bin/python3.11-config", "python3"},
    {"linux", "/usr/bin/pip3", ""},
    {"linux", "/usr/bin/perl", ""},
    {"linux", "/usr/bin/ruby", ""},
    {"linux", "/usr/bin/ssh", "ssh"},
    {"linux", "/usr/bin/ssh-keygen", "ssh-keygen"},
    {"linux", "/usr/bin/sshfs", "[s]shfs"},
    // Holds /usr/bin/ssh whole.
    {"linux", "/usr/bin/ssh-copy-id", "ssh"},
    {"linux", "/usr/bin/scp", ""},
    {"linux", "/usr/bin/sftp", ""},
    {"linux", "/usr/bin/rsync", ""},
    {"linux", "/usr/bin/curl", ""},
    {"linux", "/usr/bin/ffmpeg", "ffmpeg"},
    {"linux", "/usr/bin/ffprobe", ""},
    {"linux", "/usr/bin/firefox-esr", "firefox"},
    {"linux", "/usr/lib/firefox-esr/firefox-esr", "firefox"},
    {"linux", "/usr/bin/chromium", "chromium"},
    {"linux", "/usr/lib/chromium/chromium", "chromium"},
    {"linux", "/usr/bin/chromedriver", ""},
    {"linux", "/usr/bin/thunderbird", ""},
    {"linux", "/usr/bin/libreoffice", ""},
    {"linux", "/usr/bin/gimp", ""},
    {"linux", "/usr/bin/inkscape", ""},
    {"linux", "/usr/bin/vlc", ""},
    {"linux", "/usr/bin/mpv", ""},
    {"linux", "/usr/bin/evince", ""},
    {"linux", "/usr/bin/vim.basic", ""},
    {"linux", "/usr/bin/emacs", ""},
    {"linux", "/usr/bin/gnome-terminal", ""},
    {"linux", "/usr/bin/xterm", ""},
    {"linux", "/usr/bin/htop", ""},
    {"linux", "/usr/bin/keepassxc", ""},
    {"linux", "/usr/games/sol", ""},
    {"linux", "/usr/games/gnome-mines", ""},
    {"linux", "/usr/games/supertuxkart", ""},
    {"windows", "C:/Program Files/Git/cmd/git.exe", "git.exe"},
    {"windows", "C:/Program Files/Git/mingw64/bin/git.exe", "git.exe"},
    {"windows", "C:/Program Files/Git/cmd/gitk.exe", ""},
    {"windows", "C:/Program Files/Git/git-bash.exe", ""},
    {"windows", "C:/Program Files/Git/usr/bin/ssh.exe", ""},
    {"windows", "C:/Users/Birgit/AppData/Local/Programs/Notes/notes.exe", ""},
    {"windows", "C:/Python312/python.exe", "python[.w]"},
    {"windows", "C:/Python312/pythonw.exe", "python[.w]"},
    {"windows", "C:/Users/anna/AppData/Local/Programs/Python/Python312/python.exe", "python[.w]"},
    {"windows", "C:/Python312/Scripts/pip.exe", ""},
    {"windows", "C:/Windows/py.exe", ""},
    {"windows", "C:/Program Files/Java/jdk-21/bin/java.exe", "java[.w]"},
    {"windows", "C:/Program Files/Java/jdk-21/bin/javaw.exe", "java[.w]"},
    {"windows", "C:/Program Files/Eclipse Adoptium/jre-17.0.10.7-hotspot/bin/javaw.exe", "java[.w]"},
    {"windows", "C:/Program Files/Java/jdk-21/bin/javac.exe", ""},
    {"windows", "C:/Program Files/Java/jdk-21/bin/jshell.exe", ""},
    {"windows", "C:/ffmpeg/bin/ffmpeg.exe", "ffmpeg.exe"},
    {"windows", "C:/ffmpeg/bin/ffprobe.exe", ""},
    {"windows", "C:/Program Files/nodejs/node.exe", ""},
};

} // namespace

void TestApplicationEditor::shippedTemplates_data()
{
    QTest::addColumn<QString>("fileName");

    int count = 0;
    for (const QString system : {"linux", "windows"}) {
        const QDir folder(QStringLiteral(KORVANI_TEMPLATE_SOURCE_DIR) + '/' + system);
        for (const QFileInfo &file : folder.entryInfoList({QStringLiteral("*.ini")}, QDir::Files)) {
            QTest::newRow(qPrintable(system + '/' + file.fileName())) << file.absoluteFilePath();
            ++count;
        }
    }
    QVERIFY(count >= 14);
}

void TestApplicationEditor::shippedTemplates()
{
    QFETCH(QString, fileName);

    // A template that sorts after another matching all its programs is never
    // read: some listed program must reach it.
    const QFileInfo file(fileName);
    bool reached = false;
    for (const ShippedLookup &lookup : shippedLookups)
        reached = reached || (file.dir().dirName() == lookup.system && file.completeBaseName() == lookup.name);
    QVERIFY2(reached, "no listed program gets this template");

    QSettings settings(fileName, QSettings::IniFormat);
    QCOMPARE(settings.status(), QSettings::NoError);
    // A program may read no environment variables of its own.
    const QStringList groups = settings.childGroups();
    QVERIFY(groups.contains(QStringLiteral("arguments")));
    QVERIFY(groups.size() == 1 || groups == (QStringList{"arguments", "environments"}));
    QVERIFY(settings.childKeys().isEmpty());
    for (const QString &group : groups) {
        settings.beginGroup(group);
        for (const QString &key : settings.allKeys()) {
            const QVariant value = settings.value(key);
            QVERIFY2(value.userType() == QMetaType::QString, qPrintable(key + " has an unquoted list"));
            bool isNumber = false;
            const int code = value.toString().section(':', 0, 0).toInt(&isNumber);
            QVERIFY2(isNumber && code >= 0 && code <= 8, qPrintable(key));
            const VariableType type = ::parseVariableType(value.toString());
            if (code == VariableType::ChoiceType)
                QVERIFY2(!type.options.toStringList().isEmpty(), qPrintable(key));
            QVERIFY2(!key.contains(' '), qPrintable(key));
        }
        settings.endGroup();
    }
}

void TestApplicationEditor::shippedTemplateLookup_data()
{
    QTest::addColumn<QString>("system");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");

    for (const ShippedLookup &lookup : shippedLookups)
        QTest::newRow(lookup.path) << QString(lookup.system) << QString(lookup.path) << QString(lookup.name);
}

void TestApplicationEditor::shippedTemplateLookup()
{
    QFETCH(QString, system);
    QFETCH(QString, path);
    QFETCH(QString, name);

    const ProgramTemplate found = ::findTemplate(
        path, QStringLiteral(KORVANI_TEMPLATE_SOURCE_DIR) + QLatin1Char('/') + system);
    QCOMPARE(found.name, name);
    QCOMPARE(QFile::exists(found.filePath), !name.isEmpty());
}

QTEST_MAIN(TestApplicationEditor)
#include "TestApplicationEditor.moc"
