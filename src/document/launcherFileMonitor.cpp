#include "document/launcherFileMonitor.h"

#include "records/launcherFile.h"

#include <QFileInfo>
#include <QFileSystemWatcher>

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
    connect(&m_settle, &QTimer::timeout, this, [this] { emit changed(snapshot()); });
    // The file itself for writes in place, its folder for files renamed over it.
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &LauncherFileMonitor::pathChanged);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &LauncherFileMonitor::pathChanged);
}

void LauncherFileMonitor::watch(const QString &fileName)
{
    m_fileName = QFileInfo(fileName).absoluteFilePath();
    const QStringList watched = m_watcher->files() + m_watcher->directories();
    if (!watched.isEmpty())
        m_watcher->removePaths(watched);
    const QString folder = QFileInfo(m_fileName).absolutePath();
    if (QFileInfo(folder).isDir())
        m_watcher->addPath(folder);
    if (QFileInfo::exists(m_fileName))
        m_watcher->addPath(m_fileName);
}

FileSnapshot LauncherFileMonitor::snapshot() const
{
    return FileSnapshot::take(m_fileName, maxLauncherFileSize, launcherFilePadding);
}

void LauncherFileMonitor::pathChanged()
{
    // A file renamed over the watched one is a new file to watch.
    if (!m_watcher->files().contains(m_fileName) && QFileInfo::exists(m_fileName))
        m_watcher->addPath(m_fileName);
    m_settle.start();
}
