#pragma once

#include "text/clsList.h"

#include <QString>
#include <QtGlobal>

// One song of the player, with its texts as the song list shows them.
struct TrackRecord {
    QString Album;
    QString Artist;
    QString Genre;
    QString Location;    // "\iPod_Control\Music\F01\ABCD.mp3", relative to the player's root
    qint64 FileSize = 0; // bytes; the stored field is unsigned, so files over 2 GB stay positive
    QString Title;
    QString Year; // empty when unknown
    qint32 TrackID = 0;
    QString TrackNumber; // "07", "12"; empty when unknown
    QString Description;
    QString BitRate;       // "128 Kbps"
    QString AlbumArtist;   // the album's own artist ("Various Artists"); empty when unknown
    qint32 DiscNumber = 0; // 0 when unknown
    qint32 DiscCount = 0;  // the discs of the album; 0 when unknown
    qint32 LengthMs = 0;   // the song's length; 0 when unknown

    bool operator==(const TrackRecord&) const = default;
};

// The song list's texts of a track's number ("07") and bit rate ("128 Kbps"), whether the
// database or the song's own tags gave them.
inline QString TrackNumberText(qint64 number) {
    return QString::number(number).rightJustified(2, u'0');
}
inline QString BitRateText(qint64 kbps) {
    return QString::number(kbps) + QStringLiteral(" Kbps");
}

// The disc's number as the output format names it: only for an album of several discs.
inline QString DiscText(qint32 number, qint32 count) {
    return number > 0 && count > 1 ? QString::number(number) : QString();
}

// One playlist: its members as the decimal texts of their track ids, in playlist order.
struct clsPlayList {
    clsList Songs;
    QString PlayListName;
};
