#include "platform/fileAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdio>
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

bool replaceFile(const QString &path, const QByteArray &content, QString *error)
{
#ifdef Q_OS_UNIX
    QTemporaryFile file(QFileInfo(path).absolutePath() + QStringLiteral("/.korvani-XXXXXX"));
    if (!file.open()) {
        *error = file.errorString();
        return false;
    }
    if (file.write(content) != content.size() || !file.flush()) {
        *error = file.errorString();
        return false;
    }
    if (::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(path).constData()) != 0) {
        *error = qt_error_string(errno);
        return false;
    }
    file.setAutoRemove(false);
    return true;
#else
    // Where the old file cannot be replaced (it is open), it is overwritten.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
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
    QFile file;
    file.open(descriptor, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
#else
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        *error = file.errorString();
        return false;
    }
#endif
    if (file.write(content) != content.size() || !file.flush()) {
        *error = file.errorString();
        file.close();
        QFile::remove(path);
        return false;
    }
    return true;
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
