#include "qtlib.h"

#include "platform.h"

#include <QCompleter>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QStyle>

namespace {

// Removes the selected rows one at a time, asking the selection again after each
// removal, so that a row selected in several columns goes once and the rows
// follow the order in which they were selected.
void removeSelectedRows(QAbstractItemView *view)
{
    if (!view->model() || !view->selectionModel())
        return;
    QModelIndexList selected = view->selectionModel()->selectedIndexes();
    while (!selected.isEmpty()) {
        view->model()->removeRow(selected.first().row(), QModelIndex());
        QModelIndexList remaining = view->selectionModel()->selectedIndexes();
        // A model that refuses the removal keeps the selection as it was.
        if (remaining == selected)
            break;
        selected = remaining;
    }
}

// Delete removes the selected rows and Insert asks for a new one, whatever the
// modifiers. Tells whether the key was one of them.
template <typename View>
bool handleRowKey(View *view, QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete) {
        view->removeSelectedRow();
        return true;
    }
    if (event->key() == Qt::Key_Insert) {
        emit view->insertRequested();
        return true;
    }
    return false;
}

} // namespace

void acceptUrlDrags(QDragMoveEvent *event)
{
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    } else {
        event->setDropAction(Qt::IgnoreAction);
        event->accept();
    }
}

void execAddRemoveMenu(QAbstractItemView *view, const QPoint &pos, const MenuCommand &add, const MenuCommand &remove)
{
    QMenu menu(view);
    QObject::connect(menu.addAction(QIcon(QStringLiteral(":/images/plus.png")), add.text), SIGNAL(triggered(bool)),
                     add.receiver, add.slot);
    QObject::connect(menu.addAction(QIcon(QStringLiteral(":/images/x.png")), remove.text), SIGNAL(triggered(bool)),
                     remove.receiver, remove.slot);
    // Views report the position in their viewport's coordinates.
    menu.exec(view->viewport()->mapToGlobal(pos));
}

ListView::ListView(QWidget *parent)
    : QListView(parent)
{
}

void ListView::removeSelectedRow()
{
    removeSelectedRows(this);
}

void ListView::keyPressEvent(QKeyEvent *event)
{
    if (!handleRowKey(this, event))
        QAbstractItemView::keyPressEvent(event);
}

void ListView::startDrag(Qt::DropActions supportedActions)
{
    QModelIndexList indexes;
    for (const QModelIndex &index : selectedIndexes()) {
        if (model()->flags(index) & Qt::ItemIsDragEnabled)
            indexes.append(index);
    }
    if (indexes.isEmpty())
        return;
    QMimeData *mimeData = model()->mimeData(indexes);
    if (!mimeData)
        return;
    QList<QPersistentModelIndex> dragged;
    for (const QModelIndex &index : qAsConst(indexes))
        dragged.append(index);

    auto *drag = new QDrag(this);
    const QRect card = visualRect(indexes.first());
    drag->setPixmap(viewport()->grab(card));
    drag->setHotSpot(viewport()->mapFromGlobal(QCursor::pos()) - card.topLeft());
    drag->setMimeData(mimeData);
    m_droppedHere = false;
    const Qt::DropAction defaultAction = supportedActions & defaultDropAction() ? defaultDropAction() : Qt::CopyAction;
    if (drag->exec(supportedActions, defaultAction) == Qt::MoveAction && m_droppedHere) {
        // Rows dropped in front of the dragged ones have moved them down.
        std::sort(dragged.begin(), dragged.end(),
                  [](const QPersistentModelIndex &a, const QPersistentModelIndex &b) { return a.row() > b.row(); });
        for (const QPersistentModelIndex &index : qAsConst(dragged)) {
            if (index.isValid())
                model()->removeRow(index.row(), index.parent());
        }
    }
    m_droppedHere = false;
}

void ListView::dropEvent(QDropEvent *event)
{
    QListView::dropEvent(event);
    if (event->source() == this && event->isAccepted() && event->dropAction() == Qt::MoveAction)
        m_droppedHere = true;
}

TableView::TableView(QWidget *parent)
    : QTableView(parent)
{
}

void TableView::removeSelectedRow()
{
    removeSelectedRows(this);
}

void TableView::keyPressEvent(QKeyEvent *event)
{
    if (!handleRowKey(this, event))
        QAbstractItemView::keyPressEvent(event);
}

PathLineEdit::PathLineEdit(QWidget *parent)
    : QLineEdit(parent)
{
    auto *completer = new QCompleter(this);
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    auto *model = new FileSystemModel(completer);
    model->setRootPath(QString());
    completer->setModel(model);
    setCompleter(completer);
    setObjectName(QStringLiteral("PathLineEdit"));
    connect(this, SIGNAL(editingFinished()), this, SLOT(checkState()));
    connect(this, SIGNAL(textChanged(QString)), this, SLOT(checkState()));
    checkState();
}

void PathLineEdit::checkState()
{
    setProperty("state", QFile::exists(text()) ? QStringLiteral("Acceptable") : QStringLiteral("Invalid"));
    // Style sheet rules on properties are only looked at again on a new polish.
    style()->unpolish(this);
    style()->polish(this);
}

void PathLineEdit::dragEnterEvent(QDragEnterEvent *event)
{
    dragMoveEvent(event);
}

void PathLineEdit::dragMoveEvent(QDragMoveEvent *event)
{
    acceptUrlDrags(event);
}

void PathLineEdit::dropEvent(QDropEvent *event)
{
    if (event->mimeData()->hasUrls()) {
        setText(event->mimeData()->urls().first().toLocalFile());
        event->acceptProposedAction();
    }
    event->accept();
}

FileSystemModel::FileSystemModel(QObject *parent)
    : QFileSystemModel(parent)
{
}

QVariant FileSystemModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::DisplayRole && index.column() == 0) {
        QString path = QDir::toNativeSeparators(filePath(index));
        // "C:\" shows as "C:"; the Unix root keeps its only character.
        if (path.size() > 1 && path.endsWith(QDir::separator()))
            path.chop(1);
        return path;
    }
    return QFileSystemModel::data(index, role);
}

PathLineEditButton::FileDialog PathLineEditButton::fileDialog =
    [](QWidget *parent, DialogMode mode, const QString &title, const QString &directory, const QString &filter) {
        if (mode == ExistingDirectory)
            return QFileDialog::getExistingDirectory(parent, title, directory, QFileDialog::ShowDirsOnly);
        return QFileDialog::getOpenFileName(parent, title, directory, filter);
    };

PathLineEditButton::PathLineEditButton(QWidget *parent)
    : QWidget(parent)
    , m_lineEdit(new PathLineEdit(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    connect(m_lineEdit, SIGNAL(editingFinished()), this, SLOT(emitEditingFinished()));
    layout->addWidget(m_lineEdit);
    // Whoever focuses the widget means the text field, as an item view does
    // when it opens the widget as a cell's editor.
    setFocusProxy(m_lineEdit);
    m_lineEdit->installEventFilter(this);

    auto *browse = new QPushButton(QIcon(QPixmap(QStringLiteral(":/images/application.png"))), QString(), this);
    browse->setFlat(true);
    browse->setDefault(false);
    connect(browse, SIGNAL(clicked()), this, SLOT(showFileDialog()));
    layout->addWidget(browse);
}

PathLineEditButton *PathLineEditButton::createApplicationButton(QWidget *parent)
{
    auto *button = new PathLineEditButton(parent);
    button->setDialogTitle(tr("Select Application"));
    button->setDefaultPath(Platform::applicationFolder());
    button->setExtension(tr("Application") + Platform::applicationFilterPatterns());
    button->setDialogMode(OpenFile);
    return button;
}

PathLineEditButton *PathLineEditButton::createFileButton(QWidget *parent)
{
    auto *button = new PathLineEditButton(parent);
    button->setDialogTitle(tr("Select File"));
    button->setExtension(tr("File") + Platform::anyFileFilterPatterns());
    button->setDialogMode(OpenFile);
    return button;
}

PathLineEditButton *PathLineEditButton::createDirectoryButton(QWidget *parent)
{
    auto *button = new PathLineEditButton(parent);
    button->setDialogTitle(tr("Select Directory"));
    button->setDialogMode(ExistingDirectory);
    return button;
}

bool PathLineEditButton::eventFilter(QObject *watched, QEvent *event)
{
    // An item view commits its cell editor when the editor loses the focus;
    // the focus is on the text field, so its loss is passed on as this
    // widget's own. The browse dialog and the completer's popup take the
    // focus only for a while, and pass nothing on.
    if (watched == m_lineEdit && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            QFocusEvent focusOut(QEvent::FocusOut, reason);
            QCoreApplication::sendEvent(this, &focusOut);
        }
    }
    return QWidget::eventFilter(watched, event);
}

QString PathLineEditButton::text() const
{
    return m_lineEdit->text();
}

void PathLineEditButton::setText(const QString &text)
{
    m_lineEdit->setText(text);
}

void PathLineEditButton::setDialogTitle(const QString &title)
{
    m_dialogTitle = title;
}

void PathLineEditButton::setDefaultPath(const QString &path)
{
    m_defaultPath = path;
}

void PathLineEditButton::setExtension(const QString &extension)
{
    m_extension = extension;
}

void PathLineEditButton::setDialogMode(DialogMode mode)
{
    m_dialogMode = mode;
}

void PathLineEditButton::emitEditingFinished()
{
    emit editingFinished();
}

void PathLineEditButton::showFileDialog()
{
    if (m_dialogMode != OpenFile && m_dialogMode != ExistingDirectory)
        return;
    const QString path = fileDialog(this, m_dialogMode, m_dialogTitle, m_defaultPath, m_extension);
    if (path.isEmpty())
        return;
    m_lineEdit->setText(path);
    emit editingFinished();
}
