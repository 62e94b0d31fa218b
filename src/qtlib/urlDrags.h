#ifndef KORVANI_URLDRAGS_H
#define KORVANI_URLDRAGS_H

class QDragMoveEvent;

// Accepts a drag that carries URLs and refuses any other, as every drop target
// of the program does.
void acceptUrlDrags(QDragMoveEvent *event);

#endif
