// libFuzzer entry: any bytes walked as a music database must neither crash nor hang.

#include "itunesdb/LoadiTunesDB.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MusicDatabase db;
    ReadiTunesDB(db,
                 QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
                 QStringLiteral("All Songs"));
    // Touch what was read, so that a bad string would show under the sanitizers.
    qsizetype total = 0;
    for (const TrackRecord& t : db.Tracks)
        total += t.Title.size() + t.Location.size() + t.Description.size();
    for (const clsPlayList& p : db.Playlists)
        total += p.PlayListName.size() + p.Songs.ListCount();
    return total < 0 ? -1 : 0;
}
