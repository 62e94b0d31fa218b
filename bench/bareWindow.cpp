// The yardstick for Korvani's start-up: an empty Qt window of Korvani's size,
// as Qt makes it by default or, with --raster-only, without OpenGL, as
// Korvani makes its own.

#include <QApplication>
#include <QWidget>

#include <cstring>

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--raster-only") == 0)
        QCoreApplication::setAttribute(Qt::AA_ForceRasterWidgets);
    QApplication app(argc, argv);
    QWidget window;
    window.resize(290, 480);
    window.setWindowTitle(QStringLiteral("Bare"));
    window.show();
    return app.exec();
}
