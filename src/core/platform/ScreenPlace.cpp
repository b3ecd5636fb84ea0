#include "platform/ScreenPlace.h"

#include <algorithm>

QRect CentredOver(QSize frame, const QRect& owner, const QRect& screen) {
    QRect placed(QPoint(0, 0), frame);
    placed.moveCenter(owner.isValid() ? owner.center() : screen.center());
    // Left and top last: a frame larger than the screen keeps its title bar's start on it.
    placed.moveRight(std::min(placed.right(), screen.right()));
    placed.moveBottom(std::min(placed.bottom(), screen.bottom()));
    placed.moveLeft(std::max(placed.left(), screen.left()));
    placed.moveTop(std::max(placed.top(), screen.top()));
    return placed;
}
