#pragma once

#include "itunesdb/MusicDatabase.h"

#include <QByteArrayView>
#include <QString>

// Receives the progress of a load, as a progress bar does: a range and a value.
class LoadProgress {
public:
    virtual ~LoadProgress() = default;
    virtual void setMinimum(qint64 minimum) = 0;
    virtual void setMaximum(qint64 maximum) = 0;
    virtual void setValue(qint64 value) = 0;
};

// Ceilings no real player comes near. A damaged or hostile database is read only up to
// them, so that a load costs time and memory in proportion to the file's real bytes.
namespace ReaderCeiling {
inline constexpr qint64 Tracks = 1'000'000;
inline constexpr qint64 Playlists = 1'000'000;
inline constexpr qsizetype StringUnits = 32767; // UTF-16 units of one kept string
// A compressed stream inflates to at most this many times its own size, and never past 1 GB.
inline constexpr qint64 InflationRatio = 100;
inline constexpr qint64 Inflated = qint64(1) << 30;
} // namespace ReaderCeiling

// What a load left out: records too short to hold their fields, and what passed a ceiling.
// The window shows none of it; melvo-dump names it.
struct LoadCuts {
    qint64 shortTracks = 0;
    qint64 shortItems = 0; // playlist items
    qint64 tracksPastCeiling = 0;
    qint64 playlistsPastCeiling = 0;
    qint64 stringsCut = 0;
    qint64 inflatedTo = -1; // where a compressed stream was cut; -1 when it was not
    bool operator==(const LoadCuts&) const = default;
};

struct LoadResult {
    enum class Status { Loaded, NotADatabase, Unreadable };
    Status status = Status::NotADatabase;
    QString error; // why the file could not be read
    LoadCuts cuts;
};

// Reads the player's music database at path (a native path) into db, replacing what it
// held. The master playlist's name gets " [" + allSongsText + "]". Yields to the window
// system now and then. A damaged file loads what can be read of it; a file that is not
// a music database loads nothing; anything but a regular file is Unreadable, and is never
// waited on.
LoadResult LoadiTunesDB(MusicDatabase& db, const QString& path, const QString& allSongsText,
                        LoadProgress* progress = nullptr);

// The same walk over a database already in memory.
LoadResult ReadiTunesDB(MusicDatabase& db, QByteArrayView bytes, const QString& allSongsText,
                        LoadProgress* progress = nullptr);
