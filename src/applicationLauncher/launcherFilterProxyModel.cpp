#include "applicationLauncher/launcherFilterProxyModel.h"

#include "document/launcherModel.h"

#include <QDir>

namespace {

constexpr int rankedWords = 32;

} // namespace

LauncherFilterProxyModel::LauncherFilterProxyModel(QObject *parent)
    : QSortFilterProxyModel(parent)
{
}

void LauncherFilterProxyModel::setSourceModel(QAbstractItemModel *source)
{
    for (const QMetaObject::Connection &connection : qAsConst(m_rankConnections))
        disconnect(connection);
    m_rankConnections.clear();
    // Before the filter's own handlers, which rank the rows that changed.
    if (source) {
        m_rankConnections = {
            connect(source, &QAbstractItemModel::dataChanged, this, &LauncherFilterProxyModel::forgetRanks),
            connect(source, &QAbstractItemModel::rowsAboutToBeInserted, this, &LauncherFilterProxyModel::forgetRanks),
            connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this, &LauncherFilterProxyModel::forgetRanks),
            connect(source, &QAbstractItemModel::rowsAboutToBeMoved, this, &LauncherFilterProxyModel::forgetRanks),
            connect(source, &QAbstractItemModel::layoutAboutToBeChanged, this, &LauncherFilterProxyModel::forgetRanks),
            connect(source, &QAbstractItemModel::modelAboutToBeReset, this, &LauncherFilterProxyModel::forgetRanks),
        };
    }
    QSortFilterProxyModel::setSourceModel(source);
}

void LauncherFilterProxyModel::forgetRanks()
{
    m_ranks.clear();
}

void LauncherFilterProxyModel::setFilterWords(const QString &text)
{
    const QStringList words = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words == m_words)
        return;
    m_words = words;
    forgetRanks();
    // Ranked while filtering; in list order otherwise, so that the list can
    // be reordered again. Built anew in one pass, as removing what no longer
    // matches range by range costs a pass over the whole tab for every range;
    // ranked after it is filtered and put in list order before, so that each
    // tab is filtered and ranked once.
    if (isFiltering()) {
        invalidate();
        sort(0);
    } else {
        sort(-1);
        invalidate();
    }
}

bool LauncherFilterProxyModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const quint64 leftKey = rankKey(left);
    const quint64 rightKey = rankKey(right);
    return leftKey != rightKey ? leftKey < rightKey : left.row() < right.row();
}

quint64 LauncherFilterProxyModel::rankKey(const QModelIndex &sourceIndex) const
{
    if (sourceIndex.row() >= m_ranks.size())
        m_ranks.resize(sourceModel()->rowCount());
    quint64 &known = m_ranks[sourceIndex.row()];
    if (known == 0) {
        const ApplicationData *entry = LauncherDataModel::entryAt(sourceIndex);
        const QString name = entry ? entry->name() : QString();
        quint64 key = 0;
        for (int i = 0; i < rankedWords; ++i)
            key = key << 2 | (i < m_words.size() ? nameRank(name, m_words.at(i)) : 0);
        known = key + 1;
    }
    return known;
}

int LauncherFilterProxyModel::nameRank(const QString &name, const QString &word)
{
    if (name.startsWith(word, Qt::CaseInsensitive))
        return 0;
    for (int i = 1; i < name.size(); ++i) {
        if (!name.at(i - 1).isLetterOrNumber() && QStringView(name).mid(i).startsWith(word, Qt::CaseInsensitive))
            return 1;
    }
    return 2;
}

int LauncherFilterProxyModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
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
    // The program's file name is the part after the last separator.
    const ApplicationData *entry = LauncherDataModel::entryAt(sourceModel()->index(sourceRow, 0, sourceParent));
    if (!entry)
        return false;
    const QString name = entry->name();
    const QString description = entry->description();
    const QString path = QDir::fromNativeSeparators(entry->path());
    const QStringView fileName = QStringView(path).mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    for (const QString &word : m_words) {
        if (!name.contains(word, Qt::CaseInsensitive) && !description.contains(word, Qt::CaseInsensitive)
            && !fileName.contains(word, Qt::CaseInsensitive))
            return false;
    }
    return true;
}
