#include "applicationLauncher/launcherDelegate.h"

#include "document/launcherModel.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

const QFont nameFont(QStringLiteral("Corbel"), 12, QFont::Bold, true);
const QFont descriptionFont(QStringLiteral("Corbel"), 10, QFont::Normal, true);

// One line of text, cut with an ellipsis where it does not fit or where more
// lines follow.
void drawElidedText(QPainter *painter, const QFont &font, const QRect &rect, const QString &text)
{
    const QChar ellipsis(0x2026);
    QString line = text.section(QLatin1Char('\n'), 0, 0);
    if (line.size() < text.size())
        line += ellipsis;
    painter->setFont(font);
    painter->drawText(rect, Qt::AlignLeft | Qt::AlignTop,
                      painter->fontMetrics().elidedText(line, Qt::ElideRight, qMax(0, rect.width())));
}

} // namespace

LauncherDelegate::LauncherDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
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
    const QPen cardPen(option.palette.color(QPalette::Current, QPalette::Text), 0.5, Qt::SolidLine, Qt::SquareCap,
                       Qt::BevelJoin);
    painter->setPen(cardPen);
    const QLine line(card.left() + 2 * margin + iconSize, card.top() + half, card.right() - margin, card.top() + half);
    painter->drawLines(&line, 1);

    const QIcon icon = index.data(LauncherDataModel::IconRole).value<QIcon>();
    painter->drawPixmap(QRect(card.left() + margin, card.top() + margin, iconSize, iconSize),
                        icon.pixmap(iconSize, iconSize, QIcon::Normal, QIcon::Off));

    // Texts too long for the card end in an ellipsis; under the pointer the
    // name ends before the buttons, which would otherwise cover it.
    const bool hovered = option.state & QStyle::State_MouseOver;
    const int textLeft = card.left() + 2 * margin + iconSize;
    const int textWidth = card.width() - 3 * margin - iconSize;
    const int nameWidth = hovered ? buttonRect(card, HeartButton).left() - buttonSpacing - textLeft : textWidth;
    painter->setPen(cardPen);
    drawElidedText(painter, nameFont, QRect(textLeft, card.top() + margin, nameWidth, half),
                   index.data(LauncherDataModel::NameRole).toString());
    drawElidedText(painter, descriptionFont, QRect(textLeft, card.top() + margin + half, textWidth, half),
                   index.data(LauncherDataModel::DescriptionRole).toString());

    if (hovered) {
        const int tag = index.data(LauncherDataModel::TagRole).toInt();
        for (int i = 0; i < tagValues.size(); ++i)
            painter->drawPixmap(buttonRect(card, HeartButton + i),
                                m_markPixmaps.at(i).at(tag & tagValues.at(i) ? 0 : 1));
        const bool favorite = index.data(LauncherDataModel::FavoriteRole).toBool();
        painter->drawPixmap(buttonRect(card, StarButton), favorite ? m_starOn : m_starOff);
        painter->drawPixmap(buttonRect(card, PenButton), m_pen);
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
            if (buttonRect(option.rect, HeartButton + i).contains(pos)) {
                toggleTag(model, index, tagValues.at(i));
                return true;
            }
        }
        if (buttonRect(option.rect, StarButton).contains(pos)) {
            toggleFavorite(model, index);
            return true;
        }
        if (buttonRect(option.rect, PenButton).contains(pos)) {
            emit editRequested(index);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

void LauncherDelegate::toggleTag(QAbstractItemModel *model, const QModelIndex &index, int tagValue)
{
    model->setData(index, index.data(LauncherDataModel::TagRole).toInt() ^ tagValue, LauncherDataModel::TagRole);
}

void LauncherDelegate::toggleFavorite(QAbstractItemModel *model, const QModelIndex &index)
{
    model->setData(index, !index.data(LauncherDataModel::FavoriteRole).toBool(), LauncherDataModel::FavoriteRole);
}
