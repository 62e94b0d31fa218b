#include "variableEditor/variableEditor.h"

#include "qtlib/itemViews.h"
#include "variableEditor/variableDataModel.h"
#include "variableEditor/variableDelegate.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>

VariableEditor::VariableEditor(UserPrompts *prompts, QWidget *parent)
    : QWidget(parent)
    , m_titleLabel(new QLabel(tr("Variable Editor"), this))
    , m_tableView(new TableView(this))
    , m_dataModel(new VariableDataModel(this))
    , m_delegate(new VariableDelegate(prompts, this))
{
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_titleLabel, 0, 0);

    auto *addButton = new QPushButton(QIcon(QPixmap(QStringLiteral(":/images/plus.png"))), QString(), this);
    addButton->setFlat(true);
    connect(addButton, &QPushButton::clicked, this, &VariableEditor::addRow);
    layout->addWidget(addButton, 0, 1, Qt::AlignRight);

    m_tableView->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tableView->setModel(m_dataModel);
    m_tableView->setItemDelegate(m_delegate);
    m_tableView->setEditTriggers(QAbstractItemView::DoubleClicked);
    // Tab leaves the table for the next field; the arrows move between cells.
    m_tableView->setTabKeyNavigation(false);
    m_tableView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tableView->verticalHeader()->hide();
    m_tableView->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_tableView->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_tableView->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    m_tableView->horizontalHeader()->hide();
    connect(m_tableView, &QWidget::customContextMenuRequested, this, &VariableEditor::createContextMenu);
    connect(m_tableView, &TableView::insertRequested, this, &VariableEditor::addRow);
    layout->addWidget(m_tableView, 1, 0, 1, 2);
    setTabOrder(addButton, m_tableView);
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
    execAddRemoveMenu(m_tableView, pos, {tr("Add"), [this] { addRow(); }},
                      {tr("Remove"), [this] { m_tableView->removeSelectedRow(); }});
}
