#pragma once

#include <QStringList>

// The root folders of the mounted volumes that are ready, sorted by their paths, so that
// the search for the player visits them in a stable order.
QStringList MountedVolumeRoots();
