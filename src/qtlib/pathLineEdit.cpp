#include "qtlib/pathLineEdit.h"

#include "platform/platform.h"
#include "qtlib/urlDrags.h"
#include "qtlib/userPrompts.h"

#include <QCompleter>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPushButton>
#include <QStyle>

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
    connect(this, &QLineEdit::editingFinished, this, &PathLineEdit::checkState);
    connect(this, &QLineEdit::textChanged, this, &PathLineEdit::checkState);
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

PathLineEditButton::PathLineEditButton(UserPrompts *prompts, QWidget *parent)
    : QWidget(parent)
    , m_prompts(prompts)
    , m_lineEdit(new PathLineEdit(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    connect(m_lineEdit, &QLineEdit::editingFinished, this, &PathLineEditButton::emitEditingFinished);
    layout->addWidget(m_lineEdit);
    // Whoever focuses the widget means the text field, as an item view does
    // when it opens the widget as a cell's editor.
    setFocusProxy(m_lineEdit);
    m_lineEdit->installEventFilter(this);

    auto *browse = new QPushButton(QIcon(QPixmap(QStringLiteral(":/images/application.png"))), QString(), this);
    browse->setFlat(true);
    browse->setDefault(false);
    connect(browse, &QPushButton::clicked, this, &PathLineEditButton::showFileDialog);
    layout->addWidget(browse);
}

PathLineEditButton *PathLineEditButton::createApplicationButton(UserPrompts *prompts, QWidget *parent)
{
    auto *button = new PathLineEditButton(prompts, parent);
    button->setDialogTitle(tr("Select Application"));
    button->setDefaultPath(Platform::applicationFolder());
    button->setExtension(tr("Application") + Platform::applicationFilterPatterns());
    button->setDialogMode(OpenFile);
    return button;
}

PathLineEditButton *PathLineEditButton::createFileButton(UserPrompts *prompts, QWidget *parent)
{
    auto *button = new PathLineEditButton(prompts, parent);
    button->setDialogTitle(tr("Select File"));
    button->setExtension(tr("File") + Platform::anyFileFilterPatterns());
    button->setDialogMode(OpenFile);
    return button;
}

PathLineEditButton *PathLineEditButton::createDirectoryButton(UserPrompts *prompts, QWidget *parent)
{
    auto *button = new PathLineEditButton(prompts, parent);
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
    const auto kind = m_dialogMode == ExistingDirectory ? UserPrompts::PathKind::Folder : UserPrompts::PathKind::File;
    const QString path = m_prompts->choosePath(this, kind, m_dialogTitle, m_defaultPath, m_extension);
    if (path.isEmpty())
        return;
    m_lineEdit->setText(path);
    emit editingFinished();
}
