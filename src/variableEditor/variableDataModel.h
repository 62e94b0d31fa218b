#ifndef KORVANI_VARIABLEDATAMODEL_H
#define KORVANI_VARIABLEDATAMODEL_H

#include "records/records.h"

#include <QAbstractTableModel>

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

#endif
