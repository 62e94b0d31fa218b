#include "records/launcherFile.h"

#include "platform/fileAccess.h"
#include "records/launcherFileReader.h"
#include "records/launcherFileWriter.h"

#include <QFileInfo>
#include <QJsonDocument>

namespace {

// Keeps the content of a launcher file that was not read whole under a free
// name with the suffix beside it, unless an identical copy is already there.
// The copy's name; empty when none could be made.
QString keepCopy(const QString &fileName, const QString &suffix, const QByteArray &content)
{
    for (int number = 1; number <= 100; ++number) {
        const QString copyName = fileName + suffix + (number == 1 ? QString() : QStringLiteral("-%1").arg(number));
        // Made new, never through something already there under that name.
        QString error;
        if (Platform::writeNewFile(copyName, content, &error))
            return copyName;
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
    // The values of other versions as the toolkit reads them; one it cannot
    // hold (1e400) is left out.
    QJsonObject object;
    for (auto other = m_otherFields.constBegin(); other != m_otherFields.constEnd(); ++other)
        object.insert(other.key(), QJsonDocument::fromJson('[' + other.value() + ']').array().at(0));
    object.insert(QStringLiteral("name"), m_name);
    object.insert(QStringLiteral("description"), m_description);
    object.insert(QStringLiteral("path"), m_path);
    object.insert(QStringLiteral("preScript"), m_preScript);
    object.insert(QStringLiteral("favorite"), m_favorite);
    object.insert(QStringLiteral("tag"), m_tag);
    object.insert(QStringLiteral("arguments"), toJsonArray(m_arguments));
    object.insert(QStringLiteral("environments"), toJsonArray(m_environments));
    return object;
}

bool readLauncherFile(const QString &fileName, ApplicationDataList *list, LauncherFileProblem *problem,
                      QByteArray *content)
{
    LauncherFileProblem found;
    if (!QFileInfo(fileName).exists())
        return false;
    QByteArray bytes;
    if (!Platform::readRegularFile(fileName, maxLauncherFileSize, &bytes, &found.reason, launcherFilePadding)) {
        if (problem)
            *problem = found;
        return false;
    }
    LauncherDataLosses losses;
    const bool parsed = parseLauncherData(bytes, list, &losses);
    found = launcherContentProblem(fileName, bytes, parsed, losses);
    if (problem)
        *problem = found;
    if (content)
        *content = bytes;
    return true;
}

LauncherFileProblem launcherContentProblem(const QString &fileName, const QByteArray &content, bool parsed,
                                           const LauncherDataLosses &losses)
{
    LauncherFileProblem found;
    found.losses = losses;
    if (!parsed && !content.trimmed().isEmpty()) {
        found.notAList = true;
        found.copyName = keepCopy(fileName, QStringLiteral(".unreadable"), content);
    } else if (losses.count > 0) {
        found.copyName = keepCopy(fileName, QStringLiteral(".original"), content);
    }
    return found;
}

bool writeLauncherFile(const QString &fileName, const ApplicationDataList &list, QString *errorString,
                       QByteArray *content)
{
    QString error;
    const QString target = Platform::saveTarget(fileName, &error);
    if (!target.isEmpty()) {
        // A folder that cannot be made shows when the file is written, with its reason.
        Platform::makeFolders(QFileInfo(target).absolutePath());
        const QByteArray bytes = launcherFileContent(list);
        if (bytes.isNull()) {
            error = launcherFileTooLarge();
        } else if (Platform::replaceFile(target, bytes, &error)) {
            if (content)
                *content = bytes;
            return true;
        }
    }
    if (errorString)
        *errorString = error;
    return false;
}
