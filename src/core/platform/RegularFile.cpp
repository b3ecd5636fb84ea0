#include "platform/RegularFile.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

QString OpenRegularFile(QFile& file, const QString& path) {
    file.close();
    const QString notRegular = QStringLiteral("not a regular file");
#ifdef Q_OS_UNIX
    // O_NONBLOCK keeps the open of a FIFO from waiting; the type is then taken from the
    // descriptor itself, so nothing can be swapped in between the test and the reads.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return qt_error_string(errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return notRegular;
    }
#ifndef Q_OS_LINUX
    // Linux ignores O_NONBLOCK on regular files; elsewhere it is taken back for the reads.
    if (const int flags = ::fcntl(fd, F_GETFL); flags != -1)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
#endif
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return file.errorString();
    }
#else
    if (QFileInfo::exists(path) && !QFileInfo(path).isFile())
        return notRegular;
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return file.errorString();
#endif
    return {};
}
