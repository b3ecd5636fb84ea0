#pragma once

// A player's songs wherever they are named: its music database (iTunesDB, iTunesCDB), a
// shuffle's iTunesSD, and the song files on its disk that neither names, read from their
// own tags. The window reads the tags on a worker (TagScanner) and puts them in as they
// come; melvo-dump and the tests read them at once.

#include "itunesdb/LoadiTunesDB.h"
#include "itunesdb/MusicDatabase.h"
#include "itunesdb/TrackRecord.h"
#include "platform/BackslashPath.h"
#include "settings/LanguageTable.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

inline const BackslashPath ShuffleDatabaseLocation{
    QStringLiteral("\\iPod_Control\\iTunes\\iTunesSD")};

// Whether root holds a player: a music database, a shuffle's, or at least one song file in
// iPod_Control/Music. It stops at the first song file it meets.
bool IsPlayerRoot(const QString& root);

// The player among the candidate roots, in their order: the first that holds a music
// database, else the first that holds a player without one; empty when none does. between
// runs before each look (the window handles its events there).
QString FirstPlayerRoot(const QStringList& candidates, const std::function<void()>& between = {});
// Every player among the candidates, in the order FirstPlayerRoot takes them, each once.
QStringList PlayerRoots(const QStringList& candidates);

// The names the load gives what no database names.
struct PlayerTexts {
    QString AllSongs;      // the master playlist: "<library> [<AllSongs>]"
    QString NotInDatabase; // the songs the database does not name
    QString Podcasts;      // a shuffle's lists
    QString Audiobooks;
    QString Playlist; // a shuffle's other lists: "<Playlist> 2"

    // In the language of the table.
    static PlayerTexts From(const LanguageTable& language);
};

struct PlayerLoad {
    enum class Source { Database, Shuffle, SongFilesOnly };
    Source From = Source::SongFilesOnly;
    LoadResult Result{LoadResult::Status::Loaded, {}, {}}; // of the database read, if any
    // The songs to read from their tags, in the list's order: a shuffle's own (its
    // database names only where they lie), then the files no database names.
    QStringList TagLocations;
    bool Unreadable() const { return Result.status == LoadResult::Status::Unreadable; }
};

// Reads the player's database into db (replacing what it held; a song of it that its master
// list lost, as a database cut short may, goes to the master list's end) and finds what must
// be read from tags. A database that cannot be read at all (Unreadable) ends it there; one that is
// no database (a zeroed or empty file) counts as none.
PlayerLoad LoadPlayer(MusicDatabase& db, const QString& root, const PlayerTexts& texts,
                      LoadProgress* progress = nullptr);

// Puts songs read from their tags into the tables of a load: a song the shuffle's database
// named, or one put in before, takes the texts of its tags; any other gets an id of its own
// and goes to the end of
// the master playlist and, where the player has a database, of the playlist of its own that
// holds what the database does not name (made, empty, when this is made).
class TaggedSongs {
public:
    TaggedSongs(MusicDatabase& db, const PlayerLoad& load, const PlayerTexts& texts);
    void Add(MusicDatabase& db, const std::vector<TrackRecord>& records);

private:
    // The tracks to take texts from tags, by location, case-folded: a shuffle's, and those
    // put in before. Their index in the tables.
    QHash<QString, int> byLocation_;
    qint32 nextId_ = 1;
    int master_ = -1;
    int ownList_ = -1;
};

// The whole load with the tags read at once, without a cache: for melvo-dump and tests.
PlayerLoad LoadPlayerWithTags(MusicDatabase& db, const QString& root, const PlayerTexts& texts);
