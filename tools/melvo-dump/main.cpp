// melvo-dump: loads one player database (or a player's folder, with the songs no database
// names read from their tags) the way the program does and prints what it read,
// one record a line, fields separated by tabs. A track's line: T, id, title, artist, album,
// genre, size, year, track number, bit rate, location, description, album artist, disc
// number, disc count, length in ms.

#include "itunesdb/LoadiTunesDB.h"
#include "itunesdb/PlayerSongs.h"
#include "settings/LanguageTable.h"

#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <cstdio>

namespace {

QByteArray escaped(const QString& field) {
    QByteArray out;
    const QByteArray utf8 = field.toUtf8();
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += c;
        }
    }
    return out;
}

void printLine(const QStringList& fields) {
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += '\t';
        line += escaped(fields[i]);
    }
    line += '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
}

// The window reads a damaged or hostile database silently; here what was left out is named.
void reportCuts(const LoadCuts& cuts) {
    const auto say = [](qint64 count, const QString& what) {
        if (count > 0)
            std::fprintf(stderr, "melvo-dump: %lld %s\n", static_cast<long long>(count),
                         qPrintable(what));
    };
    say(cuts.shortTracks,
        QStringLiteral("track records too short to hold a track's fields, left out"));
    say(cuts.shortItems,
        QStringLiteral("playlist items too short to hold an item's fields, left out"));
    say(cuts.tracksPastCeiling,
        QStringLiteral("tracks past the first %1, left out").arg(ReaderCeiling::Tracks));
    say(cuts.playlistsPastCeiling,
        QStringLiteral("playlists past the first %1, left out").arg(ReaderCeiling::Playlists));
    say(cuts.stringsCut,
        QStringLiteral("strings cut to %1 characters").arg(ReaderCeiling::StringUnits));
    if (cuts.inflatedTo >= 0)
        std::fprintf(stderr, "melvo-dump: compressed stream cut after %lld inflated bytes\n",
                     static_cast<long long>(cuts.inflatedTo));
}

int usage() {
    std::fputs("usage: melvo-dump DATABASE|PLAYER_FOLDER [--language english|german|spanish]\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QString path, language = QStringLiteral("english");
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--language") && i + 1 < argc) {
            language = QString::fromLocal8Bit(argv[++i]);
            if (language != QLatin1String("english") && language != QLatin1String("german") &&
                language != QLatin1String("spanish"))
                return usage();
        } else if (arg.startsWith(u'-') || !path.isEmpty()) {
            return usage();
        } else {
            path = arg;
        }
    }
    if (path.isEmpty())
        return usage();

    LanguageTable texts;
    if (!texts.LoadLanguage(language))
        texts.LoadLanguage(QStringLiteral("english"));
    if (QFileInfo(path).isDir() && !IsPlayerRoot(path)) {
        std::fprintf(stderr, "melvo-dump: cannot read %s: no player's database or songs there\n",
                     qPrintable(path));
        return 2;
    }
    MusicDatabase db;
    // A player's folder: its database and the songs it does not name, read from their tags,
    // as the window lists them.
    const LoadResult result =
        QFileInfo(path).isDir()
            ? LoadPlayerWithTags(db, path,
                                 {texts.Entry(Text::AllSongs), texts.Entry(Text::NotInDatabase),
                                  texts.Entry(Text::Podcasts), texts.Entry(Text::Audiobooks),
                                  texts.Entry(Text::Playlist)})
                  .Result
            : LoadiTunesDB(db, path, texts.Entry(Text::AllSongs));
    if (result.status == LoadResult::Status::Unreadable) {
        std::fprintf(stderr, "melvo-dump: cannot read %s: %s\n", qPrintable(path),
                     qPrintable(result.error));
        return 2;
    }
    reportCuts(result.cuts);

    for (const TrackRecord& t : db.Tracks)
        printLine({QStringLiteral("T"), QString::number(t.TrackID), t.Title, t.Artist, t.Album,
                   t.Genre, QString::number(t.FileSize), t.Year, t.TrackNumber, t.BitRate,
                   t.Location, t.Description, t.AlbumArtist, QString::number(t.DiscNumber),
                   QString::number(t.DiscCount), QString::number(t.LengthMs)});
    for (int k = 0; k < db.PlaylistCount(); ++k) {
        const clsList& songs = db.Playlists[static_cast<size_t>(k)].Songs;
        QStringList ids;
        ids.reserve(songs.ListCount());
        for (int j = 0; j < songs.ListCount(); ++j)
            ids.append(songs.List(j));
        printLine({QStringLiteral("P"), QString::number(k),
                   db.Playlists[static_cast<size_t>(k)].PlayListName,
                   QString::number(songs.ListCount()), ids.join(u',')});
    }
    printLine({QStringLiteral("L"), db.LibraryName, QString::number(db.LoadedTrackCount),
               QString::number(db.PlaylistCount())});
    return std::fflush(stdout) == 0 ? 0 : 1;
}
