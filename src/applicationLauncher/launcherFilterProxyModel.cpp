#include "applicationLauncher/launcherFilterProxyModel.h"

#include "applicationLauncher/launcherModel.h"

#include <QFileInfo>

LauncherFilterProxyModel::LauncherFilterProxyModel(QObject *parent)
    : QSortFilterProxyModel(parent)
{
}

void LauncherFilterProxyModel::setFilterWords(const QString &text)
{
    const QStringList words = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words == m_words)
        return;
    m_words = words;
    invalidateFilter();
}

Qt::ItemFlags LauncherFilterProxyModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags flags = QSortFilterProxyModel::flags(index);
    return isFiltering() ? flags & ~(Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled) : flags;
}

bool LauncherFilterProxyModel::canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                               const QModelIndex &parent) const
{
    return !isFiltering() && QSortFilterProxyModel::canDropMimeData(data, action, row, column, parent);
}

bool LauncherFilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (m_words.isEmpty())
        return true;
    const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
    const QString text = index.data(LauncherDataModel::NameRole).toString() + QLatin1Char('\n')
        + index.data(LauncherDataModel::DescriptionRole).toString() + QLatin1Char('\n')
        + QFileInfo(index.data(LauncherDataModel::PathRole).toString()).fileName();
    for (const QString &word : m_words) {
        if (!text.contains(word, Qt::CaseInsensitive))
            return false;
    }
    return true;
}
