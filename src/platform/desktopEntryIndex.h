#ifndef KORVANI_DESKTOPENTRYINDEX_H
#define KORVANI_DESKTOPENTRYINDEX_H

#include <QHash>
#include <QObject>
#include <QString>

#include <string>

// The applications that the system's desktop entries describe, read once per
// run and off the GUI thread, so that no applications folder, however large
// or hostile, holds the window up: the first call to isReady() starts the
// reading, and ready() tells when it is done.
class DesktopEntryIndex : public QObject
{
    Q_OBJECT

public:
    static DesktopEntryIndex *instance();

    // Whether the entries have been read; the first call starts reading them.
    bool isReady();

    // The Icon of the first application whose TryExec or Exec names the
    // program at a canonical path, and the Name in the user's language of the
    // first that has one; empty until the entries have been read.
    QString programIcon(const QString &canonicalPath) const;
    QString programName(const QString &canonicalPath) const;

signals:
    void ready();

private:
    explicit DesktopEntryIndex(QObject *parent);

    struct Programs
    {
        QHash<QString, QString> icons;
        QHash<QString, QString> names;
    };
    static Programs readPrograms(const std::string &locale);

    bool m_started = false;
    bool m_ready = false;
    Programs m_programs;
};

#endif
