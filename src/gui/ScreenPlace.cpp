#include "gui/ScreenPlace.h"

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

bool FitsAScreen(const QRect& window, const QList<QRect>& screens) {
    // In 64 bits: a stored rectangle may span the whole range of int.
    const auto span = [](int first, int last) { return qint64(last) - first + 1; };
    const auto overlap = [](int first, int last, int from, int to) {
        return std::max<qint64>(0, qint64(std::min(last, to)) - std::max(first, from) + 1);
    };
    const qint64 width = span(window.left(), window.right());
    const qint64 height = span(window.top(), window.bottom());
    if (width <= 0 || height <= 0)
        return false;
    for (const QRect& screen : screens) {
        if (width > span(screen.left(), screen.right()) ||
            height > span(screen.top(), screen.bottom()))
            continue;
        const qint64 shown = overlap(window.left(), window.right(), screen.left(), screen.right()) *
                             overlap(window.top(), window.bottom(), screen.top(), screen.bottom());
        if (2 * shown >= width * height)
            return true;
    }
    return false;
}
