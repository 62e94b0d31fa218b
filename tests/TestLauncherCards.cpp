#include "applicationEditor/applicationEditor.h"
#include "applicationLauncher/applicationLauncher.h"
#include "applicationLauncher/launcherDelegate.h"
#include "launcherSetup.h"
#include "qtlib/itemViews.h"
#include "records/recordStream.h"
#include "testSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

using Model = LauncherDataModel;

namespace {

const QColor textColour(0xbd, 0xbd, 0xbd);
const QColor highlightColour(0x52, 0x85, 0xa6);

// The image a 24 by 24 resource gives when drawn into a 16 by 16 button.
QImage buttonImage(const QString &resource)
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.drawPixmap(QRect(0, 0, 16, 16), QPixmap(resource));
    return image;
}

QImage region(const QImage &image, const QRect &rect)
{
    return image.copy(rect).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// An image of the same size filled with the colour of the given image's first pixel.
QImage uniformLike(const QImage &image)
{
    QImage filled(image.size(), image.format());
    filled.fill(image.pixelColor(0, 0));
    return filled;
}

// The bounding box of what is drawn in a part of an image.
QRect ink(const QImage &image, const QRect &part)
{
    QRect box;
    for (int y = part.top(); y <= part.bottom(); ++y) {
        for (int x = part.left(); x <= part.right(); ++x) {
            if (image.pixelColor(x, y).alpha() != 0)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

bool transparent(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).alpha() != 0)
                return false;
        }
    }
    return true;
}

void press(QAbstractItemView *view, const QPoint &pos, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(view->viewport(), button, {}, pos);
    QTest::mouseRelease(view->viewport(), button, {}, pos);
}

} // namespace

class TestLauncherCards : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void geometry();
    void painting();
    void selectedCard();
    void hoverShowsButtons();
    void longTextsEndInEllipsis();
    void buttonPresses_data();
    void buttonPresses();
    void pressBesideTheButtons();
    void heartInHeartTab();
    void starInFavouritesTab();
    void penOpensEditor_data();
    void penOpensEditor();

private:
    QImage paintCard(const ApplicationData &application, QStyle::State state);
};

void TestLauncherCards::initTestCase()
{
    registerRecordTypes();
}

void TestLauncherCards::geometry()
{
    const QRect card(0, 0, 300, 58);
    for (int k = 0; k < 6; ++k)
        QCOMPARE(LauncherDelegate::buttonRect(card, k), QRect(186 + 18 * k, 5, 16, 16));
    QCOMPARE(LauncherDelegate::buttonRect(QRect(10, 100, 300, 58), 0), QRect(196, 105, 16, 16));
    LauncherDelegate delegate;
    QCOMPARE(delegate.sizeHint(QStyleOptionViewItem(), QModelIndex()), QSize(100, 58));
}

QImage TestLauncherCards::paintCard(const ApplicationData &application, QStyle::State state)
{
    Model model;
    model.setLauncherData({application});
    LauncherDelegate delegate;
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 300, 58);
    option.state = state;
    option.palette.setColor(QPalette::Current, QPalette::Text, textColour);
    option.palette.setColor(QPalette::Current, QPalette::Highlight, highlightColour);
    QImage image(300, 58, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    delegate.paint(&painter, option, model.index(0));
    return image;
}

void TestLauncherCards::painting()
{
    const QImage card = paintCard(entry(QStringLiteral("N"), 5, true), QStyle::State_Enabled);
    // The thin line from (58, 29) to (294, 29), in the text colour.
    QCOMPARE(QColor(card.pixelColor(100, 29).rgb()), textColour);
    QVERIFY(card.pixelColor(100, 29).alpha() > 0);
    QVERIFY(card.pixelColor(294, 29).alpha() > 0);
    QCOMPARE(card.pixelColor(295, 29).alpha(), 0);
    QCOMPARE(card.pixelColor(57, 29).alpha(), 0);
    QCOMPARE(card.pixelColor(100, 30).alpha(), 0);
    // The icon fills (5, 5, 48, 48).
    const QImage icon = ApplicationData().icon().pixmap(48, 48).toImage().convertToFormat(
        QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(region(card, QRect(5, 5, 48, 48)).size(), icon.size());
    QVERIFY(!transparent(region(card, QRect(5, 5, 48, 48))));
    QVERIFY(transparent(region(card, QRect(0, 0, 5, 58))));
    // Name and description are drawn, each in its own band.
    QVERIFY(!transparent(region(card, QRect(58, 5, 60, 24))));
    QVERIFY(!transparent(region(card, QRect(58, 34, 60, 24))));
    // Without the pointer over it, no button is drawn.
    QVERIFY(transparent(region(card, QRect(186, 5, 106, 16))));
}

void TestLauncherCards::selectedCard()
{
    const QImage plain = paintCard(entry(QStringLiteral("N"), 0, false), QStyle::State_Enabled);
    const QImage selected = paintCard(entry(QStringLiteral("N"), 0, false),
                                      QStyle::State_Enabled | QStyle::State_Selected);
    QCOMPARE(plain.pixelColor(150, 50).alpha(), 0);
    QCOMPARE(selected.pixelColor(150, 50), highlightColour);
    QCOMPARE(selected.pixelColor(2, 2), highlightColour);
}

void TestLauncherCards::hoverShowsButtons()
{
    const QImage card = paintCard(entry(QStringLiteral("N"), 5, true), QStyle::State_Enabled | QStyle::State_MouseOver);
    const QRect cardRect(0, 0, 300, 58);
    const QStringList expected = {":/images/heart_on.png",    ":/images/diamond_off.png", ":/images/spade_on.png",
                                  ":/images/kroeber_off.png", ":/images/star_on.png",     ":/images/pen.png"};
    for (int k = 0; k < 6; ++k)
        QCOMPARE(region(card, LauncherDelegate::buttonRect(cardRect, k)), buttonImage(expected.at(k)));

    const QImage other = paintCard(entry(QStringLiteral("N"), 10, false),
                                   QStyle::State_Enabled | QStyle::State_MouseOver);
    QCOMPARE(region(other, LauncherDelegate::buttonRect(cardRect, 0)), buttonImage(":/images/heart_off.png"));
    QCOMPARE(region(other, LauncherDelegate::buttonRect(cardRect, 1)), buttonImage(":/images/diamond_on.png"));
    QCOMPARE(region(other, LauncherDelegate::buttonRect(cardRect, 4)), buttonImage(":/images/star_off.png"));

    // The view marks the card under the pointer, and only that one.
    TestLauncher launcher;
    launcher.setLauncherData({entry("a", 5, true), entry("b", 5, true)});
    launcher.resize(300, 400);
    launcher.show();
    QVERIFY(QTest::qWaitForWindowExposed(&launcher));
    ListView *home = tabView(launcher, Home);
    const QRect first = home->visualRect(home->model()->index(0, 0));
    const QRect second = home->visualRect(home->model()->index(1, 0));
    QTest::mouseMove(home->viewport(), first.center());
    const QImage shown = home->viewport()->grab().toImage();
    const QImage hovered = region(shown, LauncherDelegate::buttonRect(first, LauncherDelegate::HeartButton));
    const QImage plain = region(shown, LauncherDelegate::buttonRect(second, LauncherDelegate::HeartButton));
    QVERIFY(hovered != plain);
    // The card without the pointer shows only its background there.
    QCOMPARE(plain, uniformLike(plain));
}

// A text too long for the card ends in an ellipsis, whose dots are much lower
// than the letters; under the pointer the name ends before the buttons.
void TestLauncherCards::longTextsEndInEllipsis()
{
    const QString text(80, QLatin1Char('W'));
    const ApplicationData application(text, text, QString(), QString(), {}, {}, true, 15);
    const QRect cardRect(0, 0, 300, 58);
    const int buttonsLeft = LauncherDelegate::buttonRect(cardRect, LauncherDelegate::HeartButton).left();
    const QRect descriptionBand(58, 34, 242, 24);
    for (const QStyle::State state :
         {QStyle::State(QStyle::State_Enabled), QStyle::State_Enabled | QStyle::State_MouseOver}) {
        const bool hovered = state & QStyle::State_MouseOver;
        const QImage card = paintCard(application, state);
        // Under the pointer, the band of the name ends where the buttons begin.
        const QRect nameBand(58, 5, hovered ? buttonsLeft - 58 : 242, 24);
        for (const QRect &band : {nameBand, descriptionBand}) {
            const QRect drawn = ink(card, band);
            const QRect letter = ink(card, QRect(band.left(), band.top(), 10, band.height()));
            const QRect end = ink(card, QRect(drawn.right() - 2, band.top(), 3, band.height()));
            QVERIFY(drawn.right() <= 294);
            QVERIFY2(end.height() * 2 < letter.height(), qPrintable(QString::number(end.height())));
        }
        if (hovered) {
            // Nothing of the name lies under or between the buttons.
            for (int k = LauncherDelegate::HeartButton; k <= LauncherDelegate::PenButton; ++k) {
                const QRect button = LauncherDelegate::buttonRect(cardRect, k);
                QVERIFY(transparent(region(card, QRect(button.right() + 1, 5, 2, 16))));
            }
            QCOMPARE(region(card, LauncherDelegate::buttonRect(cardRect, LauncherDelegate::PenButton)),
                     buttonImage(":/images/pen.png"));
        }
    }
}

void TestLauncherCards::buttonPresses_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("tag");
    QTest::addColumn<bool>("favorite");

    QTest::newRow("heart") << int(LauncherDelegate::HeartButton) << 4 << false;
    QTest::newRow("diamond") << int(LauncherDelegate::DiamondButton) << 7 << false;
    QTest::newRow("spade") << int(LauncherDelegate::SpadeButton) << 1 << false;
    QTest::newRow("kroeber") << int(LauncherDelegate::KroeberButton) << 13 << false;
    QTest::newRow("star") << int(LauncherDelegate::StarButton) << 5 << true;
}

void TestLauncherCards::buttonPresses()
{
    QFETCH(int, button);
    QFETCH(int, tag);
    QFETCH(bool, favorite);

    TestLauncher launcher;
    launcher.setLauncherData({entry("other", 0, false), entry("a", 5, false)});
    launcher.resize(300, 400);
    launcher.show();
    QVERIFY(QTest::qWaitForWindowExposed(&launcher));
    ListView *home = tabView(launcher, Home);
    const QModelIndex index = home->model()->index(1, 0);
    const QPoint pos = LauncherDelegate::buttonRect(home->visualRect(index), button).center();

    press(home, pos);
    QCOMPARE(index.data(Model::TagRole).toInt(), tag);
    QCOMPARE(index.data(Model::FavoriteRole).toBool(), favorite);
    // A handled press neither selects the card nor touches the other entry.
    QVERIFY(home->selectionModel()->selectedIndexes().isEmpty());
    QCOMPARE(home->model()->index(0, 0).data(Model::TagRole).toInt(), 0);

    press(home, pos, Qt::RightButton);
    QCOMPARE(index.data(Model::TagRole).toInt(), 5);
    QCOMPARE(index.data(Model::FavoriteRole).toBool(), false);
}

void TestLauncherCards::pressBesideTheButtons()
{
    TestLauncher launcher;
    launcher.setLauncherData({entry("a", 5, false)});
    launcher.resize(300, 400);
    launcher.show();
    QVERIFY(QTest::qWaitForWindowExposed(&launcher));
    ListView *home = tabView(launcher, Home);
    const QModelIndex index = home->model()->index(0, 0);
    const QRect heart = LauncherDelegate::buttonRect(home->visualRect(index), LauncherDelegate::HeartButton);
    press(home, QPoint(heart.left() - 1, heart.center().y()));
    QCOMPARE(index.data(Model::TagRole).toInt(), 5);
    QVERIFY(home->selectionModel()->isSelected(index));
}

void TestLauncherCards::heartInHeartTab()
{
    TestLauncher launcher;
    launcher.setLauncherData({entry("a", 1, false), entry("b", 3, false)});
    launcher.resize(300, 400);
    launcher.setCurrentTabIndex(Heart);
    launcher.show();
    QVERIFY(QTest::qWaitForWindowExposed(&launcher));
    ListView *heart = tabView(launcher, Heart);
    QCOMPARE(heart->model()->rowCount(), 2);
    press(heart,
          LauncherDelegate::buttonRect(heart->visualRect(heart->model()->index(1, 0)), LauncherDelegate::HeartButton)
              .center());
    QCOMPARE(heart->model()->rowCount(), 1);
    QCOMPARE(launcher.launcherModel()->index(1).data(Model::TagRole).toInt(), 2);
}

void TestLauncherCards::starInFavouritesTab()
{
    TestLauncher launcher;
    launcher.setLauncherData({entry("a", 0, true), entry("b", 0, true)});
    launcher.resize(300, 400);
    launcher.setCurrentTabIndex(Favorites);
    launcher.show();
    QVERIFY(QTest::qWaitForWindowExposed(&launcher));
    ListView *favorites = tabView(launcher, Favorites);
    press(favorites,
          LauncherDelegate::buttonRect(favorites->visualRect(favorites->model()->index(0, 0)),
                                       LauncherDelegate::StarButton)
              .center());
    QCOMPARE(favorites->model()->rowCount(), 1);
    QCOMPARE(favorites->model()->index(0, 0).data(Model::NameRole).toString(), QStringLiteral("b"));
    QCOMPARE(launcher.launcherModel()->index(0).data(Model::FavoriteRole).toBool(), false);
}

void TestLauncherCards::penOpensEditor_data()
{
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("name");

    QTest::newRow("saved") << true << "Renamed";
    QTest::newRow("closed") << false << "a";
}

void TestLauncherCards::penOpensEditor()
{
    QFETCH(bool, accept);
    QFETCH(QString, name);

    TestLauncher launcher;
    const ApplicationData original(QStringLiteral("a"), QStringLiteral("d"), QStringLiteral("/usr/bin/env"),
                                   QStringLiteral("echo"), {VariableData("-i")}, {VariableData("X", "1")}, true, 6);
    launcher.setLauncherData({original});
    launcher.resize(300, 400);
    launcher.show();
    QVERIFY(QTest::qWaitForWindowExposed(&launcher));
    ListView *home = tabView(launcher, Home);

    QWidget *editorParent = nullptr;
    ModalAnswerer answerer([&](QWidget *window) {
        // Closed with changes, the editor asks; the user discards them.
        if (auto *box = qobject_cast<QMessageBox *>(window)) {
            for (QAbstractButton *button : box->buttons()) {
                if (button->text() == QLatin1String("Discard"))
                    button->click();
            }
            return;
        }
        auto *editor = qobject_cast<ApplicationEditor *>(window);
        if (!editor) {
            window->close();
            return;
        }
        editorParent = editor->parentWidget();
        editor->findChild<QLineEdit *>()->setText(QStringLiteral("Renamed"));
        for (QPushButton *button : editor->findChildren<QPushButton *>()) {
            if (button->text() == QLatin1String(accept ? "Save" : "Close")) {
                button->click();
                return;
            }
        }
    });
    press(home,
          LauncherDelegate::buttonRect(home->visualRect(home->model()->index(0, 0)), LauncherDelegate::PenButton)
              .center());
    QCOMPARE(answerer.answered(), accept ? 1 : 2);
    QCOMPARE(editorParent, &launcher);

    ApplicationData expected = original;
    expected.setName(name);
    QCOMPARE(launcher.launcherModel()->launcherData().first().toJsonObject(), expected.toJsonObject());
}

QTEST_MAIN(TestLauncherCards)
#include "TestLauncherCards.moc"
