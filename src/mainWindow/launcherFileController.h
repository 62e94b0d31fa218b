#ifndef KORVANI_LAUNCHERFILECONTROLLER_H
#define KORVANI_LAUNCHERFILECONTROLLER_H

#include <QObject>

class ApplicationLauncher;
class LauncherFileMonitor;
class QWidget;
struct LauncherFileProblem;

// Keeps the launcher's entries and the launcher file in step when another
// program changes the file: without unsaved edits the file is read again;
// with them, or at a save that finds the file changed, the user chooses
// between their version and ours, and "Keep mine" keeps theirs beside the
// file. Where nobody can answer, both are kept.
class LauncherFileController : public QObject
{
    Q_OBJECT

public:
    enum Answer { Reload, KeepMine, Cancel };
    enum Outcome { Saved, NothingToSave, Cancelled, Failed };

    // Asks what to do about another program's change. Tests replace it.
    static Answer (*ask)(QWidget *parent, const QString &text, const QString &details);

    LauncherFileController(ApplicationLauncher *launcher, const QString &fileName, QWidget *window);

    // Reads the file into the launcher: what the user should be told of it, if anything.
    QString read();
    // Writes the entries when they have unsaved edits; when the file has
    // changed on disk, asks first, or without asking keeps both. Failed and
    // Cancelled leave the entries unsaved; Failed says why.
    Outcome save(bool asking, QString *error);

private slots:
    void changedOnDisk();

private:
    LauncherFileMonitor *file() const;
    QString problemMessage(const LauncherFileProblem &problem) const;
    void reload();
    Outcome keepBoth(bool asking, QString *error);
    Outcome write(QString *error);

    ApplicationLauncher *m_launcher;
    QString m_fileName;
    QWidget *m_window;
    bool m_asking = false;
    // The version of theirs that the user chose not to act on yet.
    qint64 m_declinedVersion = -1;
};

#endif
