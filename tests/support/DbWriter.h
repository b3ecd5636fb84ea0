#pragma once

// Writes small music databases record by record, for hand-made and damaged test files.

#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

namespace dbwriter {

// A record: a header of the given length starting with the tag, then its children.
// Offset 4 holds the header length; offset 8 the total length unless set otherwise.
class Record {
public:
    Record(const char* tag, int headerLength);
    Record& set32(int offset, qint32 value);
    Record& add(const QByteArray& child);
    Record& add(const QList<QByteArray>& children);
    QByteArray bytes() const;
    operator QByteArray() const { return bytes(); }

private:
    QByteArray header_;
    QByteArray children_;
    bool totalIsSet_ = false;
};

struct Track {
    qint32 id = 0;
    qint32 size = 0;
    qint32 trackNumber = 0;
    qint32 year = 0;
    qint32 bitrate = 0;
    QList<std::pair<int, QString>> strings; // string type, text
    qint32 lengthMs = 0;
    qint32 discNumber = 0, discCount = 0;
};

QByteArray mhodString(int type, const QString& text, int encoding = 1);
QByteArray mhit(const Track& track, int headerLength = 0x9c);
// flags 0x100 marks a podcast group header.
QByteArray mhip(qint32 trackId, qint32 flags = 0, const QByteArray& child = {});
QByteArray mhyp(const QString& name, const QList<qint32>& trackIds);
QByteArray mhlt(const QList<QByteArray>& tracks);
QByteArray mhlp(const QList<QByteArray>& playlists);
QByteArray mhsd(int type, const QByteArray& list);
QByteArray mhbd(const QList<QByteArray>& dataSets);

// A whole database: the tracks in a type-1 set, then the playlists in a type-2 set.
QByteArray database(const QList<Track>& tracks, const QList<QByteArray>& playlists);

// The database as newer players store it (iTunesCDB): the header with its compressed flag,
// then the rest as one zlib stream.
QByteArray compressed(const QByteArray& database);

} // namespace dbwriter
