#include "variableEditor/pathEditor.h"

#include "platform/platform.h"
#include "qtlib/itemViews.h"
#include "qtlib/urlDrags.h"

#include <QDragEnterEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QMimeData>
#include <QPushButton>
#include <QStandardItemModel>

PathEditor::PathEditor(QWidget *parent)
    : QDialog(parent)
    , m_listView(new ListView(this))
    , m_itemModel(new QStandardItemModel(this))
{
    setWindowTitle(tr("Path Editor"));
    resize(480, 240);
    setAcceptDrops(true);

    auto *layout = new QGridLayout(this);
    m_listView->setContextMenuPolicy(Qt::CustomContextMenu);
    m_listView->setModel(m_itemModel);
    m_listView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_listView->setFocusPolicy(Qt::NoFocus);
    connect(m_listView, &QWidget::customContextMenuRequested, this, &PathEditor::createContextMenu);
    connect(m_listView, &ListView::insertRequested, this, [this] { appendPath(); });
    layout->addWidget(m_listView, 0, 0, 1, 2);

    auto *ok = new QPushButton(tr("OK"), this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 1, 0);
    auto *close = new QPushButton(tr("Close"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(close, 1, 1);
}

void PathEditor::setPaths(const QString &text)
{
    for (const QString &path : text.split(Platform::pathListSeparator(), Qt::KeepEmptyParts)) {
        if (!path.isEmpty())
            appendPath(path);
    }
}

QString PathEditor::paths() const
{
    QStringList texts;
    for (int row = 0; row < m_itemModel->rowCount(); ++row)
        texts.append(m_itemModel->item(row)->text());
    return texts.join(Platform::pathListSeparator());
}

void PathEditor::appendPath(const QString &path)
{
    m_itemModel->appendRow(new QStandardItem(QIcon(QStringLiteral(":/images/folder.png")), path));
}

void PathEditor::createContextMenu(const QPoint &pos)
{
    execAddRemoveMenu(m_listView, pos, {tr("Add"), [this] { appendPath(); }},
                      {tr("Remove"), [this] { m_listView->removeSelectedRow(); }});
}

void PathEditor::dragEnterEvent(QDragEnterEvent *event)
{
    acceptUrlDrags(event);
}

void PathEditor::dragMoveEvent(QDragMoveEvent *event)
{
    acceptUrlDrags(event);
}

void PathEditor::dropEvent(QDropEvent *event)
{
    if (event->mimeData()->hasUrls()) {
        for (const QUrl &url : event->mimeData()->urls()) {
            const QString path = url.toLocalFile();
            if (QFileInfo(path).isDir())
                appendPath(path);
        }
        event->acceptProposedAction();
    }
    event->accept();
}
