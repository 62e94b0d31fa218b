#include "mainWindow.h"

#include <QIcon>
#include <QPixmap>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    resize(290, 480);
    setWindowTitle(tr("Korvani"));
    setWindowIcon(QIcon(QPixmap(QStringLiteral(":/images/appicon.png"))));
}
