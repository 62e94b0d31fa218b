#include "document/fileSnapshot.h"

#include "platform/fileAccess.h"

#include <QCryptographicHash>
#include <QFileInfo>

namespace {

QByteArray checksumOf(const QByteArray &content)
{
    // It tells versions of the user's own file apart: whoever could forge a
    // collision could write the file anyway. SHA-1 is as fast as any of the
    // toolkit's hashes here but MD4.
    return QCryptographicHash::hash(content, QCryptographicHash::Sha1);
}

} // namespace

FileSnapshot FileSnapshot::take(const QString &path, qint64 maxSize, int padding)
{
    FileSnapshot snapshot;
    const QFileInfo file(path);
    if (!file.exists())
        return snapshot;
    // What is opened is looked at, not what the name showed a moment ago; a
    // FIFO is never waited on.
    if (!Platform::readRegularFile(path, maxSize, &snapshot.m_content, &snapshot.m_reason, padding)) {
        snapshot.m_content = QByteArray();
        snapshot.m_state = file.isFile() ? State::Unreadable : State::NotAFile;
        return snapshot;
    }
    snapshot.m_state = State::Regular;
    snapshot.m_checksum = checksumOf(snapshot.m_content);
    return snapshot;
}

FileSnapshot FileSnapshot::ofContent(const QByteArray &content)
{
    FileSnapshot snapshot;
    snapshot.m_state = State::Regular;
    snapshot.m_content = content;
    snapshot.m_checksum = checksumOf(content);
    return snapshot;
}

bool FileSnapshot::sameVersion(const FileSnapshot &other) const
{
    return m_state == other.m_state && (m_state != State::Regular || m_checksum == other.m_checksum);
}

FileSnapshot FileSnapshot::version() const
{
    FileSnapshot version = *this;
    version.m_content = QByteArray();
    return version;
}
