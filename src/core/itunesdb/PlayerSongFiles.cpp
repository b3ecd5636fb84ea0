#include "itunesdb/PlayerSongFiles.h"

#include "itunesdb/LoadiTunesDB.h"
#include "itunesdb/MusicDatabase.h"
#include "platform/FolderListing.h"
#include "platform/PlayerPath.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace {

QStringList folderEntries(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
}

// The entry of folder named name, preferring the exact spelling; empty when none.
QString entryNamed(const QString& folder, const QString& name) {
    const QStringList entries = folderEntries(folder);
    if (entries.contains(name))
        return name;
    auto match = std::find_if(entries.begin(), entries.end(), [&](const QString& e) {
        return e.compare(name, Qt::CaseInsensitive) == 0;
    });
    return match == entries.end() ? QString() : *match;
}

// "F" and digits: the folders a player spreads its songs over. Their number, or -1.
int songFolderNumber(const QString& name) {
    if (name.size() < 2 || name.size() > 4 || (name[0] != u'F' && name[0] != u'f'))
        return -1;
    bool ok = false;
    const int number = QStringView(name).sliced(1).toInt(&ok);
    return ok && name[1].isDigit() ? number : -1;
}

// Names in a stable order that does not hang on the locale or on letter case alone.
void sortNames(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
}

} // namespace

bool IsSongFileName(const QString& name) {
    // What a player plays: the types with an icon of their own, and the videos, audiobooks
    // and plain AAC and AIFF files a player holds as well. A database lists them all, so a
    // player without one should too.
    static const QSet<QString> kinds = {
        QStringLiteral("mp3"), QStringLiteral("m4a"),  QStringLiteral("m4b"), QStringLiteral("m4p"),
        QStringLiteral("mp4"), QStringLiteral("m4v"),  QStringLiteral("mov"), QStringLiteral("wav"),
        QStringLiteral("aif"), QStringLiteral("aiff"), QStringLiteral("aac"), QStringLiteral("acc"),
        QStringLiteral("aa"),  QStringLiteral("aax")};
    const qsizetype dot = name.lastIndexOf(u'.');
    return !name.startsWith(u'.') && dot > 0 && kinds.contains(name.sliced(dot + 1).toLower());
}

QStringList PlayerSongLocations(const QString& playerRoot, qsizetype most) {
    most = std::min<qsizetype>(most, ReaderCeiling::Tracks);
    QStringList locations;
    const QString root = QDir::cleanPath(playerRoot);
    const QString control = entryNamed(root, QStringLiteral("iPod_Control"));
    if (control.isEmpty())
        return locations;
    const QString music = entryNamed(root + u'/' + control, QStringLiteral("Music"));
    if (music.isEmpty())
        return locations;
    const QString musicPath = root + u'/' + control + u'/' + music;
    PlayerBounds bounds(root);
    if (!QFileInfo(musicPath).isDir() || bounds.Outside(musicPath))
        return locations;

    QStringList folders = folderEntries(musicPath);
    folders.removeIf([](const QString& name) { return songFolderNumber(name) < 0; });
    sortNames(folders);
    std::stable_sort(folders.begin(), folders.end(), [](const QString& a, const QString& b) {
        return songFolderNumber(a) < songFolderNumber(b);
    });
    const QString prefix = u'\\' + control + u'\\' + music + u'\\';
    for (const QString& folder : folders) {
        const QString folderPath = musicPath + u'/' + folder;
        if (!QFileInfo(folderPath).isDir() || bounds.Outside(folderPath))
            continue;
        // The folder's listing tells most files' type without a look at each (a player
        // holds tens of thousands); nothing is opened, so a FIFO is no file and never waited
        // on, and a link counts only where it ends at a file inside the player.
        QStringList names;
        for (FolderEntry& entry : ListFolder(folderPath)) {
            // A "\" in a POSIX name would read as a folder in the player's form of the path.
            const bool link = entry.Type == FolderEntry::Kind::Link;
            if ((entry.Type != FolderEntry::Kind::File && !link) || !IsSongFileName(entry.Name) ||
                entry.Name.contains(u'\\'))
                continue;
            if (link && !(QFileInfo(folderPath + u'/' + entry.Name).isFile() &&
                          !bounds.Outside(folderPath + u'/' + entry.Name)))
                continue;
            names.append(std::move(entry.Name));
            if (names.size() > most)
                break;
        }
        sortNames(names);
        for (const QString& name : names) {
            if (locations.size() >= most)
                return locations;
            locations.append(prefix + folder + u'\\' + name);
        }
    }
    return locations;
}
