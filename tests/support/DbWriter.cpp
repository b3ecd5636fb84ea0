#include "DbWriter.h"

#include <QtEndian>
#include <algorithm>
#include <zlib.h>

namespace dbwriter {

// Room for the tag and both lengths even when a damaged record claims a shorter header.
Record::Record(const char* tag, int headerLength) : header_(std::max(headerLength, 12), '\0') {
    std::copy_n(tag, 4, header_.data());
    set32(4, headerLength);
}

Record& Record::set32(int offset, qint32 value) {
    if (offset == 8)
        totalIsSet_ = true;
    if (offset + 4 > header_.size())
        header_.resize(offset + 4, '\0');
    qToLittleEndian<qint32>(value, header_.data() + offset);
    return *this;
}

Record& Record::add(const QByteArray& child) {
    children_ += child;
    return *this;
}

Record& Record::add(const QList<QByteArray>& children) {
    for (const QByteArray& child : children)
        children_ += child;
    return *this;
}

QByteArray Record::bytes() const {
    QByteArray out = header_ + children_;
    if (!totalIsSet_ && out.size() >= 12)
        qToLittleEndian<qint32>(static_cast<qint32>(out.size()), out.data() + 8);
    return out;
}

QByteArray mhodString(int type, const QString& text, int encoding) {
    QByteArray payload;
    if (encoding == 2) {
        payload = text.toUtf8();
    } else {
        payload.resize(text.size() * 2);
        qToLittleEndian<char16_t>(text.utf16(), text.size(), payload.data());
    }
    return Record("mhod", 24)
        .set32(12, type)
        .set32(24, encoding)
        .set32(28, static_cast<qint32>(payload.size()))
        .set32(36, 0)
        .add(payload);
}

QByteArray mhit(const Track& track, int headerLength) {
    Record r("mhit", headerLength);
    r.set32(12, static_cast<qint32>(track.strings.size()))
        .set32(16, track.id)
        .set32(36, track.size)
        .set32(44, track.trackNumber)
        .set32(52, track.year)
        .set32(56, track.bitrate)
        .set32(40, track.lengthMs);
    if (headerLength >= 100)
        r.set32(92, track.discNumber).set32(96, track.discCount);
    for (const auto& [type, text] : track.strings)
        r.add(mhodString(type, text));
    return r;
}

QByteArray mhip(qint32 trackId, qint32 flags, const QByteArray& child) {
    // The position string record that real players store with every item.
    const QByteArray position =
        Record("mhod", 24).set32(12, 100).set32(8, 44).add(QByteArray(20, '\0'));
    return Record("mhip", 76)
        .set32(12, child.isEmpty() ? 1 : 2)
        .set32(16, flags)
        .set32(24, trackId)
        .add(child.isEmpty() ? position : child + position);
}

QByteArray mhyp(const QString& name, const QList<qint32>& trackIds) {
    Record r("mhyp", 108);
    r.set32(12, 1).set32(16, static_cast<qint32>(trackIds.size())).add(mhodString(1, name));
    for (qint32 id : trackIds)
        r.add(mhip(id));
    return r;
}

QByteArray mhlt(const QList<QByteArray>& tracks) {
    return Record("mhlt", 92).set32(8, static_cast<qint32>(tracks.size())).add(tracks);
}

QByteArray mhlp(const QList<QByteArray>& playlists) {
    return Record("mhlp", 92).set32(8, static_cast<qint32>(playlists.size())).add(playlists);
}

QByteArray mhsd(int type, const QByteArray& list) {
    return Record("mhsd", 96).set32(12, type).add(list);
}

QByteArray mhbd(const QList<QByteArray>& dataSets) {
    return Record("mhbd", 104)
        .set32(12, 1)
        .set32(16, 0x13)
        .set32(20, static_cast<qint32>(dataSets.size()))
        .add(dataSets);
}

QByteArray database(const QList<Track>& tracks, const QList<QByteArray>& playlists) {
    QList<QByteArray> trackRecords;
    for (const Track& t : tracks)
        trackRecords.append(mhit(t));
    return mhbd({mhsd(1, mhlt(trackRecords)), mhsd(2, mhlp(playlists))});
}

} // namespace dbwriter

namespace dbwriter {

QByteArray compressed(const QByteArray& database) {
    if (database.size() < 8)
        return database;
    // Newer players' headers are 244 bytes; the compressed flag lies at 0xA8.
    QByteArray plain = database;
    qint32 header = qFromLittleEndian<qint32>(plain.constData() + 4);
    if (header <= 0xA8) {
        plain.insert(header, QByteArray(0xF4 - header, '\0'));
        header = 0xF4;
        qToLittleEndian<qint32>(header, plain.data() + 4);
    }
    QByteArray packed(qint64(compressBound(uLong(plain.size() - header))), '\0');
    uLongf packedSize = uLongf(packed.size());
    compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
              reinterpret_cast<const Bytef*>(plain.constData() + header),
              uLong(plain.size() - header), 6);
    packed.truncate(qint64(packedSize));
    QByteArray out = plain.left(header);
    out[0xA8] = 1;
    qToLittleEndian<qint32>(header + qint32(packed.size()), out.data() + 8);
    return out + packed;
}

} // namespace dbwriter
