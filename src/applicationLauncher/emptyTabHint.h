#ifndef KORVANI_EMPTYTABHINT_H
#define KORVANI_EMPTYTABHINT_H

#include <QLabel>

class QAbstractItemView;

// A short text centred in a list of cards while it shows none: how to add
// entries, or, while a filter hides every card, that nothing matches.
class EmptyTabHint : public QLabel
{
    Q_OBJECT

public:
    // Lives in the view's viewport and follows its model.
    explicit EmptyTabHint(QAbstractItemView *view);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void refresh();

private:
    QAbstractItemView *m_view;
};

#endif
