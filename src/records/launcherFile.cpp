#include "records/launcherFile.h"

#include "platform/fileAccess.h"
#include "records/launcherFileReader.h"
#include "records/launcherFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// Keeps the content of an unreadable launcher file under a free name beside
// it, unless an identical copy is already there. The copy's name; empty when
// none could be made.
QString keepUnreadableCopy(const QString &fileName, const QByteArray &content)
{
    for (int number = 1; number <= 100; ++number) {
        const QString copyName = fileName
            + (number == 1 ? QStringLiteral(".unreadable") : QStringLiteral(".unreadable-%1").arg(number));
        QFile copy(copyName);
        // Made new, never through something already there under that name.
        if (copy.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            const bool written = copy.write(content) == content.size() && copy.flush();
            copy.close();
            if (written)
                return copyName;
            copy.remove();
            return QString();
        }
        if (!QFileInfo(copyName).exists() && !QFileInfo(copyName).isSymLink())
            return QString();
        QByteArray existing;
        QString ignored;
        if (Platform::readRegularFile(copyName, content.size(), &existing, &ignored) && existing == content)
            return copyName;
    }
    return QString();
}

} // namespace

QJsonObject VariableData::toJsonObject() const
{
    return {{QStringLiteral("name"), m_name}, {QStringLiteral("value"), m_value}};
}

QJsonObject ApplicationData::toJsonObject() const
{
    return {{QStringLiteral("name"), m_name},
            {QStringLiteral("description"), m_description},
            {QStringLiteral("path"), m_path},
            {QStringLiteral("preScript"), m_preScript},
            {QStringLiteral("favorite"), m_favorite},
            {QStringLiteral("tag"), m_tag},
            {QStringLiteral("arguments"), toJsonArray(m_arguments)},
            {QStringLiteral("environments"), toJsonArray(m_environments)}};
}

bool readLauncherFile(const QString &fileName, ApplicationDataList *list, LauncherFileProblem *problem)
{
    LauncherFileProblem found;
    if (!QFileInfo(fileName).exists())
        return false;
    QByteArray content;
    if (!Platform::readRegularFile(fileName, maxLauncherFileSize, &content, &found.reason, launcherFilePadding)) {
        if (problem)
            *problem = found;
        return false;
    }
    if (!parseLauncherData(content, list) && !content.trimmed().isEmpty()) {
        found.notAList = true;
        found.copyName = keepUnreadableCopy(fileName, content);
    }
    if (problem)
        *problem = found;
    return true;
}

bool writeLauncherFile(const QString &fileName, const ApplicationDataList &list, QString *errorString)
{
    QString error;
    const QString target = Platform::saveTarget(fileName, &error);
    if (!target.isEmpty()) {
        // A folder that cannot be made shows in the open below, with its reason.
        QDir().mkpath(QFileInfo(target).absolutePath());
        QSaveFile file(target);
        if (file.open(QIODevice::WriteOnly)) {
            const QByteArray content = launcherFileContent(list);
            if (file.write(content) == content.size() && file.commit())
                return true;
        }
        error = file.errorString();
    }
    if (errorString)
        *errorString = error;
    return false;
}
