#pragma once

#include <QList>
#include <QRect>

// Where a dialog goes, in the screens' coordinates (a window's frame, title bar included,
// as the window system places it).

// A frame of this size centred over the owner's frame (over the screen when the owner is an
// empty rectangle), then moved to lie wholly on the screen, so its title bar can always be
// reached; one larger than the screen keeps its top left corner on it.
QRect CentredOver(QSize frame, const QRect& owner, const QRect& screen);

// Whether a window of this place may be shown where it stands: it is not empty, and some
// screen's available area holds its size and at least half of it. A place stored by an
// earlier run is taken only then; one larger than every screen would make a window too
// large to draw, one off them all a window nobody sees.
bool FitsAScreen(const QRect& window, const QList<QRect>& screens);
