#ifndef KORVANI_LAUNCHREPORTBOX_H
#define KORVANI_LAUNCHREPORTBOX_H

#include <QMessageBox>
#include <QPointer>
#include <QTimer>

class LaunchProcess;

// The Error box of one launch, titled by its caller: the standard output, a
// line of 80 hyphens and the error output, growing while the box is open, and
// whether the launch still runs or how it ended. While its interpreter runs, the user can stop
// it (the default) or let it run on; once it has ended, there is only OK.
class LaunchReportBox : public QMessageBox
{
    Q_OBJECT

public:
    explicit LaunchReportBox(LaunchProcess *process, QWidget *parent = nullptr);

    bool stopChosen() const;

private slots:
    void scheduleRefresh();
    void refresh();

private:
    void showButtons(bool running);

    QPointer<LaunchProcess> m_process;
    QPushButton *m_stop;
    QPushButton *m_keepRunning;
    QPushButton *m_ok;
    QTimer m_refresh;
    bool m_running = false;
};

#endif
