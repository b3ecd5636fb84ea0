// The database reader: fields, text decoding, playlists, damaged files and real players'
// databases; and the reader of a shuffle's iTunesSD.

#include "itunesdb/LoadiTunesDB.h"
#include "itunesdb/LoadiTunesSD.h"
#include "platform/UiYield.h"
#include "support/DbWriter.h"
#include "support/RealDatabases.h"
#include "support/ShuffleWriter.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <climits>
#include <sys/stat.h>

using namespace dbwriter;

namespace {

MusicDatabase load(const QByteArray& bytes, const QString& allSongs = QStringLiteral("All Songs")) {
    MusicDatabase db;
    ReadiTunesDB(db, bytes, allSongs);
    return db;
}

Track titled(qint32 id, const QString& title) {
    return Track{id, 0, 0, 0, 0, {{1, title}}};
}

class RecordingProgress final : public LoadProgress {
public:
    void setMinimum(qint64 v) override { minimum = v; }
    void setMaximum(qint64 v) override { maximum = v; }
    void setValue(qint64 v) override {
        if (v < value)
            wentBack = true;
        value = v;
        ++updates;
    }
    qint64 minimum = -1, maximum = -1, value = -1;
    int updates = 0;
    bool wentBack = false;
};

void put32(QByteArray& bytes, qsizetype offset, qint32 value) {
    qToLittleEndian<qint32>(value, bytes.data() + offset);
}

// A shuffle's playlist in short: "kind:first members/count".
QString outline(const ShufflePlaylist& list) {
    QStringList first;
    for (size_t i = 0; i < std::min<size_t>(5, list.Tracks.size()); ++i)
        first << QString::number(list.Tracks[i]);
    return QStringLiteral("%1:%2/%3")
        .arg(int(list.kind))
        .arg(first.join(u' '))
        .arg(list.Tracks.size());
}
QStringList outlines(const ShuffleDatabase& db) {
    QStringList all;
    for (const ShufflePlaylist& list : db.Playlists)
        all << outline(list);
    return all;
}

} // namespace

class TestItunesDb : public QObject {
    Q_OBJECT

private slots:
    void notADatabaseLoadsNothing() {
        MusicDatabase db;
        db.Tracks.emplace_back(); // left from an earlier load
        QByteArray bytes = database({titled(1, "x")}, {});
        bytes[3] = 'x';
        QCOMPARE(ReadiTunesDB(db, bytes, "All Songs").status, LoadResult::Status::NotADatabase);
        QCOMPARE(db.TrackCount(), 0);
        QCOMPARE(db.PlaylistCount(), 0);
        QCOMPARE(db.LoadedTrackCount, 0);
        for (const QByteArray& tiny : {QByteArray(), QByteArray("mhb"), QByteArray("mhbd")})
            QCOMPARE(load(tiny).TrackCount(), 0);
    }

    void trackFieldsFromRecordAndStrings() {
        Track t{8716, 3620000, 7, 1998, 0, {}};
        t.strings = {{1, "Title"}, {2, ":iPod_Control:Music:F12:ABCD.mp3"},
                     {3, "Album"}, {4, "Artist"},
                     {5, "Genre"}, {6, "ignored type"},
                     {14, "Live"}, {22, " Various Artists "}};
        t.lengthMs = 245000;
        t.discNumber = 2;
        t.discCount = 3;
        Track second{9, -1073741824, 12, 0, 320, {{1, "Big"}}}; // 3 GiB in the unsigned field
        Track third{10, 0, 0, -5, 128, {}};
        // A record too short for the disc fields: what lies there is not a disc.
        Track shortRecord{11, 0, 0, 0, 0, {}, 1000, 2, 3};
        const MusicDatabase db = load(
            mhbd({mhsd(1, mhlt({mhit(t), mhit(second), mhit(third), mhit(shortRecord, 96)}))}));
        QCOMPARE(db.TrackCount(), 4);
        QCOMPARE(db.LoadedTrackCount, 4);
        const TrackRecord& r = db.Tracks[0];
        QCOMPARE(r.TrackID, 8716);
        QCOMPARE(r.Title, "Title");
        QCOMPARE(r.Location, "\\iPod_Control\\Music\\F12\\ABCD.mp3");
        QCOMPARE(r.Album, "Album");
        QCOMPARE(r.Artist, "Artist");
        QCOMPARE(r.Genre, "Genre");
        QCOMPARE(r.Description, "Live");
        QCOMPARE(r.FileSize, 3620000);
        QCOMPARE(r.TrackNumber, "07");
        QCOMPARE(r.Year, "1998");
        QCOMPARE(r.BitRate, "0 Kbps");
        QCOMPARE(r.AlbumArtist, "Various Artists");
        QCOMPARE(r.LengthMs, 245000);
        QCOMPARE(r.DiscNumber, 2);
        QCOMPARE(r.DiscCount, 3);
        QCOMPARE(db.Tracks[1].AlbumArtist, "");
        QCOMPARE(db.Tracks[3].LengthMs, 1000);
        QCOMPARE(db.Tracks[3].DiscNumber + db.Tracks[3].DiscCount, 0);
        QCOMPARE(db.Tracks[1].FileSize, Q_INT64_C(3221225472));
        QCOMPARE(db.Tracks[1].TrackNumber, "12");
        QCOMPARE(db.Tracks[1].Year, "");
        QCOMPARE(db.Tracks[1].BitRate, "320 Kbps");
        QCOMPARE(db.Tracks[2].TrackNumber, "");
        QCOMPARE(db.Tracks[2].Year, "");
        QCOMPARE(db.Tracks[2].Title, "");
    }

    void textDecoding_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("read");
        QTest::newRow("curly apostrophe") << 1 << u"Don\u2019t Stop"_qs << 1 << "Don't Stop";
        QTest::newRow("latin-1") << 1 << u"Caf\u00e9"_qs << 1 << u"Caf\u00e9"_qs;
        QTest::newRow("beyond latin-1") << 4 << u"\u0141\u00f3d\u017a \u5927\u962a"_qs << 1
                                        << u"\u0141\u00f3d\u017a \u5927\u962a"_qs;
        QTest::newRow("surrogate pair") << 1 << u"\U0001F3B5 Song"_qs << 1 << u"\U0001F3B5 Song"_qs;
        QTest::newRow("NULs dropped") << 3 << QString::fromUtf16(u"A\0B", 3) << 1 << "AB";
        QTest::newRow("blanks trimmed") << 1 << "  Intro " << 1 << "Intro";
        QTest::newRow("only spaces trimmed") << 5 << "\tRock\t" << 1 << "\tRock\t";
        QTest::newRow("location keeps blanks")
            << 2 << ":iPod_Control:Music:F00:X.mp3 " << 1 << "\\iPod_Control\\Music\\F00\\X.mp3 ";
        QTest::newRow("utf-8 string")
            << 1 << u"\u00d1and\u00fa \u2019"_qs << 2 << u"\u00d1and\u00fa '"_qs;
        QTest::newRow("empty") << 1 << "" << 1 << "";
    }
    void textDecoding() {
        QFETCH(int, type);
        QFETCH(QString, stored);
        QFETCH(int, encoding);
        QFETCH(QString, read);
        const QByteArray track =
            Record("mhit", 0x9c).set32(16, 1).add(mhodString(type, stored, encoding));
        const MusicDatabase db = load(mhbd({mhsd(1, mhlt({track}))}));
        QCOMPARE(db.TrackCount(), 1);
        const TrackRecord& t = db.Tracks[0];
        const QString got = type == 1   ? t.Title
                            : type == 2 ? t.Location
                            : type == 3 ? t.Album
                            : type == 4 ? t.Artist
                                        : t.Genre;
        QCOMPARE(got, read);
    }

    void stringLengthIsThirtyTwoBits() {
        const QString longTitle(20000, u'x'); // 40,000 bytes: negative as a 16-bit length
        const MusicDatabase db = load(database({titled(1, longTitle)}, {}));
        QCOMPARE(db.Tracks[0].Title, longTitle);
    }

    void playlists() {
        const QByteArray tracks = mhsd(1, mhlt({mhit(titled(5, "a")), mhit(titled(8716, "b"))}));
        const QByteArray master = mhyp(" Box", {5, 8716});
        const QByteArray other = mhyp(u"Don\u2019t "_qs, {8716});
        const QByteArray podcasts = mhyp("Podcasts", {5});
        const QByteArray bytes = mhbd(
            {tracks, mhsd(3, mhlp({master, podcasts, other})), mhsd(2, mhlp({master, other}))});
        for (const auto& [suffix, expected] :
             {std::pair{"All Songs", "Box [All Songs]"}, {"Alle Lieder", "Box [Alle Lieder]"}}) {
            const MusicDatabase db = load(bytes, suffix);
            QCOMPARE(db.PlaylistCount(), 2); // the podcast set is not read
            QCOMPARE(db.Playlists[0].PlayListName, expected);
            QCOMPARE(db.LibraryName, " Box");
            QCOMPARE(db.Playlists[0].Songs.ListCount(), 2);
            QCOMPARE(db.Playlists[0].Songs.List(1), "8716");
            QCOMPARE(db.Playlists[1].PlayListName, u"Don\u2019t"_qs); // names keep U+2019
            QCOMPARE(db.TrackCount(), 2);
        }
    }

    void libraryNameKeptWithoutPlaylistNames() {
        MusicDatabase db;
        db.LibraryName = "iPod";
        // A master without a name record: it is still the one with the suffix, and a later
        // list's name is not the player's.
        ReadiTunesDB(
            db, mhbd({mhsd(2, mhlp({Record("mhyp", 108).add(mhip(1)), mhyp("Partial", {1})}))}),
            "All Songs");
        QCOMPARE(db.PlaylistCount(), 2);
        QCOMPARE(db.Playlists[0].PlayListName, "[All Songs]");
        QCOMPARE(db.Playlists[0].Songs.ListCount(), 1);
        QCOMPARE(db.Playlists[1].PlayListName, "Partial");
        QCOMPARE(db.LibraryName, "iPod");
    }

    void loadReplacesTheTables() {
        const QByteArray first =
            database({titled(1, "one"), titled(2, "two")}, {mhyp("A", {1, 2})});
        const QByteArray second = database({titled(3, "three")}, {mhyp("B", {3})});
        MusicDatabase db;
        ReadiTunesDB(db, first, "All Songs");
        ReadiTunesDB(db, second, "All Songs");
        const MusicDatabase fresh = load(second);
        QCOMPARE(db.TrackCount(), 1);
        QVERIFY(db.Tracks == fresh.Tracks);
        QCOMPARE(db.Playlists[0].PlayListName, "B [All Songs]");
        QCOMPARE(db.LibraryName, "B");
        QCOMPARE(db.Playlists[0].Songs.ListCount(), 1);
    }

    void ownerlessRecordsAreIgnored() {
        // Albums stored first, as iTunes does: their strings come before any track.
        const QByteArray albums =
            mhsd(4, Record("mhla", 92).add(Record("mhia", 88).add(mhodString(1, "album"))));
        const QByteArray strayItem = mhsd(2, mhlp({mhip(1)}));
        const QByteArray bytes = mhbd({albums, mhsd(1, mhlt({mhit(titled(1, "t"))})), strayItem,
                                       mhsd(2, mhlp({mhyp("M", {1})}))});
        const MusicDatabase db = load(bytes);
        QCOMPARE(db.TrackCount(), 1);
        QCOMPARE(db.Tracks[0].Title, "t");
        QCOMPARE(db.PlaylistCount(), 1);
        QCOMPARE(db.Playlists[0].Songs.ListCount(), 1);
        QCOMPARE(db.LibraryName, "M");
    }

    void damagedFilesStopCleanly() {
        const QByteArray good = database({titled(1, "a"), titled(2, "b")}, {mhyp("M", {1, 2})});
        const qsizetype secondTrack = good.indexOf("mhit", good.indexOf("mhit") + 1);
        for (qint32 bad : {0, -1, -100000}) {
            QByteArray bytes = good;
            put32(bytes, secondTrack + 4, bad);
            const MusicDatabase db = load(bytes);
            QCOMPARE(db.TrackCount(), 1); // too short to be a track, and the walk ends there
            QCOMPARE(db.PlaylistCount(), 0);
            QCOMPARE(db.LoadedTrackCount, 1);
        }
        // A string that claims more bytes than its record or the file holds reads what is
        // there.
        QByteArray longer = good;
        put32(longer, longer.indexOf("mhod") + 28, 0x7ffffff0);
        QCOMPARE(load(longer).Tracks[0].Title, "a");
        QCOMPARE(load(longer).Tracks[1].Title, "b");
        const QByteArray cut = database({titled(1, "abcdef")}, {}).chopped(96 + 92 + 6);
        QCOMPARE(load(cut).Tracks[0].Title, "abc");
        // A header length that leaps past the end, and garbage after the last record.
        QByteArray leap = good;
        put32(leap, secondTrack + 4, 0x7fffffff);
        QCOMPARE(load(leap).TrackCount(), 2);
        const QByteArray trailing = good + QByteArray("\x01\x02\x03garbage-mhit\xff\xff", 17);
        QCOMPARE(load(trailing).PlaylistCount(), 1);
        // A wrong child count in the header changes nothing.
        QByteArray counted = good;
        put32(counted, 20, 1);
        QCOMPARE(load(counted).PlaylistCount(), 1);
    }

    void everyPrefixAndByteCorruptionLoads() {
        const QByteArray bytes = realdb::exists("caeser_iTunesDB-parser_iTunesDB")
                                     ? realdb::read("caeser_iTunesDB-parser_iTunesDB")
                                     : database({titled(1, u"\u65e5\u672c"_qs), titled(2, "b")},
                                                {mhyp("M", {1, 2}), mhyp("P", {2})});
        MusicDatabase db;
        for (qsizetype n = 0; n <= bytes.size(); ++n) {
            ReadiTunesDB(db, QByteArrayView(bytes).first(n), "All Songs");
            QVERIFY(db.TrackCount() <= 2);
        }
        const qsizetype firstRecords = std::min<qsizetype>(bytes.size(), 2048);
        for (qsizetype i = 0; i < firstRecords; ++i) {
            for (char value : {'\x00', '\xff', '\x80', '\x7f'}) {
                QByteArray damaged = bytes;
                damaged[i] = value;
                ReadiTunesDB(db, damaged, "All Songs");
            }
        }
    }

    void fortyThousandTracksLoadWhole() {
        QList<QByteArray> tracks;
        QList<qint32> ids;
        for (qint32 id = 1; id <= 40000; ++id) {
            tracks.append(mhit(titled(id, QString::number(id))));
            ids.append(id);
        }
        const MusicDatabase db =
            load(mhbd({mhsd(1, mhlt(tracks)), mhsd(2, mhlp({mhyp("M", ids)}))}));
        QCOMPARE(db.TrackCount(), 40000);
        QCOMPARE(db.LoadedTrackCount, 40000);
        QCOMPARE(db.Tracks.back().Title, "40000");
        QCOMPARE(db.Playlists[0].Songs.ListCount(), 40000);
        QCOMPARE(db.Playlists[0].Songs.List(39999), "40000");
    }

    void progressCoversTheFile() {
        QList<Track> tracks;
        for (qint32 id = 1; id <= 3000; ++id)
            tracks.append(titled(id, "t"));
        const QByteArray bytes = database(tracks, {});
        RecordingProgress progress;
        MusicDatabase db;
        ReadiTunesDB(db, bytes, "All Songs", &progress);
        QCOMPARE(progress.minimum, 0);
        QCOMPARE(progress.maximum, bytes.size());
        QCOMPARE(progress.value, bytes.size());
        QVERIFY(!progress.wentBack);
    }

    void yieldLetsEventsThrough() {
        bool delivered = false;
        QMetaObject::invokeMethod(
            qApp, [&] { delivered = true; }, Qt::QueuedConnection);
        UiYield yield(0);
        while (!yield.due())
            ;
        QVERIFY(!delivered);
        yield.yieldNow();
        QVERIFY(delivered);
    }

    // A file is read piece by piece: records and strings across the pieces, and a string
    // larger than a piece, must load exactly as the same bytes in memory do.
    void fileLoadsAsMemoryDoes() {
        QList<Track> tracks;
        QList<qint32> ids;
        for (qint32 id = 1; id <= 20000; ++id) {
            tracks.append(Track{id,
                                id,
                                id % 30,
                                1990 + id % 9,
                                128,
                                {{1, QString::number(id)}, {2, ":F:" + QString::number(id)}}});
            ids.append(id);
        }
        tracks[7000].strings.append({3, QString(1500000, u'a')}); // 3 MB, cut at the ceiling
        const QByteArray bytes = database(tracks, {mhyp("Player", ids), mhyp("List", {3, 2, 1})});
        QTemporaryDir dir;
        QFile file(dir.filePath("iTunesDB"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();

        const MusicDatabase inMemory = load(bytes);
        MusicDatabase fromFile;
        QCOMPARE(LoadiTunesDB(fromFile, file.fileName(), "All Songs").status,
                 LoadResult::Status::Loaded);
        QCOMPARE(fromFile.TrackCount(), 20000);
        QVERIFY(fromFile.Tracks == inMemory.Tracks);
        QCOMPARE(fromFile.Tracks[7000].Album.size(), ReaderCeiling::StringUnits);
        QCOMPARE(fromFile.PlaylistCount(), 2);
        QCOMPARE(fromFile.Playlists[1].Songs.GetWholeList(),
                 inMemory.Playlists[1].Songs.GetWholeList());
        QCOMPARE(fromFile.Playlists[0].Songs.ListCount(), 20000);
    }

    void compressedDatabasesReadAsPlainOnes() {
        QList<QByteArray> plains = {database({titled(1, "One"), titled(2, u"\u65e5"_qs)},
                                             {mhyp("Player", {1, 2}), mhyp("List", {2})})};
        if (realdb::available())
            for (const auto& [name, tracks] : realdb::trackCounts())
                plains << realdb::read(name);
        QTemporaryDir dir;
        for (const QByteArray& plain : plains) {
            const MusicDatabase expected = load(plain);
            const MusicDatabase fromMemory = load(compressed(plain));
            QCOMPARE(fromMemory.TrackCount(), expected.TrackCount());
            QVERIFY(fromMemory.Tracks == expected.Tracks);
            QCOMPARE(fromMemory.LibraryName, expected.LibraryName);
            QCOMPARE(fromMemory.PlaylistCount(), expected.PlaylistCount());
            for (int p = 0; p < expected.PlaylistCount(); ++p) {
                QCOMPARE(fromMemory.Playlists[size_t(p)].PlayListName,
                         expected.Playlists[size_t(p)].PlayListName);
                QCOMPARE(fromMemory.Playlists[size_t(p)].Songs.GetWholeList(),
                         expected.Playlists[size_t(p)].Songs.GetWholeList());
            }
            QFile file(dir.filePath("iTunesCDB"));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(compressed(plain));
            file.close();
            MusicDatabase fromFile;
            QCOMPARE(LoadiTunesDB(fromFile, file.fileName(), "All Songs").status,
                     LoadResult::Status::Loaded);
            QVERIFY(fromFile.Tracks == expected.Tracks);
        }
    }

    void damagedCompressedStreamsStopCleanly() {
        QList<Track> tracks;
        QList<qint32> ids;
        for (qint32 id = 1; id <= 40; ++id) {
            tracks << titled(id, "Song " + QString::number(id));
            ids << id;
        }
        const QByteArray packed = compressed(database(tracks, {mhyp("Player", ids)}));
        MusicDatabase db;
        // Cut anywhere: what inflated before the cut is read.
        for (qsizetype n = 0; n <= packed.size(); ++n) {
            QCOMPARE(ReadiTunesDB(db, QByteArrayView(packed).first(n), "All Songs").status,
                     n < 4 ? LoadResult::Status::NotADatabase : LoadResult::Status::Loaded);
            QVERIFY(db.TrackCount() <= 40);
        }
        QCOMPARE(db.TrackCount(), 40);
        // Damaged anywhere in the stream: no crash, no hang.
        for (qsizetype i = 0xF4; i < packed.size(); ++i) {
            QByteArray damaged = packed;
            damaged[i] = char(damaged[i] ^ 0x5a);
            ReadiTunesDB(db, damaged, "All Songs");
        }
        // A flag over something that is no zlib stream at all: just the header.
        QByteArray garbage = packed.left(0xF4) + QByteArray(500, '\x42');
        QCOMPARE(ReadiTunesDB(db, garbage, "All Songs").status, LoadResult::Status::Loaded);
        QCOMPARE(db.TrackCount(), 0);
    }

    void playlistsOnlyInThePodcastSet() {
        const QList<Track> tracks = {titled(1, "a"), titled(2, "b"), titled(3, "c")};
        const QByteArray header = mhip(0, 0x100, mhodString(1, "A Show"));
        const QByteArray podcasts =
            Record("mhyp", 108)
                .set32(12, 3)
                .add({mhodString(1, "Podcasts"), header, mhip(2), mhip(3), mhip(0)});
        const QByteArray onlyPodcastSet =
            mhbd({mhsd(1, mhlt({mhit(tracks[0]), mhit(tracks[1]), mhit(tracks[2])})),
                  mhsd(3, mhlp({mhyp(" Anna ", {1, 2, 3}), podcasts}))});
        const MusicDatabase db = load(onlyPodcastSet);
        QCOMPARE(db.LibraryName, "Anna");
        QCOMPARE(db.PlaylistCount(), 2);
        QCOMPARE(db.Playlists[0].PlayListName, "Anna [All Songs]");
        QCOMPARE(db.Playlists[0].Songs.GetWholeList(), "1\r\n2\r\n3");
        // The group header (and an item naming no track) are left out.
        QCOMPARE(db.Playlists[1].PlayListName, "Podcasts");
        QCOMPARE(db.Playlists[1].Songs.GetWholeList(), "2\r\n3");

        // With a playlist set, the podcast set stays out, as before.
        const MusicDatabase both =
            load(mhbd({mhsd(1, mhlt({mhit(tracks[0])})), mhsd(3, mhlp({mhyp("P", {1}), podcasts})),
                       mhsd(2, mhlp({mhyp("Master", {1})}))}));
        QCOMPARE(both.PlaylistCount(), 1);
        QCOMPARE(both.Playlists[0].PlayListName, "Master [All Songs]");
    }

    void fileErrors() {
        MusicDatabase db;
        db.Tracks.emplace_back();
        const LoadResult missing = LoadiTunesDB(db, "/nonexistent/iTunesDB", "All Songs");
        QCOMPARE(missing.status, LoadResult::Status::Unreadable);
        QVERIFY(!missing.error.isEmpty());
        QCOMPARE(db.TrackCount(), 0);
        QTemporaryDir dir;
        QCOMPARE(LoadiTunesDB(db, dir.path(), "All Songs").status, LoadResult::Status::Unreadable);
        // A FIFO (no writer will ever come) and a device are refused at once, never waited on.
        const QString fifo = dir.filePath("iTunesDB");
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        for (const QString& special : {fifo, QStringLiteral("/dev/zero")}) {
            const LoadResult refused = LoadiTunesDB(db, special, "All Songs");
            QCOMPARE(refused.status, LoadResult::Status::Unreadable);
            QVERIFY(!refused.error.isEmpty());
        }
    }

    // Whatever the bytes claim, a load keeps to the ceilings: its tables grow with the real
    // bytes only, and records too short for their fields add nothing.
    void hostileDatabasesStayWithinTheCeilings() {
        const QByteArray header = Record("mhbd", 104);
        const QByteArray tinyTrack = Record("mhit", 60).set32(16, 7);
        // A compression bomb: 400,000 tracks in a few kilobytes.
        const QByteArray bomb = compressed(header + tinyTrack.repeated(400000));
        MusicDatabase db;
        LoadResult result = ReadiTunesDB(db, bomb, "All Songs");
        QCOMPARE(result.cuts.inflatedTo, ReaderCeiling::InflationRatio * (bomb.size() - 0xF4));
        QVERIFY(db.TrackCount() <= result.cuts.inflatedTo / 60 + 1); // the last one cut short

        // Strings: cut at the ceiling, never inside a surrogate pair, never past their record.
        QByteArray huge = mhodString(1, QString(40000, u'x'));
        put32(huge, 28, INT_MAX); // claims 2 GB; the record holds 80,000 bytes
        const QByteArray pair = mhodString(4, QString(32766, u'a') + u"\U0001F3B5"_qs);
        const QByteArray utf8 = mhodString(3, QString(100000, u'u'), 2);
        QByteArray negative = mhodString(5, "g");
        put32(negative, 8, INT_MIN + 8); // a total length near INT_MIN ends the walk
        result = ReadiTunesDB(db,
                              header + Record("mhit", 0x9c).add({huge, pair, utf8}) +
                                  mhit(titled(2, "next")) + Record("mhit", 0x9c).add(negative),
                              "All Songs");
        QCOMPARE(db.TrackCount(), 3);
        QCOMPARE(db.Tracks[0].Title, QString(ReaderCeiling::StringUnits, u'x'));
        QCOMPARE(db.Tracks[0].Artist, QString(32766, u'a'));
        QCOMPARE(db.Tracks[0].Album.size(), ReaderCeiling::StringUnits);
        QCOMPARE(result.cuts.stringsCut, 3);

        // A million tracks and a million playlists at most, and what comes after them, or
        // after a record too short to be what it says, belongs to nothing.
        const QByteArray shortTrack = QByteArray("mhit\x08\0\0\0", 8);
        const QByteArray shortItem = QByteArray("mhip\x14\0\0\0", 8) + QByteArray(12, '\0');
        const QByteArray list = Record("mhyp", 12);
        result = ReadiTunesDB(db,
                              header + shortTrack.repeated(3) +
                                  tinyTrack.repeated(ReaderCeiling::Tracks + 1) +
                                  mhodString(1, "stray") + Record("mhlp", 92) + list + shortItem +
                                  list.repeated(ReaderCeiling::Playlists) + mhip(5),
                              "All Songs");
        QCOMPARE(db.TrackCount(), ReaderCeiling::Tracks);
        QCOMPARE(db.Tracks.back().Title, "");
        QCOMPARE(db.PlaylistCount(), ReaderCeiling::Playlists);
        QCOMPARE(db.Playlists.front().Songs.ListCount() + db.Playlists.back().Songs.ListCount(), 0);
        QVERIFY(result.cuts == (LoadCuts{3, 1, 1, 1, 0, -1}));
    }

    void realDatabases_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("tracks");
        if (!realdb::available())
            QSKIP("the real databases are not present");
        for (const auto& [name, tracks] : realdb::trackCounts())
            QTest::newRow(qPrintable(name)) << name << tracks;
    }
    void realDatabases() {
        QFETCH(QString, name);
        QFETCH(int, tracks);
        MusicDatabase db;
        QCOMPARE(LoadiTunesDB(db, realdb::path(name), "All Songs").status,
                 LoadResult::Status::Loaded);
        QCOMPARE(db.TrackCount(), tracks);
        QCOMPARE(db.LoadedTrackCount, tracks);
        QVERIFY(db.PlaylistCount() >= 1);
        if (tracks > 0) {
            // The master playlist holds every track.
            QCOMPARE(db.Playlists[0].Songs.ListCount(), tracks);
            for (const TrackRecord& t : db.Tracks)
                QVERIFY2(t.Location.startsWith(u'\\'), qPrintable(t.Location));
        }
    }

    void shuffleRealDatabases_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("songs");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QStringList>("playlists");
        if (!realsd::available())
            QSKIP("the real shuffle databases are not present");
        QTest::newRow("2nd generation")
            << "raleighlittles_2024-07-25_iTunesSD" << 59 << "F02\\PCQT.mp3"
            << "F01\\UDEJ.m4a" << QStringList{};
        QTest::newRow("3rd generation")
            << "raleighlittles_2016-12-24_iTunesSD-3rdgen" << 525 << "F02\\JHVL.m4a"
            << "F02\\HURY.m4a" << QStringList{"1:0 1 2 3 4/525", "2:7 8 9 10 11/525"};
        QTest::newRow("podcasts and audiobooks")
            << "meng89_ipodshuffle_iTunesSD" << 13 << "F01\\CWDY.mp3"
            << "F01\\UULS.m4b"
            << QStringList{"1:8 10 6 7 9/5", "3:1 3 5/3", "3:0 2 4/3", "4:11 12/2"};
    }
    void shuffleRealDatabases() {
        QFETCH(QString, name);
        QFETCH(int, songs);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QStringList, playlists);
        const ShuffleLoad load = LoadiTunesSD(realsd::path(name));
        QCOMPARE(load.status, LoadResult::Status::Loaded);
        QCOMPARE(load.unread, Q_INT64_C(0));
        const std::vector<QString>& locations = load.db.Locations;
        QCOMPARE(locations.size(), size_t(songs));
        const QString music = QStringLiteral("\\iPod_Control\\Music\\");
        QCOMPARE(locations.front(), music + first);
        QCOMPARE(locations.back(), music + last);
        for (const QString& location : locations)
            QVERIFY2(location.startsWith(music + u'F') && !location.contains(u'/'),
                     qPrintable(location));
        QCOMPARE(outlines(load.db), playlists);
    }

    void damagedShuffleDatabasesReadWhatTheyCan() {
        using namespace shufflewriter;
        const QStringList paths = {"/iPod_Control/Music/F00/A.mp3",
                                   u"/iPod_Control/Music/F01/\u00dcber.m4a"_qs,
                                   "/iPod_Control/Music/F02/C.mp3"};
        const std::vector<QString> locations = {"\\iPod_Control\\Music\\F00\\A.mp3",
                                                u"\\iPod_Control\\Music\\F01\\\u00dcber.m4a"_qs,
                                                "\\iPod_Control\\Music\\F02\\C.mp3"};
        const QList<Playlist> lists = {{1, {0, 1, 2}}, {2, {2, 0, 7}}};
        const QByteArray older = shortFormat(paths);
        const QByteArray newer = longFormat(paths, lists);
        QCOMPARE(ReadiTunesSD(older).db.Locations, locations);
        QCOMPARE(ReadiTunesSD(newer).db.Locations, locations);
        // A member past the songs names none; libgpod's shorter list header reads alike.
        QCOMPARE(outlines(ReadiTunesSD(newer).db), (QStringList{"1:0 1 2/3", "2:2 0/2"}));
        QVERIFY(ReadiTunesSD(longFormat(paths, lists, 20)).db == ReadiTunesSD(newer).db);

        // Cut anywhere: whole paths only, each in its place, and members naming them.
        for (const QByteArray& whole : {older, newer}) {
            for (qsizetype n = 0; n <= whole.size(); ++n) {
                const ShuffleDatabase db = ReadiTunesSD(QByteArrayView(whole).first(n)).db;
                QVERIFY(db.Locations.size() <= 3);
                for (size_t i = 0; i < db.Locations.size(); ++i)
                    QCOMPARE(db.Locations[i], locations[i]);
                for (const ShufflePlaylist& list : db.Playlists)
                    for (int track : list.Tracks)
                        QVERIFY(size_t(track) < db.Locations.size());
            }
        }
        // Zeros are no database; zeros after the header leave nothing.
        QCOMPARE(ReadiTunesSD(QByteArray(4096, '\0')).status, LoadResult::Status::NotADatabase);
        const ShuffleLoad blank = ReadiTunesSD(newer.first(64) + QByteArray(newer.size(), '\0'));
        QCOMPARE(blank.status, LoadResult::Status::Loaded);
        QVERIFY(blank.db.Locations.empty() && blank.db.Playlists.empty());

        // A damaged song is left out; the playlists keep the others.
        QByteArray damagedNewer = newer;
        damagedNewer.replace(damagedNewer.indexOf("rths", 100), 4, "xxxx");
        const ShuffleLoad withoutOne = ReadiTunesSD(damagedNewer);
        QCOMPARE(withoutOne.db.Locations, (std::vector<QString>{locations[0], locations[2]}));
        QCOMPARE(outlines(withoutOne.db), (QStringList{"1:0 1/2", "2:1 0/2"}));
        QCOMPARE(withoutOne.unread, Q_INT64_C(1));
        QByteArray damagedOlder = older;
        damagedOlder[18 + 558 + 2] = 0; // the second entry's size
        QCOMPARE(ReadiTunesSD(damagedOlder).db.Locations,
                 (std::vector<QString>{locations[0], locations[2]}));
    }

    // Whatever the counts claim, a read costs time and memory in proportion to the file.
    void hostileShuffleDatabasesReturnAtOnce() {
        using namespace shufflewriter;
        const QStringList paths = {"/iPod_Control/Music/F00/A.mp3",
                                   "/iPod_Control/Music/F00/B.mp3"};
        QByteArray older = shortFormat(paths);
        older[0] = older[1] = older[2] = '\xff';
        const ShuffleLoad countedOlder = ReadiTunesSD(older);
        QCOMPARE(countedOlder.db.Locations.size(), size_t(2));
        QCOMPARE(countedOlder.unread, Q_INT64_C(0xffffff) - 2);

        QByteArray newer = longFormat(paths, {{1, {0, 1}}});
        const qsizetype songList = 64, list = newer.indexOf("hphs");
        put32(newer, songList + 8, -1); // four billion songs
        put32(newer, newer.indexOf("lphs") + 8, -1);
        const ShuffleLoad countedNewer = ReadiTunesSD(newer);
        QCOMPARE(countedNewer.db.Locations.size(), size_t(2));
        QCOMPARE(outlines(countedNewer.db), QStringList{"1:0 1/2"});

        // 65,535 playlists over one another, each claiming four billion members up to the end
        // of the file: together no more members than the file has bytes for.
        QByteArray piled =
            newer.first(list) + QByteArray("hphs\x08\0\0\0\xff\xff", 10) + QByteArray(10, '\0');
        const qsizetype first = piled.size();
        for (int p = 0; p < 0xffff; ++p)
            piled += QByteArray("\0\0\0\0", 4);
        for (int p = 0; p < 0xffff; ++p) {
            put32(piled, first + 4 * p, qint32(piled.size()));
            piled += QByteArray("lphs\0\0\0\0\xff\xff\xff\xff", 12) + QByteArray(12, '\0');
        }
        const ShuffleLoad pile = ReadiTunesSD(piled);
        size_t members = 0;
        for (const ShufflePlaylist& p : pile.db.Playlists)
            members += p.Tracks.size();
        QCOMPARE(pile.db.Playlists.size(), size_t(0xffff));
        QVERIFY(members <= size_t(piled.size() / 4));

        // Only a regular file is read, never waited on, and only as far as the ceiling.
        QTemporaryDir dir;
        const QString fifo = dir.filePath("iTunesSD");
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QCOMPARE(LoadiTunesSD(fifo).status, LoadResult::Status::Unreadable);
        QCOMPARE(LoadiTunesSD(dir.path()).status, LoadResult::Status::Unreadable);
        QFile huge(dir.filePath("huge"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.write(older) == older.size() &&
                huge.resize(qint64(1) << 32)); // sparse: four gigabytes of nothing
        huge.close();
        const ShuffleLoad big = LoadiTunesSD(huge.fileName());
        QCOMPARE(big.db.Locations.size(), size_t(2));
        QCOMPARE(big.unread, Q_INT64_C(0xffffff) - 2);
    }
};

QTEST_GUILESS_MAIN(TestItunesDb)
#include "test_itunesdb.moc"
