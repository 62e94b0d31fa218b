// The yardstick for Korvani's start-up: an empty Qt window of Korvani's size.

#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(290, 480);
    window.setWindowTitle(QStringLiteral("Bare"));
    window.show();
    return app.exec();
}
