// libFuzzer entry: any bytes walked as a music database must neither crash nor hang. The
// bytes are also read as the stream of a compressed database, behind a header of its own,
// so that the inflating path meets arbitrary streams as well as the mutated seeds, and as a
// shuffle's database.

#include "itunesdb/LoadiTunesDB.h"
#include "itunesdb/LoadiTunesSD.h"

#include <QtEndian>
#include <cstddef>
#include <cstdint>

namespace {

qsizetype readAndTouch(QByteArrayView bytes) {
    MusicDatabase db;
    ReadiTunesDB(db, bytes, QStringLiteral("All Songs"));
    // Touch what was read, so that a bad string would show under the sanitizers.
    qsizetype total = 0;
    for (const TrackRecord& t : db.Tracks)
        total += t.Title.size() + t.Location.size() + t.Description.size();
    for (const clsPlayList& p : db.Playlists)
        total += p.PlayListName.size() + p.Songs.ListCount();
    return total;
}

qsizetype readShuffle(QByteArrayView bytes) {
    const ShuffleLoad load = ReadiTunesSD(bytes);
    qsizetype total = 0;
    for (const QString& location : load.db.Locations)
        total += location.size();
    for (const ShufflePlaylist& list : load.db.Playlists)
        for (int track : list.Tracks)
            total += load.db.Locations.at(size_t(track)).size(); // a member names a song
    return total;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    qsizetype total = readAndTouch(input);
    QByteArray compressed(0xF4, '\0');
    std::copy_n("mhbd", 4, compressed.data());
    qToLittleEndian<quint32>(0xF4, compressed.data() + 4);
    compressed[0xA8] = 1;
    compressed += input.toByteArray();
    total += readAndTouch(compressed);
    total += readShuffle(input);
    return total < 0 ? -1 : 0;
}
