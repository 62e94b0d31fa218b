#include "document/launcherDocument.h"
#include "mainWindow/interfaceFont.h"
#include "mainWindow/mainWindow.h"
#include "mainWindow/translations.h"
#include "platform/dataFolder.h"
#include "platform/instanceGuard.h"
#include "platform/sessionEnd.h"
#include "qtlib/messageBoxPrompts.h"
#include "records/recordStream.h"
#include "version.h"

#include <QApplication>
#include <QFile>
#include <QLocale>

int main(int argc, char **argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("korvani"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KORVANI_VERSION));
    // Korvani draws with the raster engine only. A window that may also hold
    // OpenGL content makes X11 load the GL driver when it first shows: more
    // than half the time to the first frame and some 50 MiB, for nothing.
    QCoreApplication::setAttribute(Qt::AA_ForceRasterWidgets);
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("korvani"));
    registerRecordTypes();

    // The catalogues come first, so that even a data folder that cannot be
    // used is reported in the user's language.
    const Translations translations(QLocale::system());

    // One Korvani per user and data folder; a second start asks the running
    // one to show its window. Nothing in the folder is read before.
    MessageBoxPrompts prompts;
    const QString title = QCoreApplication::translate("MainWindow", "Korvani");
    const DataFolder folder(DataFolder::locate(QCoreApplication::applicationDirPath()));
    InstanceGuard instanceGuard;
    int exitCode = 0;
    QString error;
    if (!instanceGuard.claim(folder, &exitCode, &error)) {
        if (exitCode != 0)
            prompts.showError(title, error);
        return exitCode;
    }

    useProportionalLatinFont();

    if (!folder.prepare(QCoreApplication::applicationDirPath(), &error)) {
        prompts.showError(title, error);
        return 1;
    }

    QFile styleSheet(QStringLiteral(":/style/style1.qss"));
    if (styleSheet.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromUtf8(styleSheet.readAll()));

    // The entries and their file, and the window that shows them.
    LauncherDocument document(folder, &prompts);
    MainWindow window(&document, folder, &prompts);
    prompts.setWindow(&window);
    // Logging out, shutting down or a kill: whatever was not saved is saved.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window, &MainWindow::commitSessionData);
    Platform::onEndRequest(&window, [&window] { window.endOnRequest(); });
    window.show();
    QObject::connect(&instanceGuard, &InstanceGuard::showRequested, &window, &MainWindow::bringForward);
    return app.exec();
}
