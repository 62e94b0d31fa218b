#include "instanceChannel.h"
#include "mainWindow.h"
#include "platform.h"
#include "records.h"
#include "version.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QLocale>
#include <QTcpServer>
#include <QTranslator>

int main(int argc, char **argv)
{
    // Holding this port is what makes the program the only running instance.
    // A second start asks the running one, through it, to show its window.
    const quint16 instancePort = 33000;
    QTcpServer instanceGuard;
    if (!instanceGuard.listen(QHostAddress(QHostAddress::LocalHost), instancePort)) {
        InstanceChannel::askToShow(instancePort);
        return 0;
    }

    QCoreApplication::setApplicationName(QStringLiteral("korvani"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KORVANI_VERSION));
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("korvani"));
    registerRecordTypes();

    // Every relative path of the program is taken against this folder.
    const QString applicationDir = QCoreApplication::applicationDirPath();
    const QString dataFolder = Platform::dataFolder(applicationDir);
    QDir().mkpath(dataFolder);
    QDir::setCurrent(dataFolder);
    Platform::addShippedTemplates(applicationDir, dataFolder);

    QFile styleSheet(QStringLiteral(":/style/style1.qss"));
    if (styleSheet.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromUtf8(styleSheet.readAll()));

    QTranslator translator;
    translator.load(QStringLiteral(":/i18n/") + QLocale::system().name());
    app.installTranslator(&translator);

    MainWindow window;
    window.show();
    InstanceChannel channel(&instanceGuard);
    QObject::connect(&channel, SIGNAL(showRequested()), &window, SLOT(bringForward()));
    return app.exec();
}
