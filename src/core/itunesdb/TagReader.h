#pragma once

#include "itunesdb/TrackRecord.h"
#include "platform/PlayerPath.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QString>
#include <optional>

// A song read from its own tags (TagLib): title, artist, album, genre, year, track number,
// album artist, disc, bit rate and length, with the texts formatted as the database reader formats
// them, so that its row looks like any other; size and location from the file. A song without a
// title takes its file name without the extension. TrackID stays 0. Nothing when location names no
// regular file inside the player (a FIFO, a folder, a link out of it, nothing at all);
// a file whose tags cannot be read still gives its name and size.
std::optional<TrackRecord> ReadTrackFromTags(const QString& playerRoot, const QString& location);

// A song file found on a player, not yet opened.
struct PlayerSongFile {
    QString Path; // native
    RegularFileFacts Facts;
    bool ThroughLink = false; // a link inside the player leads to it
};

// The same for many songs of one player, keeping what it learnt of the player's folders
// from one file to the next. Find and Read are the two halves of ReadTrack, for a caller
// that decides between them (a cache, by the file's size and time).
class PlayerTagReader {
public:
    explicit PlayerTagReader(const QString& playerRoot);

    std::optional<TrackRecord> ReadTrack(const QString& location);

    // Finds location's file, a regular file inside the player (or a link that ends at one
    // inside it), names matched without regard to case where the spelling differs. Nothing
    // is opened.
    std::optional<PlayerSongFile> Find(const QString& location);
    // Opens the file Find found, without waiting and only as what it was then, and reads its
    // tags; song.Facts then tells the file as it was read.
    std::optional<TrackRecord> Read(PlayerSongFile& song, const QString& location);

    // The most bytes TagLib was given in one read since this reader was made: never more
    // than a file holds, whatever its tags claim.
    qint64 LargestRead() const { return largestRead_; }

private:
    QString root_;
    PlayerBounds bounds_;
    qint64 largestRead_ = 0;
};
