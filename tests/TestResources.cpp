#include "records/records.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTranslator>
#include <QtTest>

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void images_data();
    void images();
    void styleSheetParses();
    void dropDownHighlightIsReadable();
    void pathStateColours_data();
    void pathStateColours();
    void translation_data();
    void translation();
    void catalogueSourceIsEmbedded();

private:
    static QString styleSheet();
};

namespace {

QStringList warnings;

void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        warnings.append(message);
}

} // namespace

QString TestResources::styleSheet()
{
    QFile file(QStringLiteral(":/style/style1.qss"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void TestResources::images_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");

    const QStringList icons = {"plus", "x", "home", "pen", "folder", "application", "star_on", "star_off"};
    for (const QString &name : icons)
        QTest::newRow(qPrintable(name)) << ":/images/" + name + ".png" << QSize(24, 24);
    for (const QString mark : {"heart", "diamond", "spade", "kroeber"}) {
        QTest::newRow(qPrintable(mark + "_on")) << ":/images/" + mark + "_on.png" << QSize(24, 24);
        QTest::newRow(qPrintable(mark + "_off")) << ":/images/" + mark + "_off.png" << QSize(24, 24);
    }
    QTest::newRow("appicon") << ":/images/appicon.png" << QSize(512, 512);
    QTest::newRow("scroll up") << ":/images/scrollBar_up.png" << QSize(9, 5);
    QTest::newRow("scroll bottom") << ":/images/scrollBar_bottom.png" << QSize(9, 5);
    QTest::newRow("scroll left") << ":/images/scrollBar_left.png" << QSize(5, 9);
    QTest::newRow("scroll right") << ":/images/scrollBar_right.png" << QSize(5, 9);
}

void TestResources::images()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);

    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), size);
    QVERIFY(image.hasAlphaChannel());
}

void TestResources::styleSheetParses()
{
    const QString sheet = styleSheet();
    QVERIFY(!sheet.isEmpty());

    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    qApp->setStyleSheet(sheet);
    QWidget window;
    QCheckBox favorite(&window);
    favorite.setObjectName(QStringLiteral("FavoriteCheckBox"));
    QLineEdit edit(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    qInstallMessageHandler(previous);
    qApp->setStyleSheet(QString());

    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
}

// The highlighted text of a drop-down list (its entry, selected as it opens
// for editing) shows in a colour well apart from the highlight's.
void TestResources::dropDownHighlightIsReadable()
{
    qApp->setStyleSheet(styleSheet());
    QComboBox combo;
    combo.setEditable(true);
    combo.addItem(QString(40, QLatin1Char('W')));
    combo.resize(200, combo.sizeHint().height());
    combo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&combo));
    QLineEdit *edit = combo.lineEdit();
    edit->selectAll();
    const QColor highlight = edit->palette().color(QPalette::Active, QPalette::Highlight);
    const QImage shown = edit->grab().toImage();
    qApp->setStyleSheet(QString());

    int textPixels = 0;
    const QRect text = edit->rect().adjusted(4, 4, -4, -4);
    for (int y = text.top(); y <= text.bottom(); ++y) {
        for (int x = text.left(); x <= text.right(); ++x) {
            const QColor pixel = shown.pixelColor(x, y);
            const int distance = qAbs(pixel.red() - highlight.red()) + qAbs(pixel.green() - highlight.green())
                + qAbs(pixel.blue() - highlight.blue());
            if (distance > 150)
                ++textPixels;
        }
    }
    QVERIFY2(textPixels > 20, qPrintable(QString::number(textPixels)));
}

void TestResources::pathStateColours_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("invalid") << "Invalid" << QColor(0xdc, 0x71, 0x79);
    QTest::newRow("acceptable") << "Acceptable" << QColor(0xbd, 0xbd, 0xbd);
}

void TestResources::pathStateColours()
{
    QFETCH(QString, state);
    QFETCH(QColor, colour);

    qApp->setStyleSheet(styleSheet());
    QLineEdit edit;
    edit.setObjectName(QStringLiteral("PathLineEdit"));
    edit.setProperty("state", state);
    edit.ensurePolished();
    const QColor text = edit.palette().color(QPalette::Text);
    qApp->setStyleSheet(QString());
    QCOMPARE(text, colour);
}

void TestResources::translation_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("loads");
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("translation");

    QTest::newRow("japanese file menu") << "ja_JP" << true << "MainWindow"
                                        << "&File"
                                        << "ファイル(&F)";
    QTest::newRow("japanese help menu") << "ja_JP" << true << "MainWindow"
                                        << "&Help"
                                        << "ヘルプ(&H)";
    QTest::newRow("japanese editor") << "ja_JP" << true << "ApplicationEditor"
                                     << "Environments"
                                     << "環境変数";
    QTest::newRow("japanese launcher") << "ja_JP" << true << "ApplicationLauncher"
                                       << "Error"
                                       << "エラー";
    QTest::newRow("japanese path editor") << "ja_JP" << true << "PathEditor"
                                          << "OK"
                                          << "決定";
    QTest::newRow("japanese browse") << "ja_JP" << true << "PathLineEditButton"
                                     << "Select Application"
                                     << "アプリケーションの選択";
    QTest::newRow("japanese file browser") << "ja_JP" << true << "PathLineEditButton"
                                           << "Select File"
                                           << "ファイルの選択";
    QTest::newRow("japanese header") << "ja_JP" << true << "VariableDataModel"
                                     << "Value"
                                     << "値";
    QTest::newRow("japanese delegate") << "ja_JP" << true << "VariableDelegate"
                                       << "Edit : %1"
                                       << "編集: %1";
    QTest::newRow("japanese variable editor") << "ja_JP" << true << "VariableEditor"
                                              << "Variable Editor"
                                              << "変数の編集";
    QTest::newRow("japanese save warning") << "ja_JP" << true << "LauncherDocument"
                                           << "The entries could not be saved to %1.\n%2"
                                           << "%1 に項目を保存できませんでした。\n%2";
    QTest::newRow("japanese empty tab hint") << "ja_JP" << true << "EmptyTabHint"
                                             << "No entry matches the filter."
                                             << "絞り込みに一致する項目はありません。";
    QTest::newRow("english") << "en_US" << false << "MainWindow"
                             << "&File"
                             << "&File";
    QTest::newRow("c locale") << "C" << false << "MainWindow"
                              << "&Help"
                              << "&Help";
}

void TestResources::translation()
{
    QFETCH(QString, locale);
    QFETCH(bool, loads);
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, translation);

    // Loaded the way start-up loads it: the resource folder and the locale name.
    QTranslator translator;
    QCOMPARE(translator.load(":/i18n/" + locale), loads);
    QCoreApplication::installTranslator(&translator);
    const QString translated = QCoreApplication::translate(qPrintable(context), qPrintable(source));
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(translated, translation);
}

void TestResources::catalogueSourceIsEmbedded()
{
    QFile source(QStringLiteral(":/i18n/ja_JP.ts"));
    QVERIFY(source.open(QIODevice::ReadOnly));
    QVERIFY(source.readAll().contains("<TS"));
}

QTEST_MAIN(TestResources)
#include "TestResources.moc"
