#include "itunesdb/LoadiTunesSD.h"

#include "platform/RegularFile.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QtEndian>
#include <algorithm>

namespace {

using Status = LoadResult::Status;

// Far beyond any shuffle (a 4 GB one holds a few thousand songs: a database of a few MB).
constexpr qint64 kMostFileBytes = qint64(64) << 20;

// The file's bytes; what lies past the end reads as absent: zero for numbers.
class Bytes {
public:
    explicit Bytes(QByteArrayView data) : data_(data) {}
    qint64 size() const { return data_.size(); }
    bool has(qint64 pos, qint64 length) const { return pos >= 0 && pos + length <= size(); }
    quint32 u32(qint64 pos) const {
        return has(pos, 4) ? qFromLittleEndian<quint32>(data_.data() + pos) : 0;
    }
    quint16 u16(qint64 pos) const {
        return has(pos, 2) ? qFromLittleEndian<quint16>(data_.data() + pos) : 0;
    }
    quint32 u24BigEndian(qint64 pos) const {
        if (!has(pos, 3))
            return 0;
        const auto* p = reinterpret_cast<const uchar*>(data_.data() + pos);
        return quint32(p[0]) << 16 | quint32(p[1]) << 8 | p[2];
    }
    bool tagAt(qint64 pos, const char (&tag)[5]) const {
        return has(pos, 4) && data_.sliced(pos, 4) == QByteArrayView(tag, 4);
    }
    QByteArrayView slice(qint64 pos, qint64 length) const { return data_.sliced(pos, length); }

private:
    QByteArrayView data_;
};

// The player's "/" path as the program's location, "\" separated from the player's root.
QString location(QString path) {
    if (path.isEmpty())
        return path;
    path.replace(u'/', u'\\');
    if (!path.startsWith(u'\\'))
        path.prepend(u'\\');
    return path;
}

// First and second generation: an 18-byte header whose first three bytes count the songs,
// then one 558-byte entry per song, its path 261 UTF-16LE units from byte 33, padded with
// NULs. Numbers are big-endian, three bytes wide.
constexpr qint64 kShortHeader = 18;
constexpr qint64 kShortEntry = 558;
constexpr qint64 kShortPathAt = 33;
constexpr qint64 kShortPathUnits = 261;

bool isShortFormat(const Bytes& bytes) {
    return bytes.u24BigEndian(6) == kShortHeader;
}

ShuffleLoad readShortFormat(const Bytes& bytes) {
    ShuffleLoad load{Status::Loaded, {}, {}, 0};
    const qint64 counted = bytes.u24BigEndian(0);
    // Only whole entries: one cut short would give a cut path.
    const qint64 entries =
        std::min({counted, std::max<qint64>((bytes.size() - kShortHeader) / kShortEntry, 0),
                  ReaderCeiling::Tracks});
    std::vector<QString>& locations = load.db.Locations;
    locations.reserve(size_t(entries));
    for (qint64 i = 0; i < entries; ++i) {
        const qint64 entry = kShortHeader + i * kShortEntry;
        if (bytes.u24BigEndian(entry) != kShortEntry) // an entry begins with its own size
            continue;
        QString path(kShortPathUnits, Qt::Uninitialized);
        qFromLittleEndian<char16_t>(bytes.slice(entry + kShortPathAt, 2 * kShortPathUnits).data(),
                                    kShortPathUnits, path.data());
        if (const qsizetype end = path.indexOf(QChar(0)); end >= 0)
            path.truncate(end);
        if (!path.isEmpty())
            locations.push_back(location(path));
    }
    load.unread = counted - qint64(locations.size());
    return load;
}

// Third and fourth generation: little-endian records, each a 4-byte tag and its length.
// "bdhs" heads the file and gives the offsets of the song list ("hths") and of the playlist
// list ("hphs"); each list's header ends with the offsets of its records ("rths" a song,
// "lphs" a playlist).
constexpr qint64 kSongListAt = 36;
constexpr qint64 kPlaylistListAt = 40;
constexpr qint64 kShortestListHeader = 20; // libgpod's; iTunes writes longer playlist-list headers
constexpr qint64 kSongPathAt = 24;
constexpr qint64 kSongPathBytes = 256;
constexpr qint64 kPlaylistKindAt = 24;
constexpr qint64 kPlaylistHeader = 44;

struct OffsetTable {
    qint64 first = 0; // where the first offset is
    qint64 count = 0; // how many the file holds
};

// A list header closes with one 4-byte offset per record. Where its own length cannot hold
// that many, they are looked for where the shortest header ends.
OffsetTable offsetTable(const Bytes& bytes, qint64 header, qint64 counted, qint64 ceiling) {
    const qint64 length = bytes.u32(header + 4);
    const qint64 first = length >= kShortestListHeader + 4 * counted ? header + length - 4 * counted
                                                                     : header + kShortestListHeader;
    return {first, std::min({counted, std::max<qint64>((bytes.size() - first) / 4, 0), ceiling})};
}

ShufflePlaylist::Kind kindOf(quint32 stored) {
    using Kind = ShufflePlaylist::Kind;
    switch (stored) {
    case 1:
        return Kind::Master;
    case 3:
        return Kind::Podcasts;
    case 4:
        return Kind::Audiobooks;
    default:
        return Kind::Normal;
    }
}

ShuffleLoad readLongFormat(const Bytes& bytes) {
    ShuffleLoad load{Status::Loaded, {}, {}, 0};
    std::vector<QString>& locations = load.db.Locations;
    // For each entry of the song list, its index in locations; -1 where it could not be read.
    std::vector<int> songOf;

    const qint64 songList = bytes.u32(kSongListAt);
    const bool haveSongList = bytes.tagAt(songList, "hths");
    const qint64 counted = haveSongList ? bytes.u32(songList + 8) : bytes.u32(12);
    if (haveSongList) {
        const OffsetTable table = offsetTable(bytes, songList, counted, ReaderCeiling::Tracks);
        songOf.assign(size_t(table.count), -1);
        QHash<qint64, int> songAt; // a record the list names twice is one song
        qint64 read = 0;
        for (qint64 i = 0; i < table.count; ++i) {
            const qint64 record = bytes.u32(table.first + 4 * i);
            if (const auto known = songAt.constFind(record); known != songAt.cend()) {
                songOf[size_t(i)] = *known;
                ++read;
                continue;
            }
            // A record cut before the end of its path field would give a cut path.
            if (!bytes.tagAt(record, "rths") || !bytes.has(record + kSongPathAt, kSongPathBytes))
                continue;
            QByteArrayView path = bytes.slice(record + kSongPathAt, kSongPathBytes);
            if (const qsizetype end = path.indexOf('\0'); end >= 0)
                path.truncate(end);
            if (path.isEmpty())
                continue;
            songOf[size_t(i)] = songAt[record] = int(locations.size());
            locations.push_back(location(QString::fromUtf8(path)));
            ++read;
        }
        load.unread = counted - read;
    } else {
        load.unread = counted;
    }

    const qint64 playlistList = bytes.u32(kPlaylistListAt);
    if (!bytes.tagAt(playlistList, "hphs"))
        return load;
    // Fewer than 65,536 playlists, far below the ceiling.
    const OffsetTable table =
        offsetTable(bytes, playlistList, bytes.u16(playlistList + 8), ReaderCeiling::Playlists);
    // Each member is four bytes of the file, so all playlists together hold no more members
    // than that: records laid over one another cannot multiply them.
    qint64 membersLeft = bytes.size() / 4;
    QSet<qint64> seen; // a record the list names twice is one playlist
    for (qint64 i = 0; i < table.count; ++i) {
        const qint64 record = bytes.u32(table.first + 4 * i);
        if (!bytes.tagAt(record, "lphs") || seen.contains(record))
            continue;
        seen.insert(record);
        ShufflePlaylist& list = load.db.Playlists.emplace_back();
        list.kind = kindOf(bytes.u32(record + kPlaylistKindAt));
        // The members end with the record, or where a record too short for its own header
        // cannot say, with the file.
        const qint64 length = bytes.u32(record + 4);
        const qint64 end =
            length >= kPlaylistHeader ? std::min(record + length, bytes.size()) : bytes.size();
        const qint64 members =
            std::min({qint64(bytes.u32(record + 8)),
                      std::max<qint64>((end - record - kPlaylistHeader) / 4, 0), membersLeft});
        membersLeft -= members;
        for (qint64 m = 0; m < members; ++m) {
            const quint32 entry = bytes.u32(record + kPlaylistHeader + 4 * m);
            if (entry < songOf.size() && songOf[entry] >= 0)
                list.Tracks.push_back(songOf[entry]);
        }
    }
    return load;
}

} // namespace

ShuffleLoad ReadiTunesSD(QByteArrayView data) {
    const Bytes bytes(data);
    if (bytes.tagAt(0, "bdhs"))
        return readLongFormat(bytes);
    if (isShortFormat(bytes))
        return readShortFormat(bytes);
    return {};
}

ShuffleLoad LoadiTunesSD(const QString& nativePath) {
    QFile file;
    RegularFileFacts facts;
    if (const QString error = OpenRegularFile(file, nativePath, &facts); !error.isEmpty())
        return {Status::Unreadable, error, {}, 0};
    const QByteArray bytes = file.read(std::min(facts.Size, kMostFileBytes));
    if (file.error() != QFileDevice::NoError)
        return {Status::Unreadable, file.errorString(), {}, 0};
    return ReadiTunesSD(bytes);
}
