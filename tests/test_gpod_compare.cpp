// The reader against libgpod, an independent reader of the same format: every track of
// the real databases and of generated players must carry the same fields in both.
#include "itunesdb/LoadiTunesDB.h"
#include "itunesdb/LoadiTunesSD.h"
#include "itunesdb/TagReader.h"
#include "support/RealDatabases.h"

#include <gpod/itdb.h>

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString normalized(const gchar* text, bool isPath) {
    QString s = QString::fromUtf8(text ? text : "");
    s.replace(QChar(0x2019), u'\'');
    if (isPath)
        return s.replace(u':', u'\\');
    qsizetype first = 0, last = s.size();
    while (first < last && s[first] == u' ')
        ++first;
    while (last > first && s[last - 1] == u' ')
        --last;
    return s.mid(first, last - first);
}

// Playlist names keep their quotes; only the blanks around them go.
QString playlistName(const gchar* text) {
    return QString::fromUtf8(text ? text : "").trimmed();
}

TrackRecord expectedTrack(const Itdb_Track* t) {
    TrackRecord r;
    r.TrackID = static_cast<qint32>(t->id);
    r.Title = normalized(t->title, false);
    r.Artist = normalized(t->artist, false);
    r.Album = normalized(t->album, false);
    r.Genre = normalized(t->genre, false);
    r.Description = normalized(t->description, false);
    r.Location = normalized(t->ipod_path, true);
    r.FileSize = t->size;
    if (t->track_nr > 0)
        r.TrackNumber = QString::number(t->track_nr).rightJustified(2, u'0');
    if (t->year > 0)
        r.Year = QString::number(t->year);
    r.BitRate = QString::number(t->bitrate) + QStringLiteral(" Kbps");
    r.AlbumArtist = normalized(t->albumartist, false);
    r.DiscNumber = std::max(t->cd_nr, 0);
    r.DiscCount = std::max(t->cds, 0);
    r.LengthMs = std::max(t->tracklen, 0);
    return r;
}

// Compares one file; stops at the first difference.
void compareFile(const QString& path) {
    GError* err = nullptr;
    Itdb_iTunesDB* gpod = itdb_parse_file(QFile::encodeName(path).constData(), &err);
    if (!gpod) {
        const QString why = err ? QString::fromUtf8(err->message) : QString();
        if (err)
            g_error_free(err);
        QSKIP(qPrintable(QStringLiteral("libgpod cannot read it: ") + why));
    }
    std::vector<TrackRecord> expected;
    for (GList* n = gpod->tracks; n; n = n->next)
        expected.push_back(expectedTrack(static_cast<Itdb_Track*>(n->data)));

    // Playlists, where the two readers' rules agree:
    // - the master playlist: the reader keeps the file's order and adds the "All Songs"
    //   suffix to the stored name; libgpod reorders the members and names an unnamed one
    //   itself, so the members are compared as a set and the name where the file has one;
    //   where libgpod finds no master it makes an empty one, which is not compared;
    // - smart playlists: libgpod fills live ones from their rules while the reader lists
    //   the members the file stores, so only their presence is compared;
    // - the podcast playlist: kept in a set the reader skips;
    // - the reader also lists the playlists of the smart-playlist set, which libgpod
    //   does not read, so playlists are looked up by name;
    // - every other playlist: the same name and the same members in the same order.
    struct Expected {
        QString name;
        QStringList ids;
        bool smart = false;
    };
    QStringList masterIds;
    QString masterName;
    std::vector<Expected> expectedLists;
    for (GList* n = gpod->playlists; n; n = n->next) {
        auto* pl = static_cast<Itdb_Playlist*>(n->data);
        if (itdb_playlist_is_podcasts(pl))
            continue;
        QStringList ids;
        for (GList* m = pl->members; m; m = m->next)
            ids << QString::number(static_cast<Itdb_Track*>(m->data)->id);
        if (itdb_playlist_is_mpl(pl)) {
            masterName = playlistName(pl->name);
            masterIds = ids;
        } else {
            expectedLists.push_back({playlistName(pl->name), ids, bool(pl->is_spl)});
        }
    }
    itdb_free(gpod);

    MusicDatabase db;
    QCOMPARE(LoadiTunesDB(db, path, QStringLiteral("All Songs")).status,
             LoadResult::Status::Loaded);
    QCOMPARE(db.Tracks.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const TrackRecord& got = db.Tracks[i];
        const TrackRecord& want = expected[i];
        QCOMPARE(got.TrackID, want.TrackID);
        QCOMPARE(got.Title, want.Title);
        QCOMPARE(got.Artist, want.Artist);
        QCOMPARE(got.Album, want.Album);
        QCOMPARE(got.Genre, want.Genre);
        QCOMPARE(got.Description, want.Description);
        QCOMPARE(got.Location, want.Location);
        QCOMPARE(got.FileSize, want.FileSize);
        QCOMPARE(got.TrackNumber, want.TrackNumber);
        QCOMPARE(got.Year, want.Year);
        QCOMPARE(got.BitRate, want.BitRate);
        QCOMPARE(got.AlbumArtist, want.AlbumArtist);
        QCOMPARE(got.DiscNumber, want.DiscNumber);
        QCOMPARE(got.DiscCount, want.DiscCount);
        QCOMPARE(got.LengthMs, want.LengthMs);
    }
    const auto members = [](const clsPlayList& list) {
        QStringList ids;
        for (int i = 0; i < list.Songs.ListCount(); ++i)
            ids << list.Songs.List(i);
        return ids;
    };
    if (!masterIds.isEmpty()) {
        QVERIFY(!db.Playlists.empty());
        const clsPlayList& master = db.Playlists.front();
        QCOMPARE(master.PlayListName, (masterName + QStringLiteral(" [All Songs]")).trimmed());
        QStringList got = members(master);
        got.sort();
        masterIds.sort();
        QCOMPARE(got, masterIds);
    }
    for (const Expected& want : expectedLists) {
        const auto found =
            std::find_if(db.Playlists.begin() + 1, db.Playlists.end(),
                         [&](const clsPlayList& p) { return p.PlayListName == want.name; });
        QVERIFY2(found != db.Playlists.end(), qPrintable(want.name));
        if (!want.smart)
            QCOMPARE(members(*found), want.ids);
    }
}

} // namespace

class TestGpodCompare : public QObject {
    Q_OBJECT
private slots:
    void realDatabases_data() {
        QTest::addColumn<QString>("name");
        for (const auto& [name, count] : realdb::trackCounts())
            QTest::newRow(qPrintable(name)) << name;
    }
    void realDatabases() {
        QFETCH(QString, name);
        if (!realdb::exists(name))
            QSKIP("real databases not present");
        compareFile(realdb::path(name));
    }

    // A generated player's song files are real, tagged as its database says: read from their
    // own tags, every song the database names is the same row. A forgetful database names
    // all but its share of the files.
    void generatedPlayers_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("forgotten");
        QTest::newRow("small, with a shuffle's database")
            << QStringList{"--tracks", "60", "--playlists", "4", "--shuffle"} << 0;
        QTest::newRow("empty") << QStringList{"--tracks", "0", "--playlists", "0"} << 0;
        QTest::newRow("large") << QStringList{"--tracks",       "3000", "--playlists", "12",
                                              "--per-playlist", "300",  "--seed",      "7",
                                              "--no-files"}
                               << 0;
        QTest::newRow("forgetful, padded")
            << QStringList{"--tracks", "60", "--forget", "30", "--file-size", "20000"} << 18;
    }
    void generatedPlayers() {
        QFETCH(QStringList, arguments);
        QFETCH(int, forgotten);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QProcess maker;
        maker.start(QStringLiteral(MAKE_SAMPLE_PLAYER), QStringList{dir.path()} + arguments);
        QVERIFY(maker.waitForFinished(120000));
        QCOMPARE(maker.exitCode(), 0);
        const QString database = dir.path() + QStringLiteral("/iPod_Control/iTunes/iTunesDB");
        compareFile(database);
        if (QTest::currentTestFailed() || arguments.contains(QStringLiteral("--no-files")))
            return;

        MusicDatabase db;
        LoadiTunesDB(db, database, QStringLiteral("All Songs"));
        // libgpod's iTunesSD names the same songs, in the same order.
        if (arguments.contains(QStringLiteral("--shuffle"))) {
            std::vector<QString> locations;
            for (const TrackRecord& t : db.Tracks)
                locations.push_back(t.Location);
            QCOMPARE(LoadiTunesSD(dir.path() + QStringLiteral("/iPod_Control/iTunes/iTunesSD"))
                         .db.Locations,
                     locations);
        }
        PlayerTagReader reader(dir.path());
        for (const TrackRecord& want : db.Tracks) {
            const std::optional<TrackRecord> got = reader.ReadTrack(want.Location);
            QVERIFY2(got, qPrintable(want.Location));
            const auto fields = [](const TrackRecord& t) {
                return QStringList{t.Title,
                                   t.Artist,
                                   t.Album,
                                   t.Genre,
                                   t.Year,
                                   t.TrackNumber,
                                   t.BitRate,
                                   QString::number(t.FileSize),
                                   t.AlbumArtist,
                                   QStringLiteral("%1/%2").arg(t.DiscNumber).arg(t.DiscCount),
                                   QString::number(t.LengthMs)};
            };
            QCOMPARE(fields(*got), fields(want));
        }
        int files = 0;
        for (QDirIterator it(dir.path() + QStringLiteral("/iPod_Control/Music"), QDir::Files,
                             QDirIterator::Subdirectories);
             it.hasNext(); it.next())
            ++files;
        QCOMPARE(files, static_cast<int>(db.Tracks.size()) + forgotten);
    }
};

QTEST_GUILESS_MAIN(TestGpodCompare)
#include "test_gpod_compare.moc"
