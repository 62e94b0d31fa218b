#include "platform/platform.h"

#include "platform/desktopEntryIndex.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>

#ifndef Q_OS_WIN
#include <cstring>
#endif

namespace Platform {

QString commandInterpreter()
{
#ifdef Q_OS_WIN
    return QStringLiteral("cmd.exe");
#else
    return QCoreApplication::applicationDirPath() + QStringLiteral("/korvani-cmd");
#endif
}

QString abnormalEnd(const QString &name, int exitCode)
{
#ifdef Q_OS_WIN
    return QCoreApplication::translate("Platform", "%1 ended abnormally with status 0x%2.")
        .arg(name)
        .arg(uint(exitCode), 8, 16, QLatin1Char('0'));
#else
    // QProcess gives the signal in place of an exit status.
    return QCoreApplication::translate("Platform", "%1 was ended by signal %2 (%3).")
        .arg(name)
        .arg(exitCode)
        .arg(QString::fromLocal8Bit(strsignal(exitCode)));
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

QString programName(const QString &path)
{
    const QFileInfo file(path);
#ifdef Q_OS_WIN
    if (file.suffix().compare(QLatin1String("exe"), Qt::CaseInsensitive) == 0)
        return file.completeBaseName();
#else
    // The desktop entries are read off the GUI thread once the first card is
    // drawn; until then a program goes by its file's name.
    DesktopEntryIndex *index = DesktopEntryIndex::instance();
    const QString canonical = file.canonicalFilePath();
    const QString named = index->isReady() && !canonical.isEmpty() ? index->programName(canonical) : QString();
    if (!named.isEmpty())
        return named;
#endif
    return file.fileName();
}

QChar pathListSeparator()
{
#ifdef Q_OS_WIN
    return QLatin1Char(';');
#else
    return QLatin1Char(':');
#endif
}

bool freedesktopIcons()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return true;
#else
    return false;
#endif
}

QString qtTranslationsFolder()
{
#ifdef Q_OS_WIN
    return QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
#else
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
#endif
}

} // namespace Platform
