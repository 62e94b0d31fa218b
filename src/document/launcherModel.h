#ifndef KORVANI_LAUNCHERMODEL_H
#define KORVANI_LAUNCHERMODEL_H

#include "records/records.h"

#include <QAbstractListModel>
#include <QSortFilterProxyModel>

// The one store of launcher entries while the program runs: one row per entry.
class LauncherDataModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Roles {
        NameRole = Qt::UserRole + 1,
        DescriptionRole,
        PathRole,
        PreScriptRole,
        ArgumentsRole,
        EnvironmentsRole,
        FavoriteRole,
        TagRole,
        IconRole,
        ApplicationDataRole,
    };

    explicit LauncherDataModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool insertRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool moveRows(const QModelIndex &sourceParent, int sourceRow, int count, const QModelIndex &destinationParent,
                  int destinationChild) override;

    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;

    // Where the batch files of entries dragged out of the window go.
    void setDragScriptFolder(const QString &folder) { m_dragScriptFolder = folder; }

    ApplicationDataList launcherData() const;
    void setLauncherData(const ApplicationDataList &list);
    // Puts the entries in at the row, in one step: row by row, every filtered
    // tab would work through the whole list again for each entry.
    void insertApplications(int row, const ApplicationDataList &applications);

    // The index of this model that an index of a filter over it, or of a chain
    // of filters, stands for; an index of this model is its own.
    static QModelIndex sourceIndex(const QModelIndex &index);
    // The entry such an index stands for, read in place: the tabs' filters
    // look at every entry when the list is read and at each key typed. None
    // for an index of another model.
    static const ApplicationData *entryAt(const QModelIndex &index);
    // The index of a filter over this model, or of a chain of filters, that
    // stands for an index of this model; invalid where a filter leaves it out.
    static QModelIndex filterIndex(const QAbstractItemModel *filter, const QModelIndex &index);

private:
    bool isUsable(const QModelIndex &index) const;

    ApplicationDataList m_applications;
    QString m_dragScriptFolder;
};

// Accepts the favourite entries.
class FavoritesProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit FavoritesProxyModel(QObject *parent = nullptr);

protected:
    // What a filter on the text "true" of the favourite flag accepts, without
    // making that text for every entry.
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
};

// Accepts the entries that carry one tag mark.
class TagSortFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit TagSortFilterProxyModel(QObject *parent = nullptr);

    void setFilterTag(int tag);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    int m_filterTag = 0;
};

#endif
