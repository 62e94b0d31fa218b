#ifndef KORVANI_LAUNCHERDELEGATE_H
#define KORVANI_LAUNCHERDELEGATE_H

#include <QList>
#include <QPixmap>
#include <QStyledItemDelegate>

// Paints an entry as a card: icon, name, description, and while the pointer is
// over it a row of buttons for the four marks, the favourite star and the pen
// that asks for the entry to be edited.
class LauncherDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int margin = 5;
    static constexpr int iconSize = 48;
    static constexpr int buttonSize = 16;
    static constexpr int buttonSpacing = 2;
    // The card's buttons from left to right: the marks in tag order, the star, the pen.
    enum Button : int { HeartButton, DiamondButton, SpadeButton, KroeberButton, StarButton, PenButton };
    static constexpr int buttonCount = PenButton + 1;

    explicit LauncherDelegate(QObject *parent = nullptr);

    static QRect buttonRect(const QRect &card, int button);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

    // What the mark and star buttons do, for the keys to do the same.
    static void toggleTag(QAbstractItemModel *model, const QModelIndex &index, int tagValue);
    static void toggleFavorite(QAbstractItemModel *model, const QModelIndex &index);

signals:
    // The pen of the card at this index was pressed.
    void editRequested(const QModelIndex &index);

private:
    QPixmap m_starOn;
    QPixmap m_starOff;
    QPixmap m_pen;
    QList<QList<QPixmap>> m_markPixmaps; // [set, not set] per mark, in tag order
};

#endif
