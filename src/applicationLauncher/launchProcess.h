#ifndef KORVANI_LAUNCHPROCESS_H
#define KORVANI_LAUNCHPROCESS_H

#include <QByteArray>
#include <QProcess>

// The command interpreter running one launched batch file. Both output
// channels are read as they come, so that a program that writes without end
// costs no memory; what the Error box shows is kept: the end of the standard
// output and the beginning of the error output, which names the first fault.
class LaunchProcess : public QProcess
{
    Q_OBJECT

public:
    static constexpr int keptBytes = 64 * 1024;

    explicit LaunchProcess(QObject *parent = nullptr);

    // Whether the Error box has been asked for; it is asked for once.
    bool errorReported() const { return m_errorReported; }
    void setErrorReported() { m_errorReported = true; }
    // Asked for, but not yet shown.
    bool errorReportPending() const { return m_errorReported && !m_errorTaken; }

    // What the Error box shows, as text. Error output that arrives after it
    // was taken is dropped.
    struct Report
    {
        QString output;
        QString error;
    };
    Report takeErrorReport();

public slots:
    void readOutput();
    void readError();

private:
    QByteArray m_output;
    QByteArray m_error;
    bool m_errorReported = false;
    bool m_errorTaken = false;
};

#endif
