#include "applicationLauncher/programImport.h"

#include "applicationLauncher/installedProgramsDialog.h"
#include "document/launcherModel.h"
#include "platform/desktopIconLookup.h"
#include "platform/droppedProgram.h"
#include "platform/programIconEngine.h"
#include "qtlib/userPrompts.h"
#include "records/batchScript.h"

#include <QDir>
#include <QFileInfo>

ProgramImport::ProgramImport(LauncherDataModel *model, UserPrompts *prompts, QWidget *parent)
    : QObject(parent)
    , m_model(model)
    , m_prompts(prompts)
    , m_dialogParent(parent)
{
}

void ProgramImport::addFiles(const QStringList &filePaths)
{
    ApplicationDataList added;
    QStringList refused;
    for (const QString &filePath : filePaths) {
        if (QFileInfo(filePath).isDir())
            continue;
        ApplicationData application;
        QString error;
        if (entryFor(filePath, &application, &error))
            added.append(application);
        else
            refused.append(tr("%1 was not added: %2").arg(QDir::toNativeSeparators(filePath), error));
    }
    m_model->insertApplications(m_model->rowCount(), added);
    if (!refused.isEmpty())
        m_prompts->warn(tr("Error"), refused.join(QLatin1Char('\n')));
}

void ProgramImport::addInstalledPrograms()
{
    InstalledProgramsDialog dialog(m_dialogParent);
    if (dialog.exec() == QDialog::Accepted)
        addFiles(dialog.chosenFiles());
}

bool ProgramImport::entryFor(const QString &filePath, ApplicationData *application, QString *error) const
{
    const Platform::DroppedProgram program = Platform::droppedProgram(filePath);
    if (!program.error.isEmpty()) {
        *error = program.error;
        return false;
    }
    // The entry must start exactly the program and words the file names:
    // nothing of them may turn into commands of the batch file.
    if (!fitsBatchProgramPath(program.path)) {
        *error = tr("Its program cannot be written into a batch file.");
        return false;
    }
    VariableDataList arguments;
    for (const QString &word : program.arguments) {
        if (!fitsBatchLine(word)) {
            *error = tr("Its command holds a line break or another control character.");
            return false;
        }
        arguments.append(VariableData(batchArgument(word)));
    }
    // An entry run in a terminal starts the terminal, whose icon is its own.
    if (!program.icon.isEmpty() && !program.terminal)
        ProgramIconEngine::remember(program.path, DesktopIconLookup::namedIcon(program.icon));
    *application = ApplicationData(program.name, program.comment, program.path, QString(), arguments);
    return true;
}
