#pragma once

// Writes small shuffle databases (iTunesSD) laid out as the players' own, for hand-made and
// damaged test files. Paths are the player's, "/iPod_Control/Music/F00/A.mp3".

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtEndian>

namespace shufflewriter {

// First and second generation: an 18-byte header, then 558-byte entries, big-endian.
inline QByteArray shortFormat(const QStringList& paths) {
    const auto put24 = [](QByteArray& out, qsizetype at, quint32 value) {
        out[at] = char(value >> 16);
        out[at + 1] = char(value >> 8);
        out[at + 2] = char(value);
    };
    QByteArray out(18 + 558 * paths.size(), '\0');
    put24(out, 0, quint32(paths.size()));
    put24(out, 3, 0x010800);
    put24(out, 6, 18);
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const qsizetype entry = 18 + 558 * i;
        put24(out, entry, 558);
        put24(out, entry + 3, 0x5aa501);
        const QString path = paths[i].left(261);
        qToLittleEndian<char16_t>(path.utf16(), path.size(), out.data() + entry + 33);
    }
    return out;
}

struct Playlist {
    int kind = 2;          // 1 master, 2 normal, 3 podcasts, 4 audiobooks
    QList<quint32> tracks; // indexes into the paths
};

// Third and fourth generation. iTunes writes a 68-byte playlist-list header, libgpod one of
// 20 bytes; both end with the playlists' offsets.
inline QByteArray longFormat(const QStringList& paths, const QList<Playlist>& playlists,
                             qsizetype playlistListHeader = 68) {
    const auto put32 = [](QByteArray& out, qsizetype at, quint32 value) {
        qToLittleEndian<quint32>(value, out.data() + at);
    };
    QByteArray out(64, '\0');
    out.replace(0, 4, "bdhs");
    put32(out, 4, 0x02010001);
    put32(out, 8, 64);
    put32(out, 12, quint32(paths.size()));
    put32(out, 16, quint32(playlists.size()));

    const qsizetype songList = out.size();
    put32(out, 36, quint32(songList));
    out += QByteArray(20 + 4 * paths.size(), '\0');
    out.replace(songList, 4, "hths");
    put32(out, songList + 4, quint32(20 + 4 * paths.size()));
    put32(out, songList + 8, quint32(paths.size()));
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const qsizetype record = out.size();
        put32(out, songList + 20 + 4 * i, quint32(record));
        out += QByteArray(0x174, '\0');
        out.replace(record, 4, "rths");
        put32(out, record + 4, 0x174);
        const QByteArray path = paths[i].toUtf8().left(256);
        out.replace(record + 24, path.size(), path);
    }

    const qsizetype list = out.size();
    put32(out, 40, quint32(list));
    const qsizetype header = playlistListHeader + 4 * playlists.size();
    out += QByteArray(header, '\0');
    out.replace(list, 4, "hphs");
    put32(out, list + 4, quint32(header));
    qToLittleEndian<quint16>(quint16(playlists.size()), out.data() + list + 8);
    for (qsizetype p = 0; p < playlists.size(); ++p) {
        const qsizetype record = out.size();
        put32(out, list + playlistListHeader + 4 * p, quint32(record));
        const QList<quint32>& tracks = playlists[p].tracks;
        out += QByteArray(44 + 4 * tracks.size(), '\0');
        out.replace(record, 4, "lphs");
        put32(out, record + 4, quint32(44 + 4 * tracks.size()));
        put32(out, record + 8, quint32(tracks.size()));
        put32(out, record + 12, quint32(tracks.size()));
        put32(out, record + 24, quint32(playlists[p].kind));
        for (qsizetype t = 0; t < tracks.size(); ++t)
            put32(out, record + 44 + 4 * t, tracks[t]);
    }
    return out;
}

} // namespace shufflewriter
