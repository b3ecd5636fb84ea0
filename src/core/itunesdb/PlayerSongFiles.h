#pragma once

#include "itunesdb/LoadiTunesDB.h"

#include <QString>
#include <QStringList>

// The song files of a player, found on its disk rather than named by its database: the
// files of the known song types in the Fnn folders of iPod_Control/Music, in the order of
// their folders and names, as player locations ("\iPod_Control\Music\F00\ABCD.mp3",
// spelled as on the disk). Names are matched without regard to case; only regular files
// (or links to one inside the player) are listed, nothing is opened, and the list stops at
// the reader's ceiling for tracks.
// most: where the list stops (IsPlayerRoot asks for one).
QStringList PlayerSongLocations(const QString& playerRoot, qsizetype most = ReaderCeiling::Tracks);

// Whether a file name has the extension of what a player plays (songs, audiobooks,
// videos); hidden files such as "._ABCD.mp3" never count.
bool IsSongFileName(const QString& name);
