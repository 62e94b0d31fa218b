#include "applicationLauncher/launcherKeys.h"

#include "applicationLauncher/applicationLauncher.h"
#include "applicationLauncher/filterField.h"
#include "applicationLauncher/launcherDelegate.h"
#include "applicationLauncher/launcherTab.h"
#include "qtlib/itemViews.h"

#include <QAction>
#include <QKeyEvent>
#include <QSortFilterProxyModel>

#include <climits>

LauncherKeys::LauncherKeys(ApplicationLauncher *launcher, FilterField *filterField)
    : QObject(launcher)
    , m_launcher(launcher)
    , m_filterField(filterField)
{
    launcher->installEventFilter(this);
    connect(filterField, &FilterField::stepRequested, this, &LauncherKeys::moveCurrentItem);
    connect(filterField, &FilterField::launchRequested, this, &LauncherKeys::launchFromFilter);

    m_edit = addCardAction(tr("Edit"), QKeySequence(Qt::Key_F2), [this] { editCurrentItem(); });
    m_edit->setIcon(QIcon(QStringLiteral(":/images/pen.png")));
    m_favorite = addCardAction(tr("Favourite"), QKeySequence(Qt::CTRL | Qt::Key_D),
                               [this] { toggleCurrentFavorite(); });
    m_favorite->setIcon(QIcon(QStringLiteral(":/images/star_on.png")));
    const QStringList marks = {tr("Heart"), tr("Diamond"), tr("Spade"), tr("Club")};
    const QStringList images = {QStringLiteral("heart"), QStringLiteral("diamond"), QStringLiteral("spade"),
                                QStringLiteral("kroeber")};
    for (int i = 0; i < tagValues.size(); ++i) {
        const int tag = tagValues.at(i);
        QAction *mark = addCardAction(marks.at(i), QKeySequence(Qt::CTRL | (Qt::Key_1 + i)),
                                      [this, tag] { toggleCurrentMark(tag); });
        mark->setIcon(QIcon(QStringLiteral(":/images/%1_on.png").arg(images.at(i))));
        mark->setData(tagValues.at(i));
        m_marks.append(mark);
    }
}

QAction *LauncherKeys::addCardAction(const QString &text, const QKeySequence &key, const std::function<void()> &run)
{
    auto *action = new QAction(text, this);
    action->setShortcut(key);
    // Also while the filter field has the keyboard.
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(action, &QAction::triggered, this, run);
    m_launcher->addAction(action);
    return action;
}

QList<QAction *> LauncherKeys::cardActions() const
{
    const QModelIndex current = currentIndex();
    const int tag = current.data(LauncherDataModel::TagRole).toInt();
    QList<QAction *> actions = {m_edit, m_favorite};
    m_favorite->setCheckable(current.isValid());
    m_favorite->setChecked(current.data(LauncherDataModel::FavoriteRole).toBool());
    for (QAction *mark : m_marks) {
        mark->setCheckable(current.isValid());
        mark->setChecked(tag & mark->data().toInt());
        actions.append(mark);
    }
    for (QAction *action : qAsConst(actions))
        action->setEnabled(current.isValid());
    return actions;
}

QModelIndex LauncherKeys::currentIndex() const
{
    return m_launcher->currentView()->currentIndex();
}

void LauncherKeys::launchCurrentItem()
{
    const ListView *view = m_launcher->currentView();
    const QModelIndex current = view->currentIndex();
    const QModelIndex index = current.isValid() ? current : view->model()->index(0, 0);
    if (index.isValid())
        m_launcher->doubleClickedItem(index);
}

void LauncherKeys::launchFromFilter()
{
    if (m_launcher->currentView()->model()->rowCount() == 0)
        return;
    launchCurrentItem();
    m_filterField->dismiss();
    emit launchedFromFilter();
}

void LauncherKeys::moveCurrentItem(int step)
{
    const QModelIndex current = currentIndex();
    // Without a chosen card, a step down starts at the first and a step up at
    // the last.
    setCurrentRow(current.isValid() ? current.row() + step : step > 0 ? 0 : INT_MAX);
}

void LauncherKeys::setCurrentRow(int row)
{
    ListView *view = m_launcher->currentView();
    const int rows = view->model()->rowCount();
    if (rows == 0)
        return;
    const QModelIndex index = view->model()->index(qBound(0, row, rows - 1), 0);
    view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    view->scrollTo(index);
}

void LauncherKeys::editCurrentItem()
{
    if (currentIndex().isValid())
        m_launcher->editItem(currentIndex());
}

void LauncherKeys::toggleCurrentFavorite()
{
    if (currentIndex().isValid())
        LauncherDelegate::toggleFavorite(m_launcher->currentView()->model(), currentIndex());
}

void LauncherKeys::toggleCurrentMark(int tag)
{
    if (currentIndex().isValid())
        LauncherDelegate::toggleTag(m_launcher->currentView()->model(), currentIndex(), tag);
}

bool LauncherKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_launcher && event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent *>(event)))
        return true;
    if (watched == m_launcher && event->type() == QEvent::ContextMenu) {
        showContextMenu();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

bool LauncherKeys::handleKey(const QKeyEvent *event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    // Without a filter, Enter launches only a card the user chose.
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (currentIndex().isValid())
            launchCurrentItem();
        return true;
    }
    if (modifiers == Qt::ControlModifier || modifiers == (Qt::ControlModifier | Qt::ShiftModifier)) {
        switch (key) {
        case Qt::Key_Tab:
            switchTab(modifiers & Qt::ShiftModifier ? -1 : 1);
            return true;
        case Qt::Key_PageDown:
            switchTab(1);
            return true;
        case Qt::Key_Backtab:
        case Qt::Key_PageUp:
            switchTab(-1);
            return true;
        case Qt::Key_Up:
            moveCurrentCard(-1);
            return true;
        case Qt::Key_Down:
            moveCurrentCard(1);
            return true;
        default:
            break;
        }
    }
    if (modifiers == Qt::NoModifier) {
        switch (key) {
        // Handled here, and not as the context-menu request the window system
        // would make of it, so that it acts whatever sent the key.
        case Qt::Key_Menu:
            showContextMenu();
            return true;
        case Qt::Key_Escape:
            if (!m_filterField->isVisible())
                return false;
            m_filterField->dismiss();
            return true;
        case Qt::Key_Up:
            moveCurrentItem(-1);
            return true;
        case Qt::Key_Down:
            moveCurrentItem(1);
            return true;
        case Qt::Key_PageUp:
            moveCurrentItem(-pageStep());
            return true;
        case Qt::Key_PageDown:
            moveCurrentItem(pageStep());
            return true;
        case Qt::Key_Home:
            setCurrentRow(0);
            return true;
        case Qt::Key_End:
            setCurrentRow(INT_MAX);
            return true;
        default:
            break;
        }
    }
    const bool command = modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const QString text = event->text();
    if (command || text.isEmpty() || !text.at(0).isPrint())
        return false;
    m_filterField->typeText(text);
    return true;
}

int LauncherKeys::pageStep() const
{
    const ListView *view = m_launcher->currentView();
    return qMax(1, view->viewport()->height() / qMax(1, view->sizeHintForRow(0)));
}

void LauncherKeys::switchTab(int step)
{
    m_launcher->setCurrentTabIndex((m_launcher->currentTabIndex() + step + tabCount) % tabCount);
}

// Only in the whole list, unfiltered, where the card's place is its place in
// the list.
void LauncherKeys::moveCurrentCard(int step)
{
    const ListView *view = m_launcher->currentView();
    const auto *stage = qobject_cast<const QSortFilterProxyModel *>(view->model());
    if (m_launcher->currentTabIndex() != Home || !m_filterField->text().isEmpty() || !stage
        || !currentIndex().isValid())
        return;
    LauncherDataModel *model = m_launcher->launcherModel();
    const int row = stage->mapToSource(currentIndex()).row();
    if (row + step < 0 || row + step >= model->rowCount())
        return;
    model->moveRow(QModelIndex(), row, QModelIndex(), step > 0 ? row + 2 : row - 1);
    m_launcher->currentView()->scrollTo(currentIndex());
}

void LauncherKeys::showContextMenu()
{
    ListView *view = m_launcher->currentView();
    const QModelIndex current = view->currentIndex();
    m_launcher->createContextMenu(current.isValid() ? view->visualRect(current).center()
                                                    : view->viewport()->rect().center());
}
