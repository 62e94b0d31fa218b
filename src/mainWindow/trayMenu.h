#ifndef KORVANI_TRAYMENU_H
#define KORVANI_TRAYMENU_H

#include <QMenu>

#include <functional>

class QAbstractItemModel;
class QModelIndex;

// The menu of the tray icon: "Show Korvani" (or "Hide Korvani"), every entry
// to launch it, and "&Quit". Entries are listed in list order while they fit
// the screen's height; with more, the favourites come first and the rest are
// grouped into submenus of what fits, so that no menu needs scrolling and
// "&Quit" is always in sight.
class TrayMenu : public QMenu
{
    Q_OBJECT

public:
    using Launch = std::function<void(const QModelIndex &)>;

    TrayMenu(const QAbstractItemModel *model, bool windowShown, int screenHeight, const Launch &launch,
             QWidget *parent = nullptr);

    QAction *windowAction() const { return m_windowAction; }
    QAction *quitAction() const { return m_quitAction; }

private:
    void addEntries(QMenu *menu, const QList<int> &rows, int room);
    void addEntry(QMenu *menu, int row);
    void measureEntries();

    const QAbstractItemModel *m_model;
    Launch m_launch;
    int m_screenHeight;
    int m_entryHeight = 1;
    int m_frameHeight = 0;
    QAction *m_windowAction;
    QAction *m_quitAction = nullptr;
};

#endif
