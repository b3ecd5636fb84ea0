#pragma once

// Player trees for window tests: a folder with iPod_Control/iTunes/iTunesDB written from
// hand-made records, and a small file for every track location.

#include "support/DbWriter.h"

#include <QString>

namespace dbwriter {

// A track with the usual strings; file is the location under iPod_Control/Music, such as
// "F01/ABCD.mp3".
Track song(qint32 id, const QString& title, const QString& artist, const QString& album,
           const QString& genre, const QString& file, qint32 size = 4000,
           const QString& description = {});

// Writes the database and the song files under root; the first playlist is the master.
void writePlayer(const QString& root, const QList<Track>& tracks,
                 const QList<QByteArray>& playlists);

// The native path of the database under root.
QString databasePath(const QString& root);

} // namespace dbwriter
