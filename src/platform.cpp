#include "platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTemporaryFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Platform {

namespace {

// The name of this system's template folder.
QString templateSystem()
{
#ifdef Q_OS_WIN
    return QStringLiteral("windows");
#else
    // Other Unix systems run the same programs as Linux does.
    return QStringLiteral("linux");
#endif
}

// An installed program finds its shared files at ../share/korvani.
QString installedShare(const QString &applicationDir)
{
    const QString share = QDir(applicationDir).absoluteFilePath(QStringLiteral("../share/korvani"));
    return QFileInfo(share).isDir() ? QDir::cleanPath(share) : QString();
}

// Undoes the escapes of a desktop entry's string values.
QString unescapeDesktopValue(const QString &value)
{
    QString result;
    for (int i = 0; i < value.size(); ++i) {
        if (value.at(i) != QLatin1Char('\\') || i + 1 == value.size()) {
            result += value.at(i);
            continue;
        }
        const QChar next = value.at(++i);
        if (next == QLatin1Char('s'))
            result += QLatin1Char(' ');
        else if (next == QLatin1Char('n'))
            result += QLatin1Char('\n');
        else if (next == QLatin1Char('t'))
            result += QLatin1Char('\t');
        else if (next == QLatin1Char('r'))
            result += QLatin1Char('\r');
        else if (next == QLatin1Char('\\'))
            result += QLatin1Char('\\');
        else
            result += QLatin1Char('\\') + QString(next);
    }
    return result;
}

// Splits an Exec value into words: double quotes group, and inside them a
// backslash keeps the next character. Field codes go; "%%" is a percent sign.
QStringList splitExec(const QString &exec)
{
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (int i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (quoted) {
            if (c == QLatin1Char('"'))
                quoted = false;
            else if (c == QLatin1Char('\\') && i + 1 < exec.size())
                word += exec.at(++i);
            else
                word += c;
        } else if (c == QLatin1Char('"')) {
            quoted = inWord = true;
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inWord && !word.isEmpty())
                words.append(word);
            word.clear();
            inWord = false;
        } else if (c == QLatin1Char('%') && i + 1 < exec.size()) {
            inWord = true;
            if (exec.at(++i) == QLatin1Char('%'))
                word += QLatin1Char('%');
        } else {
            inWord = true;
            word += c;
        }
    }
    if (inWord && !word.isEmpty())
        words.append(word);
    return words;
}

#ifdef Q_OS_UNIX
// A signal handler may do next to nothing: it writes a byte that the event loop
// then reads.
int endRequestSocket[2] = {-1, -1};

void writeEndRequest(int)
{
    const char byte = 1;
    const int savedErrno = errno;
    [[maybe_unused]] const ssize_t written = ::write(endRequestSocket[1], &byte, 1);
    errno = savedErrno;
}
#endif

} // namespace

QString commandInterpreter()
{
#ifdef Q_OS_WIN
    return QStringLiteral("cmd.exe");
#else
    return QCoreApplication::applicationDirPath() + QStringLiteral("/korvani-cmd");
#endif
}

QString applicationFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\Program Files");
#else
    return QStringLiteral("/usr/bin");
#endif
}

QString applicationFilterPatterns()
{
#ifdef Q_OS_WIN
    return QStringLiteral(" (*.exe)");
#else
    // Programs here carry no extension.
    return QStringLiteral(" (*)");
#endif
}

QString anyFileFilterPatterns()
{
#ifdef Q_OS_WIN
    return QStringLiteral(" (*.*)");
#else
    // "*.*" would hide every file without a dot in its name.
    return QStringLiteral(" (*)");
#endif
}

QChar pathListSeparator()
{
#ifdef Q_OS_WIN
    return QLatin1Char(';');
#else
    return QLatin1Char(':');
#endif
}

QString templateFolder()
{
    return QStringLiteral("data/db/") + templateSystem();
}

QString dataFolder(const QString &applicationDir)
{
    if (installedShare(applicationDir).isEmpty() && QFileInfo(applicationDir).isWritable())
        return applicationDir;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

void addShippedTemplates(const QString &applicationDir, const QString &dataFolder)
{
    const QString share = installedShare(applicationDir);
    const QDir shipped(share.isEmpty() ? QDir(applicationDir).absoluteFilePath(templateFolder())
                                       : share + QStringLiteral("/db/") + templateSystem());
    const QDir target(QDir(dataFolder).absoluteFilePath(templateFolder()));
    if (shipped == target || !shipped.exists())
        return;
    target.mkpath(QStringLiteral("."));
    for (const QString &name : shipped.entryList({QStringLiteral("*.ini")}, QDir::Files)) {
        if (!target.exists(name))
            QFile::copy(shipped.filePath(name), target.filePath(name));
    }
}

bool enterDataFolder(const QString &applicationDir, QString *error)
{
    // Falling back to the current folder would read and rewrite whatever
    // launcher file happens to lie there.
    const QString folder = dataFolder(applicationDir);
    if (folder.isEmpty() || !QDir().mkpath(folder) || !QFileInfo(folder).isWritable() || !QDir::setCurrent(folder)) {
        *error = QCoreApplication::translate("Platform", "Korvani cannot keep its data in the folder %1.")
                     .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    addShippedTemplates(applicationDir, folder);
    return true;
}

QString launcherFile()
{
    return QStringLiteral("data/shortchut.json");
}

QString settingsFile()
{
    return QStringLiteral("data/settings.ini");
}

QString dragScriptPath(const QString &batchFileName)
{
    return QStringLiteral("data/temp/") + batchFileName;
}

QString launchScriptPath(const QString &batchFileName)
{
    return QStringLiteral("temp") + QDir::separator() + batchFileName;
}

QHash<QString, QString> desktopEntryValues(const QByteArray &content)
{
    // Only a file made of groups and keys is a desktop entry: a script or any
    // other file that merely holds an Exec line is not read as one.
    QHash<QString, QString> values;
    bool inEntry = false;
    for (const QByteArray &rawLine : content.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return {};
        const QString key = line.left(equals).trimmed();
        if (inEntry && !values.contains(key))
            values.insert(key, unescapeDesktopValue(line.mid(equals + 1).trimmed()));
    }
    return values;
}

QStringList desktopEntryCommand(const QByteArray &content)
{
    const QHash<QString, QString> values = desktopEntryValues(content);
    const QString type = values.value(QStringLiteral("Type"));
    if (!type.isEmpty() && type != QLatin1String("Application"))
        return QStringList();
    return splitExec(values.value(QStringLiteral("Exec")));
}

bool freedesktopIcons()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return true;
#else
    return false;
#endif
}

void onEndRequest(QObject *context, const std::function<void()> &handler)
{
#ifdef Q_OS_UNIX
    if (endRequestSocket[0] < 0
        && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, endRequestSocket) != 0)
        return;
    auto *notifier = new QSocketNotifier(endRequestSocket[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [handler] {
        char bytes[16];
        while (::read(endRequestSocket[0], bytes, sizeof bytes) > 0) { }
        handler();
    });
    struct sigaction action = {};
    action.sa_handler = writeEndRequest;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
#else
    Q_UNUSED(context)
    Q_UNUSED(handler)
#endif
}

bool readRegularFile(const QString &path, qint64 maxSize, QByteArray *content, QString *error)
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
    // It may grow while it is read.
    *content = file.read(maxSize + 1);
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

DroppedProgram droppedProgram(const QString &filePath)
{
    const QFileInfo file(filePath);
    DroppedProgram program;
    program.path = file.isSymLink() ? file.symLinkTarget() : file.absoluteFilePath();
    if (file.suffix() != QLatin1String("desktop"))
        return program;
    QByteArray content;
    if (!readRegularFile(program.path, maxSettingsFileSize, &content, &program.error)) {
        program.path.clear();
        return program;
    }
    const QHash<QString, QString> values = desktopEntryValues(content);
    QStringList command = desktopEntryCommand(content);
    if (command.isEmpty())
        return program;
    const QString name = command.takeFirst();
    const QString found = name.contains(QLatin1Char('/')) ? QString() : QStandardPaths::findExecutable(name);
    program.path = found.isEmpty() ? name : found;
    program.arguments = command;
    program.icon = values.value(QStringLiteral("Icon"));
    return program;
}

} // namespace Platform
