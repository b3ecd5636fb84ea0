#include "platform/DiskFlush.h"

#include <QFile>
#include <QSet>
#include <chrono>
#include <deque>
#include <future>

#ifdef Q_OS_UNIX
#include "platform/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
// One file system: its pending writes to the disk. 0, or the error.
int flushFileSystemOf(int folder) {
#ifdef Q_OS_LINUX
    return ::syncfs(folder) == 0 ? 0 : errno;
#else
    // No flush of one file system here: the folder's own entries, and everything else.
    (void)::fsync(folder);
    ::sync();
    return 0;
#endif
}
#endif

} // namespace

QString FlushFileSystems(const QStringList& nativeFolders,
                         const std::function<void()>& whileWaiting) {
#ifdef Q_OS_UNIX
    std::deque<Descriptor> folders; // one a file system
    QSet<dev_t> seen;
    for (const QString& folder : nativeFolders) {
        Descriptor& fd = folders.emplace_back(
            ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        struct stat info {};
        // A folder that is gone holds nothing to flush.
        if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || seen.contains(info.st_dev)) {
            folders.pop_back();
            continue;
        }
        seen.insert(info.st_dev);
    }
    if (folders.empty())
        return {};
    // The flush blocks until the disk has it all; the window keeps turning meanwhile. The
    // worker touches nothing but the descriptors it is given.
    std::future<int> flushed = std::async(std::launch::async, [&folders] {
        int first = 0;
        for (const Descriptor& folder : folders)
            if (const int error = flushFileSystemOf(folder.get()); error != 0 && first == 0)
                first = error;
        return first;
    });
    while (flushed.wait_for(std::chrono::milliseconds(15)) != std::future_status::ready)
        if (whileWaiting)
            whileWaiting();
    const int error = flushed.get();
    return error == 0 ? QString() : qt_error_string(error);
#else
    Q_UNUSED(nativeFolders);
    Q_UNUSED(whileWaiting);
    return {};
#endif
}
