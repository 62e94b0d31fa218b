#ifndef KORVANI_DESKTOPENTRYINDEX_H
#define KORVANI_DESKTOPENTRYINDEX_H

#include <QHash>
#include <QObject>
#include <QString>

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
    // program at a canonical path; empty until the entries have been read.
    QString programIcon(const QString &canonicalPath) const;

signals:
    void ready();

private:
    explicit DesktopEntryIndex(QObject *parent);

    bool m_started = false;
    bool m_ready = false;
    QHash<QString, QString> m_programIcons;
};

#endif
