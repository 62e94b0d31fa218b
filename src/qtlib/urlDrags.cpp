#include "qtlib/urlDrags.h"

#include <QDragMoveEvent>
#include <QMimeData>

void acceptUrlDrags(QDragMoveEvent *event)
{
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    } else {
        event->setDropAction(Qt::IgnoreAction);
        event->accept();
    }
}
