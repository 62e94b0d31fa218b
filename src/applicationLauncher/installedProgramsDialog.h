#ifndef KORVANI_INSTALLEDPROGRAMSDIALOG_H
#define KORVANI_INSTALLEDPROGRAMSDIALOG_H

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QListView;
class QPushButton;
class InstalledProgramsModel;
class QSortFilterProxyModel;

// Lists the programs the desktop offers, with their icons, names and
// comments, narrowed by what is typed into its filter field; the user picks
// one or several. The list is the desktop entry index's, which is read anew
// meanwhile for programs installed or removed since.
class InstalledProgramsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit InstalledProgramsDialog(QWidget *parent = nullptr);

    // The desktop entries of the chosen programs, in the order of the list.
    QStringList chosenFiles() const;

protected:
    // Up, Down and the page keys in the filter field move through the list.
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void applyFilter(const QString &text);
    void updateAddButton();

private:
    QLineEdit *m_filter;
    QListView *m_list;
    InstalledProgramsModel *m_programs;
    QSortFilterProxyModel *m_proxy;
    QPushButton *m_add;
};

#endif
