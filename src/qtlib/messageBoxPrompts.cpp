#include "qtlib/messageBoxPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>

MessageBoxPrompts::MessageBoxPrompts(QWidget *window)
    : m_window(window)
{
}

UserPrompts::ChangedFileAnswer MessageBoxPrompts::askAboutChangedFile(const QString &text, const QString &details)
{
    QMessageBox box(QMessageBox::Question, tr("Korvani"), text, QMessageBox::NoButton, m_window);
    box.setInformativeText(details);
    QPushButton *reload = box.addButton(tr("Reload"), QMessageBox::DestructiveRole);
    QPushButton *keepMine = box.addButton(tr("Keep mine"), QMessageBox::AcceptRole);
    box.addButton(tr("Cancel"), QMessageBox::RejectRole);
    box.exec();
    if (box.clickedButton() == reload)
        return ChangedFileAnswer::Reload;
    return box.clickedButton() == keepMine ? ChangedFileAnswer::KeepMine : ChangedFileAnswer::Cancel;
}

bool MessageBoxPrompts::askToQuitUnsaved(const QString &text)
{
    QMessageBox box(QMessageBox::Warning, tr("Korvani"), text, QMessageBox::NoButton, m_window);
    QPushButton *quit = box.addButton(tr("Quit without saving"), QMessageBox::DestructiveRole);
    box.addButton(tr("Cancel"), QMessageBox::RejectRole);
    box.exec();
    return box.clickedButton() == quit;
}

void MessageBoxPrompts::warn(const QString &title, const QString &text)
{
    QMessageBox::warning(m_window, title, text);
}

void MessageBoxPrompts::showError(const QString &title, const QString &text)
{
    QMessageBox::critical(m_window, title, text, QMessageBox::Ok);
}

void MessageBoxPrompts::runBox(QMessageBox *box)
{
    box->exec();
}

QString MessageBoxPrompts::choosePath(QWidget *parent, PathKind kind, const QString &title, const QString &folder,
                                      const QString &filter)
{
    if (kind == PathKind::Folder)
        return QFileDialog::getExistingDirectory(parent, title, folder, QFileDialog::ShowDirsOnly);
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

bool MessageBoxPrompts::hasSystemTray()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void MessageBoxPrompts::showTrayMessage(QSystemTrayIcon *icon, const QString &title, const QString &text)
{
    icon->showMessage(title, text);
}

bool MessageBoxPrompts::isBusy()
{
    return QApplication::activeModalWidget() || QApplication::activePopupWidget();
}
