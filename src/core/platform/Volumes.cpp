#include "platform/Volumes.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace {

// The nearest existing folder or file at or above path; empty when there is none.
QString existingAncestor(const QString& path) {
    QString current = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    while (!QFileInfo::exists(current)) {
        const QString parent = QFileInfo(current).absolutePath();
        if (parent == current)
            return {};
        current = parent;
    }
    return current;
}

} // namespace

QStringList MountedVolumeRoots() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady())
            roots << volume.rootPath();
    roots.sort();
    roots.removeDuplicates();
    return roots;
}

qint64 FreeBytesAt(const QString& nativePath) {
    const QString existing = existingAncestor(nativePath);
    if (existing.isEmpty())
        return -1;
    const QStorageInfo volume(existing);
    if (!volume.isValid() || !volume.isReady())
        return -1;
    return volume.bytesFree();
}
