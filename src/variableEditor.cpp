#include "variableEditor.h"

#include "platform.h"
#include "qtlib.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDoubleSpinBox>
#include <QDragEnterEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>

namespace {

// An editable combo box that offers the given texts and completes from them.
QComboBox *createChoiceBox(QWidget *parent, const QStringList &items, const QString &current)
{
    auto *box = new QComboBox(parent);
    box->addItems(items);
    box->setEditable(true);
    box->setCompleter(new QCompleter(items, box));
    box->setCurrentText(current);
    return box;
}

} // namespace

VariableDataModel::VariableDataModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

bool VariableDataModel::isUsable(const QModelIndex &index) const
{
    return index.isValid() && index.model() == this && index.row() < m_variables.size();
}

int VariableDataModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_variables.size();
}

int VariableDataModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant VariableDataModel::data(const QModelIndex &index, int role) const
{
    if (!isUsable(index))
        return QVariant();
    const VariableData &variable = m_variables.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == 0)
            return variable.name();
        if (index.column() == 1)
            return variable.value();
        return QVariant();
    case NameRole:
        return variable.name();
    case ValueRole:
        return variable.value();
    default:
        return QVariant();
    }
}

bool VariableDataModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!isUsable(index))
        return false;
    VariableData &variable = m_variables[index.row()];
    const bool editsName = role == NameRole || (role == Qt::EditRole && index.column() == 0);
    const bool editsValue = role == ValueRole || (role == Qt::EditRole && index.column() == 1);
    if (editsName) {
        // A new name makes the old value meaningless.
        variable.setName(value.toString());
        variable.setValue(QString());
    } else if (editsValue) {
        variable.setValue(value.toString());
    }
    emit dataChanged(index, index);
    return true;
}

QVariant VariableDataModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        switch (section) {
        case 0:
            return tr("Name");
        case 1:
            return tr("Value");
        case 2:
            return QString();
        default:
            break;
        }
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool VariableDataModel::insertRows(int row, int count, const QModelIndex &parent)
{
    if (count < 1)
        return true;
    if (parent.isValid() || row < 0 || row > m_variables.size())
        return false;
    beginInsertRows(parent, row, row + count - 1);
    for (int i = 0; i < count; ++i)
        m_variables.insert(row + i, VariableData());
    endInsertRows();
    return true;
}

bool VariableDataModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (count < 1)
        return true;
    if (parent.isValid() || row < 0 || row > m_variables.size() - count)
        return false;
    beginRemoveRows(parent, row, row + count - 1);
    m_variables.erase(m_variables.begin() + row, m_variables.begin() + row + count);
    endRemoveRows();
    return true;
}

Qt::ItemFlags VariableDataModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return index.isValid() ? flags | Qt::ItemIsEditable : flags;
}

void VariableDataModel::setVariables(const VariableDataList &list)
{
    // The number of rows changes under an attached view: only a reset makes it
    // lay the rows out again.
    beginResetModel();
    m_variables = list;
    endResetModel();
}

VariableDelegate::VariableDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
    , m_deleteMark(QStringLiteral(":/images/x.png"))
{
}

void VariableDelegate::setTypes(const VariableTypeHash &types)
{
    m_types = types;
}

VariableType VariableDelegate::typeOf(const QModelIndex &index) const
{
    // A name without a description is plain text; looking it up adds nothing.
    return m_types.value(index.data(VariableDataModel::NameRole).toString());
}

void VariableDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (index.column() != 2) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    painter->save();
    if (option.state & QStyle::State_Selected) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(option.palette.brush(QPalette::Current, QPalette::Highlight));
        painter->drawRoundedRect(QRectF(option.rect), 1.0, 1.0, Qt::AbsoluteSize);
    }
    const QRect mark(option.rect.left() + option.rect.width() / 2 - 8, option.rect.top() + option.rect.height() / 2 - 8,
                     16, 16);
    painter->drawPixmap(mark, m_deleteMark);
    painter->restore();
}

QWidget *VariableDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    if (index.column() == 0)
        return createChoiceBox(parent, m_types.keys(), index.data(VariableDataModel::NameRole).toString());

    const VariableType type = typeOf(index);
    const QVariant value = index.data(VariableDataModel::ValueRole);
    switch (type.type) {
    case VariableType::IntegerType: {
        auto *spinBox = new QSpinBox(parent);
        spinBox->setRange(-99999, 99999);
        spinBox->setValue(value.toInt());
        return spinBox;
    }
    case VariableType::RealType: {
        auto *spinBox = new QDoubleSpinBox(parent);
        spinBox->setRange(-99999.0, 99999.0);
        spinBox->setValue(value.toDouble());
        return spinBox;
    }
    case VariableType::BooleanType: {
        auto *checkBox = new QCheckBox(tr("Enabled"), parent);
        checkBox->setChecked(value.toBool());
        return checkBox;
    }
    case VariableType::ChoiceType:
        return createChoiceBox(parent, type.options.toStringList(), value.toString());
    case VariableType::NoValueType:
        return nullptr;
    case VariableType::DirectoryType:
    case VariableType::FileType: {
        auto *button = type.type == VariableType::DirectoryType ? PathLineEditButton::createDirectoryButton(parent)
                                                                : PathLineEditButton::createFileButton(parent);
        button->setText(value.toString());
        return button;
    }
    default: {
        auto *lineEdit = new QLineEdit(parent);
        lineEdit->setText(value.toString());
        return lineEdit;
    }
    }
}

void VariableDelegate::setEditorData(QWidget *, const QModelIndex &) const
{
    // Each editor is filled once, when it is created.
}

void VariableDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    // Every editor names its value as its user property, and the model takes a
    // name in the first column and a value in the second through the edit role.
    QStyledItemDelegate::setModelData(editor, model, index);
}

bool VariableDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &,
                                   const QModelIndex &index)
{
    if (index.column() == 2 && event->type() == QEvent::MouseButtonPress) {
        model->removeRow(index.row(), QModelIndex());
        return true;
    }
    if (index.column() != 1 || event->type() != QEvent::MouseButtonDblClick)
        return false;
    if (typeOf(index).type != VariableType::PathListType)
        return false;

    PathEditor dialog(qobject_cast<QWidget *>(parent()));
    dialog.setWindowTitle(tr("Edit : %1").arg(index.data(VariableDataModel::NameRole).toString()));
    dialog.setPaths(index.data(VariableDataModel::ValueRole).toString());
    if (dialog.exec() == QDialog::Accepted)
        model->setData(index, dialog.paths(), VariableDataModel::ValueRole);
    return true;
}

VariableEditor::VariableEditor(QWidget *parent)
    : QWidget(parent)
    , m_titleLabel(new QLabel(tr("Variable Editor"), this))
    , m_tableView(new TableView(this))
    , m_dataModel(new VariableDataModel(this))
    , m_delegate(new VariableDelegate(this))
{
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_titleLabel, 0, 0);

    auto *addButton = new QPushButton(QIcon(QPixmap(QStringLiteral(":/images/plus.png"))), QString(), this);
    addButton->setFlat(true);
    connect(addButton, SIGNAL(clicked()), this, SLOT(addRow()));
    layout->addWidget(addButton, 0, 1, Qt::AlignRight);

    m_tableView->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tableView->setModel(m_dataModel);
    m_tableView->setItemDelegate(m_delegate);
    m_tableView->setEditTriggers(QAbstractItemView::DoubleClicked);
    m_tableView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tableView->verticalHeader()->hide();
    m_tableView->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_tableView->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_tableView->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    m_tableView->horizontalHeader()->hide();
    connect(m_tableView, SIGNAL(customContextMenuRequested(QPoint)), this, SLOT(createContextMenu(QPoint)));
    connect(m_tableView, SIGNAL(insertRequested()), this, SLOT(addRow()));
    layout->addWidget(m_tableView, 1, 0, 1, 2);
}

void VariableEditor::setTitle(const QString &text)
{
    m_titleLabel->setText(text);
}

void VariableEditor::setVariables(const VariableDataList &list)
{
    m_dataModel->setVariables(list);
}

VariableDataList VariableEditor::variables() const
{
    // A value still being typed counts: the dialog's Save closes the dialog
    // before the open editor would hand its value over.
    const QModelIndex current = m_tableView->currentIndex();
    if (QWidget *editor = m_tableView->indexWidget(current))
        m_delegate->setModelData(editor, m_dataModel, current);
    return m_dataModel->variables();
}

void VariableEditor::setTypes(const VariableTypeHash &types)
{
    m_delegate->setTypes(types);
}

void VariableEditor::addRow()
{
    m_dataModel->insertRow(m_dataModel->rowCount());
}

void VariableEditor::createContextMenu(const QPoint &pos)
{
    execAddRemoveMenu(m_tableView, pos, {tr("Add"), this, SLOT(addRow())},
                      {tr("Remove"), m_tableView, SLOT(removeSelectedRow())});
}

PathEditor::PathEditor(QWidget *parent)
    : QDialog(parent)
    , m_listView(new ListView(this))
    , m_itemModel(new QStandardItemModel(this))
{
    setWindowTitle(tr("Path Editor"));
    resize(480, 240);
    setAcceptDrops(true);

    auto *layout = new QGridLayout(this);
    m_listView->setContextMenuPolicy(Qt::CustomContextMenu);
    m_listView->setModel(m_itemModel);
    m_listView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_listView->setFocusPolicy(Qt::NoFocus);
    connect(m_listView, SIGNAL(customContextMenuRequested(QPoint)), this, SLOT(createContextMenu(QPoint)));
    connect(m_listView, SIGNAL(insertRequested()), this, SLOT(appendPath()));
    layout->addWidget(m_listView, 0, 0, 1, 2);

    auto *ok = new QPushButton(tr("OK"), this);
    connect(ok, SIGNAL(clicked()), this, SLOT(accept()));
    layout->addWidget(ok, 1, 0);
    auto *close = new QPushButton(tr("Close"), this);
    connect(close, SIGNAL(clicked()), this, SLOT(close()));
    layout->addWidget(close, 1, 1);
}

void PathEditor::setPaths(const QString &text)
{
    for (const QString &path : text.split(Platform::pathListSeparator(), Qt::KeepEmptyParts)) {
        if (!path.isEmpty())
            appendPath(path);
    }
}

QString PathEditor::paths() const
{
    QStringList texts;
    for (int row = 0; row < m_itemModel->rowCount(); ++row)
        texts.append(m_itemModel->item(row)->text());
    return texts.join(Platform::pathListSeparator());
}

void PathEditor::appendPath(const QString &path)
{
    m_itemModel->appendRow(new QStandardItem(QIcon(QStringLiteral(":/images/folder.png")), path));
}

void PathEditor::createContextMenu(const QPoint &pos)
{
    execAddRemoveMenu(m_listView, pos, {tr("Add"), this, SLOT(appendPath())},
                      {tr("Remove"), m_listView, SLOT(removeSelectedRow())});
}

void PathEditor::dragEnterEvent(QDragEnterEvent *event)
{
    acceptUrlDrags(event);
}

void PathEditor::dragMoveEvent(QDragMoveEvent *event)
{
    acceptUrlDrags(event);
}

void PathEditor::dropEvent(QDropEvent *event)
{
    if (event->mimeData()->hasUrls()) {
        for (const QUrl &url : event->mimeData()->urls()) {
            const QString path = url.toLocalFile();
            if (QFileInfo(path).isDir())
                appendPath(path);
        }
        event->acceptProposedAction();
    }
    event->accept();
}
