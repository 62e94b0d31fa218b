#include "variableEditor/variableDataModel.h"

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
        // A new name makes the old value meaningless; the same name, committed
        // by an editor left without a change, keeps it.
        const QString name = value.toString();
        if (name != variable.name()) {
            variable.setName(name);
            variable.setValue(QString());
        }
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
