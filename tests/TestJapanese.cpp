#include "applicationEditor/applicationEditor.h"
#include "launcherSetup.h"
#include "mainWindow/interfaceFont.h"
#include "mainWindow/mainWindow.h"
#include "mainWindow/translations.h"
#include "records/recordStream.h"
#include "testSupport.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>

#include <memory>

namespace {

// The finished messages of a catalogue source, as "context: source".
QStringList catalogueMessages(const QString &fileName, bool finishedOnly)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&file);
    QStringList messages;
    QString context;
    QString source;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("source"))
            source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            const bool unfinished = xml.attributes().value(QLatin1String("type")) == QLatin1String("unfinished");
            if (!xml.readElementText(QXmlStreamReader::IncludeChildElements).isEmpty() && !unfinished)
                messages.append(context + QStringLiteral(": ") + source);
            else if (!finishedOnly)
                messages.append(context + QStringLiteral(": ") + source);
        }
    }
    return messages;
}

} // namespace

// The program in Japanese, as a Japanese system locale starts it.
class TestJapanese : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void qtCatalogueIsUsed();
    void menusKeepTheirAccessKeys();
    void everyTextIsInTheCatalogue();
    void latinTextIsProportional();
    void buttonsAreNotClipped();

private:
    std::unique_ptr<Translations> m_translations;
};

void TestJapanese::initTestCase()
{
    registerRecordTypes();
    m_translations = std::make_unique<Translations>(QLocale(QLocale::Japanese, QLocale::Japan));
}

void TestJapanese::cleanupTestCase()
{
    m_translations.reset();
}

// Qt's own buttons and dialogs speak Japanese too.
void TestJapanese::qtCatalogueIsUsed()
{
    QVERIFY(m_translations->hasQtCatalogue());
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("はい(&Y)"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));
}

// Japanese menus write their access key after the text, as "ファイル(&F)".
void TestJapanese::menusKeepTheirAccessKeys()
{
    TemporaryCurrentFolder folder;
    QVERIFY(folder.isCurrent());
    TestWindow window;
    const QRegularExpression accessKey(QStringLiteral("\\(&[A-Z]\\)$"));
    QStringList titles;
    for (QAction *menu : window.menuBar()->actions()) {
        titles.append(menu->text());
        QVERIFY2(accessKey.match(menu->text()).hasMatch(), qPrintable(menu->text()));
        for (QAction *action : menu->menu()->actions()) {
            if (action->text().contains(QLatin1Char('&')))
                QVERIFY2(accessKey.match(action->text()).hasMatch(), qPrintable(action->text()));
        }
    }
    QCOMPARE(titles, (QStringList{"ファイル(&F)", "編集(&E)", "ヘルプ(&H)"}));
}

// Every text the program passes through tr() has its Japanese translation.
void TestJapanese::everyTextIsInTheCatalogue()
{
    QTemporaryDir dir;
    const QString extracted = dir.filePath(QStringLiteral("all.ts"));
    QProcess lupdate;
    lupdate.start(QStringLiteral(KORVANI_LUPDATE),
                  {QStringLiteral("-silent"), QStringLiteral(KORVANI_SOURCE_DIR), QStringLiteral("-ts"), extracted});
    QVERIFY(lupdate.waitForFinished(120000));
    QCOMPARE(lupdate.exitCode(), 0);
    const QStringList used = catalogueMessages(extracted, false);
    QVERIFY(used.size() > 50);
    const QStringList translated = catalogueMessages(QStringLiteral(KORVANI_SOURCE_DIR "/i18n/ja_JP.ts"), true);
    QStringList missing;
    for (const QString &message : used) {
        if (!translated.contains(message))
            missing.append(message);
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
}

// A Japanese desktop's font often sets Latin letters at one width.
void TestJapanese::latinTextIsProportional()
{
    const QString monospacedLatin = QStringLiteral("IPAGothic");
    if (!QFontDatabase().families().contains(monospacedLatin))
        QSKIP("the font IPAGothic (fonts-ipafont-gothic) is not installed");
    const QFont previous = QApplication::font();
    QApplication::setFont(QFont(monospacedLatin, 10));
    QVERIFY(!hasProportionalLatin(QApplication::font()));
    useProportionalLatinFont();
    const QFont chosen = QApplication::font();
    const QFont card(QStringLiteral("Corbel"), 12, QFont::Bold, true);
    QApplication::setFont(previous);

    QVERIFY2(hasProportionalLatin(chosen), qPrintable(QFontInfo(chosen).family()));
    QVERIFY(QFontDatabase().writingSystems(QFontInfo(chosen).family()).contains(QFontDatabase::Japanese));
    QVERIFY(hasProportionalLatin(card));
}

// Every button of the editor shows its whole text, here and at twice the
// scale (the same test with QT_SCALE_FACTOR=2).
void TestJapanese::buttonsAreNotClipped()
{
    const ProgramStyleSheet styleSheet;
    TestPrompts prompts;
    ApplicationEditor editor(DataFolder(QDir::currentPath()).templateFolder(), &prompts);
    editor.setApplicationData(ApplicationData("a", "b", "/bin/sh"));
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    QStringList clipped;
    for (QPushButton *button : editor.findChildren<QPushButton *>()) {
        if (button->isVisible() && button->width() < button->sizeHint().width())
            clipped.append(button->text());
    }
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char(' '))));
    QVERIFY(editor.findChildren<QPushButton *>().size() >= 2);
}

QTEST_MAIN(TestJapanese)
#include "TestJapanese.moc"
