#pragma once
#include <QPoint>

// When a left press on the shaped window becomes a drag. A press alone never
// does: a window manager asked to move the window on a press that is already
// over waits for a release that never comes, and the window sticks to the
// pointer. The drag starts once the pointer, with the button held, has left
// the press point by the platform's drag distance.
namespace DragStart {

// Press and current points in one coordinate system; a distance below 1
// counts as 1, so the pointer must move at all.
bool shouldStart(QPoint press, QPoint current, int dragDistance);

} // namespace DragStart
