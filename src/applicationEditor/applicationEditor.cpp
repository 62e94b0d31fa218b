#include "applicationEditor/applicationEditor.h"

#include "applicationEditor/templateDatabase.h"
#include "platform/desktopEntryIndex.h"
#include "platform/fileAccess.h"
#include "platform/platform.h"
#include "qtlib/pathLineEdit.h"
#include "variableEditor/variableEditor.h"

#include <QCheckBox>
#include <QDir>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QTextEdit>
#include <QVBoxLayout>

ApplicationEditor::ApplicationEditor(const QString &templateFolder, UserPrompts *prompts, QWidget *parent)
    : QDialog(parent)
    , m_templateFolder(templateFolder)
    , m_nameEdit(new QLineEdit(this))
    , m_descriptionEdit(new QLineEdit(this))
    , m_pathEdit(PathLineEditButton::createApplicationButton(prompts, this))
    , m_preScriptEdit(new QTextEdit(this))
    , m_favoriteCheckBox(new QCheckBox(this))
    , m_argumentsEditor(new VariableEditor(prompts, this))
    , m_environmentsEditor(new VariableEditor(prompts, this))
{
    resize(640, 640);
    // The fields scroll when the screen is too small for them; Save and Close
    // stay in sight below them.
    auto *layout = new QVBoxLayout(this);
    auto *scrollArea = new QScrollArea(this);
    scrollArea->setWidgetResizable(true);
    scrollArea->setFrameShape(QFrame::NoFrame);
    // It scrolls to the field that takes the keyboard; it takes none itself.
    scrollArea->setFocusPolicy(Qt::NoFocus);
    auto *fields = new QWidget(scrollArea);
    auto *form = new QFormLayout(fields);
    form->setContentsMargins(0, 0, 0, 0);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    scrollArea->setWidget(fields);
    layout->addWidget(scrollArea);

    auto *nameRow = new QHBoxLayout;
    nameRow->setContentsMargins(0, 0, 0, 0);
    nameRow->addWidget(m_nameEdit);
    // The style sheet draws this box as a star.
    m_favoriteCheckBox->setObjectName(QStringLiteral("FavoriteCheckBox"));
    nameRow->addWidget(m_favoriteCheckBox);
    form->addRow(tr("Name"), nameRow);
    form->addRow(tr("Description"), m_descriptionEdit);
    connect(m_pathEdit, &PathLineEditButton::editingFinished, this, &ApplicationEditor::nameFromProgram);
    connect(m_pathEdit, &PathLineEditButton::editingFinished, this, &ApplicationEditor::updateDB);
    form->addRow(tr("Path"), m_pathEdit);
    m_preScriptEdit->setAcceptRichText(false);
    // Tab moves on to the next field, as everywhere in the dialog; Ctrl+Tab
    // writes a tab.
    m_preScriptEdit->setTabChangesFocus(true);
    m_preScriptEdit->installEventFilter(this);
    form->addRow(tr("Pre Script"), m_preScriptEdit);
    form->addRow(m_argumentsEditor);
    form->addRow(m_environmentsEditor);

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    auto *save = new QPushButton(tr("Save"), this);
    save->setDefault(true);
    connect(save, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(save);
    auto *close = new QPushButton(tr("Close"), this);
    connect(close, &QPushButton::clicked, this, &ApplicationEditor::reject);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    // Tab follows the fields as they stand, the star beside the name.
    setTabOrder(m_nameEdit, m_favoriteCheckBox);
    setTabOrder(m_favoriteCheckBox, m_descriptionEdit);
    setTabOrder(m_descriptionEdit, m_pathEdit);

    // A chosen program is named after its desktop entry: the entries are read
    // off the GUI thread, from now on if no card has started it yet.
    DesktopEntryIndex::instance()->isReady();
}

void ApplicationEditor::setVisible(bool visible)
{
    if (visible && !isVisible())
        fitIntoScreen();
    QDialog::setVisible(visible);
}

void ApplicationEditor::fitIntoScreen()
{
    const QWidget *anchor = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen *screen = anchor && anchor->screen() ? anchor->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The window manager's frame is not known before the window shows.
    const QSize frame(16, 48);
    resize(size().boundedTo(screen->availableGeometry().size() - frame));
}

bool ApplicationEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_preScriptEdit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier) {
            m_preScriptEdit->insertPlainText(QStringLiteral("\t"));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ApplicationEditor::setApplicationData(const ApplicationData &application)
{
    m_nameEdit->setText(application.name());
    m_descriptionEdit->setText(application.description());
    m_pathEdit->setText(application.path());
    m_preScriptEdit->setPlainText(application.preScript());
    m_favoriteCheckBox->setChecked(application.favorite());
    m_argumentsEditor->setVariables(application.arguments());
    m_environmentsEditor->setVariables(application.environments());
    m_tag = application.tag();
    m_filledWith = applicationData().toJsonObject();
    updateDB();
}

bool ApplicationEditor::isModified() const
{
    return applicationData().toJsonObject() != m_filledWith;
}

void ApplicationEditor::reject()
{
    if (!isModified()) {
        QDialog::reject();
        return;
    }
    QMessageBox box(QMessageBox::Question, tr("Korvani"), tr("Save the changes to this entry?"), QMessageBox::NoButton,
                    this);
    QPushButton *save = box.addButton(tr("Save"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(tr("Discard"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(tr("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        accept();
    else if (box.clickedButton() == discard)
        QDialog::reject();
}

void ApplicationEditor::nameFromProgram()
{
    const QString name = m_nameEdit->text();
    const QString program = Platform::programName(m_pathEdit->text());
    if ((name.isEmpty() || name == newEntryName) && !program.isEmpty())
        m_nameEdit->setText(program);
}

ApplicationData ApplicationEditor::applicationData() const
{
    return ApplicationData(m_nameEdit->text(), m_descriptionEdit->text(), m_pathEdit->text(),
                           m_preScriptEdit->toPlainText(), m_argumentsEditor->variables(),
                           m_environmentsEditor->variables(), m_favoriteCheckBox->isChecked(), m_tag);
}

void ApplicationEditor::updateDB()
{
    const ProgramTemplate found = findTemplate(m_pathEdit->text(), m_templateFolder);
    QString name = found.name;
    const QFileInfo file(found.filePath);
    const bool readable = Platform::isReadableSettingsFile(found.filePath);
    if (file.exists() && !readable)
        qWarning("%s",
                 qPrintable(tr("The template %1 is not read: it is not a regular file of at most 1 MiB.")
                                .arg(QDir::toNativeSeparators(file.absoluteFilePath()))));
    if (readable) {
        QSettings settings(found.filePath, QSettings::IniFormat);
        m_argumentsEditor->setTypes(readVariableTypes(&settings, QStringLiteral("arguments")));
        m_environmentsEditor->setTypes(readVariableTypes(&settings, QStringLiteral("environments")));
    } else {
        name = tr("Manual");
    }
    m_argumentsEditor->setTitle(tr("Arguments") + QStringLiteral(" ( ") + name + QStringLiteral(" )"));
    m_environmentsEditor->setTitle(tr("Environments") + QStringLiteral(" ( ") + name + QStringLiteral(" )"));
}
