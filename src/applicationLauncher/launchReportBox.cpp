#include "applicationLauncher/launchReportBox.h"

#include "applicationLauncher/launchProcess.h"

#include <QPushButton>

namespace {

// Lines of a long report that the box itself shows; the whole is under its
// details, so that the box still fits on the screen.
constexpr int shownOutputLines = 10;
constexpr int shownErrorLines = 25;

// At most this often the box takes what arrived, however fast it comes.
constexpr int refreshMilliseconds = 200;

} // namespace

LaunchReportBox::LaunchReportBox(LaunchProcess *process, QWidget *parent)
    : QMessageBox(QMessageBox::Critical, QString(), QString(), QMessageBox::NoButton, parent)
    , m_process(process)
    , m_stop(addButton(tr("Stop"), QMessageBox::AcceptRole))
    , m_keepRunning(addButton(tr("Keep running"), QMessageBox::RejectRole))
    , m_ok(addButton(QMessageBox::Ok))
{
    // What programs write is shown as written, never read as markup.
    setTextFormat(Qt::PlainText);
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(refreshMilliseconds);
    connect(&m_refresh, &QTimer::timeout, this, &LaunchReportBox::refresh);
    connect(process, &LaunchProcess::reportChanged, this, &LaunchReportBox::scheduleRefresh);
    connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this, &LaunchReportBox::refresh);
    m_running = process->state() != QProcess::NotRunning;
    showButtons(m_running);
    refresh();
}

bool LaunchReportBox::stopChosen() const
{
    return clickedButton() == m_stop;
}

void LaunchReportBox::scheduleRefresh()
{
    if (!m_refresh.isActive())
        m_refresh.start();
}

void LaunchReportBox::refresh()
{
    m_refresh.stop();
    if (!m_process)
        return;
    const LaunchProcess::Report report = m_process->report();
    if (report.silent) {
        setText(report.outcome);
        if (!report.output.isEmpty())
            setDetailedText(report.output);
    } else {
        // Standard output, a line of 80 hyphens, then error output. A long
        // report shows the end of the output and the beginning of the errors.
        const QString separator = QString(80, QLatin1Char('-')) + QLatin1Char('\n');
        QStringList outputLines = report.output.split(QLatin1Char('\n'));
        QStringList errorLines = report.error.split(QLatin1Char('\n'));
        const bool cut = outputLines.size() > shownOutputLines || errorLines.size() > shownErrorLines;
        if (outputLines.size() > shownOutputLines)
            outputLines = QStringList(QStringLiteral("...")) + outputLines.mid(outputLines.size() - shownOutputLines);
        if (errorLines.size() > shownErrorLines)
            errorLines = errorLines.mid(0, shownErrorLines) + QStringList(QStringLiteral("..."));
        setText(outputLines.join(QLatin1Char('\n')) + separator + errorLines.join(QLatin1Char('\n')));
        setInformativeText(report.outcome);
        if (cut)
            setDetailedText(report.output + separator + report.error);
    }
    const bool running = m_process->state() != QProcess::NotRunning;
    if (running != m_running)
        showButtons(running);
}

void LaunchReportBox::showButtons(bool running)
{
    m_running = running;
    m_stop->setVisible(running);
    m_keepRunning->setVisible(running);
    m_ok->setVisible(!running);
    // Escape and the window's close button let a launch run on: only Stop
    // ends it. Once it has ended, every way out is the same.
    setDefaultButton(running ? m_stop : m_ok);
    setEscapeButton(running ? m_keepRunning : m_ok);
}
