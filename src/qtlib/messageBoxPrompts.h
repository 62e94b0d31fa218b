#ifndef KORVANI_MESSAGEBOXPROMPTS_H
#define KORVANI_MESSAGEBOXPROMPTS_H

#include "qtlib/userPrompts.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

// The questions and messages as the program shows them: message boxes and
// file dialogs over its window, and the tray icon's own messages.
class MessageBoxPrompts : public UserPrompts
{
    Q_DECLARE_TR_FUNCTIONS(MessageBoxPrompts)

public:
    // Boxes open over window, once it is set.
    explicit MessageBoxPrompts(QWidget *window = nullptr);
    void setWindow(QWidget *window) { m_window = window; }

    ChangedFileAnswer askAboutChangedFile(const QString &text, const QString &details) override;
    bool askToQuitUnsaved(const QString &text) override;
    void warn(const QString &title, const QString &text) override;
    void showError(const QString &title, const QString &text) override;
    void runBox(QMessageBox *box) override;
    QString choosePath(QWidget *parent, PathKind kind, const QString &title, const QString &folder,
                       const QString &filter) override;
    bool hasSystemTray() override;
    void showTrayMessage(QSystemTrayIcon *icon, const QString &title, const QString &text) override;
    bool isBusy() override;

private:
    QPointer<QWidget> m_window;
};

#endif
