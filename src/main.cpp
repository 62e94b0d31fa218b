#include "mainWindow/interfaceFont.h"
#include "mainWindow/mainWindow.h"
#include "mainWindow/translations.h"
#include "platform/dataFolder.h"
#include "platform/instanceChannel.h"
#include "platform/sessionEnd.h"
#include "records/recordStream.h"
#include "version.h"

#include <QApplication>
#include <QFile>
#include <QHostAddress>
#include <QLocale>
#include <QMessageBox>
#include <QTcpServer>

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

    // The catalogues come first, so that even a data folder that cannot be
    // used is reported in the user's language.
    const Translations translations(QLocale::system());
    useProportionalLatinFont();

    // Every relative path of the program is taken against this folder.
    QString error;
    if (!Platform::enterDataFolder(QCoreApplication::applicationDirPath(), &error)) {
        QMessageBox::critical(nullptr, QCoreApplication::translate("MainWindow", "Korvani"), error);
        return 1;
    }

    QFile styleSheet(QStringLiteral(":/style/style1.qss"));
    if (styleSheet.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromUtf8(styleSheet.readAll()));

    MainWindow window;
    // Logging out, shutting down or a kill: whatever was not saved is saved.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window, &MainWindow::commitSessionData);
    Platform::onEndRequest(&window, [&window] { window.endOnRequest(); });
    window.show();
    InstanceChannel channel(&instanceGuard);
    QObject::connect(&channel, SIGNAL(showRequested()), &window, SLOT(bringForward()));
    return app.exec();
}
