#pragma once

#include "itunesdb/LoadiTunesDB.h"

#include <QByteArrayView>
#include <QString>
#include <vector>

// A playlist of a shuffle. The database gives it no name, only the kind of list the player
// makes of it.
struct ShufflePlaylist {
    enum class Kind { Master = 1, Normal = 2, Podcasts = 3, Audiobooks = 4 };
    Kind kind = Kind::Normal;
    std::vector<int> Tracks; // indexes into ShuffleDatabase::Locations, in the list's order
    bool operator==(const ShufflePlaylist&) const = default;
};

// What an iPod shuffle's iTunesSD holds: where its songs lie, and (from the third generation
// on) its playlists. It has no titles, artists or albums: those are in the songs' own files.
struct ShuffleDatabase {
    // Player locations in the database's order, "\iPod_Control\Music\F00\ABCD.mp3". A song
    // named twice is listed once.
    std::vector<QString> Locations;
    // In the database's order; none for the first and second generation, which keep none.
    std::vector<ShufflePlaylist> Playlists;
    bool operator==(const ShuffleDatabase&) const = default;
};

struct ShuffleLoad {
    LoadResult::Status status = LoadResult::Status::NotADatabase;
    QString error; // why the file could not be read
    ShuffleDatabase db;
    // Songs the database counts but that could not be read: damaged, cut off, or past a
    // ceiling.
    qint64 unread = 0;
};

// Reads a shuffle's iTunesSD (native path) in either format: the first and second
// generation's (a three-byte big-endian song count, then fixed entries with UTF-16 paths) or
// the third and fourth generation's ("bdhs"). Only a regular file is read, never waited on,
// and only its first 64 MiB (far more than any shuffle's database). A damaged file reads
// what can be read of it; the work and the memory follow the file's real bytes.
ShuffleLoad LoadiTunesSD(const QString& nativePath);

// The same for a database already in memory.
ShuffleLoad ReadiTunesSD(QByteArrayView bytes);
