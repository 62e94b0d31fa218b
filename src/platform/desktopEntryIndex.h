#ifndef KORVANI_DESKTOPENTRYINDEX_H
#define KORVANI_DESKTOPENTRYINDEX_H

#include "platform/installedPrograms.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <string>
#include <vector>

// The applications that the system's desktop entries describe, read off the
// GUI thread, so that no applications folder, however large or hostile,
// holds the window up: the first call to isReady() starts the reading, and
// ready() tells when it is done. The icon lookup, program names and the list
// of installed programs all take them from here.
class DesktopEntryIndex : public QObject
{
    Q_OBJECT

public:
    static DesktopEntryIndex *instance();

    // Whether the entries have been read; the first call starts reading them.
    bool isReady();
    // Reads them again, off the GUI thread, for programs installed or removed
    // since; what was read stays until then.
    void refresh();
    // Whether every reading asked for has ended.
    bool isUpToDate() const { return m_pending == 0 && m_ready; }

    // The Icon of the first application whose TryExec or Exec names the
    // program at a canonical path, and the Name in the user's language of the
    // first that has one; empty until the entries have been read.
    QString programIcon(const QString &canonicalPath) const;
    QString programName(const QString &canonicalPath) const;
    // The programs the desktop offers in its menus (Platform::offeredProgram):
    // of each desktop file ID the entry that takes precedence, in the order of
    // their names; none until they have been read.
    QList<Platform::InstalledProgram> installedPrograms() const { return m_programs.offered; }

signals:
    // A reading has ended; its entries are in place.
    void ready();

private:
    explicit DesktopEntryIndex(QObject *parent);

    struct Programs
    {
        QHash<QString, QString> icons;
        QHash<QString, QString> names;
        QList<Platform::InstalledProgram> offered;
    };
    static Programs readPrograms(const std::vector<std::string> &folders, const std::string &locale);
    void startReading();

    bool m_ready = false;
    // Readings asked for and not yet ended; one runs at a time.
    int m_pending = 0;
    bool m_reading = false;
    Programs m_programs;
};

#endif
