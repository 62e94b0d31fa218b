#ifndef KORVANI_PATHLINEEDIT_H
#define KORVANI_PATHLINEEDIT_H

#include <QFileSystemModel>
#include <QLineEdit>

class UserPrompts;

// A line edit for a file-system path: completes from the file system, carries
// the dynamic property "state" ("Acceptable" when the path exists, else
// "Invalid") for the style sheet, and takes the first file dropped onto it.
class PathLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit PathLineEdit(QWidget *parent = nullptr);

public slots:
    virtual void checkState();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};

// Shows every entry as its full native path, so the completer lists whole paths.
class FileSystemModel : public QFileSystemModel
{
public:
    explicit FileSystemModel(QObject *parent = nullptr);
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
};

// A path line edit with a flat browse button.
class PathLineEditButton : public QWidget
{
    Q_OBJECT
    // The value an item delegate reads from and writes to this editor.
    Q_PROPERTY(QString text READ text WRITE setText USER true)

public:
    // Any other value opens no dialog.
    enum DialogMode : int { OpenFile, ExistingDirectory };

    // The browse dialog is asked for through prompts.
    explicit PathLineEditButton(UserPrompts *prompts, QWidget *parent = nullptr);

    static PathLineEditButton *createApplicationButton(UserPrompts *prompts, QWidget *parent);
    static PathLineEditButton *createFileButton(UserPrompts *prompts, QWidget *parent);
    static PathLineEditButton *createDirectoryButton(UserPrompts *prompts, QWidget *parent);

    QString text() const;
    DialogMode dialogMode() const { return m_dialogMode; }

signals:
    void editingFinished();

public slots:
    void setText(const QString &text);
    void setDialogTitle(const QString &title);
    void setDefaultPath(const QString &path);
    void setExtension(const QString &extension);
    void setDialogMode(DialogMode mode);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void emitEditingFinished();
    void showFileDialog();

private:
    UserPrompts *m_prompts;
    PathLineEdit *m_lineEdit;
    QString m_dialogTitle;
    QString m_defaultPath;
    QString m_extension;
    DialogMode m_dialogMode = OpenFile;
};

#endif
