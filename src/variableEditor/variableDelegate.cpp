#include "variableEditor/variableDelegate.h"

#include "platform/platform.h"
#include "qtlib/pathLineEdit.h"
#include "variableEditor/pathEditor.h"
#include "variableEditor/variableDataModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QSpinBox>

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

VariableDelegate::VariableDelegate(UserPrompts *prompts, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_prompts(prompts)
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
    // The delete mark's column, which Tab reaches from the value, edits nothing.
    if (index.column() == 2)
        return nullptr;

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
        auto *button = type.type == VariableType::DirectoryType
            ? PathLineEditButton::createDirectoryButton(m_prompts, parent)
            : PathLineEditButton::createFileButton(m_prompts, parent);
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
