#ifndef KORVANI_PATHEDITOR_H
#define KORVANI_PATHEDITOR_H

#include <QDialog>

class ListView;
class QStandardItemModel;

// Edits a list of folders, such as a PATH value, one folder per row.
class PathEditor : public QDialog
{
    Q_OBJECT

public:
    explicit PathEditor(QWidget *parent = nullptr);

    void setPaths(const QString &text);
    QString paths() const;

public slots:
    void createContextMenu(const QPoint &pos);
    void appendPath(const QString &path = QString());

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    ListView *m_listView;
    QStandardItemModel *m_itemModel;
};

#endif
