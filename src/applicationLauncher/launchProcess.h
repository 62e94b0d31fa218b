#ifndef KORVANI_LAUNCHPROCESS_H
#define KORVANI_LAUNCHPROCESS_H

#include <QByteArray>
#include <QProcess>
#include <QTimer>

// The command interpreter running one launched batch file, and what its Error
// box is to show. Both output channels are read as they come, so that a
// program that writes without end costs no memory; what the box shows is
// kept: the end of the standard output and the beginning of the error output,
// which names the first fault. The batch file is the launch's own, and goes
// once the interpreter has ended.
class LaunchProcess : public QProcess
{
    Q_OBJECT

public:
    static constexpr int keptBytes = 64 * 1024;
    // How long the error channel stays quiet before the box opens, so that it
    // shows a whole message rather than its first piece.
    static constexpr int quietMilliseconds = 150;

    // Where its report stands: being collected; asked for, the box waiting or
    // open; seen by the user, after which nothing more is reported.
    enum class ReportState { Collecting, Asked, Closed };

    LaunchProcess(const QString &name, const QString &scriptPath, QObject *parent = nullptr);
    ~LaunchProcess() override;

    ReportState reportState() const { return m_reportState; }
    void setReportState(ReportState state);
    bool hasErrorOutput() const { return m_errorSeen; }
    // Ended other than with status 0.
    bool failed() const;
    void removeScript();

    // What the Error box shows, as text. A silent report is of a launch that
    // wrote nothing to its error channel: its outcome says it all.
    struct Report
    {
        QString output;
        QString error;
        QString outcome;
        bool silent;
    };
    Report report() const;

signals:
    // The error channel has been quiet for a moment since it last spoke.
    void errorChannelQuiet();
    // More for the box to show, while its report is asked for.
    void reportChanged();

public slots:
    void readOutput();
    void readError();

private:
    // Whether it still runs, or how it ended.
    QString outcome() const;

    QString m_name;
    QString m_scriptPath;
    QByteArray m_output;
    QByteArray m_error;
    bool m_errorSeen = false;
    ReportState m_reportState = ReportState::Collecting;
    QTimer m_quiet;
};

#endif
