#include "applicationLauncher/launchService.h"

#include "applicationLauncher/launchProcess.h"
#include "platform/platform.h"
#include "platform/uniqueFiles.h"
#include "records/records.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// How the reports call an entry.
QString shownName(const ApplicationData &application)
{
    return application.name().isEmpty() ? QFileInfo(application.path()).fileName() : application.name();
}

} // namespace

LaunchService::LaunchService(const DataFolder &folder, QObject *parent)
    : QObject(parent)
    , m_folder(folder)
{
}

void LaunchService::launch(const ApplicationData &application)
{
    // Each launch runs a file of its own: two entries can have one file name,
    // and a launch may still be reading its file when the next is written.
    QString reason;
    const QString fileName = Platform::createUniqueFile(m_folder.launchScriptFolder(), application.batchFileName(),
                                                        &reason);
    const QString scriptPath = m_folder.launchScriptPath(fileName.isEmpty() ? application.batchFileName() : fileName);
    if (fileName.isEmpty() || !application.writeBatchFile(scriptPath, &reason)) {
        if (!fileName.isEmpty())
            QFile::remove(scriptPath);
        emit failed(tr("The batch file %1 could not be written: %2").arg(scriptPath, reason));
        return;
    }

    auto *process = new LaunchProcess(shownName(application), scriptPath, this);
    connect(process, &QProcess::readyReadStandardError, this, [this, process] { processOutputError(process); });
    connect(process, &LaunchProcess::errorChannelQuiet, this, [this, process] { processErrorQuiet(process); });
    connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            [this, process] { processFinished(process); });
    connect(process, &QProcess::errorOccurred, this,
            [this, process](QProcess::ProcessError error) { processFailed(process, error); });
    // Set on the process, as nothing else follows the current folder.
    process->setWorkingDirectory(m_folder.launchFolder());
    process->start(Platform::commandInterpreter(), {QStringLiteral("/c"), scriptPath});
}

void LaunchService::closeReport(LaunchProcess *process, bool stop)
{
    process->setReportState(LaunchProcess::ReportState::Closed);
    if (stop)
        process->kill();
    if (process->state() == QProcess::NotRunning)
        process->deleteLater();
}

void LaunchService::askReport(LaunchProcess *process)
{
    process->setReportState(LaunchProcess::ReportState::Asked);
    emit reportReady(process);
}

void LaunchService::processOutputError(LaunchProcess *process)
{
    process->readError();
}

void LaunchService::processErrorQuiet(LaunchProcess *process)
{
    if (process->reportState() == LaunchProcess::ReportState::Collecting)
        askReport(process);
}

void LaunchService::processFinished(LaunchProcess *process)
{
    process->removeScript();
    switch (process->reportState()) {
    case LaunchProcess::ReportState::Collecting:
        if (process->hasErrorOutput() || process->failed())
            askReport(process);
        else
            process->deleteLater();
        break;
    case LaunchProcess::ReportState::Asked:
        // Its report, shown or still to be shown, tells how it ended; closing
        // it releases the process.
        break;
    case LaunchProcess::ReportState::Closed:
        process->deleteLater();
        break;
    }
}

void LaunchService::processFailed(LaunchProcess *process, QProcess::ProcessError error)
{
    // A process that never started sends no finished signal: without this it
    // would stay for ever, and the user would never learn that nothing ran.
    if (error != QProcess::FailedToStart)
        return;
    const QString reason = process->program() + QStringLiteral(": ") + process->errorString();
    process->removeScript();
    process->deleteLater();
    emit failed(reason);
}
