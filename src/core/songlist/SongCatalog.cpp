#include "songlist/SongCatalog.h"

#include "platform/UiYield.h"
#include "text/NumericPrefix.h"
#include "text/SizeTexts.h"

#include <algorithm>
#include <cmath>
#include <limits>

int FileTypeIcon(const QString& location) {
    const QString type = location.right(3).toUpper();
    static const std::pair<const char*, int> kTypes[] = {
        {"MP3", FileTypeIcons::Mp3},   {"WAV", FileTypeIcons::Wav},   {"ACC", FileTypeIcons::Aac},
        {"M4A", FileTypeIcons::Mpeg4}, {"MP4", FileTypeIcons::Mpeg4}, {"M4P", FileTypeIcons::Mpeg4},
        {"MOV", FileTypeIcons::Movie},
    };
    for (const auto& [name, icon] : kTypes)
        if (type == QLatin1String(name))
            return icon;
    return FileTypeIcons::None;
}

SongRow SongRowFor(const TrackRecord& track, bool withToolTip, const QLocale& locale) {
    SongRow row;
    row.Texts = {track.Title,
                 track.Artist,
                 track.Album,
                 track.Genre,
                 FormatFileSize(static_cast<double>(track.FileSize), locale),
                 track.Year,
                 track.TrackNumber,
                 track.BitRate,
                 track.Location,
                 QString::number(track.FileSize),
                 track.AlbumArtist,
                 DiscText(track.DiscNumber, track.DiscCount)};
    row.Icon = FileTypeIcon(track.Location);
    if (withToolTip)
        row.ToolTip = track.Description;
    return row;
}

SongCatalog::SongCatalog(const MusicDatabase& db, const QLocale& locale) {
    rows_.reserve(db.Tracks.size());
    byId_.reserve(db.Tracks.size());
    for (const TrackRecord& track : db.Tracks) {
        byId_.emplace_back(track.TrackID, static_cast<int>(rows_.size()));
        rows_.push_back(SongRowFor(track, true, locale));
    }
    std::sort(byId_.begin(), byId_.end());
}

std::vector<SongRow> SongCatalog::PlaylistRows(const MusicDatabase& db, int p,
                                               LoadProgress* progress,
                                               const std::function<bool()>& superseded) const {
    std::vector<SongRow> rows;
    if (p < 0 || p >= db.PlaylistCount())
        return rows;
    const clsList& members = db.Playlists[static_cast<size_t>(p)].Songs;
    const int n = members.ListCount();
    if (progress)
        progress->setMaximum(n - 1);
    rows.reserve(static_cast<size_t>(n));
    UiYield yield;
    for (int i = 0; i < n; ++i) {
        const auto [from, to] = tracksOf(members.List(i));
        for (auto it = from; it != to; ++it)
            rows.push_back(rows_[static_cast<size_t>(it->second)]);
        if (yield.due()) {
            if (progress)
                progress->setValue(i);
            yield.yieldNow();
            if (superseded && superseded())
                return {};
        }
    }
    if (progress && n > 0)
        progress->setValue(n - 1);
    return rows;
}

std::vector<int> SongCatalog::PlaylistTracks(const MusicDatabase& db, int p) const {
    std::vector<int> tracks;
    if (p < 0 || p >= db.PlaylistCount())
        return tracks;
    const clsList& members = db.Playlists[static_cast<size_t>(p)].Songs;
    for (int i = 0; i < members.ListCount(); ++i) {
        const auto [from, to] = tracksOf(members.List(i));
        for (auto it = from; it != to; ++it)
            tracks.push_back(it->second);
    }
    return tracks;
}

std::pair<SongCatalog::ById::const_iterator, SongCatalog::ById::const_iterator>
SongCatalog::tracksOf(const QString& member) const {
    const double id = NumericPrefix(member.trimmed());
    if (!(id >= std::numeric_limits<qint32>::min() && id <= std::numeric_limits<qint32>::max() &&
          std::trunc(id) == id))
        return {byId_.end(), byId_.end()};
    const auto key = static_cast<qint32>(id);
    const auto from = std::lower_bound(byId_.begin(), byId_.end(), std::pair(key, 0));
    auto to = from;
    while (to != byId_.end() && to->first == key)
        ++to;
    return {from, to};
}
