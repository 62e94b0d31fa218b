#include "applicationLauncher.h"

#include "applicationEditor.h"
#include "platform.h"
#include "qtlib.h"

#include <QDragEnterEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStandardPaths>
#include <QTabWidget>
#include <QUrl>
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

    // Written when the drag starts, whatever becomes of it.
    QList<QUrl> urls;
    QString text;
    for (const ApplicationData &application : qAsConst(applications)) {
        const QString path = QStringLiteral("data/temp/") + application.batchFileName();
        if (application.writeBatchFile(path))
            urls.append(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
        text += application.batchScript();
    }
    data->setUrls(urls);
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
    const ApplicationDataList applications = readApplicationDataPayload(data->data(applicationDataMimeType));
    if (!insertRows(position, applications.size()))
        return false;
    for (int k = 0; k < applications.size(); ++k)
        setData(index(position + k), QVariant::fromValue(applications.at(k)), ApplicationDataRole);
    return true;
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

LauncherDelegate::LauncherDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
    , m_cardPen(QBrush(Qt::black), 0.5, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin)
    , m_starOn(QStringLiteral(":/images/star_on.png"))
    , m_starOff(QStringLiteral(":/images/star_off.png"))
    , m_pen(QStringLiteral(":/images/pen.png"))
{
    for (const QString &mark :
         {QStringLiteral("heart"), QStringLiteral("diamond"), QStringLiteral("spade"), QStringLiteral("kroeber")}) {
        m_markPixmaps.append({QPixmap(QStringLiteral(":/images/%1_on.png").arg(mark)),
                              QPixmap(QStringLiteral(":/images/%1_off.png").arg(mark))});
    }
}

QRect LauncherDelegate::buttonRect(const QRect &card, int button)
{
    const int origin = card.right() - buttonCount * (buttonSize + buttonSpacing) - margin;
    return QRect(origin + button * (buttonSize + buttonSpacing), card.top() + margin, buttonSize, buttonSize);
}

void LauncherDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QRect &card = option.rect;
    const int half = card.height() / 2;
    painter->save();
    if (option.state & QStyle::State_Selected) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(option.palette.brush(QPalette::Current, QPalette::Highlight));
        painter->drawRoundedRect(QRectF(card), 1.0, 1.0, Qt::AbsoluteSize);
    }
    m_cardPen.setColor(option.palette.brush(QPalette::Current, QPalette::Text).color());
    painter->setPen(m_cardPen);
    const QLine line(card.left() + 2 * margin + iconSize, card.top() + half, card.right() - margin, card.top() + half);
    painter->drawLines(&line, 1);

    const QIcon icon = index.data(LauncherDataModel::IconRole).value<QIcon>();
    painter->drawPixmap(QRect(card.left() + margin, card.top() + margin, iconSize, iconSize),
                        icon.pixmap(iconSize, iconSize, QIcon::Normal, QIcon::Off));

    const int textLeft = card.left() + 2 * margin + iconSize;
    const int textWidth = card.width() - 3 * margin - iconSize;
    painter->setFont(nameFont);
    painter->setPen(m_cardPen);
    painter->drawText(QRect(textLeft, card.top() + margin, textWidth, half), Qt::AlignLeft | Qt::AlignTop,
                      index.data(LauncherDataModel::NameRole).toString());
    painter->setFont(descriptionFont);
    painter->setPen(m_cardPen);
    painter->drawText(QRect(textLeft, card.top() + margin + half, textWidth, half), Qt::AlignLeft | Qt::AlignTop,
                      index.data(LauncherDataModel::DescriptionRole).toString());

    if (option.state & QStyle::State_MouseOver) {
        const int tag = index.data(LauncherDataModel::TagRole).toInt();
        for (int i = 0; i < tagValues.size(); ++i)
            painter->drawPixmap(buttonRect(card, i), m_markPixmaps.at(i).at(tag & tagValues.at(i) ? 0 : 1));
        const bool favorite = index.data(LauncherDataModel::FavoriteRole).toBool();
        painter->drawPixmap(buttonRect(card, 4), favorite ? m_starOn : m_starOff);
        painter->drawPixmap(buttonRect(card, 5), m_pen);
    }
    painter->restore();
}

QSize LauncherDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    return QSize(100, iconSize + 2 * margin);
}

bool LauncherDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                   const QModelIndex &index)
{
    if (event->type() == QEvent::MouseButtonPress) {
        const QPoint pos = static_cast<QMouseEvent *>(event)->pos();
        for (int i = 0; i < tagValues.size(); ++i) {
            if (buttonRect(option.rect, i).contains(pos)) {
                const int tag = index.data(LauncherDataModel::TagRole).toInt();
                model->setData(index, tag ^ tagValues.at(i), LauncherDataModel::TagRole);
                return true;
            }
        }
        if (buttonRect(option.rect, 4).contains(pos)) {
            const bool favorite = index.data(LauncherDataModel::FavoriteRole).toBool();
            model->setData(index, !favorite, LauncherDataModel::FavoriteRole);
            return true;
        }
        if (buttonRect(option.rect, 5).contains(pos)) {
            editEntry(model, index);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

void LauncherDelegate::editEntry(QAbstractItemModel *model, const QModelIndex &index)
{
    // The index must survive the editor's own event loop.
    const QPersistentModelIndex entry(index);
    ApplicationEditor editor(qobject_cast<QWidget *>(parent()));
    editor.setApplicationData(entry.data(LauncherDataModel::ApplicationDataRole).value<ApplicationData>());
    if (editor.exec() != QDialog::Rejected && entry.isValid())
        model->setData(entry, QVariant::fromValue(editor.applicationData()), LauncherDataModel::ApplicationDataRole);
}

namespace {

// Undoes the escapes of a desktop entry's string values.
QString unescapeDesktopValue(const QString &value)
{
    QString result;
    for (int i = 0; i < value.size(); ++i) {
        if (value.at(i) != QLatin1Char('\\') || i + 1 == value.size()) {
            result += value.at(i);
            continue;
        }
        const QChar next = value.at(++i);
        if (next == QLatin1Char('s'))
            result += QLatin1Char(' ');
        else if (next == QLatin1Char('n'))
            result += QLatin1Char('\n');
        else if (next == QLatin1Char('t'))
            result += QLatin1Char('\t');
        else if (next == QLatin1Char('r'))
            result += QLatin1Char('\r');
        else if (next == QLatin1Char('\\'))
            result += QLatin1Char('\\');
        else
            result += QLatin1Char('\\') + QString(next);
    }
    return result;
}

// Splits an Exec value into words: double quotes group, and inside them a
// backslash keeps the next character. Field codes go; "%%" is a percent sign.
QStringList splitExec(const QString &exec)
{
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (int i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (quoted) {
            if (c == QLatin1Char('"'))
                quoted = false;
            else if (c == QLatin1Char('\\') && i + 1 < exec.size())
                word += exec.at(++i);
            else
                word += c;
        } else if (c == QLatin1Char('"')) {
            quoted = inWord = true;
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inWord && !word.isEmpty())
                words.append(word);
            word.clear();
            inWord = false;
        } else if (c == QLatin1Char('%') && i + 1 < exec.size()) {
            inWord = true;
            if (exec.at(++i) == QLatin1Char('%'))
                word += QLatin1Char('%');
        } else {
            inWord = true;
            word += c;
        }
    }
    if (inWord && !word.isEmpty())
        words.append(word);
    return words;
}

} // namespace

QStringList desktopEntryCommand(const QByteArray &content)
{
    bool inEntry = false;
    for (const QByteArray &rawLine : content.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
        } else if (inEntry && line.startsWith(QLatin1String("Exec"))) {
            const int equals = line.indexOf(QLatin1Char('='));
            if (equals > 0 && line.leftRef(equals).trimmed() == QLatin1String("Exec"))
                return splitExec(unescapeDesktopValue(line.mid(equals + 1).trimmed()));
        }
    }
    return QStringList();
}

ApplicationLauncher::ApplicationLauncher(QWidget *parent)
    : QWidget(parent)
    , m_tabWidget(new QTabWidget(this))
    , m_homeView(new ListView(this))
    , m_favoritesView(new ListView(this))
    , m_model(new LauncherDataModel(this))
    , m_delegate(new LauncherDelegate(this))
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
    view->setItemDelegate(m_delegate);
    view->setFocusPolicy(Qt::NoFocus);
    // The cards show their buttons under the pointer.
    view->viewport()->setAttribute(Qt::WA_Hover);
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
    connect(process, SIGNAL(errorOccurred(QProcess::ProcessError)), this, SLOT(processFailed(QProcess::ProcessError)));
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
    const QString text = QString::fromLocal8Bit(output.constData()) + QString(80, QLatin1Char('-')) + QLatin1Char('\n')
        + QString::fromLocal8Bit(error.constData());
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
        for (const QUrl &url : event->mimeData()->urls())
            appendProgram(url.toLocalFile());
        event->acceptProposedAction();
    }
    event->accept();
}

void ApplicationLauncher::appendProgram(const QString &filePath)
{
    const QFileInfo file(filePath);
    if (file.isDir())
        return;
    QString path = file.isSymLink() ? file.symLinkTarget() : file.absoluteFilePath();
    VariableDataList arguments;
    if (file.suffix() == QLatin1String("desktop")) {
        QFile desktopFile(path);
        QStringList command;
        if (desktopFile.open(QIODevice::ReadOnly))
            command = desktopEntryCommand(desktopFile.readAll());
        if (!command.isEmpty()) {
            const QString program = command.takeFirst();
            const QString found = program.contains(QLatin1Char('/')) ? QString()
                                                                     : QStandardPaths::findExecutable(program);
            path = found.isEmpty() ? program : found;
            for (const QString &word : qAsConst(command))
                arguments.append(VariableData(word));
        }
    }
    m_model->insertRow(m_model->rowCount());
    const QModelIndex entry = m_model->index(m_model->rowCount() - 1);
    m_model->setData(entry, file.baseName(), LauncherDataModel::NameRole);
    m_model->setData(entry, path, LauncherDataModel::PathRole);
    if (!arguments.isEmpty())
        m_model->setData(entry, QVariant::fromValue(arguments), LauncherDataModel::ArgumentsRole);
}
