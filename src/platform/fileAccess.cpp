#include "platform/fileAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace Platform {

namespace {

// A long file is read into memory never touched before. In huge pages, where
// the system keeps them for those who ask, it faults in 512 times less often.
void preferHugePages(char *data, qint64 size)
{
#ifdef Q_OS_LINUX
    constexpr quintptr hugePage = 2 * 1024 * 1024;
    const quintptr start = (quintptr(data) + hugePage - 1) & ~(hugePage - 1);
    const quintptr end = (quintptr(data) + quintptr(size)) & ~(hugePage - 1);
    if (end > start)
        ::madvise(reinterpret_cast<void *>(start), end - start, MADV_HUGEPAGE);
#else
    Q_UNUSED(data)
    Q_UNUSED(size)
#endif
}

#ifdef Q_OS_UNIX
// Writes the whole content to a file just made, syncs it to disk when it must
// last, and closes it. A write cut short by a full disk, a failed sync and a
// failed close (as network file systems report late failures) each fail it,
// with the system's reason.
bool writeWhole(int descriptor, const QByteArray &content, Durability durability, QString *error)
{
    const char *data = content.constData();
    size_t left = size_t(content.size());
    int failure = 0;
    while (left > 0 && failure == 0) {
        const ssize_t written = ::write(descriptor, data, left);
        if (written > 0) {
            data += written;
            left -= size_t(written);
        } else if (written == 0 || errno != EINTR) {
            failure = written == 0 ? EIO : errno;
        }
    }
    if (failure == 0 && durability == Durability::Lasting && ::fsync(descriptor) != 0)
        failure = errno;
    // After EINTR the descriptor is closed all the same, and what the sync
    // has written stays written.
    if (::close(descriptor) != 0 && failure == 0 && errno != EINTR)
        failure = errno;
    if (failure != 0)
        *error = qt_error_string(failure);
    return failure == 0;
}
#endif

} // namespace

bool readRegularFile(const QString &path, qint64 maxSize, QByteArray *content, QString *error, int padding)
{
    QFile file;
#ifdef Q_OS_UNIX
    // Opening a FIFO for reading waits for a writer, unless it does not block;
    // what is opened is then looked at, not what the name showed a moment ago.
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        *error = qt_error_string(errno);
        return false;
    }
    struct stat status = {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        *error = QCoreApplication::translate("Platform", "It is not a regular file.");
        return false;
    }
    file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
#else
    if (!QFileInfo(path).isFile()) {
        *error = QCoreApplication::translate("Platform", "It is not a regular file.");
        return false;
    }
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
#endif
    if (file.size() > maxSize) {
        *error = QCoreApplication::translate("Platform", "It is larger than %1 KiB.").arg(maxSize / 1024);
        return false;
    }
    // Read into room for the padding, so that the content need not move again.
    const qint64 expected = file.size();
    content->reserve(int(expected + 1 + padding));
    content->resize(int(expected + 1));
    preferHugePages(content->data(), expected + 1);
    const qint64 read = file.read(content->data(), expected + 1);
    if (read < 0) {
        content->clear();
        *error = file.errorString();
        return false;
    }
    content->resize(int(read));
    // It grew while it was read.
    if (read > expected)
        content->append(file.read(maxSize + 1 - read));
    if (content->size() > maxSize) {
        content->clear();
        *error = QCoreApplication::translate("Platform", "It is larger than %1 KiB.").arg(maxSize / 1024);
        return false;
    }
    return true;
}

bool replaceFile(const QString &path, const QByteArray &content, QString *error, Durability durability)
{
#ifdef Q_OS_UNIX
    QByteArray temporary = QFile::encodeName(QFileInfo(path).absolutePath() + QStringLiteral("/.korvani-XXXXXX"));
    // Made for the user alone (mode 0600).
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0) {
        *error = qt_error_string(errno);
        return false;
    }
    if (!writeWhole(descriptor, content, durability, error)) {
        ::unlink(temporary.constData());
        return false;
    }
    if (::rename(temporary.constData(), QFile::encodeName(path).constData()) != 0) {
        *error = qt_error_string(errno);
        ::unlink(temporary.constData());
        return false;
    }
    return true;
#else
    // Where an old batch file cannot be replaced (it is open), it is
    // overwritten. The flush is asked for on its own: the commit would rename
    // a file whose last bytes could not be written. The commit syncs the file
    // to disk before it renames it.
    QSaveFile file(path);
    file.setDirectWriteFallback(durability == Durability::Temporary);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.flush() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
#endif
}

bool writeNewFile(const QString &path, const QByteArray &content, QString *error)
{
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    const int descriptor = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        *error = qt_error_string(errno);
        return false;
    }
    if (!writeWhole(descriptor, content, Durability::Lasting, error)) {
        ::unlink(name.constData());
        return false;
    }
    return true;
#else
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        *error = file.errorString();
        return false;
    }
    const bool written = file.write(content) == content.size() && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        QFile::remove(path);
        return false;
    }
    return true;
#endif
}

bool makeFolders(const QString &path)
{
#ifdef Q_OS_UNIX
    // Each folder made here is the user's alone from the start; folders that
    // are already there keep their modes: they may be anyone's, such as /tmp.
    const QString absolute = QDir::cleanPath(QDir(path).absolutePath());
    int start = 1;
    while (start <= absolute.size()) {
        int end = absolute.indexOf(QLatin1Char('/'), start);
        if (end < 0)
            end = absolute.size();
        const QByteArray folder = QFile::encodeName(absolute.left(end));
        if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
            return false;
        start = end + 1;
    }
    return QFileInfo(absolute).isDir();
#else
    return QDir().mkpath(path);
#endif
}

bool makePrivateFolder(const QString &path, QString *reason)
{
    QString ignored;
    QString &why = reason ? *reason : ignored;
#ifdef Q_OS_UNIX
    // What stands in the way is told below.
    makeFolders(path);
    const QByteArray folder = QFile::encodeName(path);
    struct stat status = {};
    if (::lstat(folder.constData(), &status) != 0) {
        why = qt_error_string(errno);
        return false;
    }
    if (!S_ISDIR(status.st_mode)) {
        why = QCoreApplication::translate("Platform", "It is not a folder.");
        return false;
    }
    if (status.st_uid != ::geteuid()) {
        why = QCoreApplication::translate("Platform", "It belongs to another user.");
        return false;
    }
    if ((status.st_mode & 077) != 0 && ::chmod(folder.constData(), 0700) != 0) {
        why = qt_error_string(errno);
        return false;
    }
    return true;
#else
    if (!QDir().mkpath(path)) {
        why = QCoreApplication::translate("Platform", "It is not a folder.");
        return false;
    }
    return true;
#endif
}

void makePrivateFile(const QString &path)
{
    QString ignored;
    if (!QFileInfo::exists(path))
        writeNewFile(path, QByteArray(), &ignored);
    QFile::setPermissions(
        path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser);
}

QString saveTarget(const QString &path, QString *error)
{
    const QFileInfo file(path);
    if (!file.isSymLink())
        return path;
    // A launcher file kept elsewhere and linked here, as dotfile managers do,
    // is saved where it is.
    if (!file.isFile()) {
        *error = QCoreApplication::translate("Platform", "It is a link to something that is not a regular file.");
        return QString();
    }
    return file.canonicalFilePath();
}

bool isReadableSettingsFile(const QString &path)
{
    const QFileInfo file(path);
    return file.isFile() && file.size() <= maxSettingsFileSize;
}

} // namespace Platform
