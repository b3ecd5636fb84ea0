#pragma once

#include "platform/BackslashPath.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <filesystem>

// The player's files are named in the database as "\"-separated texts relative to the
// player's root ("\iPod_Control\Music\F01\ABCD.mp3"). These turn such a text into a native
// path on the volume; platform/BackslashPath.h holds the form itself.

// The folder of a native path, from the text alone where it holds a separator (a song's
// copy asks this of every song, and the file system need not be asked).
QString NativeFolderOf(const QString& nativePath);
// A folder typed by the user: a leading "~", alone or before a separator, is the user's
// home folder, as a shell reads it ("~user" and a "~" further on stay as they are).
QString ExpandHome(const QString& nativePath, const QString& home);
QString ExpandHome(const QString& nativePath); // with QDir::homePath()
// A native path for std::filesystem, in the file system's own encoding.
std::filesystem::path FileSystemPath(const QString& nativePath);

// The native path of the existing file or folder that location names under root, or an
// empty text when there is none. Each component is matched without regard to case, because
// a player's file system may spell "iPod_Control" or "F02" differently from the database.
// A location that leaves the root, by ".." or by a link, is never found.
QString FindPlayerFile(const QString& root, const BackslashPath& location);

// True when location has a ".." component, so that it would name a file outside the player.
bool LeavesPlayerRoot(const BackslashPath& location);

// Whether files lie inside a player: Outside is true when path names an existing file whose
// real path (links resolved) is not under the real path of the player's root, so a link on
// the player to a file elsewhere is never read. The root's real path is found once, and
// each folder on the way once, so a run of many songs costs a look at each song's file.
// FolderOutside looks only at the folder path lies in: for a reader that opens no link in
// the file's own place (Links::Refuse) and asks Outside only of one it met.
class PlayerBounds {
public:
    explicit PlayerBounds(const QString& root);
    bool Outside(const QString& path);
    bool FolderOutside(const QString& path);

private:
    QString realRoot_; // ending in "/"; empty when the root does not exist
    QSet<QString> foldersInside_;
};

// The path of the player's music database under a player's root, and of the compressed
// one that newer players keep instead.
inline const BackslashPath PlayerDatabaseLocation{
    QStringLiteral("\\iPod_Control\\iTunes\\iTunesDB")};
inline const BackslashPath CompressedDatabaseLocation{
    QStringLiteral("\\iPod_Control\\iTunes\\iTunesCDB")};

// The database to read under a player's root: iTunesDB when it is a regular, non-empty
// file, else iTunesCDB when that one is; else whichever of them exists. Empty when the
// root holds neither: no player there.
QString PlayerDatabaseFile(const QString& root);
