#include "DragStart.h"

#include <algorithm>

namespace DragStart {

bool shouldStart(QPoint press, QPoint current, int dragDistance)
{
    return (current - press).manhattanLength() >= std::max(1, dragDistance);
}

} // namespace DragStart
