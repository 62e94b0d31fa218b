#ifndef KORVANI_APPLICATIONLAUNCHER_H
#define KORVANI_APPLICATIONLAUNCHER_H

#include "records.h"

#include <QAbstractListModel>
#include <QList>
#include <QPen>
#include <QPixmap>
#include <QProcess>
#include <QSortFilterProxyModel>
#include <QStyledItemDelegate>
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

    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;

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

// Paints an entry as a card: icon, name, description, and while the pointer is
// over it a row of buttons for the four marks, the favourite star and the pen
// that opens the entry in the editor.
class LauncherDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int margin = 5;
    static constexpr int iconSize = 48;
    static constexpr int buttonSize = 16;
    static constexpr int buttonSpacing = 2;
    static constexpr int buttonCount = 6;

    explicit LauncherDelegate(QObject *parent = nullptr);

    // Button 0 to 3 are the marks in tag order, 4 the star, 5 the pen.
    static QRect buttonRect(const QRect &card, int button);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

private:
    void editEntry(QAbstractItemModel *model, const QModelIndex &index);

    mutable QPen m_cardPen;
    QPixmap m_starOn;
    QPixmap m_starOff;
    QPixmap m_pen;
    QList<QList<QPixmap>> m_markPixmaps; // [set, not set] per mark, in tag order
};

// The program a freedesktop.org desktop entry starts, and its arguments: the
// words of its Exec key without field codes. Empty when there is none.
QStringList desktopEntryCommand(const QByteArray &content);

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

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void appendProgram(const QString &filePath);
    void addTab(ListView *view, QAbstractItemModel *model, const QString &icon);
    ListView *currentView() const;

    QTabWidget *m_tabWidget;
    ListView *m_homeView;
    ListView *m_favoritesView;
    QList<ListView *> m_tagViews;
    LauncherDataModel *m_model;
    LauncherDelegate *m_delegate;
    QSortFilterProxyModel *m_favoritesProxy;
    QList<TagSortFilterProxyModel *> m_tagProxies;
};

#endif
