#include "platform/Volumes.h"

#include <QStorageInfo>

QStringList MountedVolumeRoots() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady())
            roots << volume.rootPath();
    roots.sort();
    roots.removeDuplicates();
    return roots;
}
