#include "fuzzSupport.h"

#include <QApplication>

void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "korvani-fuzz";
    static char *argv[] = {name, nullptr};
    // Kept for the whole run: records need it for their icons.
    new QApplication(argc, argv);
}
