#pragma once

#include "itunesdb/TrackRecord.h"
#include "platform/RegularFile.h"

#include <QHash>
#include <QString>
#include <optional>

// A song file as it was when its tags were read: a cached record counts only while the
// file still has this size and modification time.
struct FileStamp {
    qint64 Size = 0;
    qint64 ModifiedSeconds = 0;
    qint64 ModifiedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};
inline FileStamp StampOf(const RegularFileFacts& facts) {
    return {facts.Size, facts.ModifiedSeconds, facts.ModifiedNanoseconds};
}

// What was read from the songs' tags of one player, kept in the per-user cache folder so
// that the next opening of the player need not read them again. Keyed by location, size
// and modification time. The file is untrusted input: one that is damaged, too large or
// another player's is ignored whole.
class TagCache {
public:
    // The cache file of the player at playerRoot: named by a hash of the root's real path,
    // in folder (by default the per-user cache folder's "Melvo").
    static QString FileFor(const QString& playerRoot, const QString& folder = {});
    static QString DefaultFolder();

    // Replaces what the cache holds with file's records for playerRoot; false (and an empty
    // cache) when there is no usable file.
    bool Load(const QString& file, const QString& playerRoot);
    // Writes the cache whole, replacing file only once every byte is written.
    bool Save(const QString& file, const QString& playerRoot) const;

    // The record kept for location when the file still has stamp's size and time.
    std::optional<TrackRecord> Find(const QString& location, const FileStamp& stamp) const;
    // The record kept for location, whatever its file is now.
    std::optional<TrackRecord> Kept(const QString& location) const;
    void Put(const TrackRecord& track, const FileStamp& stamp);
    // Keeps other's entry for location, if it has one (an entry not looked at this time).
    void Adopt(const TagCache& other, const QString& location);
    qsizetype Count() const { return entries_.size(); }

    // The largest cache file read: well above what the reader's ceiling of tracks takes.
    static constexpr qint64 MostBytes = qint64(512) << 20;

private:
    struct Entry {
        FileStamp Stamp;
        QString Title, Artist, Album, Genre, Year, TrackNumber, BitRate, AlbumArtist;
        qint32 DiscNumber = 0, DiscCount = 0, LengthMs = 0;
    };
    QHash<QString, Entry> entries_;
};
