#pragma once

#include "platform/RegularFile.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

// Copies one song file. The copy is written to a hidden temporary file in the
// destination's folder and renamed over it only once complete, so a failed or interrupted copy
// leaves no partial file and the file it was to replace as it was. A file is replaced only
// once its new content is on the disk, so that a power cut between the two leaves one of
// them whole; where nothing was there when the copy looked, nothing that appeared since is
// replaced. The copy keeps the source's modification time. A read-only destination is
// refused, never replaced.

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
        Stopped, // AfterPiece told it to stop: nothing was written
    };
    Outcome What = Outcome::Copied;
    QString Message;      // empty when copied
    bool Flushed = false; // the new content reached the disk before it replaced a file
    bool Copied() const { return What == Outcome::Copied; }
};

// What stands where a copy is to go, from one look at it. Only a file this user may
// replace is replaced; anything else there refuses the copy.
enum class DestinationState {
    Absent,
    Replaceable,
    ReadOnly, // see IsReadOnlyFile
    NotAFile, // a folder, a FIFO, a device
};
DestinationState CheckDestination(const QString& path);

// How a copy goes; the default suits a copy nobody watches. Every member has its own
// initializer, so that a caller names only those it sets.
struct CopyOptions {
    // What the caller has just seen at the destination (CheckDestination), so that the copy
    // need not look again; unset, the copy looks itself.
    std::optional<DestinationState> There{};
    // Links::Refuse: a link at the source is not read (SourceIsLink).
    Links SourceLinks = Links::Follow;
    // Runs between the pieces of a large file (the window repaints there).
    std::function<void()> BetweenPieces{};
    // Told, after BetweenPieces, how many bytes are copied so far; when it answers true the
    // copy ends there, as if it had never begun.
    std::function<bool(qint64 copied)> AfterPiece{};
    // The tests' disk: asked before each piece of `most` bytes how many it takes, fewer as
    // it fills up, 0 when it is full (the copy then fails as on a full disk).
    std::function<qint64(qint64 most)> DiskRoom{};
};

CopyResult CopySongFile(const QString& source, const QString& destination,
                        const CopyOptions& options = {});

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
