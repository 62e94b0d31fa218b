#ifndef KORVANI_LAUNCHERKEYS_H
#define KORVANI_LAUNCHERKEYS_H

#include <QList>
#include <QObject>

#include <functional>

class ApplicationLauncher;
class FilterField;
class QAction;
class QKeyEvent;
class QModelIndex;

// The launcher's keyboard. The lists never take the keyboard; the launcher
// does, and these keys act on the current card of the current tab:
// Up, Down, Home, End, Page Up and Page Down choose it, Enter launches it,
// Ctrl+Up and Ctrl+Down move it in the first tab, Ctrl+Tab, Ctrl+Shift+Tab,
// Ctrl+Page Down and Ctrl+Page Up switch tabs, the Menu key opens the context
// menu, and typing finds. The card's own commands are actions with their keys,
// which the context menu shows: F2 edits the card as its pen does, Ctrl+1 to
// Ctrl+4 toggle its marks and Ctrl+D its star.
class LauncherKeys : public QObject
{
    Q_OBJECT

public:
    LauncherKeys(ApplicationLauncher *launcher, FilterField *filterField);

    // The card's commands, showing the current card's marks and star.
    QList<QAction *> cardActions() const;

signals:
    // A card was launched with Enter while the filter was open; the filter
    // has been cleared.
    void launchedFromFilter();

public slots:
    void launchCurrentItem();
    void moveCurrentItem(int step);
    void editCurrentItem();
    void toggleCurrentFavorite();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void toggleCurrentMark(int tag);
    void launchFromFilter();

private:
    QAction *addCardAction(const QString &text, const QKeySequence &key, const std::function<void()> &run);
    bool handleKey(const QKeyEvent *event);
    void setCurrentRow(int row);
    void showContextMenu();
    void switchTab(int step);
    void moveCurrentCard(int step);
    int pageStep() const;
    QModelIndex currentIndex() const;

    ApplicationLauncher *m_launcher;
    FilterField *m_filterField;
    QAction *m_edit;
    QAction *m_favorite;
    QList<QAction *> m_marks;
};

#endif
