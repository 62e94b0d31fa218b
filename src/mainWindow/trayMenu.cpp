#include "mainWindow/trayMenu.h"

#include "document/launcherModel.h"

#include <QCoreApplication>
#include <QPersistentModelIndex>

#include <cmath>

TrayMenu::TrayMenu(const QAbstractItemModel *model, bool windowShown, int screenHeight, const Launch &launch,
                   QWidget *parent)
    : QMenu(parent)
    , m_model(model)
    , m_launch(launch)
    , m_screenHeight(screenHeight)
{
    // On X11 the first click of a double click already opens this menu, so
    // the window comes back through it.
    m_windowAction = addAction(windowShown ? tr("Hide Korvani") : tr("Show Korvani"));
    addSeparator();
    QAction *quitSeparator = addSeparator();
    m_quitAction = addAction(QIcon(QStringLiteral(":/images/x.png")),
                             QCoreApplication::translate("MainWindow", "&Quit"));
    measureEntries();
    const int room = (m_screenHeight - sizeHint().height()) / m_entryHeight;
    removeAction(quitSeparator);
    removeAction(m_quitAction);

    QList<int> favorites;
    QList<int> others;
    for (int row = 0; row < model->rowCount(); ++row)
        (model->index(row, 0).data(LauncherDataModel::FavoriteRole).toBool() ? favorites : others).append(row);
    if (favorites.size() + others.size() <= room) {
        for (int row = 0; row < model->rowCount(); ++row)
            addEntry(this, row);
    } else {
        // Half the room for favourites, the rest for groups of the others.
        const int shown = qMin(favorites.size(), room / 2);
        for (int i = 0; i < shown; ++i)
            addEntry(this, favorites.at(i));
        QList<int> rest = favorites.mid(shown) + others;
        std::sort(rest.begin(), rest.end());
        if (shown > 0)
            addSeparator();
        addEntries(this, rest, room - shown - (shown > 0 ? 1 : 0));
    }
    addAction(quitSeparator);
    addAction(m_quitAction);
}

// The height of one entry, text beside an icon, and of a menu's frame.
void TrayMenu::measureEntries()
{
    QMenu probe;
    QAction *entry = probe.addAction(QIcon(QStringLiteral(":/images/x.png")), QStringLiteral("Xg"));
    m_entryHeight = qMax(1, probe.actionGeometry(entry).height());
    m_frameHeight = probe.sizeHint().height() - m_entryHeight;
}

// Lists the rows in a menu that has room for so many, in groups of rows in
// submenus (themselves grouped where needed) when they do not fit.
void TrayMenu::addEntries(QMenu *menu, const QList<int> &rows, int room)
{
    room = qMax(1, room);
    if (rows.size() <= room) {
        for (const int row : rows)
            addEntry(menu, row);
        return;
    }
    // Every submenu has the screen's whole height.
    const int submenuRoom = qMax(2, (m_screenHeight - m_frameHeight) / m_entryHeight);
    const int groupSize = int(std::ceil(double(rows.size()) / room));
    for (int first = 0; first < rows.size(); first += groupSize) {
        const QList<int> group = rows.mid(first, groupSize);
        if (group.size() == 1) {
            addEntry(menu, group.first());
            continue;
        }
        const QString firstName = m_model->index(group.first(), 0).data(LauncherDataModel::NameRole).toString();
        const QString lastName = m_model->index(group.last(), 0).data(LauncherDataModel::NameRole).toString();
        QMenu *submenu = menu->addMenu(firstName + QStringLiteral(" – ") + lastName);
        addEntries(submenu, group, submenuRoom);
    }
}

void TrayMenu::addEntry(QMenu *menu, int row)
{
    const QPersistentModelIndex index = m_model->index(row, 0);
    const auto application = index.data(LauncherDataModel::ApplicationDataRole).value<ApplicationData>();
    QString text = application.name();
    if (!application.description().isEmpty())
        text += QLatin1Char('(') + application.description() + QLatin1Char(')');
    QAction *action = menu->addAction(application.icon(), text);
    const Launch launch = m_launch;
    connect(action, &QAction::triggered, action, [launch, index] { launch(index); });
}
