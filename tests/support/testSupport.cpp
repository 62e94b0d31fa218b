#include "testSupport.h"

#include "applicationLauncher/applicationLauncher.h"
#include "qtlib/itemViews.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTest>
#include <QWidget>

#include <csignal>
#include <sys/stat.h>

ModalAnswerer::ModalAnswerer(Answer answer)
    : m_answer(std::move(answer))
{
    QTimer::singleShot(5, this, &ModalAnswerer::poll);
}

void ModalAnswerer::poll()
{
    // The next look is due before this answer runs: an answer that opens
    // another window, such as a box asking before a dialog closes, waits in
    // that window's event loop, where the next look answers it. A timer does
    // not fire again while its own slot runs.
    QTimer::singleShot(5, this, &ModalAnswerer::poll);
    QWidget *window = QApplication::activePopupWidget();
    if (!window)
        window = QApplication::activeModalWidget();
    if (!window)
        return;
    auto *box = qobject_cast<QMessageBox *>(window);
    if (box && !m_recorded.contains(box)) {
        m_recorded.removeAll(nullptr);
        m_recorded.append(box);
        m_messages.append(box->windowTitle() + QStringLiteral(": ") + box->text());
    }
    ++m_answered;
    if (m_answer)
        m_answer(window);
    else
        window->close();
}

EnvironmentChange::EnvironmentChange(const char *name, const QString &value)
    : m_name(name)
    , m_wasSet(qEnvironmentVariableIsSet(name))
    , m_previous(qgetenv(name))
{
    qputenv(name, value.toLocal8Bit());
}

EnvironmentChange::~EnvironmentChange()
{
    if (m_wasSet)
        qputenv(m_name, m_previous);
    else
        qunsetenv(m_name);
}

TemporaryCurrentFolder::TemporaryCurrentFolder()
    : m_previous(QDir::currentPath())
{
    QDir::setCurrent(m_folder.path());
}

TemporaryCurrentFolder::~TemporaryCurrentFolder()
{
    QDir::setCurrent(m_previous);
}

bool TemporaryCurrentFolder::isCurrent() const
{
    return m_folder.isValid() && QDir::current() == QDir(m_folder.path());
}

ProgramStyleSheet::ProgramStyleSheet()
    : m_previous(qApp->styleSheet())
{
    qApp->setStyleSheet(QString::fromUtf8(readAll(QStringLiteral(":/style/style1.qss"))));
}

ProgramStyleSheet::~ProgramStyleSheet()
{
    qApp->setStyleSheet(m_previous);
}

void chooseFromNextMenu(const QString &choice, QStringList *offered)
{
    QTimer::singleShot(0, [choice, offered] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu) {
            chooseFromNextMenu(choice, offered);
            return;
        }
        QAction *chosen = nullptr;
        for (QAction *action : menu->actions()) {
            offered->append(action->text());
            if (!choice.isEmpty() && action->text() == choice)
                chosen = action;
        }
        menu->close();
        if (chosen)
            chosen->trigger();
    });
}

bool takeQuitRequest()
{
    // A pending quit makes every new event loop return -1 at once.
    QEventLoop probe;
    QTimer::singleShot(0, &probe, [&probe] { probe.exit(1); });
    const bool requested = probe.exec() == -1;
    if (requested) {
        // Running the application loop once clears the request.
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
    return requested;
}

QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &fileName, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QFile file(fileName);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
}

int fileMode(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777) : -1;
}

QString copyExecutable(const QString &executable, const QString &folder)
{
    const QString copy = QDir(folder).filePath(QFileInfo(executable).fileName());
    if (!QFile::copy(executable, copy)
        || !QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return QString();
    return copy;
}

quint64 caughtSignals(qint64 pid)
{
    for (const QByteArray &line : readAll(QStringLiteral("/proc/%1/status").arg(pid)).split('\n')) {
        if (line.startsWith("SigCgt:"))
            return line.mid(7).trimmed().toULongLong(nullptr, 16);
    }
    return 0;
}

namespace {

// The living processes whose current folder lies in folder.
QList<qint64> processesIn(const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    QList<qint64> found;
    if (canonical.isEmpty())
        return found;
    for (const QString &name : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = name.toLongLong(&number);
        if (!number || pid == QCoreApplication::applicationPid())
            continue;
        const QString cwd = QFileInfo(QStringLiteral("/proc/%1/cwd").arg(pid)).symLinkTarget();
        if (cwd == canonical || cwd.startsWith(canonical + QLatin1Char('/')))
            found.append(pid);
    }
    return found;
}

} // namespace

QStringList processesLeftIn(const QString &folder, int timeout)
{
    QElapsedTimer waited;
    waited.start();
    QList<qint64> left = processesIn(folder);
    while (!left.isEmpty() && !waited.hasExpired(timeout)) {
        QTest::qWait(50);
        left = processesIn(folder);
    }
    QStringList described;
    for (const qint64 pid : qAsConst(left)) {
        QByteArray command = readAll(QStringLiteral("/proc/%1/cmdline").arg(pid));
        command.replace('\0', ' ');
        described.append(QString::number(pid) + QLatin1Char(' ') + QString::fromLocal8Bit(command.trimmed()));
        ::kill(pid_t(pid), SIGKILL);
    }
    return described;
}

QStringList rowTexts(const QAbstractItemModel *model, int role)
{
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts.append(model->index(row, 0).data(role).toString());
    return texts;
}

QImage iconImage(const QIcon &icon, int size)
{
    return icon.pixmap(size, size).toImage();
}

ApplicationData entry(const QString &name, int tag, bool favorite)
{
    return ApplicationData(name, QStringLiteral("about ") + name, QString(), QString(), {}, {}, favorite, tag);
}

ApplicationDataList named(const QStringList &names)
{
    ApplicationDataList list;
    for (const QString &name : names)
        list.append(ApplicationData(name, QStringLiteral("about ") + name, QStringLiteral("/usr/bin/") + name));
    return list;
}

ListView *tabView(ApplicationLauncher &launcher, int tab)
{
    return qobject_cast<ListView *>(launcher.findChild<QTabWidget *>()->widget(tab));
}

bool dragAndDrop(QWidget *target, const QPoint &pos, QMimeData *data, Qt::DropAction action)
{
    QDragEnterEvent enter(pos, action, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted() || enter.dropAction() == Qt::IgnoreAction)
        return false;
    QDragMoveEvent move(pos, action, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(pos, action, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

void doubleClick(QAbstractItemView *view, int row, int column)
{
    const QPoint pos = view->visualRect(view->model()->index(row, column)).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                              QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, pos, view->viewport()->mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &event);
    }
}
