#ifndef KORVANI_FILESNAPSHOT_H
#define KORVANI_FILESNAPSHOT_H

#include <QByteArray>
#include <QString>

// A file as it was when it was read once: what was there, its bytes when it
// was a regular file that could be read, and their checksum, which tells
// versions apart without keeping the bytes.
class FileSnapshot
{
public:
    enum class State {
        Gone, // nothing by that name, or a link to nothing
        Regular, // a regular file, read whole
        NotAFile, // a folder, a FIFO, a device
        Unreadable, // a regular file that could not be read, or one too large
    };

    FileSnapshot() = default;

    // Reads the file, a regular file of at most maxSize bytes, with padding
    // bytes of room past its content.
    static FileSnapshot take(const QString &path, qint64 maxSize, int padding = 0);
    // The snapshot of a regular file that holds content, such as one just written.
    static FileSnapshot ofContent(const QByteArray &content);

    State state() const { return m_state; }
    QByteArray content() const { return m_content; }
    QByteArray checksum() const { return m_checksum; }
    // Why it could not be read.
    QString reason() const { return m_reason; }

    // Whether both were of one version of the file: the same state, and for
    // regular files the same checksum.
    bool sameVersion(const FileSnapshot &other) const;
    // The same snapshot without the bytes, to remember the version by.
    FileSnapshot version() const;

private:
    State m_state = State::Gone;
    QByteArray m_content;
    QByteArray m_checksum;
    QString m_reason;
};

#endif
