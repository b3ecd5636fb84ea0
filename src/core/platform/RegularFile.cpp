#include "platform/RegularFile.h"

#include <QFileInfo>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_UNIX
int RenameWithoutReplacing(const QByteArray& from, const QByteArray& to) {
#ifdef Q_OS_LINUX
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return errno;
#endif
    // Without that rename a new link does the same: it fails where a file is.
    if (::link(from.constData(), to.constData()) == 0) {
        (void)::unlink(from.constData()); // where it stays, a second name of the same file
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
        return errno;
    // A disk without links either: one last look, then the rename.
    struct stat there {};
    if (::lstat(to.constData(), &there) == 0)
        return EEXIST;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}
#endif

int RenameWithoutReplacing(const QString& from, const QString& to) {
#ifdef Q_OS_UNIX
    return RenameWithoutReplacing(QFile::encodeName(from), QFile::encodeName(to));
#else
    if (QFileInfo::exists(to))
        return EEXIST;
    return QFile::rename(from, to) ? 0 : EIO; // QFile::rename never replaces
#endif
}

#ifdef Q_OS_UNIX
namespace {
void takeFacts(const struct stat& info, RegularFileFacts& facts) {
    facts.Size = info.st_size;
#ifdef Q_OS_MACOS
    facts.ModifiedSeconds = info.st_mtimespec.tv_sec;
    facts.ModifiedNanoseconds = info.st_mtimespec.tv_nsec;
#else
    facts.ModifiedSeconds = info.st_mtim.tv_sec;
    facts.ModifiedNanoseconds = info.st_mtim.tv_nsec;
#endif
}
} // namespace

void Descriptor::reset(int fd) {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
}

QString OpenRegularFile(Descriptor& file, const QString& path, RegularFileFacts* facts,
                        Links links) {
    // O_NONBLOCK keeps the open of a FIFO from waiting; the type is then taken from the
    // descriptor itself, so nothing can be swapped in between the test and the reads.
    const int noLinks = links == Links::Refuse ? O_NOFOLLOW : 0;
    file.reset(::open(QFile::encodeName(path).constData(),
                      O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | noLinks));
    if (file.get() < 0) {
        const int error = errno;
        // FreeBSD says EMLINK where Linux and macOS say ELOOP.
        if (facts && noLinks && (error == ELOOP || error == EMLINK))
            facts->Link = true;
        return qt_error_string(error);
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        file.reset();
        return QStringLiteral("not a regular file");
    }
    if (facts)
        takeFacts(info, *facts);
#ifndef Q_OS_LINUX
    // Linux ignores O_NONBLOCK on regular files; elsewhere it is taken back for the reads.
    if (const int flags = ::fcntl(file.get(), F_GETFL); flags != -1)
        ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK);
#endif
    return {};
}
#endif

QString OpenRegularFile(QFile& file, const QString& path, RegularFileFacts* facts, Links links) {
    file.close();
#ifdef Q_OS_UNIX
    Descriptor fd;
    if (QString failure = OpenRegularFile(fd, path, facts, links); !failure.isEmpty())
        return failure;
    if (!file.open(fd.get(), QIODevice::ReadOnly | QIODevice::Unbuffered,
                   QFileDevice::AutoCloseHandle))
        return file.errorString();
    fd.release(); // the QFile closes it now
#else
    if (links == Links::Refuse && QFileInfo(path).isSymLink()) {
        if (facts)
            facts->Link = true;
        return QStringLiteral("a link");
    }
    if (QFileInfo::exists(path) && !QFileInfo(path).isFile())
        return QStringLiteral("not a regular file");
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (facts) {
        const qint64 modified =
            file.fileTime(QFileDevice::FileModificationTime).toMSecsSinceEpoch();
        *facts = {file.size(), modified / 1000, static_cast<long>(modified % 1000) * 1000000};
    }
#endif
    return {};
}

bool RegularFileAt(const QString& path, RegularFileFacts& facts, Links links) {
#ifdef Q_OS_UNIX
    struct stat info {};
    const QByteArray name = QFile::encodeName(path);
    if ((links == Links::Refuse ? ::lstat(name.constData(), &info)
                                : ::stat(name.constData(), &info)) != 0)
        return false;
    facts.Link = S_ISLNK(info.st_mode);
    if (!S_ISREG(info.st_mode))
        return false;
    takeFacts(info, facts);
    return true;
#else
    const QFileInfo file(path);
    facts.Link = links == Links::Refuse && file.isSymLink();
    if (facts.Link || !file.isFile())
        return false;
    const qint64 modified = file.fileTime(QFileDevice::FileModificationTime).toMSecsSinceEpoch();
    facts = {file.size(), modified / 1000, static_cast<long>(modified % 1000) * 1000000, false};
    return true;
#endif
}
