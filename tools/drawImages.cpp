// Draws every image of the program with QPainter, so that the committed PNGs
// can be redrawn at will. Usage: draw-images <images folder> [<icon theme folder>]
// The icon theme folder receives the program icon at the usual sizes, as
// SIZExSIZE/apps/korvani.png.

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>
#include <QtMath>

#include <cstdio>
#include <functional>

namespace {

const QColor textGrey(0xbd, 0xbd, 0xbd);
const QColor offGrey(0x8a, 0x8a, 0x8a);
const QColor heartRed(0xe0, 0x5a, 0x62);
const QColor diamondOrange(0xf0, 0xa0, 0x40);
const QColor spadeBlue(0x5a, 0xa0, 0xe0);
const QColor clubGreen(0x6c, 0xc0, 0x70);
const QColor starGold(0xf2, 0xc9, 0x4c);
const QColor accentBlue(0x52, 0x85, 0xa6);

using Drawing = std::function<void(QPainter &)>;

// Every drawing works in a 24 by 24 unit square.
QImage render(int width, int height, const Drawing &draw)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(width / 24.0, height / 24.0);
    draw(painter);
    return image;
}

QPainterPath heartPath()
{
    QPainterPath path;
    path.moveTo(12, 21);
    path.cubicTo(5, 15.5, 2, 12, 2, 8);
    path.cubicTo(2, 5, 4.3, 3, 7, 3);
    path.cubicTo(9.2, 3, 11, 4.4, 12, 6.3);
    path.cubicTo(13, 4.4, 14.8, 3, 17, 3);
    path.cubicTo(19.7, 3, 22, 5, 22, 8);
    path.cubicTo(22, 12, 19, 15.5, 12, 21);
    path.closeSubpath();
    return path;
}

QPainterPath diamondPath()
{
    QPainterPath path;
    path.moveTo(12, 2);
    path.quadTo(15.5, 7.5, 20, 12);
    path.quadTo(15.5, 16.5, 12, 22);
    path.quadTo(8.5, 16.5, 4, 12);
    path.quadTo(8.5, 7.5, 12, 2);
    path.closeSubpath();
    return path;
}

QPainterPath stemPath()
{
    QPainterPath path;
    path.moveTo(12, 13);
    path.quadTo(12.6, 19, 16, 21.5);
    path.lineTo(8, 21.5);
    path.quadTo(11.4, 19, 12, 13);
    path.closeSubpath();
    return path;
}

QPainterPath spadePath()
{
    QPainterPath path;
    path.moveTo(12, 2);
    path.cubicTo(15, 6.5, 21, 9, 21, 13);
    path.cubicTo(21, 15.6, 19, 17.3, 16.8, 17.3);
    path.cubicTo(14.8, 17.3, 13.4, 16.4, 12, 14.6);
    path.cubicTo(10.6, 16.4, 9.2, 17.3, 7.2, 17.3);
    path.cubicTo(5, 17.3, 3, 15.6, 3, 13);
    path.cubicTo(3, 9, 9, 6.5, 12, 2);
    path.closeSubpath();
    return path.united(stemPath());
}

QPainterPath clubPath()
{
    QPainterPath path;
    path.addEllipse(QPointF(12, 7), 4.3, 4.3);
    path.addEllipse(QPointF(7, 13.2), 4.3, 4.3);
    path.addEllipse(QPointF(17, 13.2), 4.3, 4.3);
    path.addRect(QRectF(10, 9, 4, 6));
    return path.simplified().united(stemPath());
}

QPainterPath starPath()
{
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const qreal radius = i % 2 ? 4.6 : 10.5;
        const qreal angle = qDegreesToRadians(-90.0 + 36.0 * i);
        const QPointF point(12 + radius * qCos(angle), 12.8 + radius * qSin(angle));
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}

// A mark that is set is filled in its colour; one that is not set is a grey outline.
Drawing mark(const QPainterPath &path, const QColor &color, bool on)
{
    return [path, color, on](QPainter &painter) {
        if (on) {
            painter.setPen(QPen(color.darker(130), 0.8));
            painter.setBrush(color);
        } else {
            painter.setPen(QPen(offGrey, 1.4));
            painter.setBrush(Qt::NoBrush);
        }
        painter.drawPath(path);
    };
}

void drawPlus(QPainter &painter)
{
    painter.setPen(QPen(clubGreen, 3.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(12, 4.5), QPointF(12, 19.5));
    painter.drawLine(QPointF(4.5, 12), QPointF(19.5, 12));
}

void drawCross(QPainter &painter)
{
    painter.setPen(QPen(heartRed, 3.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(6, 6), QPointF(18, 18));
    painter.drawLine(QPointF(18, 6), QPointF(6, 18));
}

void drawHome(QPainter &painter)
{
    QPainterPath roof;
    roof.moveTo(2.5, 12);
    roof.lineTo(12, 3);
    roof.lineTo(21.5, 12);
    painter.setPen(QPen(textGrey, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(roof);
    QPainterPath house;
    house.addRect(QRectF(5.5, 11, 13, 10));
    QPainterPath door;
    door.addRect(QRectF(10, 14.5, 4, 6.5));
    painter.setPen(Qt::NoPen);
    painter.setBrush(textGrey);
    painter.drawPath(house.subtracted(door));
}

void drawPen(QPainter &painter)
{
    painter.translate(12, 12);
    painter.rotate(45);
    painter.setPen(Qt::NoPen);
    painter.setBrush(diamondOrange);
    painter.drawRect(QRectF(-2.6, -9, 5.2, 13));
    painter.setBrush(heartRed.lighter(110));
    painter.drawRoundedRect(QRectF(-2.6, -11, 5.2, 2.6), 1, 1);
    QPainterPath tip;
    tip.moveTo(-2.6, 4);
    tip.lineTo(2.6, 4);
    tip.lineTo(0, 10);
    tip.closeSubpath();
    painter.setBrush(QColor(0xe8, 0xd0, 0xa8));
    painter.drawPath(tip);
    QPainterPath lead;
    lead.moveTo(-0.9, 8);
    lead.lineTo(0.9, 8);
    lead.lineTo(0, 10);
    lead.closeSubpath();
    painter.setBrush(QColor(0x30, 0x30, 0x30));
    painter.drawPath(lead);
}

void drawFolder(QPainter &painter)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(starGold.darker(125));
    QPainterPath back;
    back.moveTo(2, 6);
    back.lineTo(9, 6);
    back.lineTo(11, 8);
    back.lineTo(22, 8);
    back.lineTo(22, 20);
    back.lineTo(2, 20);
    back.closeSubpath();
    painter.drawPath(back);
    painter.setBrush(starGold);
    painter.drawRoundedRect(QRectF(2, 10, 20, 10), 1, 1);
}

void drawApplication(QPainter &painter)
{
    painter.setPen(QPen(textGrey, 1.6));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(3, 4.5, 18, 15), 1.5, 1.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(accentBlue);
    painter.drawRect(QRectF(3.8, 5.3, 16.4, 3.6));
    painter.setBrush(textGrey);
    for (int i = 0; i < 3; ++i)
        painter.drawEllipse(QPointF(8 + 4 * i, 14.5), 1.3, 1.3);
}

void drawAppIcon(QPainter &painter)
{
    QLinearGradient background(0, 0, 0, 24);
    background.setColorAt(0, accentBlue.lighter(125));
    background.setColorAt(1, accentBlue.darker(150));
    painter.setPen(Qt::NoPen);
    painter.setBrush(background);
    painter.drawRoundedRect(QRectF(1, 1, 22, 22), 4.5, 4.5);

    // Three launcher cards, the top one with its mark row.
    const QColor card(0xf4, 0xf4, 0xf4);
    for (int i = 0; i < 3; ++i) {
        const qreal top = 4.5 + i * 5.4;
        painter.setBrush(i == 0 ? card : QColor(card.red(), card.green(), card.blue(), 150));
        painter.drawRoundedRect(QRectF(4, top, 16, 4.2), 1, 1);
        painter.setBrush(accentBlue.darker(130));
        painter.drawRoundedRect(QRectF(4.8, top + 0.7, 2.8, 2.8), 0.6, 0.6);
    }
    painter.save();
    painter.translate(13.2, 5.3);
    painter.scale(0.11, 0.11);
    painter.translate(-2, -2);
    const QList<QPair<QPainterPath, QColor>> marks = {
        {heartPath(), heartRed}, {diamondPath(), diamondOrange}, {spadePath(), spadeBlue}, {clubPath(), clubGreen}};
    for (const auto &m : marks) {
        painter.setBrush(m.second);
        painter.drawPath(m.first);
        painter.translate(15.5, 0);
    }
    painter.restore();

    // The launch arrow.
    QPainterPath arrow;
    arrow.moveTo(14.5, 15.2);
    arrow.lineTo(21.5, 18.5);
    arrow.lineTo(14.5, 21.8);
    arrow.lineTo(16, 18.5);
    arrow.closeSubpath();
    painter.setBrush(starGold);
    painter.setPen(QPen(accentBlue.darker(170), 0.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(arrow);
}

// A small solid triangle for the scroll-bar buttons, pointing along the given direction.
Drawing arrow(Qt::ArrowType direction)
{
    return [direction](QPainter &painter) {
        QPolygonF triangle;
        switch (direction) {
        case Qt::UpArrow:
            triangle << QPointF(0, 24) << QPointF(12, 0) << QPointF(24, 24);
            break;
        case Qt::DownArrow:
            triangle << QPointF(0, 0) << QPointF(24, 0) << QPointF(12, 24);
            break;
        case Qt::LeftArrow:
            triangle << QPointF(24, 0) << QPointF(0, 12) << QPointF(24, 24);
            break;
        default:
            triangle << QPointF(0, 0) << QPointF(24, 12) << QPointF(0, 24);
            break;
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(textGrey);
        painter.drawPolygon(triangle);
    };
}

// An icon file holding several sizes, each stored as PNG data (allowed since Windows Vista).
QByteArray iconFile(const QList<QImage> &images)
{
    QByteArray header;
    QByteArray directory;
    QByteArray data;
    auto appendLe16 = [](QByteArray &bytes, quint16 value) {
        const quint16 le = qToLittleEndian(value);
        bytes.append(reinterpret_cast<const char *>(&le), 2);
    };
    auto appendLe32 = [](QByteArray &bytes, quint32 value) {
        const quint32 le = qToLittleEndian(value);
        bytes.append(reinterpret_cast<const char *>(&le), 4);
    };
    appendLe16(header, 0);
    appendLe16(header, 1);
    appendLe16(header, quint16(images.size()));
    const quint32 dataStart = quint32(6 + 16 * images.size());
    for (const QImage &image : images) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        directory.append(char(image.width() >= 256 ? 0 : image.width()));
        directory.append(char(image.height() >= 256 ? 0 : image.height()));
        directory.append(char(0));
        directory.append(char(0));
        appendLe16(directory, 1);
        appendLe16(directory, 32);
        appendLe32(directory, quint32(png.size()));
        appendLe32(directory, dataStart + quint32(data.size()));
        data.append(png);
    }
    return header + directory + data;
}

bool save(const QDir &folder, const QString &name, const QImage &image)
{
    const bool ok = image.save(folder.filePath(name), "PNG");
    if (!ok)
        std::fprintf(stderr, "cannot write %s\n", qPrintable(folder.filePath(name)));
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    // Drawing needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: draw-images <images folder> [<icon theme folder>]\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));

    const QList<QPair<QString, Drawing>> icons = {
        {"plus.png", drawPlus},
        {"x.png", drawCross},
        {"home.png", drawHome},
        {"pen.png", drawPen},
        {"folder.png", drawFolder},
        {"application.png", drawApplication},
        {"star_on.png", mark(starPath(), starGold, true)},
        {"star_off.png", mark(starPath(), starGold, false)},
        {"heart_on.png", mark(heartPath(), heartRed, true)},
        {"heart_off.png", mark(heartPath(), heartRed, false)},
        {"diamond_on.png", mark(diamondPath(), diamondOrange, true)},
        {"diamond_off.png", mark(diamondPath(), diamondOrange, false)},
        {"spade_on.png", mark(spadePath(), spadeBlue, true)},
        {"spade_off.png", mark(spadePath(), spadeBlue, false)},
        {"kroeber_on.png", mark(clubPath(), clubGreen, true)},
        {"kroeber_off.png", mark(clubPath(), clubGreen, false)},
    };
    bool ok = true;
    for (const auto &icon : icons)
        ok &= save(folder, icon.first, render(24, 24, icon.second));

    ok &= save(folder, "scrollBar_up.png", render(9, 5, arrow(Qt::UpArrow)));
    ok &= save(folder, "scrollBar_bottom.png", render(9, 5, arrow(Qt::DownArrow)));
    ok &= save(folder, "scrollBar_left.png", render(5, 9, arrow(Qt::LeftArrow)));
    ok &= save(folder, "scrollBar_right.png", render(5, 9, arrow(Qt::RightArrow)));

    ok &= save(folder, "appicon.png", render(512, 512, drawAppIcon));
    // The window's and the tray's icon, never shown large.
    ok &= save(folder, "appicon_64.png", render(64, 64, drawAppIcon));
    QList<QImage> sizes;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        sizes << render(size, size, drawAppIcon);
    QFile ico(folder.filePath("appicon.ico"));
    ok &= ico.open(QIODevice::WriteOnly) && ico.write(iconFile(sizes)) > 0;

    if (argc == 3) {
        const QDir theme(QString::fromLocal8Bit(argv[2]));
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
            const QString apps = QStringLiteral("%1x%1/apps").arg(size);
            ok &= theme.mkpath(apps)
                && save(QDir(theme.filePath(apps)), "korvani.png", render(size, size, drawAppIcon));
        }
    }
    return ok ? 0 : 1;
}
