#include "applicationLauncher/launchProcess.h"

#include "platform/platform.h"

#include <QFile>

LaunchProcess::LaunchProcess(const QString &name, const QString &scriptPath, QObject *parent)
    : QProcess(parent)
    , m_name(name)
    , m_scriptPath(scriptPath)
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(quietMilliseconds);
    connect(&m_quiet, &QTimer::timeout, this, &LaunchProcess::errorChannelQuiet);
    connect(this, &QProcess::readyReadStandardOutput, this, &LaunchProcess::readOutput);
}

LaunchProcess::~LaunchProcess()
{
    // Ended with the program, as the interpreter would be anyway; its batch
    // file goes with it.
    if (state() != NotRunning) {
        blockSignals(true);
        kill();
        waitForFinished();
    }
    removeScript();
}

void LaunchProcess::setReportState(ReportState state)
{
    m_reportState = state;
    m_quiet.stop();
    if (state == ReportState::Closed) {
        m_output.clear();
        m_error.clear();
    }
}

bool LaunchProcess::failed() const
{
    return state() == NotRunning && (exitStatus() == CrashExit || exitCode() != 0);
}

void LaunchProcess::removeScript()
{
    if (!m_scriptPath.isEmpty())
        QFile::remove(m_scriptPath);
    m_scriptPath.clear();
}

void LaunchProcess::readOutput()
{
    const QByteArray output = readAllStandardOutput();
    if (m_reportState == ReportState::Closed || output.isEmpty())
        return;
    m_output += output;
    if (m_output.size() > keptBytes) {
        m_output.remove(0, m_output.size() - keptBytes);
        // Whole lines read better than a line cut in the middle.
        const int lineEnd = m_output.indexOf('\n');
        if (lineEnd >= 0 && lineEnd + 1 < m_output.size())
            m_output.remove(0, lineEnd + 1);
    }
    if (m_reportState == ReportState::Asked)
        emit reportChanged();
}

void LaunchProcess::readError()
{
    const QByteArray error = readAllStandardError();
    if (m_reportState == ReportState::Closed || error.isEmpty())
        return;
    m_errorSeen = true;
    if (m_error.size() < keptBytes)
        m_error += error.left(keptBytes - m_error.size());
    if (m_reportState == ReportState::Collecting)
        m_quiet.start();
    else
        emit reportChanged();
}

LaunchProcess::Report LaunchProcess::report() const
{
    // Each block ends at its first NUL byte, as a C string would.
    return {QString::fromLocal8Bit(m_output.constData()), QString::fromLocal8Bit(m_error.constData()), outcome(),
            !m_errorSeen};
}

QString LaunchProcess::outcome() const
{
    if (state() != NotRunning)
        return tr("%1 is still running.").arg(m_name);
    if (exitStatus() == CrashExit)
        return Platform::abnormalEnd(m_name, exitCode());
    return tr("%1 ended with exit status %2.").arg(m_name).arg(exitCode());
}
