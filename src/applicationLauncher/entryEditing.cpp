#include "applicationLauncher/entryEditing.h"

#include "applicationEditor/applicationEditor.h"
#include "document/launcherModel.h"

#include <QPersistentModelIndex>

EntryEditing::EntryEditing(LauncherDataModel *model, const QString &templateFolder, UserPrompts *prompts,
                           QWidget *parent)
    : QObject(parent)
    , m_model(model)
    , m_templateFolder(templateFolder)
    , m_prompts(prompts)
    , m_dialogParent(parent)
{
}

void EntryEditing::edit(const QModelIndex &index)
{
    const QModelIndex entry = LauncherDataModel::sourceIndex(index);
    if (entry.model() == m_model)
        runEditor(entry);
}

QModelIndex EntryEditing::add(int tag, bool favorite)
{
    const int row = m_model->rowCount();
    m_model->insertApplications(
        row, {ApplicationData(newEntryName, QString(), QString(), QString(), {}, {}, favorite, tag)});
    // The new entry must survive changes to the list while the editor is open.
    const QPersistentModelIndex entry = m_model->index(row);
    if (runEditor(entry))
        return entry;
    if (entry.isValid())
        m_model->removeRow(entry.row());
    return QModelIndex();
}

bool EntryEditing::runEditor(const QModelIndex &index)
{
    // The index must survive the editor's own event loop.
    const QPersistentModelIndex entry(index);
    ApplicationEditor editor(m_templateFolder, m_prompts, m_dialogParent);
    editor.setApplicationData(entry.data(LauncherDataModel::ApplicationDataRole).value<ApplicationData>());
    if (editor.exec() != QDialog::Accepted || !entry.isValid())
        return false;
    // Saved unchanged, the entry is left as it is and the list not edited.
    if (editor.isModified())
        m_model->setData(entry, QVariant::fromValue(editor.applicationData()), LauncherDataModel::ApplicationDataRole);
    return true;
}
