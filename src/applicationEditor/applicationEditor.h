#ifndef KORVANI_APPLICATIONEDITOR_H
#define KORVANI_APPLICATIONEDITOR_H

#include "records/records.h"

#include <QDialog>

class PathLineEditButton;
class QCheckBox;
class QLineEdit;
class QTextEdit;
class UserPrompts;
class VariableEditor;

// The dialog in which the user edits one launcher entry.
class ApplicationEditor : public QDialog
{
    Q_OBJECT

public:
    // Programs' templates are looked up in templateFolder; browse dialogs are
    // asked for through prompts.
    ApplicationEditor(const QString &templateFolder, UserPrompts *prompts, QWidget *parent = nullptr);

    void setApplicationData(const ApplicationData &application);
    ApplicationData applicationData() const;
    // Whether the fields differ from the entry the dialog was filled with.
    bool isModified() const;

    void setVisible(bool visible) override;

public slots:
    void updateDB();
    // Closing with changes asks whether to save them, discard them or go on.
    void reject() override;

private slots:
    void nameFromProgram();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Shrinks the dialog where the screen is smaller than it.
    void fitIntoScreen();

    QString m_templateFolder;
    QJsonObject m_filledWith;
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
