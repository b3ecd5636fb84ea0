#include "transfer/SongCopy.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

constexpr qint64 kChunk = 1 << 20;

std::filesystem::path fsPath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

} // namespace

bool IsReadOnlyFile(const QString& path) {
    const QFileInfo file(path);
    return !file.isWritable() || !(file.permissions() & QFileDevice::WriteOwner);
}

QString CopySongFile(const QString& source, const QString& destination,
                     const std::function<void()>& betweenChunks) {
    return CopySongFile(
        source, destination, betweenChunks,
        [](QIODevice& out, const char* data, qint64 size) { return out.write(data, size); });
}

QString CopySongFile(const QString& source, const QString& destination,
                     const std::function<void()>& betweenChunks, const ChunkWriter& write) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return QFileInfo::exists(source) ? in.errorString() : QStringLiteral("File not found");
    const QFileInfo target(destination);
    if (target.exists() && (!target.isFile() || IsReadOnlyFile(destination)))
        return QStringLiteral("Permission denied");
    if (!QFileInfo(target.absolutePath()).isDir())
        return QStringLiteral("Path not found");

    QTemporaryFile out(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                       QStringLiteral(".XXXXXX.part"));
    if (!out.open())
        return out.errorString();
    std::vector<char> buffer(static_cast<size_t>(std::min(kChunk, std::max<qint64>(in.size(), 1))));
    for (;;) {
        const qint64 got = in.read(buffer.data(), static_cast<qint64>(buffer.size()));
        if (got < 0)
            return in.errorString(); // the temporary file goes with `out`
        if (got == 0)
            break;
        if (write(out, buffer.data(), got) != got)
            return out.error() != QFileDevice::NoError ? out.errorString()
                                                       : QStringLiteral("Disk full");
        if (betweenChunks && in.bytesAvailable() > 0)
            betweenChunks();
    }
    if (!out.flush())
        return out.errorString();
    const QDateTime modified = QFileInfo(in).lastModified();
    out.setFileTime(modified, QFileDevice::FileModificationTime);
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                       QFileDevice::ReadOther);
    out.close();
    std::error_code error;
    // A rename replaces the old file in one step: it is never missing, never half written.
    std::filesystem::rename(fsPath(out.fileName()), fsPath(destination), error);
    if (error)
        return QString::fromStdString(error.message());
    out.setAutoRemove(false);
    return {};
}
