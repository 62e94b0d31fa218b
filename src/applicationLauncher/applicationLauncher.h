#ifndef KORVANI_APPLICATIONLAUNCHER_H
#define KORVANI_APPLICATIONLAUNCHER_H

#include "applicationLauncher/launcherModel.h"
#include "records/launcherFile.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class EntryEditing;
class FilterField;
class LaunchProcess;
class LaunchService;
class LauncherFileMonitor;
class LauncherDelegate;
class LauncherKeys;
class ListView;
class ProgramImport;
class QTabWidget;
class RemovalHistory;

// The tabbed launcher: every entry, the favourites, and one tab per tag mark.
// It takes dropped programs and launches entries.
class ApplicationLauncher : public QWidget
{
    Q_OBJECT

public:
    explicit ApplicationLauncher(QWidget *parent = nullptr);

    void setLauncherData(const ApplicationDataList &list);
    int currentTabIndex() const;
    LauncherDataModel *launcherModel() const { return m_model; }
    LaunchService *launchService() const { return m_launchService; }
    // What Remove took, for Undo to put back.
    RemovalHistory *removalHistory() const { return m_removals; }
    // The launcher file as last read or saved, and whether the entries have changed since.
    LauncherFileMonitor *launcherFile() const { return m_file; }
    // Save and read as the slots do, and tell what went wrong.
    bool saveLauncherData(const QString &fileName, QString *errorString);
    void readLauncherData(const QString &fileName, LauncherFileProblem *problem);

public slots:
    void setCurrentTabIndex(int index);
    bool saveLauncherData(const QString &fileName);
    void readLauncherData(const QString &fileName);
    void createContextMenu(const QPoint &pos);
    // Opens the editor on a new entry, which has the mark or star of the
    // current tab; it stays only when it is saved.
    void addRow();
    // Removes exactly the selected entries of the current tab, as one step
    // that the removal history can undo.
    void removeRow();
    // Opens the editor on the entry at an index of the model or of a tab.
    void editItem(const QModelIndex &index);
    // Lets the user pick among the programs the desktop offers, and adds them
    // as dropped desktop entries are added.
    void addInstalledPrograms();
    void doubleClickedItem(const QModelIndex &index);

signals:
    // A card was launched with Enter from the filter, which was then cleared.
    void launchedFromFilter();

public:
    ListView *currentView() const;

private slots:
    void showLaunchReport(LaunchProcess *process);
    void showLaunchFailure(const QString &message);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void addTab(ListView *view, QAbstractItemModel *model, const QString &icon);
    void reportError(LaunchProcess *process, const QString &text);

    // An Error box to show: a process's output, or a text of its own.
    struct ErrorReport
    {
        QPointer<LaunchProcess> process;
        QString text;
    };

    QTabWidget *m_tabWidget;
    FilterField *m_filterField;
    LauncherKeys *m_keys;
    ListView *m_homeView;
    ListView *m_favoritesView;
    QList<ListView *> m_tagViews;
    LauncherDataModel *m_model;
    LauncherDelegate *m_delegate;
    QSortFilterProxyModel *m_favoritesProxy;
    LaunchService *m_launchService;
    EntryEditing *m_editing;
    RemovalHistory *m_removals;
    ProgramImport *m_import;
    LauncherFileMonitor *m_file;
    QList<ErrorReport> m_errorReports;
    bool m_showingError = false;
};

#endif
