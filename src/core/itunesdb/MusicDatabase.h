#pragma once

#include "itunesdb/TrackRecord.h"

#include <QString>
#include <vector>

// The tracks and playlists of the player, as the last load read them. The application
// owns one and hands it to whoever reads it; only the database reader fills it.
struct MusicDatabase {
    std::vector<TrackRecord> Tracks;
    std::vector<clsPlayList> Playlists;
    qint32 LoadedTrackCount = 0; // set when a load has walked the whole file
    QString LibraryName = QStringLiteral("iPod");
    QString PlayerDrive;

    qint32 TrackCount() const { return static_cast<qint32>(Tracks.size()); }
    qint32 PlaylistCount() const { return static_cast<qint32>(Playlists.size()); }

    // Empties the tables; LibraryName and PlayerDrive stay as the caller set them.
    void ClearTables() {
        Tracks.clear();
        Playlists.clear();
        LoadedTrackCount = 0;
    }
};
