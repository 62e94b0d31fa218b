#include "applicationLauncher/filterField.h"

#include "applicationLauncher/launcherFilterProxyModel.h"

#include <QKeyEvent>

FilterField::FilterField(QWidget *parent)
    : QLineEdit(parent)
{
    hide();
    connect(this, &QLineEdit::textChanged, this, &FilterField::applyFilter);
}

LauncherFilterProxyModel *FilterField::addStage(QAbstractItemModel *source)
{
    auto *stage = new LauncherFilterProxyModel(this);
    stage->setSourceModel(source);
    stage->setFilterWords(text());
    m_stages.append(stage);
    return stage;
}

void FilterField::typeText(const QString &text)
{
    show();
    setFocus();
    insert(text);
}

void FilterField::dismiss()
{
    clear();
}

void FilterField::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        dismiss();
        break;
    case Qt::Key_Up:
        emit stepRequested(-1);
        break;
    case Qt::Key_Down:
        emit stepRequested(1);
        break;
    // The line edit would pass Enter on to the launcher as well, which would
    // launch the card twice.
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit launchRequested();
        break;
    default:
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
}

void FilterField::applyFilter(const QString &text)
{
    for (LauncherFilterProxyModel *stage : qAsConst(m_stages))
        stage->setFilterWords(text);
    if (!text.isEmpty() || isHidden())
        return;
    // The keys go back to the launcher, which opens the field again.
    if (hasFocus() && parentWidget())
        parentWidget()->setFocus();
    hide();
}
