#include "platform.h"

#include <QCoreApplication>
#include <QDir>

namespace Platform {

QString commandInterpreter()
{
#ifdef Q_OS_WIN
    return QStringLiteral("cmd.exe");
#else
    return QCoreApplication::applicationDirPath() + QStringLiteral("/korvani-cmd");
#endif
}

QString templateFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("data/db/windows");
#else
    // Other Unix systems run the same programs as Linux does.
    return QStringLiteral("data/db/linux");
#endif
}

QString launchScriptPath(const QString &batchFileName)
{
    return QStringLiteral("temp") + QDir::separator() + batchFileName;
}

} // namespace Platform
