#include "platform/installedPrograms.h"

#include "desktop/applicationFolders.h"

#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace Platform {

std::string desktopLocale()
{
    // The locale of messages, as POSIX orders its variables; the
    // specification matches localised keys against it, modifier included.
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(variable);
        if (!value.isEmpty())
            return value.toStdString();
    }
    return std::string();
}

std::vector<std::string> applicationFolders()
{
    return Desktop::applicationFolders(qgetenv("HOME").toStdString(), qgetenv("XDG_DATA_HOME").toStdString(),
                                       qgetenv("XDG_DATA_DIRS").toStdString());
}

bool offeredProgram(const Desktop::InstalledApplication &application, const std::string &locale,
                    InstalledProgram *program)
{
    const Desktop::DesktopEntry &entry = application.entry;
    if (entry.noDisplay() || entry.execWords().empty())
        return false;
    // The specification lets a menu leave out an entry whose TryExec program
    // is missing: the program is not installed.
    const QString tryExec = QString::fromStdString(entry.tryExec());
    if (!tryExec.isEmpty()
        && (tryExec.contains(QLatin1Char('/')) ? !QFileInfo(tryExec).isExecutable()
                                               : QStandardPaths::findExecutable(tryExec).isEmpty()))
        return false;
    const QString filePath = QString::fromStdString(application.path);
    QString name = QString::fromStdString(entry.name(locale));
    if (name.isEmpty())
        name = QFileInfo(filePath).completeBaseName();
    *program = {QString::fromStdString(application.id), filePath, name, QString::fromStdString(entry.comment(locale)),
                QString::fromStdString(entry.icon(locale))};
    return true;
}

void sortPrograms(QList<InstalledProgram> *programs)
{
    std::sort(programs->begin(), programs->end(), [](const InstalledProgram &a, const InstalledProgram &b) {
        const int order = QString::localeAwareCompare(a.name.toCaseFolded(), b.name.toCaseFolded());
        return order != 0 ? order < 0 : a.id < b.id;
    });
}

} // namespace Platform
