#include "applicationLauncher/installedProgramsDialog.h"

#include "applicationLauncher/installedProgramsModel.h"
#include "platform/desktopEntryIndex.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QVBoxLayout>

#include <algorithm>

InstalledProgramsDialog::InstalledProgramsDialog(QWidget *parent)
    : QDialog(parent)
    , m_filter(new QLineEdit(this))
    , m_list(new QListView(this))
    , m_programs(new InstalledProgramsModel(DesktopEntryIndex::instance()->installedPrograms(), this))
    , m_proxy(new QSortFilterProxyModel(this))
{
    setWindowTitle(tr("Add Installed Programs"));
    resize(420, 520);
    auto *layout = new QVBoxLayout(this);

    m_filter->setPlaceholderText(tr("Filter"));
    m_filter->installEventFilter(this);
    connect(m_filter, &QLineEdit::textChanged, this, &InstalledProgramsDialog::applyFilter);
    layout->addWidget(m_filter);

    m_proxy->setSourceModel(m_programs);
    m_proxy->setFilterRole(InstalledProgramsModel::SearchRole);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_list->setModel(m_proxy);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setIconSize(QSize(32, 32));
    // Every row has the same size: the list need not measure thousands.
    m_list->setUniformItemSizes(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(m_list, &QAbstractItemView::doubleClicked, this, &QDialog::accept);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &InstalledProgramsDialog::updateAddButton);
    layout->addWidget(m_list);

    auto *buttons = new QDialogButtonBox(this);
    m_add = buttons->addButton(tr("Add"), QDialogButtonBox::AcceptRole);
    m_add->setDefault(true);
    buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    m_filter->setFocus();
    applyFilter(QString());

    DesktopEntryIndex *index = DesktopEntryIndex::instance();
    connect(index, &DesktopEntryIndex::ready, this, [this, index] {
        // Unchanged, the list stays as the user is choosing from it.
        if (index->installedPrograms() == m_programs->programs())
            return;
        m_programs->setPrograms(index->installedPrograms());
        applyFilter(m_filter->text());
    });
    if (index->isReady())
        index->refresh();
}

QStringList InstalledProgramsDialog::chosenFiles() const
{
    QModelIndexList chosen = m_list->selectionModel()->selectedRows();
    std::sort(chosen.begin(), chosen.end());
    QStringList files;
    for (const QModelIndex &index : qAsConst(chosen))
        files.append(index.data(InstalledProgramsModel::FilePathRole).toString());
    return files;
}

bool InstalledProgramsDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(m_list, event);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void InstalledProgramsDialog::applyFilter(const QString &text)
{
    m_proxy->setFilterFixedString(text);
    // What matches first is chosen, so that Enter adds it.
    if (!m_list->selectionModel()->hasSelection() && m_proxy->rowCount() > 0)
        m_list->setCurrentIndex(m_proxy->index(0, 0));
    updateAddButton();
}

void InstalledProgramsDialog::updateAddButton()
{
    m_add->setEnabled(m_list->selectionModel()->hasSelection());
}
