#include "platform/desktopEntryIndex.h"

#include "desktop/applicationFolders.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <QThreadPool>

namespace {

// Entries that start their program through one of these name the wrapper, not
// the program: indexing them would give env or the shell some program's icon.
bool isWrapper(const QString &program)
{
    static const QSet<QString> wrappers = {QStringLiteral("env"), QStringLiteral("sh"), QStringLiteral("bash"),
                                           QStringLiteral("dash"), QStringLiteral("flatpak")};
    return wrappers.contains(QFileInfo(program).fileName());
}

QString canonicalProgram(const std::string &name)
{
    const QString program = QString::fromStdString(name);
    if (program.isEmpty() || isWrapper(program))
        return QString();
    const QString found = program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
    return found.isEmpty() ? QString() : QFileInfo(found).canonicalFilePath();
}

// Runs on a worker thread.
QHash<QString, QString> readProgramIcons()
{
    QHash<QString, QString> icons;
    const std::vector<std::string> folders = Desktop::applicationFolders(
        qgetenv("HOME").toStdString(), qgetenv("XDG_DATA_HOME").toStdString(), qgetenv("XDG_DATA_DIRS").toStdString());
    Desktop::forEachApplication(folders, [&icons](const Desktop::InstalledApplication &application) {
        const QString icon = QString::fromStdString(application.entry.icon());
        if (icon.isEmpty())
            return;
        const std::vector<std::string> words = application.entry.execWords();
        for (const std::string &program :
             {application.entry.tryExec(), words.empty() ? std::string() : words.front()}) {
            const QString canonical = canonicalProgram(program);
            if (!canonical.isEmpty() && !icons.contains(canonical))
                icons.insert(canonical, icon);
        }
    });
    return icons;
}

} // namespace

DesktopEntryIndex *DesktopEntryIndex::instance()
{
    static DesktopEntryIndex *index = new DesktopEntryIndex(QCoreApplication::instance());
    return index;
}

DesktopEntryIndex::DesktopEntryIndex(QObject *parent)
    : QObject(parent)
{
}

bool DesktopEntryIndex::isReady()
{
    if (!m_started) {
        m_started = true;
        // The application waits for the pool's work when it ends.
        QThreadPool::globalInstance()->start([this] {
            QHash<QString, QString> icons = readProgramIcons();
            QMetaObject::invokeMethod(
                this,
                [this, icons = std::move(icons)]() mutable {
                    m_programIcons = std::move(icons);
                    m_ready = true;
                    emit ready();
                },
                Qt::QueuedConnection);
        });
    }
    return m_ready;
}

QString DesktopEntryIndex::programIcon(const QString &canonicalPath) const
{
    return m_programIcons.value(canonicalPath);
}
