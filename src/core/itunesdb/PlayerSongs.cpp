#include "itunesdb/PlayerSongs.h"

#include "itunesdb/LoadiTunesSD.h"
#include "itunesdb/PlayerSongFiles.h"
#include "itunesdb/TagReader.h"
#include "platform/PlayerPath.h"

#include <QSet>
#include <algorithm>

namespace {

QString masterName(const MusicDatabase& db, const PlayerTexts& texts) {
    return db.LibraryName + QStringLiteral(" [") + texts.AllSongs + u']';
}

QString fileNameStem(const QString& location) {
    const QString name = location.mid(location.lastIndexOf(u'\\') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.left(dot) : name;
}

// A shuffle's database names where its songs lie and which lists hold them.
void fillFromShuffle(MusicDatabase& db, const ShuffleDatabase& shuffle, const PlayerTexts& texts) {
    db.Tracks.reserve(shuffle.Locations.size());
    for (const QString& location : shuffle.Locations) {
        TrackRecord& track = db.Tracks.emplace_back();
        track.TrackID = db.TrackCount();
        track.Location = location;
        track.Title = fileNameStem(location); // until its tags are read
    }
    const auto members = [&db](const std::vector<int>& indexes) {
        clsList list;
        for (const int i : indexes)
            list.AddItem(QString::number(db.Tracks[static_cast<size_t>(i)].TrackID));
        return list;
    };
    clsPlayList master{{}, masterName(db, texts)};
    std::vector<int> everyone(shuffle.Locations.size());
    for (size_t i = 0; i < everyone.size(); ++i)
        everyone[i] = static_cast<int>(i);
    master.Songs = members(everyone);
    db.Playlists.push_back(std::move(master));
    int numbered = 0;
    for (const ShufflePlaylist& list : shuffle.Playlists) {
        using Kind = ShufflePlaylist::Kind;
        if (list.kind == Kind::Master)
            continue; // every song is in the master list already
        const QString name = list.kind == Kind::Podcasts ? texts.Podcasts
                             : list.kind == Kind::Audiobooks
                                 ? texts.Audiobooks
                                 : texts.Playlist + u' ' + QString::number(++numbered);
        db.Playlists.push_back({members(list.Tracks), name});
    }
}

// A database cut short may have lost its lists but not its songs: every song it names is
// in the master list, after the members it kept.
void completeMaster(MusicDatabase& db, const PlayerTexts& texts) {
    if (db.Playlists.empty() && !db.Tracks.empty())
        db.Playlists.push_back({{}, masterName(db, texts)});
    if (db.Playlists.empty())
        return;
    clsList& master = db.Playlists[0].Songs;
    QSet<QString> members;
    for (int i = 0; i < master.ListCount(); ++i)
        members.insert(master.List(i));
    for (const TrackRecord& track : db.Tracks)
        if (const QString id = QString::number(track.TrackID); !members.contains(id)) {
            master.AddItem(id);
            members.insert(id);
        }
}

} // namespace

bool IsPlayerRoot(const QString& root) {
    return !root.isEmpty() && (!PlayerDatabaseFile(root).isEmpty() ||
                               !FindPlayerFile(root, ShuffleDatabaseLocation).isEmpty() ||
                               !PlayerSongLocations(root, 1).isEmpty());
}

QString FirstPlayerRoot(const QStringList& candidates, const std::function<void()>& between) {
    for (const QString& root : candidates) {
        if (between)
            between();
        if (!PlayerDatabaseFile(root).isEmpty())
            return root;
    }
    // A player without a database (or with a shuffle's alone) comes after every one with.
    for (const QString& root : candidates) {
        if (between)
            between();
        if (IsPlayerRoot(root))
            return root;
    }
    return {};
}

QStringList PlayerRoots(const QStringList& candidates) {
    QStringList withDatabase, without;
    for (const QString& root : candidates) {
        if (withDatabase.contains(root) || without.contains(root))
            continue;
        if (!PlayerDatabaseFile(root).isEmpty())
            withDatabase << root;
        else if (IsPlayerRoot(root))
            without << root;
    }
    return withDatabase + without;
}

PlayerTexts PlayerTexts::From(const LanguageTable& language) {
    return {language.Entry(Text::AllSongs), language.Entry(Text::NotInDatabase),
            language.Entry(Text::Podcasts), language.Entry(Text::Audiobooks),
            language.Entry(Text::Playlist)};
}

PlayerLoad LoadPlayer(MusicDatabase& db, const QString& root, const PlayerTexts& texts,
                      LoadProgress* progress) {
    PlayerLoad load;
    db.ClearTables();
    if (const QString file = PlayerDatabaseFile(root); !file.isEmpty()) {
        load.Result = LoadiTunesDB(db, file, texts.AllSongs, progress);
        if (load.Unreadable())
            return load;
        if (load.Result.status == LoadResult::Status::Loaded) {
            load.From = PlayerLoad::Source::Database;
            completeMaster(db, texts);
        }
    }
    if (load.From != PlayerLoad::Source::Database) {
        db.ClearTables();
        load.Result = {LoadResult::Status::Loaded, {}, {}};
        if (const QString file = FindPlayerFile(root, ShuffleDatabaseLocation); !file.isEmpty()) {
            const ShuffleLoad shuffle = LoadiTunesSD(file);
            if (shuffle.status == LoadResult::Status::Loaded && !shuffle.db.Locations.empty()) {
                load.From = PlayerLoad::Source::Shuffle;
                fillFromShuffle(db, shuffle.db, texts);
                load.TagLocations =
                    QStringList(shuffle.db.Locations.begin(), shuffle.db.Locations.end());
            }
        }
    }
    // What the disk holds and no database names, in the order of its folders and names.
    QSet<QString> named;
    named.reserve(db.TrackCount());
    for (const TrackRecord& track : db.Tracks) {
        const QString location =
            track.Location.startsWith(u'\\') ? track.Location : u'\\' + track.Location;
        named.insert(location.toCaseFolded());
    }
    for (const QString& location : PlayerSongLocations(root))
        if (!named.contains(location.toCaseFolded()))
            load.TagLocations << location;
    db.LoadedTrackCount = db.TrackCount();
    return load;
}

TaggedSongs::TaggedSongs(MusicDatabase& db, const PlayerLoad& load, const PlayerTexts& texts) {
    for (const TrackRecord& track : db.Tracks)
        nextId_ = std::max(nextId_, track.TrackID + 1);
    if (load.From == PlayerLoad::Source::Shuffle)
        for (int i = 0; i < db.TrackCount(); ++i)
            byLocation_.insert(db.Tracks[static_cast<size_t>(i)].Location.toCaseFolded(), i);
    if (db.Playlists.empty())
        db.Playlists.push_back({{}, masterName(db, texts)});
    master_ = 0;
    const bool unnamed = load.TagLocations.size() > byLocation_.size();
    if (load.From != PlayerLoad::Source::SongFilesOnly && unnamed) {
        db.Playlists.push_back({{}, texts.NotInDatabase});
        ownList_ = db.PlaylistCount() - 1;
    }
}

void TaggedSongs::Add(MusicDatabase& db, const std::vector<TrackRecord>& records) {
    for (const TrackRecord& record : records) {
        if (const auto named = byLocation_.constFind(record.Location.toCaseFolded());
            named != byLocation_.cend()) {
            TrackRecord& track = db.Tracks[static_cast<size_t>(*named)];
            const qint32 id = track.TrackID;
            track = record;
            track.TrackID = id;
            continue;
        }
        if (db.TrackCount() >= ReaderCeiling::Tracks)
            break;
        byLocation_.insert(record.Location.toCaseFolded(), db.TrackCount());
        TrackRecord& track = db.Tracks.emplace_back(record);
        track.TrackID = nextId_++;
        const QString member = QString::number(track.TrackID);
        db.Playlists[static_cast<size_t>(master_)].Songs.AddItem(member);
        if (ownList_ >= 0)
            db.Playlists[static_cast<size_t>(ownList_)].Songs.AddItem(member);
    }
    db.LoadedTrackCount = db.TrackCount();
}

PlayerLoad LoadPlayerWithTags(MusicDatabase& db, const QString& root, const PlayerTexts& texts) {
    PlayerLoad load = LoadPlayer(db, root, texts);
    if (load.Unreadable())
        return load;
    TaggedSongs tagged(db, load, texts);
    PlayerTagReader reader(root);
    std::vector<TrackRecord> records;
    records.reserve(static_cast<size_t>(load.TagLocations.size()));
    for (const QString& location : load.TagLocations)
        if (std::optional<TrackRecord> track = reader.ReadTrack(location))
            records.push_back(std::move(*track));
    tagged.Add(db, records);
    return load;
}
