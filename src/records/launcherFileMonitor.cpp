#include "records/launcherFileMonitor.h"

#include "platform/fileAccess.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFileSystemWatcher>

#include <cstring>

namespace {

// Editors and sync tools write a file in several steps: what they leave is
// looked at once they have been quiet for a moment.
constexpr int settleMilliseconds = 300;

} // namespace

LauncherFileMonitor::LauncherFileMonitor(QObject *parent)
    : QObject(parent)
    , m_watcher(new QFileSystemWatcher(this))
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMilliseconds);
    connect(&m_settle, &QTimer::timeout, this, &LauncherFileMonitor::checkDisk);
    // The file itself for writes in place, its folder for files renamed over it.
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &LauncherFileMonitor::pathChanged);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &LauncherFileMonitor::pathChanged);
}

LauncherFileMonitor::Fingerprint LauncherFileMonitor::fingerprint(const QByteArray &content)
{
    // Four independent lanes of eight bytes, as this runs over the whole file
    // at every read and save; it tells versions apart, and need not stand up
    // to an attacker, who could not write the user's file anyway.
    quint64 lanes[4] = {0x9e3779b97f4a7c15ULL, 0xc2b2ae3d27d4eb4fULL, 0x165667b19e3779f9ULL, 0x27d4eb2f165667c5ULL};
    const char *position = content.constData();
    const char *const end = position + content.size();
    for (; end - position >= 32; position += 32) {
        for (int i = 0; i < 4; ++i) {
            quint64 word;
            std::memcpy(&word, position + 8 * i, 8);
            lanes[i] = (lanes[i] ^ word) * 0x100000001b3ULL;
            lanes[i] ^= lanes[i] >> 29;
        }
    }
    quint64 hash = lanes[0] ^ (lanes[1] * 3) ^ (lanes[2] * 5) ^ (lanes[3] * 7);
    for (; position < end; ++position)
        hash = (hash ^ uchar(*position)) * 0x100000001b3ULL;
    return {true, content.size(), hash};
}

bool LauncherFileMonitor::read(const QString &fileName, ApplicationDataList *list, LauncherFileProblem *problem)
{
    QByteArray content;
    const bool read = readLauncherFile(fileName, list, problem, &content);
    m_keptFile = problem->keepsFile() ? QFileInfo(fileName).absoluteFilePath() : QString();
    if (read)
        m_unsavedEdits = false;
    Fingerprint known;
    if (read || !problem->reason.isEmpty())
        known = read ? fingerprint(content) : Fingerprint{true, -1, 0};
    remember(fileName, known);
    return read;
}

bool LauncherFileMonitor::write(const QString &fileName, const ApplicationDataList &list, QString *errorString)
{
    if (!m_keptFile.isEmpty() && QFileInfo(fileName).absoluteFilePath() == m_keptFile) {
        // Read again: the user may have moved it away or repaired it, or a
        // copy may now be possible.
        ApplicationDataList ignored;
        LauncherFileProblem problem;
        readLauncherFile(fileName, &ignored, &problem);
        if (problem.keepsFile()) {
            *errorString = tr("It could not be read, and no copy of it could be made: move it away or repair "
                              "it, then save again.");
            return false;
        }
        m_keptFile.clear();
    }
    QByteArray content;
    if (!writeLauncherFile(fileName, list, errorString, &content))
        return false;
    m_unsavedEdits = false;
    remember(fileName, fingerprint(content));
    return true;
}

void LauncherFileMonitor::remember(const QString &fileName, const Fingerprint &known)
{
    m_fileName = QFileInfo(fileName).absoluteFilePath();
    m_known = known;
    const QStringList watched = m_watcher->files() + m_watcher->directories();
    if (!watched.isEmpty())
        m_watcher->removePaths(watched);
    const QString folder = QFileInfo(m_fileName).absolutePath();
    if (QFileInfo(folder).isDir())
        m_watcher->addPath(folder);
    if (QFileInfo::exists(m_fileName))
        m_watcher->addPath(m_fileName);
}

void LauncherFileMonitor::markEdited()
{
    m_unsavedEdits = true;
}

void LauncherFileMonitor::pathChanged()
{
    // A file renamed over the watched one is a new file to watch.
    if (!m_watcher->files().contains(m_fileName) && QFileInfo::exists(m_fileName))
        m_watcher->addPath(m_fileName);
    m_settle.start();
}

void LauncherFileMonitor::checkDisk()
{
    if (diskState() == DiskState::Changed)
        emit changedOnDisk();
}

LauncherFileMonitor::Fingerprint LauncherFileMonitor::onDisk() const
{
    const QFileInfo file(m_fileName);
    if (!file.exists() && !file.isSymLink())
        return Fingerprint();
    QByteArray content;
    QString ignored;
    return Platform::readRegularFile(m_fileName, maxLauncherFileSize, &content, &ignored) ? fingerprint(content)
                                                                                          : Fingerprint{true, -1, 0};
}

LauncherFileMonitor::DiskState LauncherFileMonitor::diskState() const
{
    if (m_fileName.isEmpty())
        return DiskState::AsKnown;
    const Fingerprint current = onDisk();
    if (current == m_known)
        return DiskState::AsKnown;
    return current.exists ? DiskState::Changed : DiskState::Gone;
}

qint64 LauncherFileMonitor::diskVersion() const
{
    const Fingerprint current = onDisk();
    return current.exists ? qint64(current.hash ^ quint64(current.size)) : -1;
}

QString LauncherFileMonitor::conflictCopyName() const
{
    const QString base = m_fileName + QStringLiteral(".conflict-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int number = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++number)
        name = base + QStringLiteral("-%1").arg(number);
    return name;
}

bool LauncherFileMonitor::keepDiskVersion(const QString &copyName, QString *errorString) const
{
    QByteArray content;
    return Platform::readRegularFile(m_fileName, maxLauncherFileSize, &content, errorString)
        && Platform::writeNewFile(copyName, content, errorString);
}

bool LauncherFileMonitor::keepEntriesAs(const QString &copyName, const ApplicationDataList &list,
                                        QString *errorString) const
{
    return Platform::writeNewFile(copyName, launcherFileContent(list), errorString);
}
