#ifndef KORVANI_VARIABLEEDITOR_H
#define KORVANI_VARIABLEEDITOR_H

#include "records/records.h"
#include "variableEditor/variableType.h"

#include <QWidget>

class QLabel;
class TableView;
class UserPrompts;
class VariableDataModel;
class VariableDelegate;

// A caption, an add button and the table of one variable list.
class VariableEditor : public QWidget
{
    Q_OBJECT

public:
    // The value editors ask for their browse dialogs through prompts.
    explicit VariableEditor(UserPrompts *prompts, QWidget *parent = nullptr);

    void setTitle(const QString &text);
    void setVariables(const VariableDataList &list);
    VariableDataList variables() const;
    void setTypes(const VariableTypeHash &types);

public slots:
    void createContextMenu(const QPoint &pos);
    void addRow();

private:
    QLabel *m_titleLabel;
    TableView *m_tableView;
    VariableDataModel *m_dataModel;
    VariableDelegate *m_delegate;
};

#endif
