#pragma once
#include <QPoint>
#include <QRect>
#include <QVector>

// Where a window goes so that the user can reach it: a window with any part
// on a screen (even a corner) stays where it is; one with no part on any
// screen (a saved position on a monitor that is gone) moves onto the
// nearest screen, as far inside it as it fits. No screens: it stays.
QPoint onScreenPosition(const QRect &window, const QVector<QRect> &screens);
