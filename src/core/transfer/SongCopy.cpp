#include "transfer/SongCopy.h"

#include "platform/PlayerPath.h"
#include "platform/ProcessTable.h"
#include "platform/RegularFile.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringBuilder>
#include <QSysInfo>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// A song is copied in pieces of about a twentieth of a second each, so that the window
// turns often enough for Cancel on a slow player and seldom on a fast disk. The first piece
// is small enough for a player read over USB 1.
constexpr qint64 kFirstPiece = qint64(256) << 10;
constexpr qint64 kLargestPiece = qint64(8) << 20;
constexpr qint64 kPieceNanoseconds = 50'000'000;

QString describe(int error) {
    return error == ENOSPC ? QStringLiteral("Disk full")
                           : QString::fromLocal8Bit(std::strerror(error));
}

#ifdef Q_OS_UNIX
qint64 copyPiece(int in, int out, qint64 most, QString& error) {
#ifdef Q_OS_LINUX
    // The kernel copies without bringing the bytes through the program, as cp does.
    const ssize_t moved =
        ::copy_file_range(in, nullptr, out, nullptr, static_cast<size_t>(most), 0);
    if (moved >= 0)
        return moved;
    if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        error = describe(errno);
        return -1;
    }
#endif
    auto buffer = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(most));
    const ssize_t got = ::read(in, buffer.get(), static_cast<size_t>(most));
    if (got < 0) {
        error = describe(errno);
        return -1;
    }
    for (ssize_t done = 0; done < got;) {
        const ssize_t put = ::write(out, buffer.get() + done, static_cast<size_t>(got - done));
        if (put < 0) {
            error = describe(errno);
            return -1;
        }
        done += put;
    }
    return got;
}
#else
qint64 copyPiece(QFile& in, QFile& out, qint64 most, QString& error) {
    auto buffer = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(most));
    const qint64 got = in.read(buffer.get(), most);
    if (got < 0 || (got > 0 && out.write(buffer.get(), got) != got)) {
        error = got < 0 ? in.errorString() : out.errorString();
        return -1;
    }
    return got;
}
#endif

// Eight hexadecimal digits of this machine's id (the host's name where there is none): a
// temporary file with another mark was written by another machine sharing the folder.
const QString& machineMark() {
    static const QString mark = [] {
        QByteArray id = QSysInfo::machineUniqueId();
        if (id.isEmpty())
            id = QSysInfo::machineHostName().toUtf8();
        return QString::fromLatin1(
            QCryptographicHash::hash(id, QCryptographicHash::Sha1).toHex().left(8));
    }();
    return mark;
}

// A live copy writes its temporary file every fraction of a second; one untouched this long
// was left by a run that ended without tidying.
constexpr qint64 kLeftoverSeconds = 24 * 60 * 60;

} // namespace

QString TemporaryName(qint64 pid, const QString& random) {
    return QStringLiteral(".melvo-") % machineMark() % u'-' % QString::number(pid) % u'-' % random %
           QStringLiteral(".part");
}

int RemoveLeftovers(const QString& folder, const QDateTime& now) {
    static const QRegularExpression shape(
        QStringLiteral("^\\.melvo-([0-9a-f]{8})-([1-9]\\d{0,9})-[0-9a-z]{1,7}\\.part$"));
    int removed = 0;
    const QDir dir(folder);
    const QStringList names = dir.entryList({QStringLiteral(".melvo-*.part")},
                                            QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = shape.match(name);
        if (!match.hasMatch() || match.capturedView(1) != machineMark())
            continue;
        // A copy in progress in another running Melvo is left alone; this program's own
        // copies are finished or gone by the time it looks.
        const qint64 pid = match.capturedView(2).toLongLong();
        if (pid != CurrentProcessId() && ProcessIsRunning(pid))
            continue;
        // A process this one cannot see (a sandbox's) still touches its file.
        const QFileInfo file(dir.filePath(name));
        const QDateTime touched = std::max(file.lastModified(), file.metadataChangeTime());
        if (touched.secsTo(now) < kLeftoverSeconds)
            continue;
        if (QFile::remove(file.filePath()))
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
    if (!(status.st_mode & S_IWUSR))
        return DestinationState::ReadOnly;
    // The owner's own write bit says it all; for anyone else the system decides.
    static const uid_t self = ::geteuid();
    return status.st_uid == self || ::access(name.constData(), W_OK) == 0
               ? DestinationState::Replaceable
               : DestinationState::ReadOnly;
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

namespace {

#ifdef Q_OS_UNIX
using SourceFile = Descriptor;
#else
using SourceFile = QFile;
#endif

CopyResult failed(QString reason) {
    return {CopyResult::Outcome::Failed, std::move(reason)};
}

// The temporary file a song is written to, removed unless the copy got as far as renaming it
// over the destination. On Unix a bare descriptor: a QFile costs more than a small song's
// copy gains from it.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!created_ || kept_)
            return;
#ifdef Q_OS_UNIX
        fd_.reset();
        (void)::unlink(encoded_.constData()); // nothing more to do where it cannot go
#else
        file_.close();
        (void)file_.remove();
#endif
    }

    // Creates a new file of that name; false when it cannot (error() says why).
    bool create(const QString& name) {
#ifdef Q_OS_UNIX
        encoded_ = QFile::encodeName(name);
        fd_.reset(::open(encoded_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        error_ = errno;
        created_ = fd_.get() >= 0;
#else
        file_.setFileName(name);
        created_ = file_.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered);
#endif
        return created_;
    }
    QString error() const {
#ifdef Q_OS_UNIX
        return describe(error_);
#else
        return file_.errorString();
#endif
    }

    // Appends up to `most` bytes read from in: how many, 0 at in's end, -1 on failure with
    // the reason in `error`.
    qint64 take(SourceFile& in, qint64 most, QString& error) {
#ifdef Q_OS_UNIX
        return copyPiece(in.get(), fd_.get(), most, error);
#else
        return copyPiece(in, file_, most, error);
#endif
    }

    // The source's modification time, as the open saw it.
    void keepTime(SourceFile& in, const RegularFileFacts& facts) {
#ifdef Q_OS_UNIX
        (void)in;
        const struct timespec times[2] = {
            {0, UTIME_OMIT},
            {static_cast<time_t>(facts.ModifiedSeconds), facts.ModifiedNanoseconds}};
        (void)::futimens(fd_.get(), times); // a copy without its time is still the song
#else
        (void)facts;
        file_.setFileTime(in.fileTime(QFileDevice::FileModificationTime),
                          QFileDevice::FileModificationTime);
#endif
    }

    // Closed and put in destination's place: a rename replaces the old file in one step, so
    // it is never missing, never half written. replacing: a file was there when the copy
    // looked; otherwise whatever appeared since stays (DestinationAppeared).
    CopyResult placeAt(const QString& destination, bool replacing) {
        const CopyResult appeared{CopyResult::Outcome::DestinationAppeared,
                                  QStringLiteral("File already exists")};
#ifdef Q_OS_UNIX
        // The new content first reaches the disk: renamed over the old file while still in
        // memory, a crash can leave neither (XFS and FAT keep the rename, not the bytes).
        if (replacing && ::fdatasync(fd_.get()) != 0)
            return failed(describe(errno));
        // A network disk may tell only at the close that the bytes did not arrive.
        if (::close(fd_.release()) != 0)
            return failed(describe(errno));
        const QByteArray target = QFile::encodeName(destination);
        const int failure =
            replacing ? (::rename(encoded_.constData(), target.constData()) == 0 ? 0 : errno)
                      : RenameWithoutReplacing(encoded_, target);
        if (failure == EEXIST)
            return appeared;
        if (failure != 0)
            return failed(describe(failure));
        kept_ = true;
        CopyResult copied;
        copied.Flushed = replacing;
        return copied;
#else
        file_.close();
        if (!replacing && QFileInfo::exists(destination))
            return appeared;
        std::error_code why;
        std::filesystem::rename(FileSystemPath(file_.fileName()), FileSystemPath(destination), why);
        if (why)
            return failed(QString::fromStdString(why.message()));
        kept_ = true;
        return {};
#endif
    }

private:
#ifdef Q_OS_UNIX
    QByteArray encoded_;
    Descriptor fd_;
    int error_ = 0;
#else
    QFile file_;
#endif
    bool created_ = false;
    bool kept_ = false;
};

// Opens the song to copy; what the copy then reports when it cannot.
std::optional<CopyResult> openSource(SourceFile& in, const QString& source, RegularFileFacts& facts,
                                     Links links) {
    const QString failure = OpenRegularFile(in, source, &facts, links);
    if (failure.isEmpty())
        return std::nullopt;
    if (facts.Link)
        return CopyResult{CopyResult::Outcome::SourceIsLink, failure};
    // A FIFO, a device or a folder in a song's place is as good as missing.
    if (!QFileInfo(source).isFile())
        return CopyResult{CopyResult::Outcome::SourceMissing, QStringLiteral("File not found")};
    return failed(failure);
}

// Creates the temporary file in destination's folder: empty, or why it could not be made.
QString createBeside(TemporaryFile& out, const QString& destination) {
    // A short name of our own: it never makes a long destination name fail, and a run that
    // was killed leaves something the next run can recognise (RemoveLeftovers).
    static const qint64 process = CurrentProcessId();
    const QString folder = NativeFolderOf(destination);
    for (int attempt = 0; attempt < 8; ++attempt) {
        if (out.create(folder % u'/' %
                       TemporaryName(process,
                                     QString::number(QRandomGenerator::global()->generate(), 36))))
            return {};
        if (!QFileInfo(folder).isDir()) {
            // A folder whose name the disk refuses is not a missing one.
            std::error_code why;
            (void)std::filesystem::status(FileSystemPath(folder), why);
            return why == std::errc::filename_too_long ? QString::fromStdString(why.message())
                                                       : QStringLiteral("Path not found");
        }
    }
    return out.error();
}

// Copies the source's `size` bytes in pieces; nothing when every byte arrived, else how the
// copy ended.
std::optional<CopyResult> copyPieces(SourceFile& in, TemporaryFile& out, qint64 size,
                                     const CopyOptions& options) {
    qint64 left = size;
#ifdef Q_OS_LINUX
    // The kernel reads further ahead of a file read from start to end, as cp asks too; a
    // song read in one piece gains nothing by it.
    if (left > kFirstPiece)
        (void)::posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL); // only a hint
#endif
    qint64 piece = kFirstPiece;
    QElapsedTimer clock;
    do {
        QString reason;
        clock.start();
        qint64 most = std::clamp<qint64>(left, 1, piece);
        // The tests' disk takes less as it fills, and a full one fails the copy as ENOSPC does.
        if (options.DiskRoom && (most = std::min(most, options.DiskRoom(most))) <= 0)
            return failed(describe(ENOSPC));
        const qint64 copied = out.take(in, most, reason);
        if (copied < 0)
            return failed(reason);
        if (copied == 0)
            break;
        left -= copied;
        const qint64 took = clock.nsecsElapsed();
        piece = std::clamp<qint64>(took > 0 ? copied * kPieceNanoseconds / took : kLargestPiece,
                                   kFirstPiece, kLargestPiece);
        if (options.BetweenPieces && left > 0)
            options.BetweenPieces();
        if (options.AfterPiece && left > 0 &&
            options.AfterPiece(size - left)) // `out` takes its file along
            return CopyResult{CopyResult::Outcome::Stopped, QStringLiteral("Stopped")};
    } while (left > 0);
    // Every byte the file held when the copy began, or it is no copy of the song.
    if (left > 0)
        return failed(QStringLiteral("The source file was cut short while it was copied"));
    return std::nullopt;
}

} // namespace

CopyResult CopySongFile(const QString& source, const QString& destination,
                        const CopyOptions& options) {
    SourceFile in;
    RegularFileFacts facts; // size and time from the open's own look at the file
    if (std::optional<CopyResult> refused = openSource(in, source, facts, options.SourceLinks))
        return *refused;
    // Not value_or: that would look even when the caller has.
    const DestinationState there = options.There ? *options.There : CheckDestination(destination);
    if (there == DestinationState::ReadOnly || there == DestinationState::NotAFile)
        return failed(QStringLiteral("Permission denied"));
    TemporaryFile out;
    if (const QString failure = createBeside(out, destination); !failure.isEmpty())
        return failed(failure);
    if (std::optional<CopyResult> ended = copyPieces(in, out, facts.Size, options))
        return *ended;
    out.keepTime(in, facts);
    return out.placeAt(destination, there == DestinationState::Replaceable);
}
