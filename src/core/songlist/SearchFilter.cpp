#include "songlist/SearchFilter.h"

#include <algorithm>

namespace {
// The reader drops NULs from every text, so this never occurs inside a field.
constexpr QChar kFieldEnd = QChar(u'\0');
} // namespace

SearchIndex::SearchIndex(const MusicDatabase& db) {
    const auto n = static_cast<size_t>(std::clamp<qint32>(db.LoadedTrackCount, 0, db.TrackCount()));
    haystacks_.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const TrackRecord& t = db.Tracks[i];
        QString hay;
        hay.reserve(t.Title.size() + t.Artist.size() + t.Album.size() + t.Genre.size() + 3);
        hay += t.Title.toLower();
        hay += kFieldEnd;
        hay += t.Artist.toLower();
        hay += kFieldEnd;
        hay += t.Album.toLower();
        hay += kFieldEnd;
        hay += t.Genre.toLower();
        haystacks_.push_back(std::move(hay));
    }
}

std::vector<int> SearchIndex::Matches(const QString& text) const {
    std::vector<int> found;
    const QString needle = text.toLower();
    if (needle.isEmpty() || needle.contains(kFieldEnd))
        return found;
    for (size_t i = 0; i < haystacks_.size(); ++i)
        if (haystacks_[i].contains(needle))
            found.push_back(static_cast<int>(i));
    return found;
}

std::vector<SongRow> SearchRows(const SongCatalog& catalog, const SearchIndex& index,
                                const QString& text) {
    std::vector<SongRow> rows;
    const std::vector<int> matches = index.Matches(text);
    rows.reserve(matches.size());
    for (int i : matches) {
        if (i >= catalog.TrackCount())
            break;
        // The catalog's texts are shared, not copied; a search row has no tooltip.
        const SongRow& track = catalog.TrackRow(i);
        rows.push_back(SongRow{track.Texts, false, track.Icon, {}});
    }
    return rows;
}
