#include "platform/desktopEntryIndex.h"

#include "desktop/applicationFolders.h"
#include "platform/installedPrograms.h"

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

} // namespace

// Runs on a worker thread.
DesktopEntryIndex::Programs DesktopEntryIndex::readPrograms(const std::vector<std::string> &folders,
                                                            const std::string &locale)
{
    Programs programs;
    Desktop::forEachApplication(folders, [&](const Desktop::InstalledApplication &application) {
        Platform::InstalledProgram offered;
        if (Platform::offeredProgram(application, locale, &offered))
            programs.offered.append(offered);
        const QString icon = QString::fromStdString(application.entry.icon());
        const QString name = QString::fromStdString(application.entry.name(locale));
        const std::vector<std::string> words = application.entry.execWords();
        for (const std::string &program :
             {application.entry.tryExec(), words.empty() ? std::string() : words.front()}) {
            const QString canonical = canonicalProgram(program);
            if (canonical.isEmpty())
                continue;
            if (!icon.isEmpty() && !programs.icons.contains(canonical))
                programs.icons.insert(canonical, icon);
            if (!name.isEmpty() && !programs.names.contains(canonical))
                programs.names.insert(canonical, name);
        }
    });
    Platform::sortPrograms(&programs.offered);
    return programs;
}

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
    if (!m_ready && m_pending == 0)
        refresh();
    return m_ready;
}

void DesktopEntryIndex::refresh()
{
    ++m_pending;
    if (!m_reading)
        startReading();
}

void DesktopEntryIndex::startReading()
{
    m_reading = true;
    // What reads now covers every request so far.
    const int covered = m_pending;
    // The environment is read here: only the GUI thread changes it.
    // The application waits for the pool's work when it ends.
    QThreadPool::globalInstance()->start(
        [this, covered, folders = Platform::applicationFolders(), locale = Platform::desktopLocale()] {
            Programs programs = readPrograms(folders, locale);
            QMetaObject::invokeMethod(
                this,
                [this, covered, programs = std::move(programs)]() mutable {
                    m_programs = std::move(programs);
                    m_ready = true;
                    m_reading = false;
                    m_pending -= covered;
                    if (m_pending > 0)
                        startReading();
                    emit ready();
                },
                Qt::QueuedConnection);
        });
}

QString DesktopEntryIndex::programIcon(const QString &canonicalPath) const
{
    return m_programs.icons.value(canonicalPath);
}

QString DesktopEntryIndex::programName(const QString &canonicalPath) const
{
    return m_programs.names.value(canonicalPath);
}
