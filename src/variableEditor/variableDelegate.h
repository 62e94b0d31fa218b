#ifndef KORVANI_VARIABLEDELEGATE_H
#define KORVANI_VARIABLEDELEGATE_H

#include "variableEditor/variableType.h"

#include <QPixmap>
#include <QStyledItemDelegate>

class UserPrompts;

// Gives each cell the editor its variable's type calls for, paints the delete
// mark and removes a row when the mark is pressed.
class VariableDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // The file and folder editors ask for their browse dialogs through prompts.
    explicit VariableDelegate(UserPrompts *prompts, QObject *parent = nullptr);

    void setTypes(const VariableTypeHash &types);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

private:
    VariableType typeOf(const QModelIndex &index) const;

    UserPrompts *m_prompts;
    VariableTypeHash m_types;
    QPixmap m_deleteMark;
};

#endif
