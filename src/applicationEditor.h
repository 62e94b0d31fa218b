#ifndef KORVANI_APPLICATIONEDITOR_H
#define KORVANI_APPLICATIONEDITOR_H

#include "records.h"
#include "variableEditor.h"

#include <QDialog>

class PathLineEditButton;
class QCheckBox;
class QLineEdit;
class QSettings;
class QTextEdit;

// The template of a program: its name (empty when none fits) and the file
// that would hold it, which need not exist.
struct ProgramTemplate
{
    QString name;
    QString filePath;
};

// Finds the template whose name occurs, ignoring case and with wildcards, in
// the program's absolute path; the first in name order wins.
ProgramTemplate findTemplate(const QString &programPath, const QString &folder);

// Reads a template value: a type code, and for a choice its items.
VariableType parseVariableType(const QString &value);

// The type table of one section ("arguments" or "environments") of a template.
VariableTypeHash readVariableTypes(QSettings *settings, const QString &group);

// The dialog in which the user edits one launcher entry.
class ApplicationEditor : public QDialog
{
    Q_OBJECT

public:
    explicit ApplicationEditor(QWidget *parent = nullptr);

    void setApplicationData(const ApplicationData &application);
    ApplicationData applicationData() const;

public slots:
    void updateDB();

private:
    QLineEdit *m_nameEdit;
    QLineEdit *m_descriptionEdit;
    PathLineEditButton *m_pathEdit;
    QTextEdit *m_preScriptEdit;
    QCheckBox *m_favoriteCheckBox;
    VariableEditor *m_argumentsEditor;
    VariableEditor *m_environmentsEditor;
    int m_tag = 0;
};

#endif
