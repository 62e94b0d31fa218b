#include "applicationLauncher.h"

#include "platform.h"
#include "qtlib.h"

#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QTabWidget>
#include <QVBoxLayout>

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
    case ApplicationDataRole:
        application = value.value<ApplicationData>();
        break;
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
        m_applications.insert(row + i, ApplicationData(QStringLiteral("No Name")));
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
    const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
    return index.data(LauncherDataModel::TagRole).toInt() & m_filterTag;
}

ApplicationLauncher::ApplicationLauncher(QWidget *parent)
    : QWidget(parent)
    , m_tabWidget(new QTabWidget(this))
    , m_homeView(new ListView(this))
    , m_favoritesView(new ListView(this))
    , m_model(new LauncherDataModel(this))
    , m_favoritesProxy(new QSortFilterProxyModel(this))
{
    setAcceptDrops(true);

    // The filters are bound to the model from the start, so that entries added
    // and marked before any launcher file exists show in their tabs at once.
    m_favoritesProxy->setDynamicSortFilter(true);
    m_favoritesProxy->setFilterCaseSensitivity(Qt::CaseSensitive);
    m_favoritesProxy->setFilterFixedString(QStringLiteral("true"));
    m_favoritesProxy->setFilterRole(LauncherDataModel::FavoriteRole);
    m_favoritesProxy->setSourceModel(m_model);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tabWidget->setIconSize(QSize(20, 20));
    m_tabWidget->setUsesScrollButtons(false);
    layout->addWidget(m_tabWidget);

    addTab(m_homeView, m_model, QStringLiteral(":/images/home.png"));
    addTab(m_favoritesView, m_favoritesProxy, QStringLiteral(":/images/star_off.png"));

    const QStringList tagIcons = {QStringLiteral(":/images/heart_off.png"), QStringLiteral(":/images/diamond_off.png"),
                                  QStringLiteral(":/images/spade_off.png"), QStringLiteral(":/images/kroeber_off.png")};
    for (int i = 0; i < tagValues.size(); ++i) {
        auto *proxy = new TagSortFilterProxyModel(this);
        proxy->setDynamicSortFilter(true);
        proxy->setFilterTag(tagValues.at(i));
        proxy->setFilterRole(LauncherDataModel::TagRole);
        proxy->setSourceModel(m_model);
        m_tagProxies.append(proxy);

        auto *view = new ListView(this);
        m_tagViews.append(view);
        addTab(view, proxy, tagIcons.at(i));
    }
}

void ApplicationLauncher::addTab(ListView *view, QAbstractItemModel *model, const QString &icon)
{
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    view->setModel(model);
    view->setFocusPolicy(Qt::NoFocus);
    connect(view, SIGNAL(customContextMenuRequested(QPoint)), this, SLOT(createContextMenu(QPoint)));
    connect(view, SIGNAL(insertRequested()), this, SLOT(addRow()));
    connect(view, SIGNAL(doubleClicked(QModelIndex)), this, SLOT(doubleClickedItem(QModelIndex)));
    m_tabWidget->addTab(view, QIcon(icon), QString());
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

bool ApplicationLauncher::saveLauncherData(const QString &fileName)
{
    return writeLauncherFile(fileName, m_model->launcherData());
}

void ApplicationLauncher::readLauncherData(const QString &fileName)
{
    ApplicationDataList list;
    if (readLauncherFile(fileName, &list))
        setLauncherData(list);
}

ListView *ApplicationLauncher::currentView() const
{
    return static_cast<ListView *>(m_tabWidget->currentWidget());
}

void ApplicationLauncher::createContextMenu(const QPoint &pos)
{
    ListView *view = currentView();
    QMenu menu(view);
    QAction *add = menu.addAction(QIcon(QStringLiteral(":/images/plus.png")), tr("Add"));
    connect(add, SIGNAL(triggered(bool)), this, SLOT(addRow()));
    QAction *remove = menu.addAction(QIcon(QStringLiteral(":/images/x.png")), tr("Remove"));
    connect(remove, SIGNAL(triggered(bool)), this, SLOT(removeRow()));
    // The view reports the position in its viewport's coordinates.
    menu.exec(view->viewport()->mapToGlobal(pos));
}

void ApplicationLauncher::addRow()
{
    m_model->insertRow(m_model->rowCount());
}

void ApplicationLauncher::removeRow()
{
    currentView()->removeSelectedRow();
}

void ApplicationLauncher::doubleClickedItem(const QModelIndex &index)
{
    const auto application = index.data(LauncherDataModel::ApplicationDataRole).value<ApplicationData>();
    const QString scriptPath = Platform::launchScriptPath(application.batchFileName());
    // A script that cannot be written still goes to the interpreter, whose
    // complaint then reaches the user through the error box.
    application.writeBatchFile(scriptPath);

    auto *process = new QProcess(this);
    connect(process, SIGNAL(readyReadStandardError()), this, SLOT(processOutputError()));
    connect(process, SIGNAL(finished(int, QProcess::ExitStatus)), this, SLOT(processFinished()));
    connect(process, SIGNAL(errorOccurred(QProcess::ProcessError)), this,
            SLOT(processFailed(QProcess::ProcessError)));
    process->start(Platform::commandInterpreter(), {QStringLiteral("/c"), scriptPath});
}

void ApplicationLauncher::processOutputError()
{
    // The process may finish and be deleted while the box is open.
    QPointer<QProcess> process = qobject_cast<QProcess *>(sender());
    if (!process)
        return;
    const QByteArray output = process->readAllStandardOutput();
    const QByteArray error = process->readAllStandardError();
    const QString text = QString::fromLocal8Bit(output.constData()) + QString(80, QLatin1Char('-'))
                         + QLatin1Char('\n') + QString::fromLocal8Bit(error.constData());
    QMessageBox::critical(this, tr("Error"), text, QMessageBox::Ok);
    if (process)
        process->kill();
}

void ApplicationLauncher::processFinished()
{
    if (auto *process = qobject_cast<QProcess *>(sender())) {
        process->kill();
        process->deleteLater();
    }
}

void ApplicationLauncher::processFailed(QProcess::ProcessError error)
{
    auto *process = qobject_cast<QProcess *>(sender());
    // A process that never started sends no finished signal: without this it
    // would stay for ever, and the user would never learn that nothing ran.
    if (!process || error != QProcess::FailedToStart)
        return;
    const QString reason = process->program() + QStringLiteral(": ") + process->errorString();
    process->deleteLater();
    QMessageBox::critical(this, tr("Error"), reason, QMessageBox::Ok);
}
