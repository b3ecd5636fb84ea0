#pragma once

#include "itunesdb/LoadiTunesDB.h"
#include "itunesdb/MusicDatabase.h"
#include "songlist/SongRow.h"

#include <QLocale>
#include <functional>
#include <vector>

// The file-type icon of a player location: its last three characters, compared without
// regard to case.
int FileTypeIcon(const QString& location);

// One song-list row for a track: the ten column texts, the icon and, when withToolTip,
// the Description as tooltip.
SongRow SongRowFor(const TrackRecord& track, bool withToolTip, const QLocale& locale = QLocale());

// The rows of every track of one loaded database, made once after a load so that building
// a playlist's list or a search result copies rows instead of formatting them again.
class SongCatalog {
public:
    SongCatalog() = default;
    explicit SongCatalog(const MusicDatabase& db, const QLocale& locale = QLocale());

    // The row of track i (in table order), with its tooltip.
    const SongRow& TrackRow(int i) const { return rows_[static_cast<size_t>(i)]; }
    int TrackCount() const { return static_cast<int>(rows_.size()); }

    // The rows of playlist p of db (the database the catalog was made from): one row per
    // member whose id is a track's id, in playlist order; a member that names several
    // tracks gives each of them, in table order. A p that names no playlist gives none.
    // The progress runs from 0 to the member count minus one. The build yields to the
    // window now and then; when superseded says so after a yield, it stops there and gives
    // no rows, touching nothing more.
    std::vector<SongRow> PlaylistRows(const MusicDatabase& db, int p,
                                      LoadProgress* progress = nullptr,
                                      const std::function<bool()>& superseded = {}) const;
    // The table positions of the tracks PlaylistRows gives rows for, in the same order.
    std::vector<int> PlaylistTracks(const MusicDatabase& db, int p) const;

private:
    using ById = std::vector<std::pair<qint32, int>>;
    // The tracks a member's text names: those whose id reads as the same number.
    std::pair<ById::const_iterator, ById::const_iterator> tracksOf(const QString& member) const;

    std::vector<SongRow> rows_;
    // (TrackID, table position), sorted by id and then position.
    ById byId_;
};
