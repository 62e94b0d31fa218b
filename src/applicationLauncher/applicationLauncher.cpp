#include "applicationLauncher/applicationLauncher.h"

#include "applicationLauncher/emptyTabHint.h"
#include "applicationLauncher/entryEditing.h"
#include "applicationLauncher/filterField.h"
#include "applicationLauncher/launchProcess.h"
#include "applicationLauncher/launchReportBox.h"
#include "applicationLauncher/launchService.h"
#include "applicationLauncher/launcherDelegate.h"
#include "applicationLauncher/launcherFilterProxyModel.h"
#include "applicationLauncher/launcherKeys.h"
#include "applicationLauncher/launcherTab.h"
#include "applicationLauncher/programImport.h"
#include "document/launcherDocument.h"
#include "document/removalHistory.h"
#include "platform/dataFolder.h"
#include "qtlib/itemViews.h"
#include "qtlib/urlDrags.h"
#include "qtlib/userPrompts.h"

#include <QDragEnterEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

ApplicationLauncher::ApplicationLauncher(LauncherDocument *document, const DataFolder &folder, UserPrompts *prompts,
                                         QWidget *parent)
    : QWidget(parent)
    , m_document(document)
    , m_prompts(prompts)
    , m_tabWidget(new QTabWidget(this))
    , m_filterField(new FilterField(this))
    , m_keys(new LauncherKeys(this, m_filterField))
    , m_homeView(new ListView(this))
    , m_favoritesView(new ListView(this))
    , m_model(document->model())
    , m_delegate(new LauncherDelegate(this))
    , m_favoritesProxy(new FavoritesProxyModel(this))
    , m_launchService(new LaunchService(folder, this))
    , m_editing(new EntryEditing(m_model, folder.templateFolder(), prompts, this))
    , m_import(new ProgramImport(m_model, prompts, this))
{
    setAcceptDrops(true);
    // The lists never take the keyboard; the launcher does (LauncherKeys).
    setFocusPolicy(Qt::StrongFocus);
    setFocus();

    // The filters are bound to the model from the start, so that entries added
    // and marked before any launcher file exists show in their tabs at once.
    m_favoritesProxy->setDynamicSortFilter(true);
    m_favoritesProxy->setSourceModel(m_model);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tabWidget->setIconSize(QSize(20, 20));
    m_tabWidget->setUsesScrollButtons(false);
    layout->addWidget(m_filterField);
    layout->addWidget(m_tabWidget);
    connect(m_keys, &LauncherKeys::launchedFromFilter, this, &ApplicationLauncher::launchedFromFilter);
    connect(m_launchService, &LaunchService::reportReady, this, &ApplicationLauncher::showLaunchReport);
    connect(m_launchService, &LaunchService::failed, this, &ApplicationLauncher::showLaunchFailure);
    connect(m_delegate, &LauncherDelegate::editRequested, this, &ApplicationLauncher::editItem);

    addTab(m_homeView, m_model, QStringLiteral(":/images/home.png"));
    // Entries are reordered by dragging them within the home list.
    m_homeView->setDragEnabled(true);
    m_homeView->setAcceptDrops(true);
    m_homeView->setDropIndicatorShown(true);
    m_homeView->setDragDropOverwriteMode(false);
    m_homeView->setDefaultDropAction(Qt::MoveAction);
    addTab(m_favoritesView, m_favoritesProxy, QStringLiteral(":/images/star_off.png"));

    const QStringList tagIcons = {QStringLiteral(":/images/heart_off.png"), QStringLiteral(":/images/diamond_off.png"),
                                  QStringLiteral(":/images/spade_off.png"), QStringLiteral(":/images/kroeber_off.png")};
    for (int i = 0; i < tagValues.size(); ++i) {
        auto *proxy = new TagSortFilterProxyModel(this);
        proxy->setDynamicSortFilter(true);
        proxy->setFilterTag(tagValues.at(i));
        proxy->setFilterRole(LauncherDataModel::TagRole);
        proxy->setSourceModel(m_model);

        auto *view = new ListView(this);
        m_tagViews.append(view);
        addTab(view, proxy, tagIcons.at(i));
    }
}

void ApplicationLauncher::addTab(ListView *view, QAbstractItemModel *model, const QString &icon)
{
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    view->setModel(m_filterField->addStage(model));
    view->setItemDelegate(m_delegate);
    // Every card has the same size; the list need not ask each one.
    view->setUniformItemSizes(true);
    view->setFocusPolicy(Qt::NoFocus);
    // The cards show their buttons under the pointer.
    view->viewport()->setAttribute(Qt::WA_Hover);
    connect(view, &QWidget::customContextMenuRequested, this, &ApplicationLauncher::createContextMenu);
    connect(view, &ListView::insertRequested, this, &ApplicationLauncher::addRow);
    connect(view, &QAbstractItemView::doubleClicked, this, &ApplicationLauncher::doubleClickedItem);
    m_tabWidget->addTab(view, QIcon(icon), QString());
    new EmptyTabHint(view);
}

void ApplicationLauncher::setLauncherData(const ApplicationDataList &list)
{
    m_model->setLauncherData(list);
}

int ApplicationLauncher::currentTabIndex() const
{
    return m_tabWidget->currentIndex();
}

void ApplicationLauncher::setCurrentTabIndex(int index)
{
    m_tabWidget->setCurrentIndex(index);
}

RemovalHistory *ApplicationLauncher::removalHistory() const
{
    return m_document->removalHistory();
}

bool ApplicationLauncher::saveLauncherData(const QString &fileName)
{
    return m_document->write(fileName);
}

void ApplicationLauncher::readLauncherData(const QString &fileName)
{
    m_document->read(fileName);
}

ListView *ApplicationLauncher::currentView() const
{
    const int tab = m_tabWidget->currentIndex();
    if (tab == Home)
        return m_homeView;
    if (tab == Favorites)
        return m_favoritesView;
    return m_tagViews.at(tab - Heart);
}

void ApplicationLauncher::createContextMenu(const QPoint &pos)
{
    execAddRemoveMenu(currentView(), pos, {tr("Add"), [this] { addRow(); }}, {tr("Remove"), [this] { removeRow(); }},
                      m_keys->cardActions());
}

void ApplicationLauncher::addRow()
{
    const int tab = m_tabWidget->currentIndex();
    const QModelIndex added = m_editing->add(tabTag(tab), tab == Favorites);
    if (!added.isValid())
        return;
    // The new card is the current one, where the tab and the filter show it.
    ListView *view = currentView();
    const QModelIndex shown = LauncherDataModel::filterIndex(view->model(), added);
    if (shown.isValid()) {
        view->selectionModel()->setCurrentIndex(shown, QItemSelectionModel::ClearAndSelect);
        view->scrollTo(shown);
    }
}

void ApplicationLauncher::removeRow()
{
    QList<int> rows;
    for (const QModelIndex &index : currentView()->selectionModel()->selectedIndexes())
        rows.append(LauncherDataModel::sourceIndex(index).row());
    m_document->removalHistory()->remove(rows);
}

void ApplicationLauncher::editItem(const QModelIndex &index)
{
    m_editing->edit(index);
}

void ApplicationLauncher::doubleClickedItem(const QModelIndex &index)
{
    m_launchService->launch(index.data(LauncherDataModel::ApplicationDataRole).value<ApplicationData>());
}

void ApplicationLauncher::showLaunchReport(LaunchProcess *process)
{
    reportError(process, QString());
}

void ApplicationLauncher::showLaunchFailure(const QString &message)
{
    reportError(nullptr, message);
}

// Boxes are shown one after the other, never one from within another's event
// loop: a program that writes errors without end gets one box, and many
// failing launches do not pile boxes up until the stack runs out.
void ApplicationLauncher::reportError(LaunchProcess *process, const QString &text)
{
    m_errorReports.append({process, text});
    if (m_showingError)
        return;
    m_showingError = true;
    const QPointer<ApplicationLauncher> alive(this);
    while (!m_errorReports.isEmpty()) {
        const ErrorReport report = m_errorReports.takeFirst();
        if (report.process) {
            LaunchReportBox box(report.process, this);
            box.setWindowTitle(tr("Error"));
            m_prompts->runBox(&box);
            if (!alive)
                return;
            if (report.process)
                m_launchService->closeReport(report.process, box.stopChosen());
        } else if (!report.text.isEmpty()) {
            m_prompts->showError(tr("Error"), report.text);
            if (!alive)
                return;
        }
    }
    m_showingError = false;
}

void ApplicationLauncher::dragEnterEvent(QDragEnterEvent *event)
{
    dragMoveEvent(event);
}

void ApplicationLauncher::dragMoveEvent(QDragMoveEvent *event)
{
    // Entries are dropped on the home list. A card dragged off it also carries
    // its batch file's URL: taken here, it would become an entry for that file
    // while the move removed the card itself.
    if (event->mimeData()->hasFormat(applicationDataMimeType)) {
        event->setDropAction(Qt::IgnoreAction);
        event->accept();
        return;
    }
    acceptUrlDrags(event);
}

void ApplicationLauncher::dropEvent(QDropEvent *event)
{
    if (event->mimeData()->hasUrls()) {
        QStringList files;
        for (const QUrl &url : event->mimeData()->urls())
            files.append(url.toLocalFile());
        event->acceptProposedAction();
        m_import->addFiles(files);
    }
    event->accept();
}

void ApplicationLauncher::addInstalledPrograms()
{
    m_import->addInstalledPrograms();
}
