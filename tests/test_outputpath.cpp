// Output paths and file-name cleaning, the playlist and log writers, and the safe copy of
// one song file.

#include "platform/DiskFlush.h"
#include "platform/PlayerPath.h"
#include "settings/Settings.h"
#include "support/Files.h"
#include "transfer/OutputPath.h"
#include "transfer/PlaylistExport.h"
#include "transfer/SongCopy.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

SongTags tags(QString title, QString artist = "X", QString album = "Y") {
    SongTags t;
    t.Title = std::move(title);
    t.Artist = std::move(artist);
    t.Album = std::move(album);
    t.Genre = "Rock";
    t.TrackNumber = "07";
    t.Year = "1980";
    return t;
}

QString cleaned(QString text, bool isPath) {
    ensureValidFileString(text, isPath);
    return text;
}

QStringList leftovers(const QString& folder) {
    return QDir(folder).entryList({"*.part"}, QDir::Files | QDir::Hidden);
}

} // namespace

class TestOutputPath : public QObject {
    Q_OBJECT

private slots:
    void cleaning() {
        QCOMPARE(cleaned("Mr. Jones", false), "Mr Jones");
        QCOMPARE(cleaned("Live: Paris", false), "Live Paris");
        QCOMPARE(cleaned("What?", false), "What");
        QCOMPARE(cleaned("AC/DC <\"live\"> | *", false), "ACDC live  ");
        QCOMPARE(cleaned("C:\\Music.d\\x?", true), "C:\\Music.d\\x");
        QCOMPARE(cleaned(QString("a\tb\x01"
                                 "c\t"),
                         false),
                 "a_b_c_");
        QCOMPARE(cleaned("..\\..", false), "\\");
    }

    void relativePaths() {
        const QString def = "%a\\%b\\%t";
        QCOMPARE(RelativePath(def, tags("Hells Bells", "AC/DC", "Back in Black")),
                 "ACDC\\Back in Black\\Hells Bells");
        QCOMPARE(RelativePath("%a \\ %b", tags("T")), "X\\Y");
        QCOMPARE(RelativePath(" %a", tags("T")), " X"); // a leading blank stays
        QCOMPARE(RelativePath(def, tags("T", "", "")), "\\\\T");
        QCOMPARE(RelativePath(def, tags("A  B")), "X\\Y\\A B");
        QCOMPARE(RelativePath(def, tags("T", "X", "Live \\ Rare")), "X\\Live\\Rare\\T");
        QCOMPARE(RelativePath(def, tags("Title", "X", "%t")), "X\\Title\\Title");
        QCOMPARE(RelativePath("%n - %t (%y, %g)", tags("T")), "07 - T (1980, Rock)");
        QCOMPARE(RelativePath("music\\%q%", tags("T")), "music\\%q%");
        QCOMPARE(RelativePath("fixed", tags("T")), "fixed");
        // A tag's dots and colons go, so no tag makes a ".." folder.
        QCOMPARE(RelativePath(def, tags("..", "..", "a:b")), "\\ab\\");
#ifndef Q_OS_WIN
        QCOMPARE(RelativePath("%a/%t", tags("T", "AC/DC")), "ACDC\\T");
#endif
        QCOMPARE(FolderText(def, tags("T")), "X\\Y\\");
        // Only blanks are trimmed; a component keeps no blank or dot at its end.
        QCOMPARE(RelativePath(def, tags("a\tb\t", "X ", "Qui es-tu ?")), "X\\Qui es-tu\\a_b_");
        // Cut at a character boundary: a surrogate pair (4 bytes) is never split.
        const QString emoji = QString::fromUcs4(U"\U0001F3B5");
        QCOMPARE(RelativePath("%t", tags(QString(250, 'x') + emoji + emoji), ".mp3"),
                 QString(250, 'x'));
        QCOMPARE(RelativePath("%t", tags(QString(247, 'x') + emoji + emoji), ".mp3"),
                 QString(247, 'x') + emoji);
    }

    // Optional parts show only with every tag they name; the format's braces never reach
    // the name, a tag's braces do. The album artist falls back to the artist.
    void optionalPartsAndAlbumTokens() {
        SongTags song = tags("T", "X", "{Live}");
        QCOMPARE(RelativePath("{%y - }%b", song), "1980 - {Live}");
        song.Year.clear();
        QCOMPARE(RelativePath("{%y - }%b", song), "{Live}");
        QCOMPARE(RelativePath("%a\\{%d-}%n %t", song), "X\\07 T");
        song.AlbumArtist = "Various";
        song.Disc = "2";
        QCOMPARE(RelativePath("%r\\{%d-}%n %t", song), "Various\\2-07 T");
        QCOMPARE(RelativePath("{%a{ (%y)}} {x} %t}", song), "X x T"); // nested, a lone "}"
        QCOMPARE(RelativePath("%t{ %y", song), "T");                  // closed at the end
        QCOMPARE(FolderText("{%d\\}%t", song), "2\\");
        // Without braces a name is built as before the new tokens: a title's "%r" stays.
        QCOMPARE(RelativePath("%a\\%t", tags("100%real %d")), "X\\100%real %d");

        // A row's destination, as the run and the options page build it.
        SongTexts::Array row;
        row[Column::Title] = "Jóga";
        row[Column::Artist] = "Björk";
        row[Column::SourcePath] = "\\iPod_Control\\Music\\F01\\ABCD.mp3";
        row[Column::Disc] = "1";
        const SongDestination d = DestinationOf(BackslashPath("\\music\\"), "%r\\{%d-}%t", row);
        QCOMPARE(d.Base.Text(), "\\music\\Björk\\1-Jóga");
        QCOMPARE(d.Native(), NativePath("\\music\\Björk\\1-Jóga.mp3"));

#ifndef Q_OS_WIN
        // The options page's sample: the first ticked row, else the first; none without a
        // folder; the format as a run builds with it.
        std::vector<SongRow> rows(2);
        rows[0].Texts = row;
        rows[1].Texts = row;
        rows[1].Texts[Column::Title] = "Hunter";
        QCOMPARE(SampleDestination("/music", "%R\\%T", rows)->Base.Text(), "\\music\\Björk\\Jóga");
        rows[1].Ticked = true;
        QCOMPARE(SampleDestination("/music", "%t", rows)->Base.Text(), "\\music\\Hunter");
        QVERIFY(!SampleDestination("  ", "%t", rows));
        QVERIFY(!SampleDestination("/music", "%t", {}));
#endif
    }

    void outputFolderAndExtension() {
#ifndef Q_OS_WIN
        QCOMPARE(ProcessOutputFolder("  /home/anna/Music  ").Text(), "\\home\\anna\\Music\\");
        QCOMPARE(ProcessOutputFolder("/home/anna/Music/").Text(), "\\home\\anna\\Music\\");
        QCOMPARE(ProcessOutputFolder("/home/an?na/Mu*sic").Text(), "\\home\\anna\\Music\\");
        // A leading "~" is the home folder, as a shell reads it; "~anna" and a "~" further
        // on are names.
        QCOMPARE(ExpandHome("~", "/home/anna"), "/home/anna");
        QCOMPARE(ExpandHome("~/Music", "/home/anna"), "/home/anna/Music");
        QCOMPARE(ExpandHome("~/Music", "/"), "/Music");
        QCOMPARE(ExpandHome("~anna/Music", "/home/anna"), "~anna/Music");
        QCOMPARE(ExpandHome("/srv/~/Music", "/home/anna"), "/srv/~/Music");
        QCOMPARE(ProcessOutputFolder(" ~/Music ").Text(),
                 FromNativeSeparators(QDir::homePath()) + "\\Music\\");
        QCOMPARE(NearestExistingFolder("~/no such folder"), QDir::homePath()); // the picker's
#endif
        QCOMPARE(SongExtension("\\iPod_Control\\Music\\F12\\ABCD.mp3"), ".mp3");
        QCOMPARE(SongExtension("\\iPod_Control\\Music\\F01\\ABCD"), "");
        QCOMPARE(SongExtension("\\A.B\\CD"), ".B\\CD");
        QCOMPARE(SongExtension("\\F00\\x.abcdefghijklm"), ".abcdefghi");
        // Cleaned as any name: no line for a playlist, no escape for a terminal.
        QCOMPARE(SongExtension("\\F00\\B005.m\nEVIL"), ".m_EVIL");
        QCOMPARE(SongExtension("\\F00\\B006.\x1b]0;pwn\a"), "._]0;pwn_");
        QCOMPARE(SongExtension("\\F00\\B007.m?*<>|\"p3  "), ".mp3");
        QCOMPARE(SongExtension("\\F00\\B008.??"), "");
        // One character longer than a name may be is cut to nothing: the song's file name.
        SongTags huge = tags(u'a' + QString(200, QChar(0x0301)));
        huge.FileName = "B009";
        QCOMPARE(RelativePath("%a\\%t", huge, ".mp3"), "X\\B009");
    }

    void backslashPathsTurnNativeAtTheEdge() {
        // In from a native path and out again: the text rules see "\\" only.
        const BackslashPath music = BackslashPath::FromNative("/home/anna/Music/");
        QCOMPARE(music.Text(), "\\home\\anna\\Music\\");
        QCOMPARE(music.NativeText(), "/home/anna/Music/");
        // Doubled separators stay in the text and the log, and merge for the file system.
        const BackslashPath song = music + u"\\Björk\\\\Jóga.mp3";
        QCOMPARE(song.NativeText(), "/home/anna/Music//Björk//Jóga.mp3");
        QCOMPARE(song.Native(), "/home/anna/Music/Björk/Jóga.mp3");
        QCOMPARE(song.Folder().Text(), "\\home\\anna\\Music\\\\Björk\\");
        // A location under a player's root: one separator between them, also at "/".
        const BackslashPath location("\\iPod_Control\\Music\\F01\\ABCD.mp3");
        QCOMPARE((BackslashPath::FromNative("/") / location).NativeText(),
                 "/iPod_Control/Music/F01/ABCD.mp3");
        QCOMPARE((BackslashPath::FromNative("/media/IPOD/") / BackslashPath("F01\\A.mp3")).Native(),
                 "/media/IPOD/F01/A.mp3");
        QCOMPARE(BackslashPath::FromNative("/").Native(), "/");
    }

    void foldersAreMadeLevelByLevel() {
        QTemporaryDir dir;
        const BackslashPath base =
            BackslashPath::FromNative(dir.path()) + u"\\ACDC\\Back in Black\\Hells Bells";
        QVERIFY(makeFolderPath(base).isEmpty());
        QVERIFY(QFileInfo(dir.filePath("ACDC/Back in Black")).isDir());
        QVERIFY(!QFileInfo::exists(dir.filePath("ACDC/Back in Black/Hells Bells")));
        QVERIFY(makeFolderPath(BackslashPath("no separator")).isEmpty());

        // Under a file no folder can be made: the first level says so, for all of them.
        QVERIFY(write(dir.filePath("file"), "x"));
        const QList<FolderFailure> failures =
            makeFolderPath(BackslashPath::FromNative(dir.path()) + u"\\file\\a\\b\\song");
        QCOMPARE(failures.size(), 1);
        QCOMPARE(failures[0].Reason, "File already exists");
    }

    void playlistFile() {
        QTemporaryDir dir;
        QCOMPARE(PlaylistName("Best of 2004: Vol. 1"), "Best of 2004 Vol 1");
        QCOMPARE(PlaylistName(""), "ExportPlaylist");
        QCOMPARE(PlaylistName("My Player [All Songs]"), "My Player [All Songs]");
        const QString path = PlaylistPath(ProcessOutputFolder(dir.path()), "My Player [All Songs]");
        QCOMPARE(path, QDir::toNativeSeparators(dir.filePath("My Player [All Songs].m3u")));

        QVERIFY(write(path, "old contents that must go\r\n"));
        QCOMPARE(StartPlaylist(path), "");
        QCOMPARE(AppendPlaylistSong(path, "Mr Jones", "/music/X/Mr Jones.mp3"), "");
        QCOMPARE(AppendPlaylistSong(path, "Grüße", "/music/X/Grüße.mp3"), "");
        QCOMPARE(contents(path),
                 QByteArray("#EXTM3U\r\n#EXTINF:0,Mr Jones\r\n/music/X/Mr Jones.mp3\r\n"
                            "#EXTINF:0,Grüße\r\n/music/X/Grüße.mp3\r\n"));
        QVERIFY(!StartPlaylist(dir.filePath("no/such/folder/x.m3u")).isEmpty());
    }

    void debugLogOnlyWhereItExists() {
        QTemporaryDir dir;
        const QString log = dir.filePath("debug.txt");
        QCOMPARE(DebugLog(log, "first"), "");
        QVERIFY(!QFileInfo::exists(log)); // never created
        QCOMPARE(DebugLog(QString(), "nowhere"), "");
        QVERIFY(write(log, ""));
        QCOMPARE(DebugLog(log, "one"), "");
        QCOMPARE(DebugLog(log, "two"), "");
        const QList<QByteArray> lines = contents(log).split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].endsWith(" - one\r"));
        QVERIFY(lines[1].endsWith(" - two\r"));
        QVERIFY(lines[0].contains(QTime::currentTime().toString("HH").toLatin1()) ||
                lines[0].contains(":"));
        // A FIFO in the log's place is no log, and never waited on.
        const QString fifo = dir.filePath("fifo.txt");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QCOMPARE(DebugLog(fifo, "nobody reads this"), "");
    }

    void copyingKeepsContentAndTime() {
        QTemporaryDir dir;
        const QString source = dir.filePath("player/song.mp3");
        QByteArray big(17 * 1024 * 1024 + 17, 'a');
        big[12345] = 'z';
        QVERIFY(write(source, big));
        const QDateTime old = QDateTime::currentDateTime().addDays(-400);
        {
            QFile f(source);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(old, QFileDevice::FileModificationTime));
        }
        QDir().mkpath(dir.filePath("out"));
        int pauses = 0;
        QVERIFY(
            CopySongFile(source, dir.filePath("out/song.mp3"), {.BetweenPieces = [&] { ++pauses; }})
                .Copied());
        QCOMPARE(contents(dir.filePath("out/song.mp3")), big);
        QVERIFY(pauses >= 2); // the window gets its turn between the pieces
        QCOMPARE(QFileInfo(dir.filePath("out/song.mp3")).lastModified().toSecsSinceEpoch(),
                 old.toSecsSinceEpoch());
        QVERIFY(leftovers(dir.filePath("out")).isEmpty());

        // Over an existing file: replaced whole, and only once the new bytes are on the disk
        // (a new file is flushed with the rest of the run, at its end).
        QVERIFY(write(dir.filePath("out/other.mp3"), "previous"));
        const CopyResult replaced = CopySongFile(source, dir.filePath("out/other.mp3"));
        QVERIFY(replaced.Copied() && replaced.Flushed);
        QCOMPARE(contents(dir.filePath("out/other.mp3")), big);
        QVERIFY(!CopySongFile(source, dir.filePath("out/third.mp3")).Flushed);
        QCOMPARE(FlushFileSystems({dir.filePath("out"), dir.path(), dir.filePath("gone")}), "");
    }

    void onlyRealLeftoversAreRemoved() {
        QTemporaryDir dir;
        const QDateTime now = QDateTime::currentDateTime();
        const QString dead = TemporaryName(999999999, "k2");
        QVERIFY(dead.startsWith(".melvo-") && dead.endsWith("-999999999-k2.part"));
        const QStringList kept = {
            ".melvo-999999-mine.part", // the user's own look-alike
            TemporaryName(1, "k3"),    // its process runs
            // another machine's, sharing the folder
            QString(dead).replace(7, 8, dead.mid(7, 8) == "00000000" ? "11111111" : "00000000"),
        };
        for (const QString& name : kept + QStringList{dead})
            QVERIFY(write(dir.filePath(name), "x"));
        // Untouched for less than a day, a file may be a live copy of a process unseen here.
        QCOMPARE(RemoveLeftovers(dir.path(), now), 0);
        QCOMPARE(RemoveLeftovers(dir.path(), now.addDays(2)), 1);
        QVERIFY(!QFileInfo::exists(dir.filePath(dead)));
        for (const QString& name : kept)
            QVERIFY2(QFileInfo::exists(dir.filePath(name)), qPrintable(name));
    }

    void failedCopiesLoseNothing() {
        QTemporaryDir dir;
        const QString source = dir.filePath("song.mp3");
        QVERIFY(write(source, QByteArray(200000, 's')));
        const QString dest = dir.filePath("out/song.mp3");
        QVERIFY(write(dest, "the old song"));

        // A disk that fills up after 64 KB.
        qint64 room = 65536;
        const auto full = [&room](qint64 most) {
            const qint64 taken = std::min(most, room);
            room -= taken;
            return taken;
        };
        QCOMPARE(CopySongFile(source, dest, {.DiskRoom = full}).Message, "Disk full");
        QCOMPARE(contents(dest), QByteArray("the old song"));
        QVERIFY(leftovers(dir.filePath("out")).isEmpty());

        // A source cut short while it is copied is no copy.
        const auto shrinking = [&source](qint64 most) {
            QFile::resize(source, 4096);
            return most;
        };
        QVERIFY(CopySongFile(source, dest, {.DiskRoom = shrinking}).Message.contains("cut short"));
        QCOMPARE(contents(dest), QByteArray("the old song"));
        QVERIFY(leftovers(dir.filePath("out")).isEmpty());

        // A FIFO in place of the song is missing, and never waited on.
        const QString fifo = dir.filePath("fifo.mp3");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QCOMPARE(CopySongFile(fifo, dest).What, CopyResult::Outcome::SourceMissing);
        QCOMPARE(CopySongFile(fifo, dest).Message, "File not found");
        QCOMPARE(CopySongFile(dir.filePath("gone.mp3"), dest).Message, "File not found");
        QCOMPARE(contents(dest), QByteArray("the old song"));
        QCOMPARE(CopySongFile(source, dir.filePath("no/folder/song.mp3")).Message,
                 "Path not found");

        // A read-only file is refused, also when the user (root) could write it.
        QFile::setPermissions(dest, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        QVERIFY(IsReadOnlyFile(dest));
        QCOMPARE(CopySongFile(source, dest).Message, "Permission denied");
        QCOMPARE(contents(dest), QByteArray("the old song"));
        QVERIFY(leftovers(dir.filePath("out")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestOutputPath)
#include "test_outputpath.moc"
