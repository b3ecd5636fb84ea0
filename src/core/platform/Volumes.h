#pragma once

#include <QStringList>

// The root folders of the mounted volumes that are ready, sorted by their paths, so that
// the search for the player visits them in a stable order.
QStringList MountedVolumeRoots();

// The free bytes of the volume holding nativePath (all of them, not only those available to
// this user); a path that does not exist yet counts for its nearest existing parent folder.
// -1 when they cannot be known (no such volume, or one not ready).
qint64 FreeBytesAt(const QString& nativePath);
