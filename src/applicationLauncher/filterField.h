#ifndef KORVANI_FILTERFIELD_H
#define KORVANI_FILTERFIELD_H

#include <QLineEdit>
#include <QList>

class LauncherFilterProxyModel;
class QAbstractItemModel;

// The field of type to find. It is shown while it holds a filter, and what it
// holds filters the cards of every tab through one filter stage per tab, so
// that switching tabs keeps the filter.
// Escape clears and closes it; Up, Down and Enter ask the launcher to move
// through the cards and to launch one.
class FilterField : public QLineEdit
{
    Q_OBJECT

public:
    explicit FilterField(QWidget *parent = nullptr);

    // A filter stage over a tab's model, following this field from now on.
    LauncherFilterProxyModel *addStage(QAbstractItemModel *source);

signals:
    void stepRequested(int step);
    void launchRequested();

public slots:
    // Opens the field with the text typed so far.
    void typeText(const QString &text);
    // Clears the filter, which closes the field.
    void dismiss();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void applyFilter(const QString &text);

private:
    QList<LauncherFilterProxyModel *> m_stages;
};

#endif
