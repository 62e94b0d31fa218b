#ifndef KORVANI_TESTSUPPORT_H
#define KORVANI_TESTSUPPORT_H

#include "applicationLauncher/launcherTab.h"
#include "records/records.h"

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

class ApplicationLauncher;
class ListView;
class QAbstractItemModel;
class QAbstractItemView;
class QMimeData;
class QWidget;

// An entry without a program, described as "about NAME", with marks and star.
ApplicationData entry(const QString &name, int tag = 0, bool favorite = false);

// Entries described as "about NAME" that start /usr/bin/NAME.
ApplicationDataList named(const QStringList &names);

// Presses, releases, double-clicks and releases on a cell, as a window system
// delivers a double click.
void doubleClick(QAbstractItemView *view, int row, int column);

// Delivers a drag that enters and drops at one point of a widget; whether the
// drop was taken.
bool dragAndDrop(QWidget *target, const QPoint &pos, QMimeData *data, Qt::DropAction action);

// The list of cards in one tab of the launcher.
ListView *tabView(ApplicationLauncher &launcher, int tab);

// Answers every modal dialog and popup menu that opens while it lives, so that
// no test waits for a person. The default answer closes the window; an answer
// that leaves it open is asked again, and windows that an answer opens are
// answered too. Each message box is recorded once, as "title: text".
class ModalAnswerer : public QObject
{
    Q_OBJECT

public:
    using Answer = std::function<void(QWidget *)>;
    explicit ModalAnswerer(Answer answer = Answer());

    QStringList messages() const { return m_messages; }
    int answered() const { return m_answered; }

private:
    void poll();

    Answer m_answer;
    QStringList m_messages;
    QList<QPointer<QWidget>> m_recorded;
    int m_answered = 0;
};

// Sets an environment variable while this lives, and then gives it back the
// value it had, or unsets it.
class EnvironmentChange
{
public:
    EnvironmentChange(const char *name, const QString &value);
    ~EnvironmentChange();
    EnvironmentChange(const EnvironmentChange &) = delete;
    EnvironmentChange &operator=(const EnvironmentChange &) = delete;

private:
    const char *m_name;
    bool m_wasSet;
    QByteArray m_previous;
};

// A temporary folder that is the current folder while this lives, since the
// program takes every relative path against the current folder.
class TemporaryCurrentFolder
{
public:
    TemporaryCurrentFolder();
    ~TemporaryCurrentFolder();
    TemporaryCurrentFolder(const TemporaryCurrentFolder &) = delete;
    TemporaryCurrentFolder &operator=(const TemporaryCurrentFolder &) = delete;

    bool isCurrent() const;

private:
    QString m_previous;
    QTemporaryDir m_folder;
};

// The program's style sheet on the application while this lives.
class ProgramStyleSheet
{
public:
    ProgramStyleSheet();
    ~ProgramStyleSheet();
    ProgramStyleSheet(const ProgramStyleSheet &) = delete;
    ProgramStyleSheet &operator=(const ProgramStyleSheet &) = delete;

private:
    QString m_previous;
};

// Picks the action with the given text from the next popup menu (none when the
// text matches nothing) after recording the texts the menu offered.
void chooseFromNextMenu(const QString &choice, QStringList *offered);

// Whether something asked the application to quit since the last call. Clears
// the request, so that later event loops of the test run normally.
bool takeQuitRequest();

// The data of every row's first column for the role, in row order.
QStringList rowTexts(const QAbstractItemModel *model, int role = Qt::DisplayRole);

// An icon drawn at one size, to compare icons by what they show.
QImage iconImage(const QIcon &icon, int size = 32);

// A file's whole content; empty when it cannot be read.
QByteArray readAll(const QString &fileName);

// Writes a file, creating its folder first.
void writeFile(const QString &fileName, const QByteArray &content = QByteArray());

// The permission bits of a file or folder, as 0600 reads: -1 when there is none.
int fileMode(const QString &path);

// Copies an executable into a folder, for the user alone to run, so that
// whatever it reads or writes beside itself stays in that folder. The copy's
// path; empty when it could not be made.
QString copyExecutable(const QString &executable, const QString &folder);

// The signals a process has a handler for, one bit each, as /proc tells; 0
// where there is no /proc.
quint64 caughtSignals(qint64 pid);

// Waits up to timeout milliseconds for the processes that run in a folder, or
// a folder below it, to end, as those of a launch in a test's folder do once
// it is over; then kills those still there. What was left, as "pid command
// line", none where there is no /proc.
QStringList processesLeftIn(const QString &folder, int timeout);

#endif
