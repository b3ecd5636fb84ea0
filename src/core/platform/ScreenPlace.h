#pragma once

#include <QRect>

// Where a dialog goes, in the screens' coordinates (a window's frame, title bar included,
// as the window system places it).

// A frame of this size centred over the owner's frame (over the screen when the owner is an
// empty rectangle), then moved to lie wholly on the screen, so its title bar can always be
// reached; one larger than the screen keeps its top left corner on it.
QRect CentredOver(QSize frame, const QRect& owner, const QRect& screen);
