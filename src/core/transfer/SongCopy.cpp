#include "transfer/SongCopy.h"

#include "platform/PlayerPath.h"
#include "platform/ProcessTable.h"
#include "platform/RegularFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr qint64 kChunk = qint64(8) << 20;

// Removes the temporary file unless the copy got as far as renaming it.
struct TemporaryFile {
    QFile file;
    bool keep = false;
    ~TemporaryFile() {
        if (!keep && !file.fileName().isEmpty()) {
            file.close();
            file.remove();
        }
    }
};

QString describe(int error) {
    return error == ENOSPC ? QStringLiteral("Disk full")
                           : QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

QString TemporaryPrefix() {
    return QStringLiteral(".melvo-");
}

int RemoveLeftovers(const QString& folder) {
    static const QRegularExpression shape(u'^' + QRegularExpression::escape(TemporaryPrefix()) +
                                          QStringLiteral("(\\d+)-[0-9a-z]+\\.part$"));
    int removed = 0;
    const QStringList names =
        QDir(folder).entryList({TemporaryPrefix() + u'*'}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = shape.match(name);
        if (!match.hasMatch())
            continue;
        // A copy in progress in another running Melvo is left alone; this program's own
        // copies are finished or gone by the time it looks.
        const qint64 pid = match.captured(1).toLongLong();
        if (pid != CurrentProcessId() && ProcessIsRunning(pid))
            continue;
        if (QFile::remove(QDir(folder).filePath(name)))
            ++removed;
    }
    return removed;
}

DestinationState CheckDestination(const QString& path) {
#ifdef Q_OS_UNIX
    // One look at the file and, for a file, one question to the system, where QFileInfo
    // would ask several times.
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::stat(name.constData(), &status) != 0)
        return DestinationState::Absent;
    if (!S_ISREG(status.st_mode))
        return DestinationState::NotAFile;
    return !(status.st_mode & S_IWUSR) || ::access(name.constData(), W_OK) != 0
               ? DestinationState::ReadOnly
               : DestinationState::Replaceable;
#else
    const QFileInfo file(path);
    if (!file.exists())
        return DestinationState::Absent;
    if (!file.isFile())
        return DestinationState::NotAFile;
    return !file.isWritable() || !(file.permissions() & QFileDevice::WriteOwner)
               ? DestinationState::ReadOnly
               : DestinationState::Replaceable;
#endif
}

bool IsReadOnlyFile(const QString& path) {
    return CheckDestination(path) == DestinationState::ReadOnly;
}

qint64 CopyChunk(QFile& in, QFile& out, qint64 most, QString& error) {
#ifdef Q_OS_UNIX
#ifdef Q_OS_LINUX
    // The kernel copies without bringing the bytes through the program, as cp does.
    const ssize_t moved = ::copy_file_range(in.handle(), nullptr, out.handle(), nullptr,
                                            static_cast<size_t>(most), 0);
    if (moved >= 0)
        return moved;
    if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        error = describe(errno);
        return -1;
    }
#endif
    auto buffer = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(most));
    const ssize_t got = ::read(in.handle(), buffer.get(), static_cast<size_t>(most));
    if (got < 0) {
        error = describe(errno);
        return -1;
    }
    for (ssize_t done = 0; done < got;) {
        const ssize_t put =
            ::write(out.handle(), buffer.get() + done, static_cast<size_t>(got - done));
        if (put < 0) {
            error = describe(errno);
            return -1;
        }
        done += put;
    }
    return got;
#else
    auto buffer = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(most));
    const qint64 got = in.read(buffer.get(), most);
    if (got < 0 || (got > 0 && out.write(buffer.get(), got) != got)) {
        error = got < 0 ? in.errorString() : out.errorString();
        return -1;
    }
    return got;
#endif
}

namespace {

// The folder of an absolute path, without asking the file system.
QString folderOf(const QString& path) {
#ifdef Q_OS_WIN
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
#else
    const qsizetype cut = path.lastIndexOf(u'/');
#endif
    return cut > 0 ? path.left(cut) : QFileInfo(path).absolutePath();
}

QString renamed(const QString& from, const QString& to) {
#ifdef Q_OS_UNIX
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return describe(errno);
    return {};
#else
    std::error_code error;
    std::filesystem::rename(FileSystemPath(from), FileSystemPath(to), error);
    return error ? QString::fromStdString(error.message()) : QString();
#endif
}

// The copy itself: the reason of a failure, empty on success; sourceMissing tells the one
// failure the caller may try again elsewhere.
QString copyFile(const QString& source, const QString& destination,
                 std::optional<DestinationState> destinationState,
                 const std::function<void()>& betweenChunks, const ChunkCopier& copier,
                 bool& sourceMissing) {
    QFile in;
    // A FIFO, a device or a folder in a song's place is as good as missing.
    if (const QString failure = OpenRegularFile(in, source); !failure.isEmpty()) {
        sourceMissing = !QFileInfo(source).isFile();
        return sourceMissing ? QStringLiteral("File not found") : failure;
    }
    const DestinationState there = destinationState.value_or(CheckDestination(destination));
    if (there == DestinationState::ReadOnly || there == DestinationState::NotAFile)
        return QStringLiteral("Permission denied");

    TemporaryFile out;
    // A short name of our own: it never makes a long destination name fail, and a run that
    // was killed leaves something the next run can recognise (RemoveLeftovers).
    static const QString process = QString::number(CurrentProcessId());
    const QString folder = folderOf(destination);
    const QString stem = folder + u'/' + TemporaryPrefix() + process + u'-';
    for (int attempt = 0; attempt < 8 && !out.file.isOpen(); ++attempt) {
        out.file.setFileName(stem + QString::number(QRandomGenerator::global()->generate(), 36) +
                             QStringLiteral(".part"));
        if (out.file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            break;
        if (!QFileInfo(folder).isDir()) {
            out.file.setFileName({});
            // A folder whose name the disk refuses is not a missing one.
            std::error_code why;
            (void)std::filesystem::status(FileSystemPath(folder), why);
            return why == std::errc::filename_too_long ? QString::fromStdString(why.message())
                                                       : QStringLiteral("Path not found");
        }
    }
    if (!out.file.isOpen()) {
        const QString reason = out.file.errorString();
        out.file.setFileName({});
        return reason;
    }

    // Size and time from one look at the open file.
#ifdef Q_OS_LINUX
    struct stat status {};
    if (::fstat(in.handle(), &status) != 0)
        return describe(errno);
    qint64 left = status.st_size;
#else
    qint64 left = in.size();
#endif
    do {
        QString reason;
        const qint64 copied = copier(in, out.file, std::clamp<qint64>(left, 1, kChunk), reason);
        if (copied < 0)
            return reason;
        if (copied == 0)
            break;
        left -= copied;
        if (betweenChunks && left > 0)
            betweenChunks();
    } while (left > 0);
    // Every byte the file held when the copy began, or it is no copy of the song.
    if (left > 0)
        return QStringLiteral("The source file was cut short while it was copied");
#ifdef Q_OS_LINUX
    const struct timespec times[2] = {{0, UTIME_OMIT}, status.st_mtim};
    (void)::futimens(out.file.handle(), times); // a copy without its time is still the song
#else
    out.file.setFileTime(in.fileTime(QFileDevice::FileModificationTime),
                         QFileDevice::FileModificationTime);
#endif
    out.file.close();
    // A rename replaces the old file in one step: it is never missing, never half written.
    if (QString failure = renamed(out.file.fileName(), destination); !failure.isEmpty())
        return failure;
    out.keep = true;
    return {};
}

} // namespace

namespace {

CopyResult copied(const QString& source, const QString& destination,
                  std::optional<DestinationState> destinationState,
                  const std::function<void()>& betweenChunks, const ChunkCopier& copier) {
    bool sourceMissing = false;
    QString failure =
        copyFile(source, destination, destinationState, betweenChunks, copier, sourceMissing);
    if (failure.isEmpty())
        return {};
    return {sourceMissing ? CopyResult::Outcome::SourceMissing : CopyResult::Outcome::Failed,
            std::move(failure)};
}

} // namespace

CopyResult CopySongFile(const QString& source, const QString& destination,
                        const std::function<void()>& betweenChunks) {
    return copied(source, destination, {}, betweenChunks, CopyChunk);
}

CopyResult CopySongFile(const QString& source, const QString& destination,
                        DestinationState destinationState,
                        const std::function<void()>& betweenChunks) {
    return copied(source, destination, destinationState, betweenChunks, CopyChunk);
}

CopyResult CopySongFile(const QString& source, const QString& destination,
                        const std::function<void()>& betweenChunks, const ChunkCopier& copier) {
    return copied(source, destination, {}, betweenChunks, copier);
}
