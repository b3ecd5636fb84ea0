#pragma once

// The .m3u playlist a copy run writes beside the songs, and the debug log it appends to.
// Both open, write and close their file on every call, in the locale's encoding, with CR LF
// line ends. They return the reason when the file could not be written, empty when it was.

#include <QString>

// The playlist's name: the playlist selector's text ("ExportPlaylist" when empty), cleaned
// as a file name.
QString PlaylistName(const QString& selectorText);

// The playlist file in the run's processed output folder (the "\" form that ends in "\",
// where the songs go), named name + ".m3u"; native.
QString PlaylistPath(const QString& outputFolder, const QString& name);

// Replaces any file of that name with one that holds the "#EXTM3U" line.
QString StartPlaylist(const QString& path);
// Appends "#EXTINF:0," + title and the song's path (native, absolute).
QString AppendPlaylistSong(const QString& path, const QString& title, const QString& songPath);

// Appends the date and time, " - " and the message, when the log file exists (a file: a
// FIFO of that name is no log).
QString DebugLog(const QString& logPath, const QString& message);
