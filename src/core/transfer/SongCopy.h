#pragma once

#include "platform/RegularFile.h"

#include <QDateTime>
#include <QString>
#include <functional>

class QFile;

// Copies one song file. The copy is written to a hidden temporary file in the
// destination's folder and renamed over it only once complete, so a failed or interrupted copy
// leaves no partial file and the file it was to replace as it was. A file is replaced only
// once its new content is on the disk, so that a power cut between the two leaves one of
// them whole; where nothing was there when the copy looked, nothing that appeared since is
// replaced. The copy keeps the source's modification time. A read-only destination is
// refused, never replaced. betweenChunks runs between the pieces of a large file (the window
// repaints there).

// What a copy did: the caller decides on What; Message says it to the user.
struct CopyResult {
    enum class Outcome {
        Copied,
        SourceMissing, // no regular file at the source ("File not found")
        SourceIsLink,  // refused by Links::Refuse: the caller judges where the link leads
        // A file appeared where none was when the copy looked: it is kept, and the caller
        // asks about it as about any existing file.
        DestinationAppeared,
        Failed,
        Stopped, // afterPiece told it to stop: nothing was written
    };
    Outcome What = Outcome::Copied;
    QString Message;      // empty when copied
    bool Flushed = false; // the new content reached the disk before it replaced a file
    bool Copied() const { return What == Outcome::Copied; }
};

CopyResult CopySongFile(const QString& source, const QString& destination,
                        const std::function<void()>& betweenChunks = {});

// What stands where a copy is to go, from one look at it. Only a file this user may
// replace is replaced; anything else there refuses the copy.
enum class DestinationState {
    Absent,
    Replaceable,
    ReadOnly, // see IsReadOnlyFile
    NotAFile, // a folder, a FIFO, a device
};
DestinationState CheckDestination(const QString& path);

// The same copy where the caller has just looked at the destination (CheckDestination),
// so that the copy need not look again; with Links::Refuse a link at the source is not read.
// afterPiece is told, after betweenChunks, how many bytes are copied so far; when it
// answers true the copy ends there, as if it had never begun.
CopyResult CopySongFile(const QString& source, const QString& destination,
                        DestinationState destinationState, Links sourceLinks,
                        const std::function<void()>& betweenChunks,
                        const std::function<bool(qint64 copied)>& afterPiece = {});

// The temporary file's name: ".melvo-", a mark of this machine (8 hexadecimal digits),
// "-", the process id, "-", a random part, ".part".
QString TemporaryName(qint64 pid, const QString& random);
// Removes the temporary files in folder that are unmistakably leftovers of a killed run on
// this machine: of exactly that shape, with this machine's mark, a process id that runs no
// longer, and untouched for a day (a live copy touches its file with every piece, also in
// a process this one cannot see). Returns how many went.
int RemoveLeftovers(const QString& folder, const QDateTime& now = QDateTime::currentDateTime());

// A file that must not be replaced: marked read-only (no write permission for its owner,
// whoever runs the program) or not writable by this user.
bool IsReadOnlyFile(const QString& path);

// Copies up to `most` bytes from in to out (both open); returns how many, 0 at the end of
// in, -1 on failure with the reason in `error`.
using ChunkCopier = std::function<qint64(QFile& in, QFile& out, qint64 most, QString& error)>;
qint64 CopyChunk(QFile& in, QFile& out, qint64 most, QString& error);

// The same copy through a seam that can fail: tests give a copier that stops after N
// bytes, as a full disk does.
CopyResult CopySongFile(const QString& source, const QString& destination,
                        const std::function<void()>& betweenChunks, const ChunkCopier& copier);
