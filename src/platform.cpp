#include "platform.h"

#include <QDir>

namespace Platform {

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
