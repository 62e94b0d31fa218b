#include "applicationLauncher/emptyTabHint.h"

#include "applicationLauncher/launcherFilterProxyModel.h"

#include <QAbstractItemView>
#include <QEvent>

EmptyTabHint::EmptyTabHint(QAbstractItemView *view)
    : QLabel(view->viewport())
    , m_view(view)
{
    setAlignment(Qt::AlignCenter);
    setWordWrap(true);
    setMargin(20);
    // Drops and the context menu belong to the list beneath.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setStyleSheet(QStringLiteral("background: transparent"));
    hide();
    view->viewport()->installEventFilter(this);
    QAbstractItemModel *model = view->model();
    connect(model, &QAbstractItemModel::rowsInserted, this, &EmptyTabHint::refresh);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &EmptyTabHint::refresh);
    connect(model, &QAbstractItemModel::modelReset, this, &EmptyTabHint::refresh);
    connect(model, &QAbstractItemModel::layoutChanged, this, &EmptyTabHint::refresh);
    refresh();
}

bool EmptyTabHint::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize)
        setGeometry(m_view->viewport()->rect());
    else if (event->type() == QEvent::Show)
        refresh();
    return QLabel::eventFilter(watched, event);
}

void EmptyTabHint::refresh()
{
    // Counting a hidden tab's cards would make its filters sort the whole
    // list at start; it is counted when it shows.
    if (!m_view->viewport()->isVisible())
        return;
    QAbstractItemModel *model = m_view->model();
    const auto *filter = qobject_cast<const LauncherFilterProxyModel *>(model);
    setText(filter && filter->isFiltering()
                ? tr("No entry matches the filter.")
                : tr("Drop programs or .desktop files here, or choose File > Add or File > Add Installed Programs."));
    setVisible(model->rowCount() == 0);
}
