#include "document/launcherDocument.h"

#include "document/launcherFileMonitor.h"
#include "document/launcherModel.h"
#include "document/removalHistory.h"
#include "platform/dataFolder.h"
#include "platform/fileAccess.h"
#include "qtlib/userPrompts.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

// How often a change from outside looks again whether the user has closed
// the dialog or menu that holds it up.
constexpr int busyRetryMilliseconds = 500;

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

LauncherDocument::LauncherDocument(const DataFolder &folder, UserPrompts *prompts, QObject *parent)
    : QObject(parent)
    , m_prompts(prompts)
    , m_model(new LauncherDataModel(this))
    , m_removals(new RemovalHistory(m_model, this))
    , m_monitor(new LauncherFileMonitor(this))
    , m_fileName(folder.launcherFile())
{
    m_model->setDragScriptFolder(folder.dragScriptFolder());
    m_busyRetry.setSingleShot(true);
    m_busyRetry.setInterval(busyRetryMilliseconds);
    connect(&m_busyRetry, &QTimer::timeout, this, [this] {
        // Read again only once the user is free: it may have changed meanwhile.
        if (m_prompts->isBusy())
            m_busyRetry.start();
        else
            changedOnDisk(onDisk());
    });
    connect(m_monitor, &LauncherFileMonitor::changed, this, &LauncherDocument::changedOnDisk);
}

LauncherDocument::~LauncherDocument() = default;

FileSnapshot LauncherDocument::onDisk() const
{
    return FileSnapshot::take(m_fileName, maxLauncherFileSize, launcherFilePadding);
}

QString LauncherDocument::load()
{
    LauncherFileProblem problem;
    read(m_fileName, &problem);
    return problem.any() ? problemMessage(problem) : QString();
}

bool LauncherDocument::read(const QString &fileName, LauncherFileProblem *problem)
{
    m_fileName = QFileInfo(fileName).absoluteFilePath();
    const FileSnapshot snapshot = onDisk();
    LauncherFileProblem found;
    if (snapshot.state() == FileSnapshot::State::Regular) {
        ApplicationDataList entries;
        LauncherDataLosses losses;
        const bool parsed = parseLauncherData(snapshot.content(), &entries, &losses);
        found = launcherContentProblem(m_fileName, snapshot.content(), parsed, losses);
        adopt(snapshot, entries, found);
    } else {
        // Unread, the entries stay; what was found is remembered, so that
        // only a change from it counts as another program's.
        found.reason = snapshot.reason();
        m_known = snapshot.version();
        m_keptFile = found.keepsFile() ? m_fileName : QString();
        m_monitor->watch(m_fileName);
    }
    if (problem)
        *problem = found;
    return snapshot.state() == FileSnapshot::State::Regular;
}

void LauncherDocument::adopt(const FileSnapshot &snapshot, const ApplicationDataList &entries,
                             const LauncherFileProblem &problem)
{
    m_model->setLauncherData(entries);
    m_saved = m_model->launcherData();
    m_known = snapshot.version();
    m_keptFile = problem.keepsFile() ? m_fileName : QString();
    m_monitor->watch(m_fileName);
}

bool LauncherDocument::write(const QString &fileName, QString *errorString)
{
    QString ignored;
    QString &error = errorString ? *errorString : ignored;
    const QString target = QFileInfo(fileName).absoluteFilePath();
    if (!m_keptFile.isEmpty() && target == m_keptFile) {
        // Read again: the user may have moved it away or repaired it, or a
        // copy may now be possible.
        ApplicationDataList unused;
        LauncherFileProblem problem;
        readLauncherFile(target, &unused, &problem);
        if (problem.keepsFile()) {
            error = tr("It could not be read, and no copy of it could be made: move it away or repair it, then "
                       "save again.");
            return false;
        }
        m_keptFile.clear();
    }
    const ApplicationDataList entries = m_model->launcherData();
    QByteArray content;
    if (!writeLauncherFile(target, entries, &error, &content))
        return false;
    m_fileName = target;
    m_saved = entries;
    m_known = FileSnapshot::ofContent(content).version();
    m_monitor->watch(m_fileName);
    return true;
}

bool LauncherDocument::isModified() const
{
    // Lists that still share their entries compare at once.
    return m_model->launcherData() != m_saved;
}

LauncherDocument::DiskState LauncherDocument::diskState() const
{
    const FileSnapshot current = onDisk();
    if (current.sameVersion(m_known))
        return DiskState::AsKnown;
    return current.state() == FileSnapshot::State::Gone ? DiskState::Gone : DiskState::Changed;
}

QString LauncherDocument::problemMessage(const LauncherFileProblem &problem) const
{
    const QString file = nativePath(m_fileName);
    QString message;
    if (problem.notAList || !problem.reason.isEmpty()) {
        const QString reason = problem.notAList ? tr("it is not a JSON list of entries.") : problem.reason;
        message = tr("The entries in %1 could not be read: %2").arg(file, reason);
    } else {
        message =
            tr("Korvani cannot keep everything that %1 holds (%n places):", nullptr, problem.losses.count).arg(file);
        for (const QString &loss : problem.losses.examples)
            message += QLatin1Char('\n') + loss;
        if (problem.losses.count > problem.losses.examples.size())
            message += QStringLiteral("\n…");
        message += QLatin1Char('\n') + tr("Saving leaves these out.");
    }
    if (problem.keepsFile())
        message += QLatin1Char('\n')
            + tr("Korvani does not save over it until it is moved away or repaired, as no copy of it could be made.");
    else if (!problem.copyName.isEmpty())
        message += QLatin1Char('\n') + tr("It is kept as %1.").arg(nativePath(problem.copyName));
    return message;
}

void LauncherDocument::reload()
{
    LauncherFileProblem problem;
    read(m_fileName, &problem);
    if (problem.any())
        m_prompts->warn(tr("Korvani"), problemMessage(problem));
}

void LauncherDocument::changedOnDisk(const FileSnapshot &snapshot)
{
    if (m_asking || snapshot.state() != FileSnapshot::State::Regular || snapshot.sameVersion(m_known))
        return;
    // An open editor or menu holds rows of the entries as they are: the
    // change waits until it has closed.
    if (m_prompts->isBusy()) {
        m_busyRetry.start();
        return;
    }
    // Half written, or broken: left alone until it is whole. A save asks
    // about it all the same.
    ApplicationDataList entries;
    LauncherDataLosses losses;
    if (!parseLauncherData(snapshot.content(), &entries, &losses))
        return;
    if (!isModified()) {
        const LauncherFileProblem problem = launcherContentProblem(m_fileName, snapshot.content(), true, losses);
        adopt(snapshot, entries, problem);
        if (problem.any())
            m_prompts->warn(tr("Korvani"), problemMessage(problem));
        return;
    }
    // Asked once about each version of theirs; a save asks again.
    if (snapshot.checksum() == m_declined)
        return;
    QString error;
    const SaveOutcome outcome = keepBoth(true, &error);
    if (outcome == SaveOutcome::Cancelled)
        m_declined = snapshot.checksum();
    else if (outcome == SaveOutcome::Failed)
        m_prompts->warn(tr("Korvani"), error);
}

LauncherDocument::SaveOutcome LauncherDocument::save(bool asking, QString *error)
{
    if (!isModified())
        return SaveOutcome::NothingToSave;
    if (diskState() == DiskState::Changed)
        return keepBoth(asking, error);
    return writeOut(error);
}

LauncherDocument::SaveOutcome LauncherDocument::writeOut(QString *error)
{
    QString reason;
    if (write(m_fileName, &reason))
        return SaveOutcome::Saved;
    *error = tr("The entries could not be saved to %1.\n%2").arg(nativePath(m_fileName), reason);
    return SaveOutcome::Failed;
}

QString LauncherDocument::conflictCopyName() const
{
    const QString base = m_fileName + QStringLiteral(".conflict-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int number = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++number)
        name = base + QStringLiteral("-%1").arg(number);
    return name;
}

LauncherDocument::SaveOutcome LauncherDocument::keepBoth(bool asking, QString *error)
{
    const QString copy = conflictCopyName();
    if (asking) {
        m_asking = true;
        const UserPrompts::ChangedFileAnswer answer = m_prompts->askAboutChangedFile(
            tr("The entries in %1 were changed by another program since Korvani last read or saved them, and you "
               "have changes that are not saved.")
                .arg(nativePath(m_fileName)),
            tr("Reload shows their entries and drops your changes. Keep mine saves your entries and keeps theirs as "
               "%1.")
                .arg(nativePath(copy)));
        m_asking = false;
        if (answer == UserPrompts::ChangedFileAnswer::Cancel)
            return SaveOutcome::Cancelled;
        if (answer == UserPrompts::ChangedFileAnswer::Reload) {
            reload();
            return SaveOutcome::NothingToSave;
        }
    }
    // Theirs as it is now, which may have changed again while the user chose;
    // gone, it leaves nothing to keep.
    const FileSnapshot theirs = onDisk();
    if (theirs.state() == FileSnapshot::State::Gone)
        return writeOut(error);
    QString reason = theirs.reason();
    if (theirs.state() == FileSnapshot::State::Regular && Platform::writeNewFile(copy, theirs.content(), &reason))
        return writeOut(error);
    // Nobody to ask: ours go beside the file instead, and theirs stay.
    if (!asking) {
        const QByteArray ours = launcherFileContent(m_model->launcherData());
        if (ours.isNull())
            reason = launcherFileTooLarge();
        else if (Platform::writeNewFile(copy, ours, &reason))
            return SaveOutcome::Saved;
    }
    *error = tr("The entries were not saved: the version of %1 that another program wrote could not be kept as %2.\n%3")
                 .arg(nativePath(m_fileName), nativePath(copy), reason);
    return SaveOutcome::Failed;
}
