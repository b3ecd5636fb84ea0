// Songs read from their own tags: the files of a player, their records, the cache and the
// worker that reads them beside the window's thread. Real audio files, made from the
// templates in data/audio and tagged here with TagLib.

#include "itunesdb/LoadiTunesDB.h"
#include "itunesdb/PlayerSongFiles.h"
#include "itunesdb/PlayerSongs.h"
#include "itunesdb/TagCache.h"
#include "itunesdb/TagReader.h"
#include "itunesdb/TagScanner.h"
#include "support/DbWriter.h"
#include "support/ShuffleWriter.h"

#include <QDateTime>
#include <QDir>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>

#include <memory>
#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Tags {
    QString title, artist, album, genre;
    unsigned year = 0, track = 0;
    QString albumArtist = {}, disc = {}; // "1/2"
};

// A copy of the template for location's type at location under root, tagged unless tags
// is empty; its time set to a whole second, so that it can be set back exactly.
QString putSong(const QString& root, const QString& location, const std::optional<Tags>& tags,
                const QDateTime& modified = QDateTime::fromSecsSinceEpoch(1600000000)) {
    const QString path = root + QString(location).replace(u'\\', u'/');
    QDir().mkpath(QFileInfo(path).path());
    const QString type = location.section(u'.', -1).toLower();
    if (!QFile::copy(QStringLiteral(MELVO_AUDIO_DIR "/template.") + type, path))
        qFatal("no template for %s", qPrintable(type));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    if (tags) {
        TagLib::FileRef file(QFile::encodeName(path).constData());
        TagLib::Tag* tag = file.tag();
        tag->setTitle(tags->title.toStdWString());
        tag->setArtist(tags->artist.toStdWString());
        tag->setAlbum(tags->album.toStdWString());
        tag->setGenre(tags->genre.toStdWString());
        tag->setYear(tags->year);
        tag->setTrack(tags->track);
        TagLib::PropertyMap properties = file.file()->properties();
        if (!tags->albumArtist.isEmpty())
            properties.replace("ALBUMARTIST", TagLib::String(tags->albumArtist.toStdWString()));
        if (!tags->disc.isEmpty())
            properties.replace("DISCNUMBER", TagLib::String(tags->disc.toStdWString()));
        file.file()->setProperties(properties);
        if (!file.save())
            qFatal("cannot tag %s", qPrintable(path));
    }
    QFile file(path);
    if (!file.open(QIODevice::Append) || !file.setFileTime(modified, QFile::FileModificationTime))
        qFatal("cannot set the time of %s", qPrintable(path));
    return path;
}

// What TagLib itself says of a file's bit rate.
QString tagLibBitRate(const QString& path) {
    const TagLib::FileRef file(QFile::encodeName(path).constData());
    return QString::number(file.audioProperties()->bitrate()) + u" Kbps"_s;
}

QString text(const TrackRecord& t) {
    return QStringList{t.Title,   t.Artist,   t.Album,
                       t.Genre,   t.Year,     t.TrackNumber,
                       t.BitRate, t.Location, QString::number(t.FileSize)}
        .join(u'|');
}

QStringList texts(const std::vector<TrackRecord>& records) {
    QStringList lines;
    for (const TrackRecord& t : records)
        lines << text(t);
    return lines;
}

// A player of n songs of every type, each tagged "Song nn"; their locations in order.
QStringList putPlayer(const QString& root, int n) {
    static const char* types[] = {"mp3", "m4a", "wav", "mp4"};
    QStringList locations;
    for (int i = 0; i < n; ++i) {
        const QString number = QString::number(i).rightJustified(2, u'0');
        const QString location =
            u"\\iPod_Control\\Music\\F0%1\\S%2.%3"_s.arg(i % 3).arg(number, types[i % 4]);
        putSong(root, location,
                Tags{u"Song "_s + number,
                     u"Band"_s,
                     {},
                     {},
                     0,
                     unsigned(i),
                     i % 2 ? u"Various"_s : QString(),
                     i % 3 ? u"%1/2"_s.arg(i % 3) : QString()});
        locations << location;
    }
    locations.sort(); // F00 first, then by name: the order of the disk
    return locations;
}

struct Scan {
    std::vector<TrackRecord> records;
    QList<int> done;
    int total = -1;
    int finished = 0;
    TagScanCounts counts;
};

Scan scan(const QString& root, const QStringList& locations, const QString& cache) {
    Scan s;
    TagScanner scanner(root, cache);
    scanner.SetBatchInterval(0);
    QObject::connect(&scanner, &TagScanner::Batch,
                     [&](const std::vector<TrackRecord>& records, int done, int total) {
                         s.records.insert(s.records.end(), records.begin(), records.end());
                         s.done << done;
                         s.total = total;
                     });
    QObject::connect(&scanner, &TagScanner::Finished, [&] { ++s.finished; });
    scanner.Start(locations);
    if (!QTest::qWaitFor([&] { return s.finished > 0; }, 60000))
        qFatal("the scan did not finish");
    s.counts = scanner.Counts();
    return s;
}

std::vector<TrackRecord> readEach(const QString& root, const QStringList& locations) {
    std::vector<TrackRecord> records;
    for (const QString& location : locations)
        if (auto track = ReadTrackFromTags(root, location))
            records.push_back(*track);
    return records;
}

} // namespace

class TestTags : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void everySongWhateverStateTheDatabaseIsIn() {
        QTemporaryDir dir;
        const QString root = dir.path();
        const QStringList files = putPlayer(root, 4); // "Song 00" to "Song 03"
        const PlayerTexts names{u"All Songs"_s, u"Not in the database"_s, u"Podcasts"_s,
                                u"Audiobooks"_s, u"Playlist"_s};
        const auto titles = [](const MusicDatabase& db, int list) {
            QStringList out;
            const clsList& songs = db.Playlists[size_t(list)].Songs;
            for (int i = 0; i < songs.ListCount(); ++i)
                for (const TrackRecord& t : db.Tracks)
                    if (QString::number(t.TrackID) == songs.List(i))
                        out << t.Title;
            return out;
        };
        const QStringList all{u"Song 00"_s, u"Song 03"_s, u"Song 01"_s, u"Song 02"_s};
        MusicDatabase db;

        // No database: every file from its tags, in the order of the disk, in one list.
        QCOMPARE(LoadPlayerWithTags(db, root, names).From, PlayerLoad::Source::SongFilesOnly);
        QCOMPARE(db.PlaylistCount(), 1);
        QCOMPARE(db.Playlists[0].PlayListName, u"iPod [All Songs]"_s);
        QCOMPARE(titles(db, 0), all);
        QCOMPARE(db.LoadedTrackCount, 4);

        // A forgetful database names two: the others follow them, and have a list of their own.
        const auto named = [&files](int i, qint32 id) {
            dbwriter::Track t{id, 100, 0, 0, 0, {}};
            t.strings = {{1, u"Named "_s + QString::number(i)},
                         {2, QString(files[i]).replace(u'\\', u':')}};
            return t;
        };
        const QString itunes = root + u"/iPod_Control/iTunes/"_s;
        QDir().mkpath(itunes);
        QFile database(itunes + u"iTunesDB"_s);
        QVERIFY(database.open(QIODevice::WriteOnly));
        database.write(
            dbwriter::database({named(0, 10), named(2, 30)}, {dbwriter::mhyp(u"Box"_s, {10, 30})}));
        database.close();
        QCOMPARE(LoadPlayerWithTags(db, root, names).From, PlayerLoad::Source::Database);
        QCOMPARE(titles(db, 0),
                 QStringList({u"Named 0"_s, u"Named 2"_s, u"Song 03"_s, u"Song 02"_s}));
        QCOMPARE(db.Playlists.back().PlayListName, u"Not in the database"_s);
        QCOMPARE(titles(db, db.PlaylistCount() - 1), QStringList({u"Song 03"_s, u"Song 02"_s}));

        // One cut short names what it still holds, though its lists are gone; the tags give
        // the rest.
        const QByteArray whole =
            dbwriter::database({named(0, 10), named(1, 20), named(2, 30), named(3, 40)},
                               {dbwriter::mhyp(u"Box"_s, {10, 20, 30, 40})});
        QVERIFY(database.open(QIODevice::WriteOnly));
        database.write(whole.left(whole.size() / 2));
        database.close();
        QCOMPARE(LoadPlayerWithTags(db, root, names).From, PlayerLoad::Source::Database);
        const QStringList cut = titles(db, 0);
        QCOMPARE(cut.mid(0, 2), QStringList({u"Named 0"_s, u"Named 1"_s}));
        QCOMPARE(cut.size(), db.TrackCount());
        QVERIFY2(cut.last().startsWith(u"Song"_s), qPrintable(cut.join(u',')));

        // A zeroed database is none; a shuffle's gives the order, the files the tags.
        QVERIFY(database.open(QIODevice::WriteOnly));
        database.write(QByteArray(4096, '\0'));
        database.close();
        QFile shuffle(itunes + u"iTunesSD"_s);
        QVERIFY(shuffle.open(QIODevice::WriteOnly));
        QStringList order{files[3], files[1]};
        for (QString& path : order)
            path.replace(u'\\', u'/');
        shuffle.write(shufflewriter::longFormat(order, {{1, {0, 1}}, {3, {1}}}));
        shuffle.close();
        QCOMPARE(LoadPlayerWithTags(db, root, names).From, PlayerLoad::Source::Shuffle);
        QCOMPARE(titles(db, 0),
                 QStringList({u"Song 02"_s, u"Song 03"_s, u"Song 00"_s, u"Song 01"_s}));
        QCOMPARE(db.Playlists[1].PlayListName, u"Podcasts"_s);
        QCOMPARE(titles(db, 1), QStringList({u"Song 03"_s}));
        QCOMPARE(titles(db, db.PlaylistCount() - 1), QStringList({u"Song 00"_s, u"Song 01"_s}));
        QVERIFY(IsPlayerRoot(root));
        QVERIFY(!IsPlayerRoot(dir.filePath(u"iPod_Control"_s)));
    }

    // A tagged song's record is the one the database reader makes of the same song.
    void tagsReadAsTheDatabaseReaderFormats() {
        QTemporaryDir player;
        const QString location = u"\\iPod_Control\\Music\\F03\\ABCD.mp3"_s;
        const QString path =
            putSong(player.path(), location,
                    Tags{u"  Don\u2019t Stop "_s, u"AC/DC"_s, u"Caf\u00e9 \u65e5\u672c"_s,
                         u"Rock"_s, 1999, 7, u" Various "_s, u"1/2"_s});
        const qint64 size = QFileInfo(path).size();
        const qint32 bitRate = tagLibBitRate(path).section(u' ', 0, 0).toInt();
        QVERIFY(bitRate > 0);
        dbwriter::Track stored{0, qint32(size), 7, 1999, bitRate, {}};
        stored.strings = {{1, u"  Don\u2019t Stop "_s},
                          {2, u":iPod_Control:Music:F03:ABCD.mp3"_s},
                          {3, u"Caf\u00e9 \u65e5\u672c"_s},
                          {4, u"AC/DC"_s},
                          {5, u"Rock"_s},
                          {22, u" Various "_s}};
        stored.discNumber = 1;
        stored.discCount = 2;
        stored.lengthMs = TagLib::FileRef(QFile::encodeName(path).constData())
                              .audioProperties()
                              ->lengthInMilliseconds();
        QVERIFY(stored.lengthMs > 0);
        MusicDatabase db;
        ReadiTunesDB(db, dbwriter::database({stored}, {}), u"All Songs"_s);
        QCOMPARE(db.TrackCount(), 1);
        const std::optional<TrackRecord> track = ReadTrackFromTags(player.path(), location);
        QVERIFY(track);
        QVERIFY2(*track == db.Tracks[0], qPrintable(text(*track)));

        // Without a title, the file name is the title; an untagged WAV has only its name and
        // what its sound tells; a location spelled otherwise than the disk still finds it.
        putSong(player.path(), u"\\iPod_Control\\Music\\F03\\EFGH.m4a"_s,
                Tags{{}, u"Band"_s, {}, {}, 0, 12});
        const QString wav = putSong(player.path(), u"\\iPod_Control\\Music\\F04\\WXYZ.wav"_s, {});
        const std::optional<TrackRecord> untitled =
            ReadTrackFromTags(player.path(), u"\\iPod_Control\\Music\\F03\\EFGH.m4a"_s);
        QVERIFY(untitled);
        QCOMPARE(untitled->Title, u"EFGH"_s);
        QCOMPARE(untitled->TrackNumber, u"12"_s);
        const std::optional<TrackRecord> untagged =
            ReadTrackFromTags(player.path(), u"\\IPOD_CONTROL\\music\\f04\\WXYZ.wav"_s);
        QVERIFY(untagged);
        QCOMPARE(text(*untagged), u"WXYZ||||||%1|\\IPOD_CONTROL\\music\\f04\\WXYZ.wav|%2"_s.arg(
                                      tagLibBitRate(wav), QString::number(QFileInfo(wav).size())));
    }

    // The files of a player: the known song types in the Fnn folders, in the order of their
    // folders and names, spelled as on the disk; nothing else, nothing outside the player.
    void songFilesOfAPlayer() {
        QTemporaryDir player, elsewhere;
        const QString root = player.path();
        const QString music = root + u"/iPod_Control/music"_s;
        for (const char* file :
             {"f01/B.mp3", "F00/c.MP3", "F00/A.m4a", "F00/b.wav", "F10/Z.mp4", "F02/A.M4P",
              "F00/._A.mp3", "F00/.DS_Store", "F00/cover.jpg", "F00/ABCD.m4v", "F00/mp3",
              "F00/x.mp3.part", "Notes/N.mp3", "F00/S.ithmb"}) {
            QDir().mkpath(QFileInfo(music + u'/' + QLatin1String(file)).path());
            QFile f(music + u'/' + QLatin1String(file));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QDir().mkpath(music + u"/F00/folder.mp3"_s);
        const QString fifo = music + u"/F00/fifo.mp3"_s;
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString outsideSong = putSong(elsewhere.path(), u"\\F09\\out.mp3"_s, {});
        QVERIFY(QFile::link(outsideSong, music + u"/F00/out.mp3"_s));
        QVERIFY(QFile::link(elsewhere.path() + u"/F09"_s, music + u"/F09"_s));
        QVERIFY(QFile::link(music + u"/F00/A.m4a"_s, music + u"/F00/in.m4a"_s));
        QCOMPARE(
            PlayerSongLocations(root),
            QStringList(
                {u"\\iPod_Control\\music\\F00\\A.m4a"_s, u"\\iPod_Control\\music\\F00\\ABCD.m4v"_s,
                 u"\\iPod_Control\\music\\F00\\b.wav"_s, u"\\iPod_Control\\music\\F00\\c.MP3"_s,
                 u"\\iPod_Control\\music\\F00\\in.m4a"_s, u"\\iPod_Control\\music\\f01\\B.mp3"_s,
                 u"\\iPod_Control\\music\\F02\\A.M4P"_s, u"\\iPod_Control\\music\\F10\\Z.mp4"_s}));
        QVERIFY(PlayerSongLocations(elsewhere.path()).isEmpty());

        // Read by name all the same, the FIFO is never waited on and the links out are not
        // followed; an empty file of a known type is still a song.
        for (const char* refused : {"F00\\fifo.mp3", "F00\\out.mp3", "F09\\out.mp3",
                                    "F00\\folder.mp3", "F00\\none.mp3", "..\\F00\\A.m4a"})
            QVERIFY2(!ReadTrackFromTags(root, u"\\iPod_Control\\music\\"_s + refused), refused);
        QCOMPARE(ReadTrackFromTags(root, u"\\iPod_Control\\music\\F00\\c.MP3"_s)->Title, u"c"_s);
        QCOMPARE(ReadTrackFromTags(root, u"\\iPod_Control\\music\\F00\\in.m4a"_s)->Title, u"in"_s);
    }

    // A tag that claims a gigabyte costs only the bytes the file has, and the song is still
    // listed by its name and size.
    void hostileTagsReturnAtOnce() {
        QTemporaryDir player;
        const QString folder = u"\\iPod_Control\\Music\\F00\\"_s;
        const auto big = [](qint32 size) {
            QByteArray b(4, 0);
            qToBigEndian(size, b.data());
            return b;
        };
        const auto little = [](qint32 size) {
            QByteArray b(4, 0);
            qToLittleEndian(size, b.data());
            return b;
        };
        const QByteArray text(16, 'x');
        // ID3v2.3: the tag claims its largest size, its title frame a gigabyte.
        const QByteArray id3 =
            "ID3\x03\x00\x00\x7f\x7f\x7f\x7f"_ba + "TIT2"_ba + big(1 << 30) + "\0\0\0"_ba + text;
        // WAV: a chunk of a gigabyte after the sound; MP4: an atom of a gigabyte.
        const QByteArray chunk = "id3 "_ba + little(1 << 30) + id3;
        const QByteArray atom = big(1 << 30) + "moov"_ba + text;
        for (const auto& [name, before, after] :
             {std::tuple{"A.mp3", id3, QByteArray()}, std::tuple{"B.wav", QByteArray(), chunk},
              std::tuple{"C.m4a", QByteArray(), atom}}) {
            const QString path = putSong(player.path(), folder + QLatin1String(name), {});
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            const QByteArray bytes = before + file.readAll() + after;
            QVERIFY(file.seek(0) && file.write(bytes) == bytes.size());
            file.close();
            PlayerTagReader reader(player.path());
            const std::optional<TrackRecord> track = reader.ReadTrack(folder + QLatin1String(name));
            QVERIFY(track);
            QCOMPARE(track->FileSize, bytes.size());
            QVERIFY2(reader.LargestRead() <= bytes.size(), name);
        }
    }

    // The worker hands every record over in batches, in order, then saves what it read; the
    // next scan takes the records from the cache without reading a tag, until a file changes,
    // whose row then comes again, read anew.
    void scannerDeliversAndCaches() {
        QTemporaryDir player, cacheFolder;
        QStringList locations = putPlayer(player.path(), 12);
        locations.insert(5, u"\\iPod_Control\\Music\\F00\\gone.mp3"_s);
        const QString cache = TagCache::FileFor(player.path(), cacheFolder.path());
        const std::vector<TrackRecord> read = readEach(player.path(), locations);
        const QStringList expected = texts(read);
        // Every type holds the album artist, the disc and the length.
        QVERIFY(std::all_of(read.begin(), read.end(), [](const TrackRecord& t) {
            const int i = t.Title.right(2).toInt();
            return t.AlbumArtist == (i % 2 ? u"Various"_s : QString()) && t.DiscNumber == i % 3 &&
                   t.DiscCount == (i % 3 ? 2 : 0) && t.LengthMs > 0;
        }));

        const Scan first = scan(player.path(), locations, cache);
        QCOMPARE(texts(first.records), expected);
        QVERIFY(first.done.size() > 1);
        QVERIFY(std::is_sorted(first.done.begin(), first.done.end()));
        QCOMPARE(first.done.back(), 13);
        QCOMPARE(first.total, 13);
        QCOMPARE(first.finished, 1);
        QCOMPARE(first.counts.FromTags, 12);
        QCOMPARE(first.counts.Skipped, 1);
        QVERIFY(QFileInfo(cache).isFile());

        const Scan second = scan(player.path(), locations, cache);
        QCOMPARE(texts(second.records), expected);
        QVERIFY(second.records == read); // every field kept
        QCOMPARE(second.counts.FromCache, 12);
        QCOMPARE(second.counts.FromTags, 0);

        // New bytes under the same size and time: still the cached record. A new time: read.
        const QString path = player.path() + QString(locations[0]).replace(u'\\', u'/');
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        QVERIFY(bytes.contains("Song 00"));
        bytes.replace("Song 00", "Song XX");
        QVERIFY(file.seek(0) && file.write(bytes) == bytes.size() && file.flush());
        const QDateTime time = QDateTime::fromSecsSinceEpoch(1600000000);
        QVERIFY(file.setFileTime(time, QFile::FileModificationTime));
        QCOMPARE(scan(player.path(), locations, cache).records[0].Title, u"Song 00"_s);
        QVERIFY(file.setFileTime(time.addSecs(2), QFile::FileModificationTime));
        // The cached row comes first; once the list is whole, the file read anew replaces it.
        const Scan changed = scan(player.path(), locations, cache);
        QCOMPARE(changed.records.size(), size_t(13));
        QCOMPARE(changed.records.back().Title, u"Song XX"_s);
        QCOMPARE(changed.counts.FromTags, 1);
        QCOMPARE(changed.counts.FromCache, 11);
        PlayerLoad load;
        load.TagLocations = locations;
        MusicDatabase db;
        TaggedSongs tagged(db, load, {u"All"_s, {}, {}, {}, {}});
        tagged.Add(db, changed.records);
        QCOMPARE(db.TrackCount(), 12);
        QCOMPARE(db.Tracks[0].Title, u"Song XX"_s);
        QCOMPARE(db.Playlists[0].Songs.ListCount(), 12);
        QCOMPARE(scan(player.path(), locations, cache).records[0].Title, u"Song XX"_s);
    }

    // A damaged cache file is ignored whole and never crashes; another player's is not used.
    void damagedCacheIsIgnored() {
        QTemporaryDir player, cacheFolder;
        const QStringList locations = putPlayer(player.path(), 4);
        const QString cache = TagCache::FileFor(player.path(), cacheFolder.path());
        scan(player.path(), locations, cache);
        QFile file(cache);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray good = file.readAll();
        file.close();
        TagCache loaded;
        QVERIFY(loaded.Load(cache, player.path()));
        QCOMPARE(loaded.Count(), 4);
        QVERIFY(!loaded.Load(cache, cacheFolder.path()));
        QCOMPARE(loaded.Count(), 0);

        const auto loads = [&](const QByteArray& bytes) {
            QFile damaged(cache);
            if (!damaged.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                damaged.write(bytes) != bytes.size())
                qFatal("cannot write the cache");
            damaged.close();
            TagCache c;
            return c.Load(cache, player.path());
        };
        for (qsizetype cut = 0; cut < good.size(); ++cut)
            QVERIFY2(!loads(good.left(cut)), qPrintable(QString::number(cut)));
        QVERIFY(!loads(good + 'x'));
        for (qsizetype at = 0; at < good.size(); ++at) {
            QByteArray bytes = good;
            bytes[at] = char(0xff); // lengths and counts near 4 GB, wherever they lie
            loads(bytes);
        }
        // A FIFO in the cache's place.
        QVERIFY(QFile::remove(cache));
        QCOMPARE(mkfifo(QFile::encodeName(cache).constData(), 0600), 0);
        QVERIFY(!TagCache().Load(cache, player.path()));
        QVERIFY(QFile::remove(cache));

        loads("garbage"_ba);
        const Scan fresh = scan(player.path(), locations, cache);
        QCOMPARE(fresh.counts.FromTags, 4);
        QCOMPARE(texts(fresh.records), texts(readEach(player.path(), locations)));
    }

    // Stopped or destroyed early, the worker ends between two files and nothing comes after.
    void scannerStopsEarly() {
        QTemporaryDir player;
        const QStringList locations = putPlayer(player.path(), 40);
        const QStringList expected = texts(readEach(player.path(), locations));
        {
            TagScanner scanner(player.path(), {});
            scanner.Start(locations);
        }                                          // destroyed at once
        { TagScanner waiting(player.path(), {}); } // never given its songs
        TagScanner scanner(player.path(), {});
        scanner.SetBatchInterval(0);
        std::vector<TrackRecord> received;
        int batches = 0;
        QSignalSpy finished(&scanner, &TagScanner::Finished);
        connect(&scanner, &TagScanner::Batch, this, [&](const std::vector<TrackRecord>& records) {
            ++batches;
            received.insert(received.end(), records.begin(), records.end());
            scanner.Stop();
        });
        scanner.Start(locations);
        QTRY_COMPARE(batches, 1);
        QVERIFY(!scanner.Running());
        QTest::qWait(100);
        QCOMPARE(batches, 1);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(texts(received), expected.mid(0, qsizetype(received.size())));
    }
};

QTEST_GUILESS_MAIN(TestTags)
#include "test_tags.moc"
