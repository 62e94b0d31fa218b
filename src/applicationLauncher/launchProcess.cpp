#include "applicationLauncher/launchProcess.h"

LaunchProcess::LaunchProcess(QObject *parent)
    : QProcess(parent)
{
    connect(this, SIGNAL(readyReadStandardOutput()), this, SLOT(readOutput()));
}

void LaunchProcess::readOutput()
{
    m_output += readAllStandardOutput();
    if (m_output.size() <= keptBytes)
        return;
    m_output.remove(0, m_output.size() - keptBytes);
    // Whole lines read better than a line cut in the middle.
    const int lineEnd = m_output.indexOf('\n');
    if (lineEnd >= 0 && lineEnd + 1 < m_output.size())
        m_output.remove(0, lineEnd + 1);
}

void LaunchProcess::readError()
{
    const QByteArray error = readAllStandardError();
    if (!m_errorTaken && m_error.size() < keptBytes)
        m_error += error.left(keptBytes - m_error.size());
}

LaunchProcess::Report LaunchProcess::takeErrorReport()
{
    readOutput();
    readError();
    m_errorTaken = true;
    // Each block ends at its first NUL byte, as a C string would.
    const Report report{QString::fromLocal8Bit(m_output.constData()), QString::fromLocal8Bit(m_error.constData())};
    m_output.clear();
    m_error.clear();
    return report;
}
