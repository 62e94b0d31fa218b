#include "launcherSetup.h"
#include "platform/platform.h"
#include "qtlib/itemViews.h"
#include "qtlib/pathLineEdit.h"
#include "testSupport.h"
#include "variableEditor/pathEditor.h"
#include "variableEditor/variableDataModel.h"
#include "variableEditor/variableDelegate.h"
#include "variableEditor/variableEditor.h"
#include "variableEditor/variableType.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtTest>

using Model = VariableDataModel;

namespace {

VariableDataList variables(const QStringList &names)
{
    VariableDataList list;
    for (const QString &name : names)
        list.append(VariableData(name, name + QStringLiteral("-value")));
    return list;
}

VariableTypeHash sampleTypes()
{
    VariableTypeHash types;
    types.insert(QStringLiteral("int"), {VariableType::IntegerType, QVariant()});
    types.insert(QStringLiteral("real"), {VariableType::RealType, QVariant()});
    types.insert(QStringLiteral("bool"), {VariableType::BooleanType, QVariant()});
    types.insert(QStringLiteral("choice"), {VariableType::ChoiceType, QStringList{"x", "y"}});
    types.insert(QStringLiteral("none"), {VariableType::NoValueType, QVariant()});
    types.insert(QStringLiteral("PATH"), {VariableType::PathListType, QVariant()});
    types.insert(QStringLiteral("dir"), {VariableType::DirectoryType, QVariant()});
    types.insert(QStringLiteral("file"), {VariableType::FileType, QVariant()});
    types.insert(QStringLiteral("text"), {VariableType::TextType, QVariant()});
    types.insert(QStringLiteral("odd"), {42, QVariant()});
    return types;
}

// Writes a folder list with ";" and gives it this system's separator.
QString folderList(QString text)
{
    return text.replace(QLatin1Char(';'), Platform::pathListSeparator());
}

TableView *table(VariableEditor &editor)
{
    return editor.findChild<TableView *>();
}

QPoint cellCentre(QAbstractItemView *view, int row, int column)
{
    return view->visualRect(view->model()->index(row, column)).center();
}

} // namespace

class TestVariableEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void modelData_data();
    void modelData();
    void modelSetData_data();
    void modelSetData();
    void modelUnusableIndexes();
    void headerAndFlags();
    void newEditor();
    void addingRows_data();
    void addingRows();
    void deleteRemovesWholeRowsOnce();
    void variablesShownBeforeAndAfterShowing();
    void valueEditors_data();
    void valueEditors();
    void noValueOpensNothing();
    void pathFieldTakesTypingAndEnter();
    void nameEditor();
    void unknownNameIsNotAdded();
    void deleteMarkOnAnyButton();
    void deleteMarkPainting();
    void pathListDialog_data();
    void pathListDialog();
    void setPaths_data();
    void setPaths();
    void pathEditorMenu();
    void directoryDrops();
    void pathEditorCloseRejects();

private:
    QTemporaryDir m_dir;
    TestPrompts m_prompts;
};

void TestVariableEditor::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestVariableEditor::modelData_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("display name") << 0 << int(Qt::DisplayRole) << QVariant("n");
    QTest::newRow("display value") << 1 << int(Qt::DisplayRole) << QVariant("v");
    QTest::newRow("display mark column") << 2 << int(Qt::DisplayRole) << QVariant();
    QTest::newRow("name role in mark column") << 2 << int(Model::NameRole) << QVariant("n");
    QTest::newRow("value role in name column") << 0 << int(Model::ValueRole) << QVariant("v");
    QTest::newRow("edit role") << 0 << int(Qt::EditRole) << QVariant();
    QTest::newRow("tooltip") << 1 << int(Qt::ToolTipRole) << QVariant();
}

void TestVariableEditor::modelData()
{
    QFETCH(int, column);
    QFETCH(int, role);
    QFETCH(QVariant, expected);

    Model model;
    model.setVariables({VariableData(QStringLiteral("n"), QStringLiteral("v"))});
    QCOMPARE(model.index(0, column).data(role), expected);
}

void TestVariableEditor::modelSetData_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("stored");

    QTest::newRow("edit name") << 0 << int(Qt::EditRole) << QVariant("m") << "m"
                               << "";
    QTest::newRow("edit value") << 1 << int(Qt::EditRole) << QVariant("w") << "n"
                                << "w";
    QTest::newRow("edit mark column") << 2 << int(Qt::EditRole) << QVariant("w") << "n"
                                      << "v";
    QTest::newRow("name role") << 1 << int(Model::NameRole) << QVariant("m") << "m"
                               << "";
    QTest::newRow("same name keeps the value") << 2 << int(Model::NameRole) << QVariant("n") << "n"
                                               << "v";
    QTest::newRow("integer value") << 0 << int(Model::ValueRole) << QVariant(42) << "n"
                                   << "42";
    QTest::newRow("boolean value") << 0 << int(Model::ValueRole) << QVariant(true) << "n"
                                   << "true";
    QTest::newRow("real value") << 1 << int(Model::ValueRole) << QVariant(2.5) << "n"
                                << "2.5";
    QTest::newRow("unrelated role") << 0 << int(Qt::ToolTipRole) << QVariant("t") << "n"
                                    << "v";
}

void TestVariableEditor::modelSetData()
{
    QFETCH(int, column);
    QFETCH(int, role);
    QFETCH(QVariant, value);
    QFETCH(QString, name);
    QFETCH(QString, stored);

    Model model;
    QAbstractItemModelTester tester(&model);
    model.setVariables({VariableData(QStringLiteral("first")), VariableData(QStringLiteral("n"), QStringLiteral("v"))});
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    const QModelIndex index = model.index(1, column);
    QVERIFY(model.setData(index, value, role));
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.first().at(0).toModelIndex(), index);
    QCOMPARE(model.variables().at(1).name(), name);
    QCOMPARE(model.variables().at(1).value(), stored);
    QCOMPARE(model.variables().at(0).name(), QStringLiteral("first"));
}

void TestVariableEditor::modelUnusableIndexes()
{
    Model model;
    model.setVariables(variables({"a"}));
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(!model.setData(model.index(1, 0), QStringLiteral("x"), Model::NameRole));
    QVERIFY(!model.setData(QModelIndex(), QStringLiteral("x"), Model::NameRole));
    QVERIFY(!model.index(1, 0).data(Model::NameRole).isValid());
    QCOMPARE(changes.count(), 0);
    QVERIFY(!model.removeRows(1, 1));
    QVERIFY(!model.insertRows(2, 1));
    QCOMPARE(model.rowCount(), 1);
}

void TestVariableEditor::headerAndFlags()
{
    Model model;
    model.setVariables(variables({"a"}));
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name"));
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Value"));
    QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QString());
    QCOMPARE(model.headerData(0, Qt::Vertical).toInt(), 1);
    QCOMPARE(model.columnCount(), 3);
    for (int column = 0; column < 3; ++column)
        QVERIFY(model.flags(model.index(0, column)) & Qt::ItemIsEditable);
}

void TestVariableEditor::newEditor()
{
    VariableEditor editor(&m_prompts);
    QCOMPARE(editor.findChild<QLabel *>()->text(), QStringLiteral("Variable Editor"));
    QCOMPARE(table(editor)->model()->rowCount(), 0);
    QVERIFY(table(editor)->horizontalHeader()->isHidden());
    QVERIFY(table(editor)->verticalHeader()->isHidden());
    editor.setTitle(QStringLiteral("Arguments ( Manual )"));
    QCOMPARE(editor.findChild<QLabel *>()->text(), QStringLiteral("Arguments ( Manual )"));
}

void TestVariableEditor::addingRows_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("insert key") << "insert";
    QTest::newRow("plus button") << "button";
    QTest::newRow("context menu") << "menu";
}

void TestVariableEditor::addingRows()
{
    QFETCH(QString, how);

    VariableEditor editor(&m_prompts);
    editor.setVariables(variables({"a", "b"}));
    editor.show();
    if (how == "insert") {
        QTest::keyClick(table(editor), Qt::Key_Insert);
    } else if (how == "button") {
        editor.findChild<QPushButton *>()->click();
    } else {
        QStringList offered;
        chooseFromNextMenu(QStringLiteral("Add"), &offered);
        editor.createContextMenu(QPoint(2, 2));
        QCOMPARE(offered, (QStringList{"Add", "Remove"}));
    }
    const VariableDataList list = editor.variables();
    QCOMPARE(list.size(), 3);
    QVERIFY(list.last().name().isEmpty());
    QVERIFY(list.last().value().isEmpty());
    QVERIFY(table(editor)->selectionModel()->selectedIndexes().isEmpty());
}

void TestVariableEditor::deleteRemovesWholeRowsOnce()
{
    VariableEditor editor(&m_prompts);
    editor.setVariables(variables({"0", "1", "2", "3"}));
    TableView *view = table(editor);
    view->selectionModel()->select(view->model()->index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    view->selectionModel()->select(view->model()->index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(rowTexts(view->model()), (QStringList{"0", "2"}));

    // The context menu's Remove goes the same way.
    view->selectionModel()->select(view->model()->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    editor.show();
    QStringList offered;
    chooseFromNextMenu(QStringLiteral("Remove"), &offered);
    editor.createContextMenu(QPoint(2, 2));
    QCOMPARE(rowTexts(view->model()), QStringList{"2"});
}

void TestVariableEditor::variablesShownBeforeAndAfterShowing()
{
    VariableEditor editor(&m_prompts);
    editor.setVariables(variables({"a", "b", "c"}));
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    QCOMPARE(table(editor)->verticalHeader()->count(), 3);
    QCOMPARE(rowTexts(table(editor)->model()), (QStringList{"a", "b", "c"}));

    editor.setVariables(variables({"d"}));
    QCOMPARE(table(editor)->verticalHeader()->count(), 1);
    editor.setVariables({VariableData(QStringLiteral("x")), VariableData()});
    QCOMPARE(editor.variables().size(), 2);
    QVERIFY(editor.variables().last().name().isEmpty());
}

void TestVariableEditor::valueEditors_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("editorClass");
    QTest::addColumn<QVariant>("shown");
    QTest::addColumn<QVariant>("entered");
    QTest::addColumn<QString>("stored");

    QTest::newRow("integer") << "int"
                             << "12"
                             << "QSpinBox" << QVariant(12) << QVariant(42) << "42";
    QTest::newRow("integer from text") << "int"
                                       << "abc"
                                       << "QSpinBox" << QVariant(0) << QVariant(-99999) << "-99999";
    QTest::newRow("real") << "real"
                          << "2.5"
                          << "QDoubleSpinBox" << QVariant(2.5) << QVariant(3.25) << "3.25";
    QTest::newRow("boolean false") << "bool"
                                   << "false"
                                   << "QCheckBox" << QVariant(false) << QVariant(true) << "true";
    QTest::newRow("boolean empty") << "bool"
                                   << ""
                                   << "QCheckBox" << QVariant(false) << QVariant(false) << "false";
    QTest::newRow("boolean other text") << "bool"
                                        << "yes"
                                        << "QCheckBox" << QVariant(true) << QVariant(true) << "true";
    QTest::newRow("choice item") << "choice"
                                 << "x"
                                 << "QComboBox" << QVariant("x") << QVariant("y") << "y";
    QTest::newRow("choice not an item") << "choice"
                                        << "z"
                                        << "QComboBox" << QVariant("z") << QVariant("z") << "z";
    QTest::newRow("directory") << "dir"
                               << "/tmp"
                               << "PathLineEditButton" << QVariant("/tmp") << QVariant("/usr") << "/usr";
    QTest::newRow("file") << "file"
                          << "/bin/sh"
                          << "PathLineEditButton" << QVariant("/bin/sh") << QVariant("/etc/hosts") << "/etc/hosts";
    QTest::newRow("text") << "text"
                          << "a b"
                          << "QLineEdit" << QVariant("a b") << QVariant("c") << "c";
    QTest::newRow("code outside the table") << "odd"
                                            << "v"
                                            << "QLineEdit" << QVariant("v") << QVariant("w") << "w";
    QTest::newRow("unknown name") << "mystery"
                                  << "v"
                                  << "QLineEdit" << QVariant("v") << QVariant("w") << "w";
    QTest::newRow("path list when asked") << "PATH"
                                          << "/a;/b"
                                          << "QLineEdit" << QVariant("/a;/b") << QVariant("/c") << "/c";
}

void TestVariableEditor::valueEditors()
{
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QString, editorClass);
    QFETCH(QVariant, shown);
    QFETCH(QVariant, entered);
    QFETCH(QString, stored);

    Model model;
    model.setVariables({VariableData(name, value)});
    VariableDelegate delegate(&m_prompts);
    delegate.setTypes(sampleTypes());
    QWidget parent;
    const QModelIndex index = model.index(0, 1);
    QWidget *editor = delegate.createEditor(&parent, QStyleOptionViewItem(), index);
    QVERIFY(editor);
    QCOMPARE(editor->metaObject()->className(), qPrintable(editorClass));
    QCOMPARE(editor->parentWidget(), &parent);

    if (auto *spinBox = qobject_cast<QSpinBox *>(editor)) {
        QCOMPARE(spinBox->minimum(), -99999);
        QCOMPARE(spinBox->maximum(), 99999);
        QCOMPARE(spinBox->value(), shown.toInt());
        spinBox->setValue(entered.toInt());
    } else if (auto *realBox = qobject_cast<QDoubleSpinBox *>(editor)) {
        QCOMPARE(realBox->minimum(), -99999.0);
        QCOMPARE(realBox->maximum(), 99999.0);
        QCOMPARE(realBox->decimals(), 2);
        QCOMPARE(realBox->value(), shown.toDouble());
        realBox->setValue(entered.toDouble());
    } else if (auto *checkBox = qobject_cast<QCheckBox *>(editor)) {
        QCOMPARE(checkBox->text(), QStringLiteral("Enabled"));
        QCOMPARE(checkBox->isChecked(), shown.toBool());
        checkBox->setChecked(entered.toBool());
    } else if (auto *comboBox = qobject_cast<QComboBox *>(editor)) {
        QVERIFY(comboBox->isEditable());
        QCOMPARE(comboBox->count(), 2);
        QCOMPARE(comboBox->itemText(0), QStringLiteral("x"));
        QCOMPARE(comboBox->itemText(1), QStringLiteral("y"));
        QCOMPARE(comboBox->currentText(), shown.toString());
        QVERIFY(comboBox->completer());
        comboBox->setCurrentText(entered.toString());
    } else if (auto *button = qobject_cast<PathLineEditButton *>(editor)) {
        QCOMPARE(button->dialogMode(),
                 name == "dir" ? PathLineEditButton::ExistingDirectory : PathLineEditButton::OpenFile);
        QCOMPARE(button->text(), shown.toString());
        button->setText(entered.toString());
    } else {
        auto *lineEdit = qobject_cast<QLineEdit *>(editor);
        QCOMPARE(lineEdit->text(), shown.toString());
        lineEdit->setText(entered.toString());
    }
    // Editors are filled once; a model change does not reach an open editor.
    delegate.setEditorData(editor, index);
    delegate.setModelData(editor, &model, index);
    QCOMPARE(model.variables().first().value(), stored);
    QCOMPARE(model.variables().first().name(), name);
}

void TestVariableEditor::noValueOpensNothing()
{
    VariableEditor editor(&m_prompts);
    editor.setTypes(sampleTypes());
    editor.setVariables({VariableData(QStringLiteral("none"), QStringLiteral("kept"))});
    editor.resize(400, 200);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    TableView *view = table(editor);
    doubleClick(view, 0, 1);
    QVERIFY(!view->indexWidget(view->model()->index(0, 1)));
    QVERIFY(!view->findChild<QLineEdit *>());
    QCOMPARE(editor.variables().first().value(), QStringLiteral("kept"));
}

// Typing right after the double-click goes into the path field, and Enter
// hands the value over.
void TestVariableEditor::pathFieldTakesTypingAndEnter()
{
    VariableEditor editor(&m_prompts);
    editor.setTypes(sampleTypes());
    editor.setVariables({VariableData(QStringLiteral("dir"), QStringLiteral("/old"))});
    editor.resize(400, 200);
    editor.show();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    doubleClick(table(editor), 0, 1);
    QVERIFY(qobject_cast<PathLineEdit *>(QApplication::focusWidget()));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("/usr"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(table(editor)->model()->index(0, 1).data().toString(), QStringLiteral("/usr"));
}

void TestVariableEditor::nameEditor()
{
    Model model;
    model.setVariables({VariableData(QStringLiteral("unlisted"), QStringLiteral("v"))});
    VariableDelegate delegate(&m_prompts);
    delegate.setTypes(sampleTypes());
    QWidget parent;
    auto *box = qobject_cast<QComboBox *>(delegate.createEditor(&parent, QStyleOptionViewItem(), model.index(0, 0)));
    QVERIFY(box);
    QVERIFY(box->isEditable());
    QStringList names;
    for (int i = 0; i < box->count(); ++i)
        names.append(box->itemText(i));
    names.sort();
    QStringList known = sampleTypes().keys();
    known.sort();
    QCOMPARE(names, known);
    QCOMPARE(box->currentText(), QStringLiteral("unlisted"));
    QCOMPARE(box->completer()->caseSensitivity(), Qt::CaseSensitive);

    delegate.setModelData(box, &model, model.index(0, 0));
    QCOMPARE(model.variables().first().name(), QStringLiteral("unlisted"));
    QCOMPARE(model.variables().first().value(), QStringLiteral("v"));

    box->setCurrentText(QStringLiteral("int"));
    delegate.setModelData(box, &model, model.index(0, 0));
    QCOMPARE(model.variables().first().name(), QStringLiteral("int"));
}

void TestVariableEditor::unknownNameIsNotAdded()
{
    Model model;
    model.setVariables({VariableData(QStringLiteral("mystery"), QStringLiteral("v"))});
    VariableDelegate delegate(&m_prompts);
    delegate.setTypes(sampleTypes());
    QWidget parent;
    delete delegate.createEditor(&parent, QStyleOptionViewItem(), model.index(0, 1));
    auto *box = qobject_cast<QComboBox *>(delegate.createEditor(&parent, QStyleOptionViewItem(), model.index(0, 0)));
    QCOMPARE(box->count(), sampleTypes().size());
    QCOMPARE(box->findText(QStringLiteral("mystery")), -1);
}

void TestVariableEditor::deleteMarkOnAnyButton()
{
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        VariableEditor editor(&m_prompts);
        editor.setVariables(variables({"a", "b", "c"}));
        editor.resize(400, 200);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        TableView *view = table(editor);
        QTest::mousePress(view->viewport(), button, {}, cellCentre(view, 1, 2));
        QCOMPARE(rowTexts(view->model()), (QStringList{"a", "c"}));
        // A press elsewhere removes nothing.
        QTest::mousePress(view->viewport(), button, {}, cellCentre(view, 0, 1));
        QCOMPARE(view->model()->rowCount(), 2);
    }
}

void TestVariableEditor::deleteMarkPainting()
{
    Model model;
    model.setVariables(variables({"a"}));
    VariableDelegate delegate(&m_prompts);
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 40, 30);
    option.palette.setBrush(QPalette::Current, QPalette::Highlight, QColor(0x52, 0x85, 0xa6));

    auto paint = [&](QStyle::State state) {
        QImage image(40, 30, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        option.state = state;
        delegate.paint(&painter, option, model.index(0, 2));
        return image;
    };
    const QImage plain = paint(QStyle::State_Enabled);
    const QImage selected = paint(QStyle::State_Enabled | QStyle::State_Selected);
    QCOMPARE(plain.pixelColor(2, 15).alpha(), 0);
    QCOMPARE(selected.pixelColor(2, 15), QColor(0x52, 0x85, 0xa6));
    // The mark sits in the 16 by 16 square at the centre of the cell.
    int markPixels = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            if (plain.pixelColor(x, y).alpha() > 0) {
                QVERIFY(x >= 12 && x < 28 && y >= 7 && y < 23);
                ++markPixels;
            }
        }
    }
    QVERIFY(markPixels > 0);
}

void TestVariableEditor::pathListDialog_data()
{
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("stored");

    QTest::newRow("accepted") << true << folderList("/opt/tools;/usr/local/bin");
    QTest::newRow("closed") << false << folderList("/opt/tools;;/usr/local/bin;");
}

void TestVariableEditor::pathListDialog()
{
    QFETCH(bool, accept);
    QFETCH(QString, stored);

    VariableEditor editor(&m_prompts);
    editor.setTypes(sampleTypes());
    editor.setVariables({VariableData(QStringLiteral("PATH"), folderList("/opt/tools;;/usr/local/bin;"))});
    editor.resize(400, 200);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));

    QString title;
    QStringList items;
    ModalAnswerer answerer([&](QWidget *window) {
        auto *dialog = qobject_cast<PathEditor *>(window);
        if (!dialog) {
            window->close();
            return;
        }
        title = dialog->windowTitle();
        items = rowTexts(dialog->findChild<ListView *>()->model());
        if (accept)
            dialog->accept();
        else
            dialog->findChildren<QPushButton *>().last()->click();
    });
    TableView *view = table(editor);
    doubleClick(view, 0, 1);
    QCOMPARE(answerer.answered(), 1);
    QCOMPARE(title, QStringLiteral("Edit : PATH"));
    QCOMPARE(items, (QStringList{"/opt/tools", "/usr/local/bin"}));
    QCOMPARE(editor.variables().first().value(), stored);
    QVERIFY(!view->findChild<QLineEdit *>());
}

void TestVariableEditor::setPaths_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("joined");

    QTest::newRow("empty") << QString() << QStringList() << QString();
    QTest::newRow("one") << "/usr/bin" << QStringList{"/usr/bin"} << "/usr/bin";
    QTest::newRow("empty element") << folderList("a;;b") << QStringList{"a", "b"} << folderList("a;b");
    QTest::newRow("leading and trailing") << folderList(";a;b;") << QStringList{"a", "b"} << folderList("a;b");
    QTest::newRow("only separators") << folderList(";;;") << QStringList() << QString();
    QTest::newRow("blanks are kept") << folderList(" a ; b") << QStringList{" a ", " b"} << folderList(" a ; b");
}

void TestVariableEditor::setPaths()
{
    QFETCH(QString, value);
    QFETCH(QStringList, items);
    QFETCH(QString, joined);

    PathEditor dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Path Editor"));
    dialog.setPaths(value);
    QCOMPARE(rowTexts(dialog.findChild<ListView *>()->model()), items);
    QCOMPARE(dialog.paths(), joined);

    // An added item stays, empty, in the joined list.
    dialog.appendPath();
    QCOMPARE(dialog.paths(), items.isEmpty() ? QString() : joined + Platform::pathListSeparator());
    dialog.appendPath(QStringLiteral("c"));
    QCOMPARE(dialog.paths(), items.isEmpty() ? folderList(";c") : joined + folderList(";;c"));
}

void TestVariableEditor::pathEditorMenu()
{
    PathEditor dialog;
    dialog.setPaths(folderList("a;b;c"));
    dialog.show();
    ListView *view = dialog.findChild<ListView *>();
    QCOMPARE(view->focusPolicy(), Qt::NoFocus);

    QStringList offered;
    chooseFromNextMenu(QStringLiteral("Add"), &offered);
    dialog.createContextMenu(QPoint(2, 2));
    QCOMPARE(offered, (QStringList{"Add", "Remove"}));
    QCOMPARE(dialog.paths(), folderList("a;b;c;"));

    view->selectionModel()->select(view->model()->index(0, 0), QItemSelectionModel::Select);
    view->selectionModel()->select(view->model()->index(2, 0), QItemSelectionModel::Select);
    offered.clear();
    chooseFromNextMenu(QStringLiteral("Remove"), &offered);
    dialog.createContextMenu(QPoint(2, 2));
    QCOMPARE(dialog.paths(), folderList("b;"));
}

void TestVariableEditor::directoryDrops()
{
    QVERIFY(QDir(m_dir.path()).mkpath("one"));
    QVERIFY(QDir(m_dir.path()).mkpath("two"));
    QFile file(m_dir.filePath("file.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    PathEditor dialog;
    dialog.setPaths(m_dir.filePath("two"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(m_dir.filePath("two")), QUrl::fromLocalFile(m_dir.filePath("file.txt")),
                  QUrl::fromLocalFile(m_dir.filePath("one"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &enter);
    QVERIFY(enter.isAccepted());
    QCOMPARE(enter.dropAction(), Qt::CopyAction);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &drop);
    QCOMPARE(dialog.paths(),
             QStringList({m_dir.filePath("two"), m_dir.filePath("two"), m_dir.filePath("one")})
                 .join(Platform::pathListSeparator()));

    QMimeData text;
    text.setText(m_dir.filePath("one"));
    QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &refused);
    QCOMPARE(refused.dropAction(), Qt::IgnoreAction);
    QDropEvent textDrop(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &textDrop);
    QCOMPARE(dialog.findChild<ListView *>()->model()->rowCount(), 3);
}

void TestVariableEditor::pathEditorCloseRejects()
{
    PathEditor dialog;
    dialog.setPaths(QStringLiteral("a"));
    {
        ModalAnswerer closing([](QWidget *window) { window->findChildren<QPushButton *>().last()->click(); });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    }
    ModalAnswerer accepting([](QWidget *window) { window->findChildren<QPushButton *>().first()->click(); });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
}

QTEST_MAIN(TestVariableEditor)
#include "TestVariableEditor.moc"
