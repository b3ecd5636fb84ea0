#pragma once

// The .m3u playlist a copy run writes beside the songs, and the debug log it appends to.
// Both open, write and close their file on every call, in the locale's encoding, with CR LF
// line ends. They return the reason when the file could not be written, empty when it was.

#include "itunesdb/MusicDatabase.h"
#include "platform/BackslashPath.h"
#include "settings/LanguageTable.h"

#include <QString>
#include <QStringList>

// The playlist's name: the playlist selector's text ("ExportPlaylist" when empty), cleaned
// as a file name.
QString PlaylistName(const QString& selectorText);

// The playlist file in the run's processed output folder (ending in "\", where the songs
// go), named name + ".m3u"; native.
QString PlaylistPath(const BackslashPath& outputFolder, const QString& name);

// Replaces any file of that name with one that holds the "#EXTM3U" line.
QString StartPlaylist(const QString& path);
// Appends "#EXTINF:0," + title and the song's path (native, absolute).
QString AppendPlaylistSong(const QString& path, const QString& title, const QString& songPath);

// Appends the date and time, " - " and the message, when the log file exists (a file: a
// FIFO of that name is no log).
QString DebugLog(const QString& logPath, const QString& message);

// What Export All Playlists did.
struct PlaylistsExport {
    bool NoOutputFolder = false; // the box is empty: nothing was written
    QString Folder;              // where the playlists went, native
    int Written = 0;             // playlist files
    int LeftOut = 0;             // songs of the playlists whose file is not in the output folder
    QStringList Failures;        // each file (or the folder) that could not be written: why

    // What was done, as the message says it in language.
    QString Report(const LanguageTable& language) const;
};

// Every playlist of db, the master's included, as "<name>.m3u8" in the output folder's
// "Playlists" folder, in UTF-8: "#EXTM3U", then for each member whose file is in the output
// folder where the format (in lower case, as a copy uses it) puts it, "#EXTINF:<seconds>,
// <artist> - <title>" and the file's path from the playlist's folder, so the folder can move.
// Members without a file are left out. Names are cleaned as file names are; a name taken
// already gets " (2)", " (3)"... Each file replaces an old one only once it is whole.
PlaylistsExport ExportAllPlaylists(const MusicDatabase& db, const QString& outputFolderText,
                                   const QString& format);
