#include "mainWindow/launcherFileController.h"

#include "applicationLauncher/applicationLauncher.h"
#include "platform/fileAccess.h"
#include "records/launcherFileMonitor.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

// A path of the data folder as the user knows it.
QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(QDir::current().absoluteFilePath(path));
}

LauncherFileController::Answer askInBox(QWidget *parent, const QString &text, const QString &details)
{
    QMessageBox box(QMessageBox::Question, LauncherFileController::tr("Korvani"), text, QMessageBox::NoButton, parent);
    box.setInformativeText(details);
    QPushButton *reload = box.addButton(LauncherFileController::tr("Reload"), QMessageBox::DestructiveRole);
    QPushButton *keepMine = box.addButton(LauncherFileController::tr("Keep mine"), QMessageBox::AcceptRole);
    box.addButton(LauncherFileController::tr("Cancel"), QMessageBox::RejectRole);
    box.exec();
    if (box.clickedButton() == reload)
        return LauncherFileController::Reload;
    return box.clickedButton() == keepMine ? LauncherFileController::KeepMine : LauncherFileController::Cancel;
}

} // namespace

LauncherFileController::Answer (*LauncherFileController::ask)(QWidget *, const QString &, const QString &) = askInBox;

LauncherFileController::LauncherFileController(ApplicationLauncher *launcher, const QString &fileName, QWidget *window)
    : QObject(window)
    , m_launcher(launcher)
    , m_fileName(fileName)
    , m_window(window)
{
    connect(file(), &LauncherFileMonitor::changedOnDisk, this, &LauncherFileController::changedOnDisk);
}

LauncherFileMonitor *LauncherFileController::file() const
{
    return m_launcher->launcherFile();
}

QString LauncherFileController::read()
{
    LauncherFileProblem problem;
    m_launcher->readLauncherData(m_fileName, &problem);
    return problem.any() ? problemMessage(problem) : QString();
}

QString LauncherFileController::problemMessage(const LauncherFileProblem &problem) const
{
    const QString file = nativePath(m_fileName);
    QString message;
    if (problem.notAList || !problem.reason.isEmpty()) {
        const QString reason = problem.notAList ? tr("it is not a JSON list of entries.") : problem.reason;
        message = tr("The entries in %1 could not be read: %2").arg(file, reason);
    } else {
        message =
            tr("Korvani cannot keep everything that %1 holds (%n places):", nullptr, problem.losses.count).arg(file);
        for (const QString &loss : problem.losses.examples)
            message += QLatin1Char('\n') + loss;
        if (problem.losses.count > problem.losses.examples.size())
            message += QStringLiteral("\n…");
        message += QLatin1Char('\n') + tr("Saving leaves these out.");
    }
    if (problem.keepsFile())
        message += QLatin1Char('\n')
            + tr("Korvani does not save over it until it is moved away or repaired, as no copy of it could be made.");
    else if (!problem.copyName.isEmpty())
        message += QLatin1Char('\n') + tr("It is kept as %1.").arg(nativePath(problem.copyName));
    return message;
}

void LauncherFileController::reload()
{
    LauncherFileProblem problem;
    m_launcher->readLauncherData(m_fileName, &problem);
    if (problem.any())
        QMessageBox::warning(m_window, tr("Korvani"), problemMessage(problem));
}

void LauncherFileController::changedOnDisk()
{
    if (m_asking || file()->diskState() != LauncherFileMonitor::DiskState::Changed)
        return;
    // An open editor or menu holds rows of the entries as they are: the
    // change waits until it has closed.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        QTimer::singleShot(500, this, &LauncherFileController::changedOnDisk);
        return;
    }
    // Half written, or broken: left alone until it is whole. A save asks
    // about it all the same.
    QByteArray content;
    QString ignored;
    ApplicationDataList entries;
    if (!Platform::readRegularFile(m_fileName, maxLauncherFileSize, &content, &ignored, launcherFilePadding)
        || !parseLauncherData(content, &entries))
        return;
    if (!file()->hasUnsavedEdits()) {
        reload();
        return;
    }
    // Asked once about each version of theirs; a save asks again.
    const qint64 version = file()->diskVersion();
    if (version == m_declinedVersion)
        return;
    QString error;
    const Outcome outcome = keepBoth(true, &error);
    if (outcome == Cancelled)
        m_declinedVersion = version;
    else if (outcome == Failed)
        QMessageBox::warning(m_window, tr("Korvani"), error);
}

LauncherFileController::Outcome LauncherFileController::save(bool asking, QString *error)
{
    if (!file()->hasUnsavedEdits())
        return NothingToSave;
    if (file()->diskState() == LauncherFileMonitor::DiskState::Changed)
        return keepBoth(asking, error);
    return write(error);
}

LauncherFileController::Outcome LauncherFileController::write(QString *error)
{
    QString reason;
    if (m_launcher->saveLauncherData(m_fileName, &reason))
        return Saved;
    *error = tr("The entries could not be saved to %1.\n%2").arg(nativePath(m_fileName), reason);
    return Failed;
}

LauncherFileController::Outcome LauncherFileController::keepBoth(bool asking, QString *error)
{
    const QString copy = file()->conflictCopyName();
    if (asking) {
        m_asking = true;
        const Answer answer = ask(m_window,
                                  tr("The entries in %1 were changed by another program since Korvani last read or "
                                     "saved them, and you have changes that are not saved.")
                                      .arg(nativePath(m_fileName)),
                                  tr("Reload shows their entries and drops your changes. Keep mine saves your entries "
                                     "and keeps theirs as %1.")
                                      .arg(nativePath(copy)));
        m_asking = false;
        if (answer == Cancel)
            return Cancelled;
        if (answer == Reload) {
            reload();
            return NothingToSave;
        }
    }
    QString reason;
    if (file()->keepDiskVersion(copy, &reason))
        return write(error);
    // Nobody to ask: ours go beside the file instead, and theirs stay.
    if (!asking && file()->keepEntriesAs(copy, m_launcher->launcherModel()->launcherData(), &reason))
        return Saved;
    *error = tr("The entries were not saved: the version of %1 that another program wrote could not be kept as %2.\n%3")
                 .arg(nativePath(m_fileName), nativePath(copy), reason);
    return Failed;
}
