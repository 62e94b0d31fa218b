#include "applicationLauncher/launchService.h"

#include "applicationLauncher/launchProcess.h"
#include "platform/dataFolder.h"
#include "platform/platform.h"
#include "records/records.h"

#include <QDir>
#include <QFileInfo>

LaunchService::LaunchService(QObject *parent)
    : QObject(parent)
{
}

void LaunchService::launch(const ApplicationData &application)
{
    const QString scriptPath = Platform::launchScriptPath(application.batchFileName());
    QString reason;
    // An older script left in its place would run what the entry no longer says.
    if (!application.writeBatchFile(scriptPath, &reason)) {
        emit failed(tr("The batch file %1 could not be written: %2")
                        .arg(QDir::toNativeSeparators(QFileInfo(scriptPath).absoluteFilePath()), reason));
        return;
    }

    auto *process = new LaunchProcess(this);
    connect(process, SIGNAL(readyReadStandardError()), this, SLOT(processOutputError()));
    connect(process, SIGNAL(finished(int, QProcess::ExitStatus)), this, SLOT(processFinished()));
    connect(process, SIGNAL(errorOccurred(QProcess::ProcessError)), this, SLOT(processFailed(QProcess::ProcessError)));
    process->start(Platform::commandInterpreter(), {QStringLiteral("/c"), scriptPath});
}

void LaunchService::release(LaunchProcess *process)
{
    process->kill();
    if (process->state() == QProcess::NotRunning)
        process->deleteLater();
}

void LaunchService::processOutputError()
{
    auto *process = qobject_cast<LaunchProcess *>(sender());
    if (!process)
        return;
    process->readError();
    if (process->errorReported())
        return;
    process->setErrorReported();
    emit errorOutput(process);
}

void LaunchService::processFinished()
{
    auto *process = qobject_cast<LaunchProcess *>(sender());
    if (!process)
        return;
    process->kill();
    // Its report, still to be shown, holds its output; showing it releases it.
    if (!process->errorReportPending())
        process->deleteLater();
}

void LaunchService::processFailed(QProcess::ProcessError error)
{
    auto *process = qobject_cast<LaunchProcess *>(sender());
    // A process that never started sends no finished signal: without this it
    // would stay for ever, and the user would never learn that nothing ran.
    if (!process || error != QProcess::FailedToStart)
        return;
    const QString reason = process->program() + QStringLiteral(": ") + process->errorString();
    process->deleteLater();
    emit failed(reason);
}
