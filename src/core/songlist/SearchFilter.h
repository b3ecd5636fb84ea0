#pragma once

#include "itunesdb/MusicDatabase.h"
#include "songlist/SongCatalog.h"

#include <QString>
#include <vector>

// The search over the loaded tracks: a track matches when the lower-cased text occurs in
// its lower-cased title, artist, album or genre. The fields are lower-cased once, when the
// index is made after a load, instead of on every keystroke.
class SearchIndex {
public:
    SearchIndex() = default;
    explicit SearchIndex(const MusicDatabase& db);

    // Table positions of the matching tracks among the first LoadedTrackCount, in order.
    std::vector<int> Matches(const QString& text) const;

private:
    // Per track, its four fields lower-cased and joined by a character no tag holds.
    std::vector<QString> haystacks_;
};

// The song-list rows of a search: the catalog's rows of the matching tracks, without
// tooltips.
std::vector<SongRow> SearchRows(const SongCatalog& catalog, const SearchIndex& index,
                                const QString& text);
