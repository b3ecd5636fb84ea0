#pragma once

// Where a song's copy goes: the output folder, the tags put into the output format, the
// cleaning of characters a file name may not hold, and the folders made on the way. Paths
// here are texts with "\" between folders; platform/PlayerPath.h converts them at the
// file system's edge.

#include <QString>
#include <QStringList>
#include <array>

// Removes ? / * (and, when not a path, . and :), then < > | and ", and turns every
// control character into "_".
void ensureValidFileString(QString& text, bool isPath);

// The output folder box's text as the run uses it: trimmed, ending in "\", cleaned as a
// path. nativeText is the box's native path.
QString ProcessOutputFolder(const QString& nativeText);

// The extension of a player location: its last "." and up to nine characters after it;
// empty when the location holds no ".".
QString SongExtension(const QString& location);

// The tags of one song-list row that the output format can name.
struct SongTags {
    QString Title, Artist, Album, Genre, TrackNumber, Year;
    static SongTags FromRow(const std::array<QString, 10>& texts);
};

// The format with the tags put in, blanks beside "\" and doubled blanks collapsed, cleaned.
// On POSIX a "/" typed in the format separates folders too.
QString RelativePath(const QString& format, const SongTags& tags);
// The format with the title left out, for the log's folder lines.
QString FolderText(const QString& format, const SongTags& tags);

// Creates every missing folder of path that a "\" follows, from the root down; the last
// component is not created. The folders that could not be made, with the reason.
struct FolderFailure {
    QString Folder;
    QString Reason;
};
QList<FolderFailure> makeFolderPath(const QString& path);
