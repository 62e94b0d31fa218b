#ifndef KORVANI_VARIABLEEDITOR_H
#define KORVANI_VARIABLEEDITOR_H

#include "records.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QHash>
#include <QPixmap>
#include <QStyledItemDelegate>
#include <QVariant>
#include <QWidget>

class ListView;
class QLabel;
class QStandardItemModel;
class TableView;

// What a template knows about one variable: the kind of value it takes.
struct VariableType
{
    enum Code {
        TextType,
        IntegerType,
        RealType,
        BooleanType,
        ChoiceType,
        NoValueType,
        PathListType,
        DirectoryType,
        FileType,
    };

    int type = TextType;
    QVariant options; // the items of a ChoiceType, as a QStringList
};

// Known variables by exact, case-sensitive name.
using VariableTypeHash = QHash<QString, VariableType>;

// Name/value rows in three columns: name, value, and the delete mark.
class VariableDataModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Roles {
        NameRole = Qt::UserRole + 1,
        ValueRole,
    };

    explicit VariableDataModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool insertRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void setVariables(const VariableDataList &list);
    VariableDataList variables() const { return m_variables; }

private:
    bool isUsable(const QModelIndex &index) const;

    VariableDataList m_variables;
};

// Gives each cell the editor its variable's type calls for, paints the delete
// mark and removes a row when the mark is pressed.
class VariableDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit VariableDelegate(QObject *parent = nullptr);

    void setTypes(const VariableTypeHash &types);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

private:
    VariableType typeOf(const QModelIndex &index) const;

    VariableTypeHash m_types;
    QPixmap m_deleteMark;
};

// A caption, an add button and the table of one variable list.
class VariableEditor : public QWidget
{
    Q_OBJECT

public:
    explicit VariableEditor(QWidget *parent = nullptr);

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

// Edits a list of folders, such as a PATH value, one folder per row.
class PathEditor : public QDialog
{
    Q_OBJECT

public:
    explicit PathEditor(QWidget *parent = nullptr);

    void setPaths(const QString &text);
    QString paths() const;

public slots:
    void createContextMenu(const QPoint &pos);
    void appendPath(const QString &path = QString());

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    ListView *m_listView;
    QStandardItemModel *m_itemModel;
};

Q_DECLARE_METATYPE(VariableType)

#endif
