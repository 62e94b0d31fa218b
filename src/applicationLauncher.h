#ifndef KORVANI_APPLICATIONLAUNCHER_H
#define KORVANI_APPLICATIONLAUNCHER_H

#include "records.h"

#include <QAbstractListModel>
#include <QList>
#include <QProcess>
#include <QSortFilterProxyModel>
#include <QWidget>

class ListView;
class QTabWidget;

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

    ApplicationDataList launcherData() const;
    void setLauncherData(const ApplicationDataList &list);

private:
    bool isUsable(const QModelIndex &index) const;

    ApplicationDataList m_applications;
};

// Accepts the entries that carry one tag mark.
class TagSortFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit TagSortFilterProxyModel(QObject *parent = nullptr);

    int filterTag() const { return m_filterTag; }
    void setFilterTag(int tag);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    int m_filterTag = 0;
};

// The tabbed launcher: every entry, the favourites, and one tab per tag mark.
class ApplicationLauncher : public QWidget
{
    Q_OBJECT

public:
    explicit ApplicationLauncher(QWidget *parent = nullptr);

    void setLauncherData(const ApplicationDataList &list);
    int currentTabIndex() const;
    LauncherDataModel *launcherModel() const { return m_model; }

public slots:
    void setCurrentTabIndex(int index);
    bool saveLauncherData(const QString &fileName);
    void readLauncherData(const QString &fileName);
    void createContextMenu(const QPoint &pos);
    void addRow();
    void removeRow();
    void doubleClickedItem(const QModelIndex &index);
    void processOutputError();
    void processFinished();
    void processFailed(QProcess::ProcessError error);

private:
    void addTab(ListView *view, QAbstractItemModel *model, const QString &icon);
    ListView *currentView() const;

    QTabWidget *m_tabWidget;
    ListView *m_homeView;
    ListView *m_favoritesView;
    QList<ListView *> m_tagViews;
    LauncherDataModel *m_model;
    QSortFilterProxyModel *m_favoritesProxy;
    QList<TagSortFilterProxyModel *> m_tagProxies;
};

#endif
