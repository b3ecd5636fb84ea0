// Song-list rows from playlists and searches, sorting, the tick totals, and finding the
// player's files.

#include "platform/PlayerPath.h"
#include "songlist/SearchFilter.h"
#include "songlist/SongCatalog.h"
#include "songlist/SongListModel.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

TrackRecord track(qint32 id, QString title, QString artist = {}, QString album = {},
                  QString genre = {}, QString location = QStringLiteral("\\F00\\A.mp3")) {
    TrackRecord t;
    t.TrackID = id;
    t.Title = std::move(title);
    t.Artist = std::move(artist);
    t.Album = std::move(album);
    t.Genre = std::move(genre);
    t.Location = std::move(location);
    return t;
}

clsPlayList playlist(const QString& name, const QStringList& members) {
    clsPlayList p;
    p.PlayListName = name;
    for (const QString& m : members)
        p.Songs.AddItem(m);
    return p;
}

MusicDatabase loaded(std::vector<TrackRecord> tracks, std::vector<clsPlayList> playlists = {}) {
    MusicDatabase db;
    db.Tracks = std::move(tracks);
    db.Playlists = std::move(playlists);
    db.LoadedTrackCount = db.TrackCount();
    return db;
}

QStringList column(const std::vector<SongRow>& rows, int c) {
    QStringList texts;
    for (const SongRow& r : rows)
        texts << r.Texts[size_t(c)];
    return texts;
}

std::vector<SongRow> rowsTitled(const QStringList& titles, int c = Column::Title) {
    std::vector<SongRow> rows;
    for (const QString& t : titles) {
        SongRow r;
        r.Texts[size_t(c)] = t;
        r.Texts[Column::Title] = r.Texts[Column::Title].isEmpty() ? t : r.Texts[Column::Title];
        rows.push_back(r);
    }
    return rows;
}

// The rows as a fresh sort orders them: by the column's text in the collation, equal texts in
// the order given.
QStringList collated(std::vector<SongRow> rows, int c, Qt::SortOrder order) {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(rows.begin(), rows.end(), [&](const SongRow& a, const SongRow& b) {
        const int r = collator.compare(a.Texts[size_t(c)], b.Texts[size_t(c)]);
        return order == Qt::AscendingOrder ? r < 0 : r > 0;
    });
    return column(rows, Column::Title);
}

} // namespace

class TestSongList : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void playlistRowsFollowTheMembers() {
        TrackRecord seven =
            track(7, "Seven", "Artist", "Album", "Rock", "\\iPod_Control\\Music\\F03\\ABCD.m4p");
        seven.FileSize = 3620000;
        seven.Year = "1999";
        seven.TrackNumber = "04";
        seven.BitRate = "192 Kbps";
        seven.Description = "liner notes";
        // Two tracks share id 12: a member naming it lists both, in table order.
        const MusicDatabase db =
            loaded({track(12, "Twelve"), seven, track(12, "Twelve again")},
                   {playlist("Master", {"12", "7", "12", "99", " 7 "}), playlist("Empty", {})});
        const SongCatalog catalog(db);

        const std::vector<SongRow> rows = catalog.PlaylistRows(db, 0);
        QCOMPARE(column(rows, Column::Title), QStringList({"Twelve", "Twelve again", "Seven",
                                                           "Twelve", "Twelve again", "Seven"}));
        const SongRow& row = rows[2];
        QCOMPARE(QStringList(row.Texts.begin(), row.Texts.end()),
                 QStringList({"Seven", "Artist", "Album", "Rock", "3.45 MB", "1999", "04",
                              "192 Kbps", "\\iPod_Control\\Music\\F03\\ABCD.m4p", "3620000"}));
        QCOMPARE(row.Icon, 20);
        QCOMPARE(row.ToolTip, "liner notes");
        QVERIFY(rows[0].ToolTip.isEmpty());
        QVERIFY(!row.Ticked);

        QVERIFY(catalog.PlaylistRows(db, 1).empty());
        QVERIFY(catalog.PlaylistRows(db, -1).empty());
        QVERIFY(catalog.PlaylistRows(db, 2).empty());
    }

    void fileTypeIcons() {
        QCOMPARE(FileTypeIcon("\\iPod_Control\\Music\\F03\\ABCD.m4p"), 20);
        QCOMPARE(FileTypeIcon("\\F00\\ABCD.Mp3"), 2);
        QCOMPARE(FileTypeIcon("\\F00\\ABCD.wav"), 3);
        QCOMPARE(FileTypeIcon("\\F00\\ABCD.acc"), 1);
        QCOMPARE(FileTypeIcon("\\F00\\ABCD.MOV"), 21);
        QCOMPARE(FileTypeIcon("\\F00\\ABCD.aa"), 0);
        QCOMPARE(FileTypeIcon("\\F00\\ABCD.m4v"), 0);
        QCOMPARE(FileTypeIcon(""), 0);
    }

    void searchMatchesTheFourTags() {
        TrackRecord pathOnly = track(5, "Quiet", "", "", "", "\\F01\\beat.mp3");
        pathOnly.Year = "2024";
        const MusicDatabase db =
            loaded({track(1, "Help!", "The Beatles"), track(2, "Loop", "DJ", "Mix", "Beat"),
                    track(3, "Other", "Solo", "Heartbeat Live"), track(4, "NoBlank", "X", "Y", "Z"),
                    pathOnly});
        const SearchIndex index(db);
        const auto ids = [&](const QString& text) { return index.Matches(text); };
        QCOMPARE(ids("beat"), std::vector<int>({0, 1, 2}));
        QCOMPARE(ids("BEAT"), ids("beat"));
        QCOMPARE(ids("help"), std::vector<int>({0}));      // the first track is found too
        QCOMPARE(ids(" "), std::vector<int>({0, 2}));      // a blank is a character like others
        QCOMPARE(ids("heartbeat"), std::vector<int>({2})); // by album alone
        QCOMPARE(ids("2024"), std::vector<int>());         // years and paths are not searched
        QCOMPARE(ids("quietf01"), std::vector<int>());     // nor text across two fields
        QCOMPARE(ids(".mp3"), std::vector<int>());

        // Only tracks the load walked completely are searched.
        MusicDatabase partial = db;
        partial.LoadedTrackCount = 1;
        QCOMPARE(SearchIndex(partial).Matches("beat"), std::vector<int>({0}));
        QCOMPARE(SearchIndex(MusicDatabase()).Matches("beat"), std::vector<int>());

        // Search rows are the catalog's rows without tooltips.
        MusicDatabase described = db;
        described.Tracks[1].Description = "notes";
        const std::vector<SongRow> rows =
            SearchRows(SongCatalog(described), SearchIndex(described), "loop");
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0].Texts[Column::Title], "Loop");
        QVERIFY(rows[0].ToolTip.isEmpty());
    }

    void headerClicksSortByTheShownText() {
        SongListModel model;
        model.SetRows(rowsTitled({"b", "c", "a"}));
        QVERIFY(!model.Sorting());
        // The title column is the starting sort column, so its first click sorts descending.
        model.HeaderClicked(Column::Title);
        QCOMPARE(column(model.Rows(), Column::Title), QStringList({"c", "b", "a"}));
        model.HeaderClicked(Column::Title);
        QCOMPARE(column(model.Rows(), Column::Title), QStringList({"a", "b", "c"}));

        std::vector<SongRow> rows = rowsTitled({"one", "two", "three"});
        rows[0].Texts[Column::Artist] = "Z";
        rows[1].Texts[Column::Artist] = "Y";
        rows[2].Texts[Column::Artist] = "X";
        rows[0].Texts[Column::Album] = "2";
        rows[1].Texts[Column::Album] = "3";
        rows[2].Texts[Column::Album] = "1";
        model.SetRows(rows);
        model.HeaderClicked(Column::Artist);
        model.HeaderClicked(Column::Album);
        QCOMPARE(column(model.Rows(), Column::Album), QStringList({"1", "2", "3"}));
        model.HeaderClicked(Column::Album);
        QCOMPARE(column(model.Rows(), Column::Album), QStringList({"3", "2", "1"}));
        // Rows set later take the same order.
        model.SetRows(rows);
        QCOMPARE(column(model.Rows(), Column::Album), QStringList({"3", "2", "1"}));

        // Sizes sort as the text they show; equal texts keep their order.
        std::vector<SongRow> sizes = rowsTitled({"a", "b", "c", "d"});
        const QStringList shown = {"9.50 MB", "10.20 MB", "9.50 MB", "1.00 KB"};
        for (size_t i = 0; i < sizes.size(); ++i)
            sizes[i].Texts[Column::FileSize] = shown[int(i)];
        model.SetRows(sizes);
        model.HeaderClicked(Column::FileSize);
        QCOMPARE(column(model.Rows(), Column::FileSize),
                 QStringList({"1.00 KB", "10.20 MB", "9.50 MB", "9.50 MB"}));
        QCOMPARE(column(model.Rows(), Column::Title), QStringList({"d", "b", "a", "c"}));
    }

    void laterListsSortLikeAFreshSort() {
        // Artists repeat (equal texts keep their order), differ in case and accents only, or
        // are missing; a search's rows share the catalog's texts.
        const QStringList artists = {"beta", "Alpha", "",    "Émile", "alpha",
                                     "Beta", "emile", "Zed", "beta",  "ALPHA"};
        std::vector<TrackRecord> tracks;
        for (int i = 0; i < artists.size(); ++i)
            tracks.push_back(track(i + 1, QString("Song %1").arg(i), artists[i], "Album",
                                   i % 2 ? "Pop" : "Rock"));
        QStringList members;
        for (int i = artists.size(); i >= 1; --i)
            members << QString::number(i);
        const MusicDatabase db = loaded(tracks, {playlist("Master", members)});
        const SongCatalog catalog(db);
        const SearchIndex index(db);
        const std::vector<SongRow> master = catalog.PlaylistRows(db, 0);

        SongListModel model;
        model.SetRows(master);
        model.HeaderClicked(Column::Artist);
        QCOMPARE(column(model.Rows(), Column::Title),
                 collated(master, Column::Artist, Qt::AscendingOrder));
        std::vector<SongRow> found = SearchRows(catalog, index, "song");
        model.SetRows(found);
        QCOMPARE(column(model.Rows(), Column::Title),
                 collated(found, Column::Artist, Qt::AscendingOrder));

        // A copy given another text sorts by it; the catalog's row keeps its own.
        std::vector<SongRow> edited = SearchRows(catalog, index, "1");
        edited[0].Texts[Column::Artist] = "ZZ Top";
        edited.push_back(rowsTitled({"Hand-made"}).front());
        edited.back().Texts[Column::Artist] = "Beta";
        edited.insert(edited.end(), master.begin(), master.end());
        model.SetRows(edited);
        QCOMPARE(column(model.Rows(), Column::Title),
                 collated(edited, Column::Artist, Qt::AscendingOrder));
        QCOMPARE(model.Rows().back().Texts[Column::Artist], "ZZ Top");
        QCOMPARE(catalog.TrackRow(1).Texts[Column::Artist], "Alpha");

        // Another column and direction, on a list set later.
        model.HeaderClicked(Column::Genre);
        model.HeaderClicked(Column::Genre);
        model.SetRows(master);
        QCOMPARE(column(model.Rows(), Column::Title),
                 collated(master, Column::Genre, Qt::DescendingOrder));
    }

    void totalsCountTheTickedBytes() {
        SongListModel model;
        std::vector<SongRow> rows = rowsTitled({"a", "b", "c", "d"});
        const QStringList bytes = {"2000000000", "2000000000", "0", "1500000000"};
        for (size_t i = 0; i < rows.size(); ++i)
            rows[i].Texts[Column::Bytes] = bytes[int(i)];
        model.SetRows(rows);
        QCOMPARE(model.SelectionTotals().Count, 0);
        model.SetRowTicked(2, true);
        QCOMPARE(model.SelectionTotals().Count, 1);
        QCOMPARE(model.SelectionTotals().Bytes, 0);
        model.SetAllTicked(true);
        QCOMPARE(model.SelectionTotals().Count, 4);
        QCOMPARE(model.SelectionTotals().Bytes, Q_INT64_C(5500000000)); // past 32 bits
        model.SetRowsTicked({0, 3, 17}, false);
        QCOMPARE(model.SelectionTotals().Count, 2);
        QVERIFY(!model.Rows()[0].Ticked && model.Rows()[1].Ticked);
    }

    void playerFilesAreFoundWhateverTheirCase() {
        QTemporaryDir root;
        QVERIFY(QDir().mkpath(root.filePath("ipod_control/ITUNES")));
        QVERIFY(QDir().mkpath(root.filePath("ipod_control/Music/f02")));
        QFile db(root.filePath("ipod_control/ITUNES/itunesdb"));
        QVERIFY(db.open(QIODevice::WriteOnly));
        db.close();
        QCOMPARE(FindPlayerFile(root.path(), PlayerDatabaseLocation),
                 QDir::toNativeSeparators(root.filePath("ipod_control/ITUNES/itunesdb")));
        QCOMPARE(
            FindPlayerFile(root.path() + "/", BackslashPath("\\IPOD_CONTROL\\itunes\\iTunesDB")),
            QDir::toNativeSeparators(root.filePath("ipod_control/ITUNES/itunesdb")));
        QVERIFY(FindPlayerFile(root.path(), BackslashPath("\\iPod_Control\\Music\\F02\\none.mp3"))
                    .isEmpty());
        QVERIFY(FindPlayerFile(QString(), PlayerDatabaseLocation).isEmpty());

        // A location that climbs out of the player is never looked up.
        QVERIFY(LeavesPlayerRoot(BackslashPath("\\iPod_Control\\..\\..\\etc\\passwd")));
        QVERIFY(LeavesPlayerRoot(BackslashPath("../x.mp3")));
        QVERIFY(!LeavesPlayerRoot(BackslashPath("\\iPod_Control\\Music\\F01\\..mp3")));
        QVERIFY(FindPlayerFile(root.filePath("ipod_control"),
                               BackslashPath("\\..\\ipod_control\\ITUNES"))
                    .isEmpty());
    }

    void nativeSeparators() {
#ifndef Q_OS_WIN
        QCOMPARE(FromNativeSeparators("/media/anna/IPOD/x"), "\\media\\anna\\IPOD\\x");
        QCOMPARE(ToNativeSeparators("\\iPod_Control\\Music"), "/iPod_Control/Music");
#endif
    }
};

QTEST_GUILESS_MAIN(TestSongList)
#include "test_songlist.moc"
