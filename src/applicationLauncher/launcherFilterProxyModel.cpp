#include "applicationLauncher/launcherFilterProxyModel.h"

#include "applicationLauncher/launcherModel.h"

#include <QDir>

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
    // Ranked while filtering; in list order otherwise, so that the list can
    // be reordered again. Built anew in one pass: removing what no longer
    // matches range by range costs a pass over the whole tab for every range.
    sort(isFiltering() ? 0 : -1);
    invalidate();
}

bool LauncherFilterProxyModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const QString leftName = left.data(LauncherDataModel::NameRole).toString();
    const QString rightName = right.data(LauncherDataModel::NameRole).toString();
    for (const QString &word : m_words) {
        const int leftRank = nameRank(leftName, word);
        const int rightRank = nameRank(rightName, word);
        if (leftRank != rightRank)
            return leftRank < rightRank;
    }
    return left.row() < right.row();
}

int LauncherFilterProxyModel::nameRank(const QString &name, const QString &word)
{
    if (name.startsWith(word, Qt::CaseInsensitive))
        return 0;
    for (int i = 1; i < name.size(); ++i) {
        if (!name.at(i - 1).isLetterOrNumber() && name.midRef(i).startsWith(word, Qt::CaseInsensitive))
            return 1;
    }
    return 2;
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
    // Runs for every entry of every tab at each key typed: no copies, and
    // the program's file name taken as the part after the last separator.
    const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
    const QString name = index.data(LauncherDataModel::NameRole).toString();
    const QString description = index.data(LauncherDataModel::DescriptionRole).toString();
    const QString path = QDir::fromNativeSeparators(index.data(LauncherDataModel::PathRole).toString());
    const QStringView fileName = QStringView(path).mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    for (const QString &word : m_words) {
        if (!name.contains(word, Qt::CaseInsensitive) && !description.contains(word, Qt::CaseInsensitive)
            && !fileName.contains(word, Qt::CaseInsensitive))
            return false;
    }
    return true;
}
