// The reader against libgpod, an independent reader of the same format: every track of
// the real databases and of generated players must carry the same fields in both.
#include "itunesdb/LoadiTunesDB.h"
#include "support/RealDatabases.h"

#include <gpod/itdb.h>

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

    // Playlists by name, with their members' ids in order. The master playlist's name
    // carries the "All Songs" suffix in the reader.
    QMap<QString, QStringList> expectedLists;
    for (GList* n = gpod->playlists; n; n = n->next) {
        auto* pl = static_cast<Itdb_Playlist*>(n->data);
        if (itdb_playlist_is_podcasts(pl))
            continue;
        QString name = normalized(pl->name, false);
        if (itdb_playlist_is_mpl(pl)) {
            if (name.isEmpty())
                continue;
            name += QStringLiteral(" [All Songs]");
        }
        QStringList ids;
        for (GList* m = pl->members; m; m = m->next)
            ids << QString::number(static_cast<Itdb_Track*>(m->data)->id);
        expectedLists.insert(name, ids);
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
    }
    for (auto it = expectedLists.cbegin(); it != expectedLists.cend(); ++it) {
        const auto found =
            std::find_if(db.Playlists.begin(), db.Playlists.end(),
                         [&](const clsPlayList& p) { return p.PlayListName == it.key(); });
        QVERIFY2(found != db.Playlists.end(), qPrintable(it.key()));
        QStringList ids;
        for (int i = 0; i < found->Songs.ListCount(); ++i)
            ids << found->Songs.List(i);
        QCOMPARE(ids, it.value());
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

    void generatedPlayers_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("small") << QStringList{"--tracks", "60", "--playlists", "4"};
        QTest::newRow("empty") << QStringList{"--tracks", "0", "--playlists", "0"};
        QTest::newRow("large") << QStringList{"--tracks",       "3000", "--playlists", "12",
                                              "--per-playlist", "300",  "--seed",      "7",
                                              "--no-files"};
    }
    void generatedPlayers() {
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QProcess maker;
        maker.start(QStringLiteral(MAKE_SAMPLE_PLAYER), QStringList{dir.path()} + arguments);
        QVERIFY(maker.waitForFinished(120000));
        QCOMPARE(maker.exitCode(), 0);
        compareFile(dir.path() + QStringLiteral("/iPod_Control/iTunes/iTunesDB"));
    }
};

QTEST_GUILESS_MAIN(TestGpodCompare)
#include "test_gpod_compare.moc"
