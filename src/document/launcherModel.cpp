#include "document/launcherModel.h"

#include "document/dragScripts.h"
#include "records/recordStream.h"

#include <QMimeData>

LauncherDataModel::LauncherDataModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

bool LauncherDataModel::isUsable(const QModelIndex &index) const
{
    return index.isValid() && index.model() == this && index.row() < m_applications.size();
}

int LauncherDataModel::rowCount(const QModelIndex &parent) const
{
    // Entries have no children; a list that answered for them would nest itself.
    return parent.isValid() ? 0 : m_applications.size();
}

QVariant LauncherDataModel::data(const QModelIndex &index, int role) const
{
    if (!isUsable(index))
        return QVariant();
    const ApplicationData &application = m_applications.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case NameRole:
        return application.name();
    case Qt::DecorationRole:
    case IconRole:
        return application.icon();
    case Qt::ToolTipRole:
        return application.batchScript();
    case Qt::CheckStateRole:
        return application.favorite() ? Qt::Checked : Qt::Unchecked;
    case DescriptionRole:
        return application.description();
    case PathRole:
        return application.path();
    case PreScriptRole:
        return application.preScript();
    case ArgumentsRole:
        return QVariant::fromValue(application.arguments());
    case EnvironmentsRole:
        return QVariant::fromValue(application.environments());
    case FavoriteRole:
        return application.favorite();
    case TagRole:
        return application.tag();
    case ApplicationDataRole:
        return QVariant::fromValue(application);
    default:
        return QVariant();
    }
}

bool LauncherDataModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!isUsable(index))
        return false;
    ApplicationData &application = m_applications[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case NameRole:
        application.setName(value.toString());
        break;
    case DescriptionRole:
        application.setDescription(value.toString());
        break;
    case PathRole:
        application.setPath(value.toString());
        application.updateIcon();
        break;
    case PreScriptRole:
        application.setPreScript(value.toString());
        break;
    case ArgumentsRole:
        application.setArguments(value.value<VariableDataList>());
        break;
    case EnvironmentsRole:
        application.setEnvironments(value.value<VariableDataList>());
        break;
    case FavoriteRole:
        application.setFavorite(value.toBool());
        break;
    case TagRole:
        application.setTag(value.toInt());
        break;
    case ApplicationDataRole: {
        // What this version does not know stays with the entry, whoever
        // rebuilt the record from the fields it knows.
        const OtherFields otherFields = application.otherFields();
        application = value.value<ApplicationData>();
        if (application.otherFields().isEmpty())
            application.setOtherFields(otherFields);
        break;
    }
    default:
        break;
    }
    // Announced for every role, also those that store nothing.
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags LauncherDataModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags flags = QAbstractListModel::flags(index);
    return index.isValid() ? flags | Qt::ItemIsDragEnabled : flags | Qt::ItemIsDropEnabled;
}

bool LauncherDataModel::insertRows(int row, int count, const QModelIndex &parent)
{
    if (count < 1)
        return true;
    if (parent.isValid() || row < 0 || row > m_applications.size())
        return false;
    beginInsertRows(parent, row, row + count - 1);
    for (int i = 0; i < count; ++i)
        m_applications.insert(row + i, ApplicationData(newEntryName));
    endInsertRows();
    return true;
}

bool LauncherDataModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (count < 1)
        return true;
    // Announcing rows that do not exist would corrupt every attached view.
    if (parent.isValid() || row < 0 || row > m_applications.size() - count)
        return false;
    beginRemoveRows(parent, row, row + count - 1);
    m_applications.erase(m_applications.begin() + row, m_applications.begin() + row + count);
    endRemoveRows();
    return true;
}

bool LauncherDataModel::moveRows(const QModelIndex &sourceParent, int sourceRow, int count,
                                 const QModelIndex &destinationParent, int destinationChild)
{
    if (sourceParent.isValid() || destinationParent.isValid() || count < 1 || sourceRow < 0
        || sourceRow > m_applications.size() - count || destinationChild < 0
        || destinationChild > m_applications.size())
        return false;
    // beginMoveRows refuses a move into the moved rows themselves.
    if (!beginMoveRows(sourceParent, sourceRow, sourceRow + count - 1, destinationParent, destinationChild))
        return false;
    const ApplicationDataList moved = m_applications.mid(sourceRow, count);
    m_applications.erase(m_applications.begin() + sourceRow, m_applications.begin() + sourceRow + count);
    const int target = destinationChild > sourceRow ? destinationChild - count : destinationChild;
    for (int i = 0; i < count; ++i)
        m_applications.insert(target + i, moved.at(i));
    endMoveRows();
    return true;
}

QStringList LauncherDataModel::mimeTypes() const
{
    return {applicationDataMimeType, QStringLiteral("text/uri-list"), QStringLiteral("text/plain")};
}

QMimeData *LauncherDataModel::mimeData(const QModelIndexList &indexes) const
{
    ApplicationDataList applications;
    for (const QModelIndex &index : indexes) {
        if (isUsable(index))
            applications.append(m_applications.at(index.row()));
    }
    auto *data = new QMimeData;
    data->setData(applicationDataMimeType, writeApplicationDataPayload(applications));
    const QByteArray otherFields = writeOtherFieldsPayload(applications);
    if (!otherFields.isEmpty())
        data->setData(otherFieldsMimeType, otherFields);

    // Written when the drag starts, whatever becomes of it.
    data->setUrls(writeDragScripts(m_dragScriptFolder, applications));
    QString text;
    for (const ApplicationData &application : qAsConst(applications))
        text += application.batchScript();
    data->setText(text);
    return data;
}

bool LauncherDataModel::canDropMimeData(const QMimeData *data, Qt::DropAction action, int, int column,
                                        const QModelIndex &) const
{
    // Dropped files are the launcher widget's to take, whatever action the
    // source proposes; the list takes entries only.
    return (action & supportedDropActions()) && data->hasFormat(applicationDataMimeType) && column <= 0;
}

bool LauncherDataModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                     const QModelIndex &parent)
{
    if (action == Qt::IgnoreAction)
        return true;
    if (!data->hasFormat(applicationDataMimeType) || column > 0)
        return false;
    const int position = row != -1 ? row : parent.isValid() ? parent.row() : rowCount();
    if (position < 0 || position > m_applications.size())
        return false;
    ApplicationDataList applications = readApplicationDataPayload(data->data(applicationDataMimeType));
    if (data->hasFormat(otherFieldsMimeType))
        readOtherFieldsPayload(data->data(otherFieldsMimeType), &applications);
    insertApplications(position, applications);
    return true;
}

void LauncherDataModel::insertApplications(int row, const ApplicationDataList &applications)
{
    if (applications.isEmpty() || row < 0 || row > m_applications.size())
        return;
    beginInsertRows(QModelIndex(), row, row + applications.size() - 1);
    m_applications = m_applications.mid(0, row) + applications + m_applications.mid(row);
    endInsertRows();
}

QModelIndex LauncherDataModel::sourceIndex(const QModelIndex &index)
{
    QModelIndex source = index;
    while (const auto *proxy = qobject_cast<const QAbstractProxyModel *>(source.model()))
        source = proxy->mapToSource(source);
    return source;
}

const ApplicationData *LauncherDataModel::entryAt(const QModelIndex &index)
{
    const QModelIndex stored = sourceIndex(index);
    const auto *store = qobject_cast<const LauncherDataModel *>(stored.model());
    return store && store->isUsable(stored) ? &store->m_applications.at(stored.row()) : nullptr;
}

QModelIndex LauncherDataModel::filterIndex(const QAbstractItemModel *filter, const QModelIndex &index)
{
    if (const auto *proxy = qobject_cast<const QAbstractProxyModel *>(filter))
        return proxy->mapFromSource(filterIndex(proxy->sourceModel(), index));
    return filter == index.model() ? index : QModelIndex();
}

Qt::DropActions LauncherDataModel::supportedDragActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}

Qt::DropActions LauncherDataModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

ApplicationDataList LauncherDataModel::launcherData() const
{
    return m_applications;
}

void LauncherDataModel::setLauncherData(const ApplicationDataList &list)
{
    // The proxies and views are attached from the start, and the number of rows
    // changes here: only a reset tells them all to rebuild.
    beginResetModel();
    m_applications = list;
    endResetModel();
}

FavoritesProxyModel::FavoritesProxyModel(QObject *parent)
    : QSortFilterProxyModel(parent)
{
}

bool FavoritesProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    const ApplicationData *entry = LauncherDataModel::entryAt(sourceModel()->index(sourceRow, 0, sourceParent));
    return entry && entry->favorite();
}

TagSortFilterProxyModel::TagSortFilterProxyModel(QObject *parent)
    : QSortFilterProxyModel(parent)
{
}

void TagSortFilterProxyModel::setFilterTag(int tag)
{
    m_filterTag = tag;
    invalidateFilter();
}

bool TagSortFilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    const ApplicationData *entry = LauncherDataModel::entryAt(sourceModel()->index(sourceRow, 0, sourceParent));
    return entry && (entry->tag() & m_filterTag);
}
