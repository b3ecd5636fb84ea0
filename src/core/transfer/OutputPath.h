#pragma once

// Where a song's copy goes: the output folder, the tags put into the output format, the
// cleaning of characters a file name may not hold, and the folders made on the way. Paths
// here have "\" between folders (BackslashPath); they turn native at the file system's edge.

#include "platform/BackslashPath.h"
#include "songlist/SongRow.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

// Removes ? / * (and, when not a path, . and :), then < > | and ", and turns every
// control character into "_".
void ensureValidFileString(QString& text, bool isPath);

// The output folder box's text as the run uses it: trimmed, ending in "\", cleaned as a
// path. nativeText is the box's native path.
BackslashPath ProcessOutputFolder(const QString& nativeText);
// The same, or none when the box holds only blanks: a run, the sample destination and the
// export of playlists then have no folder to go to.
std::optional<BackslashPath> RunOutputFolder(const QString& nativeText);

// The extension of a player location: its last "." and up to nine characters after it,
// cleaned as a name is (no control character, no character a disk refuses, no blank or
// dot at its end); empty when the location holds no "." or nothing usable follows it.
QString SongExtension(const QString& location);

// The tags of one song-list row that the output format can name. A title that cleans to
// nothing is replaced by the song's own file name on the player (its location's last
// component without the extension), which is unique there; an empty album artist by the
// song's artist.
struct SongTags {
    QString Title, Artist, Album, Genre, TrackNumber, Year;
    QString FileName; // the song's file name on the player, without its extension
    QString AlbumArtist, Disc;
    static SongTags FromRow(const SongTexts::Array& texts);
    // The tag that FormatTokens[token] stands for.
    const QString& ForToken(size_t token) const;
};

// The format with the tags put in, blanks beside "\" and doubled blanks collapsed, cleaned.
// An optional part in braces stays only when every token in it has a value; the format's
// braces are never part of the path.
// On POSIX a "/" typed in the format separates folders too. Then every component is made
// one that every disk takes: blanks and dots at its end dropped, and none longer than a
// file system allows (NameLimit), the last one leaving room for the extension. A file name
// that comes to nothing is the song's file name on the player.
QString RelativePath(const QString& format, const SongTags& tags, const QString& extension = {});

// The longest name a file system takes: 255 bytes of UTF-8 on Linux and macOS, 255 UTF-16
// units on Windows; NameLength measures a name that way.
inline constexpr qsizetype NameLimit = 255;
qsizetype NameLength(QStringView name);
// The longest path the system opens, measured as NameLength does: 4096 bytes with the
// closing NUL on Linux, 32,767 units on Windows. A longer destination fails at once, before
// any folder of it is made.
#ifdef Q_OS_WIN
inline constexpr qsizetype PathLimit = 32767;
#else
inline constexpr qsizetype PathLimit = 4095;
#endif
// The format with the title left out, for the log's folder lines.
QString FolderText(const QString& format, const SongTags& tags);

// Where the copy of a song-list row goes, as the copy run writes it: the run's processed
// output folder (ProcessOutputFolder), the path the format (lower case, as the run uses it)
// gives the row's tags, the extension of its location.
struct SongDestination {
    SongTags Tags;
    QString Extension;  // empty when the location names none
    BackslashPath Base; // output folder + relative path, without the extension
    QString Native() const;
};
SongDestination DestinationOf(const BackslashPath& outputFolder, const QString& format,
                              const SongTexts::Array& texts);

// Where the first ticked row (the first row when none is ticked) would go in a run with this
// output folder box and format; nothing without a row, or with a box of blanks, where a run
// would stop and ask for a folder. The options page shows it.
std::optional<SongDestination> SampleDestination(const QString& outputFolderText,
                                                 const QString& format,
                                                 const std::vector<SongRow>& rows);

// name as a name every disk takes with extension after it: no blank or dot at its end, and
// shortened at a character boundary to fit NameLimit.
QString FitName(QString name, const QString& extension);

// Creates every missing folder of path that a "\" follows, from the root down; the last
// component is not created. The folder that could not be made, with the reason (none of
// the deeper ones can be then).
struct FolderFailure {
    QString Folder;
    QString Reason;
};
QList<FolderFailure> makeFolderPath(const BackslashPath& path);
