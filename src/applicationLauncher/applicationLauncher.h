#ifndef KORVANI_APPLICATIONLAUNCHER_H
#define KORVANI_APPLICATIONLAUNCHER_H

#include "document/launcherModel.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class DataFolder;
class EntryEditing;
class FilterField;
class LaunchProcess;
class LaunchService;
class LauncherDelegate;
class LauncherDocument;
class LauncherKeys;
class ListView;
class ProgramImport;
class QTabWidget;
class RemovalHistory;
class UserPrompts;

// The tabbed launcher, a view of the launcher document: every entry, the
// favourites, and one tab per tag mark. It takes dropped programs and
// launches entries.
class ApplicationLauncher : public QWidget
{
    Q_OBJECT

public:
    // Launches write their batch files into the data folder and start there;
    // questions and messages go through prompts.
    ApplicationLauncher(LauncherDocument *document, const DataFolder &folder, UserPrompts *prompts,
                        QWidget *parent = nullptr);

    // Puts the list into the document's entries.
    void setLauncherData(const ApplicationDataList &list);
    int currentTabIndex() const;
    LauncherDocument *document() const { return m_document; }
    LauncherDataModel *launcherModel() const { return m_model; }
    LaunchService *launchService() const { return m_launchService; }
    // What Remove took, for Undo to put back.
    RemovalHistory *removalHistory() const;

public slots:
    void setCurrentTabIndex(int index);
    // The document's write and read.
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

    LauncherDocument *m_document;
    UserPrompts *m_prompts;
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
    ProgramImport *m_import;
    QList<ErrorReport> m_errorReports;
    bool m_showingError = false;
};

#endif
