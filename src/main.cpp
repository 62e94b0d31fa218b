#include "mainWindow.h"
#include "records.h"

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
    // Nothing ever accepts a connection on it.
    QTcpServer instanceGuard;
    if (!instanceGuard.listen(QHostAddress(QHostAddress::LocalHost), 33000))
        return 0;

    QApplication app(argc, argv);
    registerRecordTypes();
    QDir::setCurrent(QCoreApplication::applicationDirPath());

    QFile styleSheet(QStringLiteral(":/style/style1.qss"));
    if (styleSheet.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromUtf8(styleSheet.readAll()));

    QTranslator translator;
    translator.load(QStringLiteral(":/i18n/") + QLocale::system().name());
    app.installTranslator(&translator);

    MainWindow window;
    window.show();
    return app.exec();
}
