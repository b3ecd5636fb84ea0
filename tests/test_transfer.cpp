// Copy runs through the real windows: Start Copy, the copy window, the overwrite prompt,
// the playlist and the log, Cancel, and the faults a run must survive without losing or
// truncating a file. Also the options page that prepares a run.

#include "gui/PathLabel.h"
#include "itunesdb/LoadiTunesDB.h"
#include "platform/PlayerPath.h"
#include "settings/Settings.h"
#include "songlist/SongCatalog.h"
#include "support/CopyDriver.h"
#include "support/Files.h"
#include "support/MainWindow.h"
#include "support/PlayerFolder.h"
#include "support/PrivateBus.h"
#include "transfer/PlaylistExport.h"
#include "transfer/RunNotice.h"
#include "transfer/SongCopy.h"
#include "transfer/TransferEngine.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDBusConnection>
#include <QDesktopServices>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QProcess>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

using namespace dbwriter;

namespace {

// A loaded window over a player with the given songs, the output folder set, every row
// ticked.
struct TransferWindow : MainWindow {
    QString out;
    QString player;

    explicit TransferWindow(const QList<Track>& songs) {
        player = folder("ipod");
        QList<qint32> ids;
        for (const Track& t : songs)
            ids << t.id;
        writePlayer(player, songs, {mhyp("Anna", ids)});
        // Each song file holds its own id, to tell the copies apart.
        for (const Track& t : songs)
            for (const auto& [type, text] : t.strings)
                if (type == 2)
                    write(player + QString(text).replace(':', '/'),
                          "song " + QByteArray::number(t.id) + QByteArray(t.size, '.'));
        drives = {player};
        out = folder("out");
        window.show();
        QTRY_VERIFY(find<QComboBox>("cmbPlaylists")->isEnabled());
        find<QLineEdit>("txtBrowsePath")->setText(out);
        window.TickAll(true);
    }

    // Start Copy, answered by the driver; returns once the copy window has closed.
    void copy(CopyDriver& driver) {
        QVERIFY(find<QPushButton>("cmdCopy")->isEnabled());
        find<QPushButton>("cmdCopy")->click();
        QCOMPARE(driver.windows, 1);
    }
    void enableLog() { write(folder("debug.txt"), ""); }
    // The log's messages, without their time stamps.
    QStringList log() {
        QStringList lines;
        for (const QByteArray& line : contents(folder("debug.txt")).split('\n'))
            if (line.contains(" - "))
                lines << QString::fromLocal8Bit(line.mid(line.indexOf(" - ") + 3)).trimmed();
        return lines;
    }
    QStringList numberedLog() {
        QStringList numbered;
        for (const QString& line : log())
            if (line.size() > 2 && line[0].isDigit() && line[1].isDigit())
                numbered << line.left(2);
        return numbered;
    }
    QString o(const QString& relative) { return QDir::toNativeSeparators(out + "/" + relative); }
};

QList<Track> threeSongs() {
    return {song(1, "Hells Bells", "AC/DC", "Back in Black", "Rock", "F12/ABCD.mp3"),
            song(2, "Mr. Jones", "Counting Crows", "August", "Rock", "F01/EFGH.m4a"),
            song(3, "What?", "", "", "Pop", "F02/IJKL.wav")};
}

QList<Track> numberedSongs(int count) {
    QList<Track> songs;
    for (int i = 1; i <= count; ++i)
        songs << song(i, QString("Song %1").arg(i), "Band", "Album", "Rock",
                      QString("F0%1/S%1.mp3").arg(i));
    return songs;
}

// The run without a window: answers the prompt from a list, cancels when told to, and
// keeps what it was shown.
class ScriptedView final : public TransferView {
public:
    QList<PromptAnswer> answers;
    int cancelAtSong = 0; // 0: never
    TransferEngine* engine = nullptr;
    QStringList copying, errors, asked;
    std::function<void()> onEvents; // at every turn the run gives the window

    void ShowCopying(const QString& text) override {
        copying << text;
        if (cancelAtSong > 0 && text.startsWith(QString("Copying %1 of").arg(cancelAtSong)))
            engine->Cancel();
    }
    void ShowCurrentFile(const QString&) override {}
    void ShowProgress(int, int) override {}
    void ShowError(const QString& message) override { errors << message; }
    void ShowMessage(const QString& text) override { errors << text; }
    PromptAnswer AskOverwrite(const OverwriteQuestion& question) override {
        asked << question.FileName;
        return answers.isEmpty() ? PromptAnswer::None : answers.takeFirst();
    }
    void ProcessEvents() override {
        if (onEvents)
            onEvents();
    }
};

// A player of these songs, all ticked, and a run's options over it; no window.
struct HeadlessPlayer {
    QTemporaryDir dir;
    MusicDatabase db;
    std::vector<SongRow> rows;
    TransferOptions options;
    LanguageTable english;

    // Its master playlist, then the others.
    explicit HeadlessPlayer(const QList<Track>& songs, const QList<QByteArray>& others = {}) {
        const QString player = dir.filePath("ipod");
        QList<qint32> ids;
        for (const Track& t : songs)
            ids << t.id;
        writePlayer(player, songs, QList<QByteArray>{mhyp("Anna", ids)} + others);
        LoadiTunesDB(db, databasePath(player), "All Songs");
        rows = SongCatalog(db).PlaylistRows(db, 0);
        for (SongRow& row : rows)
            row.Ticked = true;
        english.LoadLanguage("english");
        options.OutputFolderText = dir.filePath("out");
        options.OutputFormat = "%t";
        options.PlayerDrive = player;
    }
};

// The desktop's file manager: the addresses it was asked to open.
class FileManager : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

// org.freedesktop.Notifications as a desktop offers it, keeping what it was sent.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QList<QStringList> calls; // application, summary, body
public slots:
    uint Notify(const QString& application, uint, const QString&, const QString& summary,
                const QString& body, const QStringList&, const QVariantMap&, int) {
        calls << QStringList{application, summary, body};
        return uint(calls.size());
    }
};

} // namespace

class TestTransfer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void songsPlaylistAndLog() {
        TransferWindow w(threeSongs());
        w.enableLog();
        w.find<QLineEdit>("txtOutPutFormat")->setText("%A\\%B\\%T");
        w.find<QCheckBox>("chkExportPlaylists")->setChecked(true);
        // At the end the copy window offers the output folder in the file manager.
        FileManager files;
        QDesktopServices::setUrlHandler("file", &files, "open");
        const auto noHandler = qScopeGuard([] { QDesktopServices::unsetUrlHandler("file"); });
        CopyDriver driver;
        driver.whileCopying = [&files](frmCopy& copy) {
            auto* open = copy.findChild<QPushButton*>("cmdOpenOutput");
            QCOMPARE(open->isVisible(),
                     copy.findChild<QPushButton*>("cmdCancel")->text() == "Finish");
            if (open->isVisible() && files.opened.isEmpty())
                QTest::mouseClick(open, Qt::LeftButton);
        };
        w.copy(driver);
        QCOMPARE(files.opened, QList<QUrl>({QUrl::fromLocalFile(w.out)}));

        QVERIFY2(driver.messages.isEmpty(), qPrintable(driver.messages.join('|')));
        QCOMPARE(w.find<QLineEdit>("txtOutPutFormat")->text(), "%a\\%b\\%t");
        QCOMPARE(contents(w.o("ACDC/Back in Black/Hells Bells.mp3")),
                 QByteArray("song 1") + QByteArray(4000, '.'));
        QVERIFY(QFileInfo::exists(w.o("Counting Crows/August/Mr Jones.m4a")));
        QVERIFY(QFileInfo::exists(w.o("What.wav"))); // no artist, no album
        QCOMPARE(contents(w.o("Anna [All Songs].m3u")),
                 ("#EXTM3U\r\n#EXTINF:0,Hells Bells\r\n" +
                  w.o("ACDC/Back in Black/Hells Bells.mp3") + "\r\n#EXTINF:0,Mr Jones\r\n" +
                  w.o("Counting Crows/August/Mr Jones.m4a") + "\r\n#EXTINF:0,What\r\n" +
                  w.o("What.wav") + "\r\n")
                     .toLocal8Bit());

        QCOMPARE(driver.copying, "Transfer completed successfully");
        QVERIFY2(driver.currentFile.startsWith("Transfer Started:  "),
                 qPrintable(driver.currentFile));
        QVERIFY(driver.currentFile.contains(" - Completed: "));
        QCOMPARE(driver.barMaximum, 10);
        QCOMPARE(driver.barValue, 10);

        const QStringList log = w.log();
        QCOMPARE(log.mid(0, 8),
                 QStringList({"** Starting Copy Routine ***", "Build PlayLists: STARTING",
                              "Build PlayLists: Built", "Build PlayLists: FINISHED",
                              "Output folder (raw): " + w.out,
                              "Output folder (processed): " + w.out + "/",
                              "*** Starting Copy Routine ***", "============================="}));
        QCOMPARE(log[8], "FilePath(output1): " + w.out + "/ACDC/Back in Black/Hells Bells");
        QCOMPARE(log[9], "FinalPath(4): " + w.player + "/iPod_Control/Music/F12/ABCD.mp3 : " +
                             w.o("ACDC/Back in Black/Hells Bells.mp3"));
        QCOMPARE(log[10], "11 Source file exist on iPod = [" + w.player +
                              "/iPod_Control/Music/F12/ABCD.mp3]");
        // The log's folder text keeps the tags as they are: "AC/DC" names no folder.
        QCOMPARE(log[11],
                 "14 *** Destination folder does not exist = [" + w.out + "/AC/DC/Back in Black/]");
        QCOMPARE(w.numberedLog(), QStringList({"11", "14", "11", "13", "11", "13"}));
        QVERIFY(partFiles(w.dir.path()).isEmpty());
    }

    void copiesInDisplayOrderAndLogsOnlyWhenAsked() {
        TransferWindow w(numberedSongs(3));
        w.find<QLineEdit>("txtOutPutFormat")->setText("%t");
        // Sorted by title, descending: the run copies and counts in that order.
        emit w.find<QTreeView>("LV")->header()->sectionClicked(Column::Title);
        CopyDriver quiet;
        w.copy(quiet);
        QVERIFY(!QFileInfo::exists(w.folder("debug.txt"))); // never created
        QVERIFY(QFileInfo::exists(w.o("Song 1.mp3")));
        QVERIFY(!QFileInfo::exists(w.o("Anna [All Songs].m3u")));

        for (int i = 1; i <= 3; ++i)
            QFile::remove(w.o(QString("Song %1.mp3").arg(i)));
        w.enableLog();
        CopyDriver logged;
        w.copy(logged);
        QStringList order;
        for (const QString& line : w.log())
            if (line.startsWith("FilePath(output1): "))
                order << QFileInfo(line).fileName();
        QCOMPARE(order, QStringList({"Song 3", "Song 2", "Song 1"}));
    }

    void promptAnswers() {
        TransferWindow w(numberedSongs(5));
        w.enableLog();
        w.find<QLineEdit>("txtOutPutFormat")->setText("%t");
        w.find<QCheckBox>("chkExportPlaylists")->setChecked(true);
        for (int i = 1; i <= 4; ++i)
            QVERIFY(write(w.o(QString("Song %1.mp3").arg(i)), "old"));
        CopyDriver driver;
        driver.answers = {"XPYes", "XPNo", "XPYesAll"};
        w.copy(driver);

        QCOMPARE(driver.promptedFiles, QStringList({"Song 1.mp3", "Song 2.mp3", "Song 3.mp3"}));
        QCOMPARE(contents(w.o("Song 1.mp3")).left(6), QByteArray("song 1"));
        QCOMPARE(contents(w.o("Song 2.mp3")), QByteArray("old"));
        QCOMPARE(contents(w.o("Song 3.mp3")).left(6), QByteArray("song 3"));
        QCOMPARE(contents(w.o("Song 4.mp3")).left(6), QByteArray("song 4")); // no prompt
        QCOMPARE(contents(w.o("Song 5.mp3")).left(6), QByteArray("song 5"));
        QCOMPARE(w.numberedLog(), QStringList({"03", "05", "07", "09", "01", "11", "13"}));
        // The playlist lists what is in the folder: the song kept by No as well.
        const QByteArray playlist = contents(w.o("Anna [All Songs].m3u"));
        QCOMPARE(playlist.count("#EXTINF"), 5);
        QVERIFY(playlist.contains(w.o("Song 2.mp3").toLocal8Bit()));
        QCOMPARE(driver.copying, "Transfer completed successfully");
        QVERIFY2(driver.currentFile.endsWith(" - Copied: 4, Skipped: 1, Failed: 0"),
                 qPrintable(driver.currentFile));

        // No to All: this file and every later existing one stay; new ones are copied.
        QVERIFY(QFile::remove(w.o("Song 5.mp3")));
        for (int i = 1; i <= 4; ++i)
            QVERIFY(write(w.o(QString("Song %1.mp3").arg(i)), "older"));
        CopyDriver again;
        again.answers = {"XPNoAll"};
        w.copy(again);
        QCOMPARE(again.promptedFiles.size(), 1);
        for (int i = 1; i <= 4; ++i)
            QCOMPARE(contents(w.o(QString("Song %1.mp3").arg(i))), QByteArray("older"));
        QCOMPARE(contents(w.o("Song 5.mp3")).left(6), QByteArray("song 5"));
        // A second run that keeps the files keeps the full playlist too.
        QCOMPARE(contents(w.o("Anna [All Songs].m3u")), playlist);

        // Closing the prompt without a button keeps the file.
        CopyDriver closing;
        w.copy(closing);
        QCOMPARE(closing.promptedFiles.size(), 5);
        QCOMPARE(contents(w.o("Song 1.mp3")), QByteArray("older"));
    }

    void enterKeepsTheFile() {
        TransferWindow w(numberedSongs(1));
        w.find<QLineEdit>("txtOutPutFormat")->setText("%t");
        const QString old = w.o("Song 1.mp3");
        const QString incoming = w.player + "/iPod_Control/Music/F01/S1.mp3";
        const QDateTime then(QDate(2020, 5, 17), QTime(9, 30)), earlier(QDate(2008, 5, 1), {});
        QVERIFY(write(old, "an older copy"));
        for (const auto& [file, time] : {std::pair(old, then), std::pair(incoming, earlier)}) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite) &&
                    f.setFileTime(time, QFileDevice::FileModificationTime));
        }
        CopyDriver driver;
        driver.answers = {"Enter"};
        w.copy(driver);
        QCOMPARE(contents(old), QByteArray("an older copy"));
        const QLocale here;
        QCOMPARE(driver.promptedFacts,
                 QStringList("13.00 Bytes, " + here.toString(then, QLocale::ShortFormat) +
                             " | 3.91 KB, " + here.toString(earlier, QLocale::ShortFormat)));
    }

    void unattendedRules() {
        TransferWindow w(numberedSongs(3));
        w.enableLog();
        w.find<QLineEdit>("txtOutPutFormat")->setText("%t");
        QVERIFY(write(w.o("Song 1.mp3"), "old"));
        QVERIFY(write(w.o("Song 2.mp3"), "old"));
        auto* unattended = w.find<QCheckBox>("optUnattended");
        auto* skip = w.find<QRadioButton>("unOpt2");
        unattended->setChecked(true);
        QVERIFY(skip->isEnabled());
        skip->setChecked(true);
        CopyDriver skipping;
        w.copy(skipping);
        QVERIFY(skipping.promptedFiles.isEmpty());
        QCOMPARE(contents(w.o("Song 1.mp3")), QByteArray("old"));
        QCOMPARE(contents(w.o("Song 3.mp3")).left(6), QByteArray("song 3"));

        w.find<QRadioButton>("unOpt1")->setChecked(true);
        CopyDriver overwriting;
        w.copy(overwriting);
        QVERIFY(overwriting.promptedFiles.isEmpty());
        QCOMPARE(contents(w.o("Song 1.mp3")).left(6), QByteArray("song 1"));
        QCOMPARE(w.numberedLog().mid(2), QStringList({"01", "01", "01"}));

        // Unticked again: the prompt asks.
        unattended->setChecked(false);
        QVERIFY(!skip->isEnabled());
        CopyDriver asking;
        asking.answers = {"XPNoAll"};
        w.copy(asking);
        QCOMPARE(asking.promptedFiles.size(), 1);
    }

    void cancelStopsAtTheNextSong() {
        TransferWindow w(numberedSongs(5));
        w.find<QLineEdit>("txtOutPutFormat")->setText("%t");
        CopyDriver driver;
        bool cancelled = false;
        driver.whileCopying = [&](frmCopy& copy) {
            if (!cancelled && copy.findChild<QLabel*>("lblCopying")->text() == "Copying 3 of 5") {
                cancelled = true;
                copy.findChild<QPushButton*>("cmdCancel")->click();
            }
        };
        w.copy(driver);
        for (int i = 1; i <= 3; ++i)
            QVERIFY(QFileInfo::exists(w.o(QString("Song %1.mp3").arg(i))));
        QVERIFY(!QFileInfo::exists(w.o("Song 4.mp3")));
        QCOMPARE(driver.copying, "Transfer stopped by user");
        QCOMPARE(driver.currentFile, "");
        QCOMPARE(driver.barValue, 3);
        QCOMPARE(driver.barMaximum, 5);
        QVERIFY(w.find<QTimer>("tmrDiskSize")->isActive());
    }

    void missingAndVanishingSources() {
        TransferWindow w(numberedSongs(5));
        w.find<QLineEdit>("txtOutPutFormat")->setText("%t");
        w.find<QCheckBox>("chkExportPlaylists")->setChecked(true);
        QVERIFY(QFile::remove(w.player + "/iPod_Control/Music/F02/S2.mp3"));
        QVERIFY(QFile::remove(w.player + "/iPod_Control/Music/F04/S4.mp3"));
        CopyDriver driver;
        driver.whileCopying = [&](frmCopy& copy) {
            // The player is unplugged before the last song.
            if (copy.findChild<QLabel*>("lblCopying")->text() == "Copying 4 of 5")
                QDir(w.player + "/iPod_Control").removeRecursively();
        };
        w.copy(driver);
        QCOMPARE(driver.messages.size(), 3);
        for (int i : {2, 4, 5}) {
            const QString message = driver.messages.takeFirst();
            QVERIFY2(message.startsWith(w.o(QString("Song %1.mp3\nFile not found\nin Melvo.frmCopy."
                                                    "Form_Activate at line ")
                                                .arg(i))),
                     qPrintable(message));
        }
        QVERIFY(QFileInfo::exists(w.o("Song 1.mp3")));
        QVERIFY(!QFileInfo::exists(w.o("Song 2.mp3")));
        QVERIFY(QFileInfo::exists(w.o("Song 3.mp3")));
        // The playlist lists only the songs that are there.
        const QByteArray playlist = contents(w.o("Anna [All Songs].m3u"));
        QCOMPARE(playlist.count("#EXTINF"), 2);
        QVERIFY(!playlist.contains("Song 2"));
        // The end says what happened and names each song that failed.
        QCOMPARE(driver.copying, "Transfer completed with errors");
        QVERIFY2(driver.currentFile.endsWith(" - Copied: 2, Skipped: 0, Failed: 3"),
                 qPrintable(driver.currentFile));
        QString expected;
        for (int i : {2, 4, 5})
            expected += QString("Band - Song %1\n    %2\n    File not found\n\n")
                            .arg(i)
                            .arg(w.o(QString("Song %1.mp3").arg(i)));
        QCOMPARE(driver.details, expected.chopped(2));
        QVERIFY(partFiles(w.dir.path()).isEmpty());
    }

    void destinationsThatCannotBeWritten() {
        TransferWindow w(numberedSongs(2));
        w.find<QLineEdit>("txtOutPutFormat")->setText("%a\\%t");
        // The output folder is a file: no folder can be made under it.
        QVERIFY(write(w.out, "not a folder"));
        CopyDriver driver;
        w.copy(driver);
        // Per song: one message for the folder that could not be made, one for the copy.
        QCOMPARE(driver.messages.size(), 4);
        QCOMPARE(driver.messages[0],
                 "File already exists\nin Melvo.frmCopy.makeFolderPath at line 40");
        QCOMPARE(driver.messages[1],
                 w.o("Band/Song 1.mp3") +
                     "\nPath not found\nin Melvo.frmCopy.Form_Activate at line 62");
        QCOMPARE(contents(w.out), QByteArray("not a folder"));

        // A read-only destination answered Yes: refused twice, the old file stays.
        QVERIFY(QFile::remove(w.out));
        QVERIFY(write(w.o("Band/Song 1.mp3"), "keep me"));
        QFile::setPermissions(w.o("Band/Song 1.mp3"), QFileDevice::ReadOwner);
        CopyDriver yes;
        yes.answers = {"XPYes"};
        w.copy(yes);
        QCOMPARE(yes.messages.size(), 2);
        QVERIFY(yes.messages[0].startsWith(w.o("Band/Song 1.mp3") +
                                           "\nPermission denied\nin Melvo.frmCopy.Form_Activate"));
        QVERIFY(yes.messages[1].startsWith(w.o("Band/Song 1.mp3") + "\nPermission denied\n"));
        QCOMPARE(contents(w.o("Band/Song 1.mp3")), QByteArray("keep me"));
        QVERIFY(QFileInfo::exists(w.o("Band/Song 2.mp3")));
        QVERIFY(partFiles(w.dir.path()).isEmpty());

        // An output folder whose name is longer than the disk takes says so, and the failure
        // list names the reason for each song.
        w.find<QLineEdit>("txtBrowsePath")->setText(w.out + "/" + QString(300, 'y'));
        CopyDriver tooLong;
        w.copy(tooLong);
        QCOMPARE(tooLong.messages.size(), 4); // the folder and the copy, per song
        QCOMPARE(tooLong.messages[0],
                 "File name too long\nin Melvo.frmCopy.makeFolderPath at line 40");
        QVERIFY2(tooLong.messages[1].contains("\nFile name too long\n"),
                 qPrintable(tooLong.messages[1]));
        QCOMPARE(tooLong.details.count("    File name too long"), 2);
    }

    void awkwardTagsStayInsideTheOutputFolder() {
        // A location without its leading separator, beside a folder named like the player.
        Track sneaky = song(4, "Sneaky", "X", "Y", "", "");
        sneaky.strings[1].second = "2:x.mp3";
        TransferWindow w(
            {song(1, "..", "..\\..", "a/b", "", "F00/A.mp3"),
             song(2, QString("Tab\there") + QChar(7), "Who?", "<Best>", "", "F00/B.mp3"),
             song(3, "Escape", "X", "Y", "", "../../../escape.mp3"), sneaky,
             song(5, "Linked", "X", "Y", "", "F00/L.mp3"),
             song(6, "Inner", "X", "Y", "", "F00/I.mp3"),
             song(7, "Folder", "X", "Y", "", "F01/Z.mp3")});
        QVERIFY(QFileInfo::exists(w.player + "2/x.mp3")); // outside the player
        // A song file that is a link to a file elsewhere, one to a song on the player, and a
        // folder that is a link to one elsewhere.
        const QString music = w.player + "/iPod_Control/Music/";
        QVERIFY(write(w.folder("secret.txt"), "not a song"));
        QVERIFY(QFile::remove(music + "F00/L.mp3") && QFile::remove(music + "F00/I.mp3"));
        QVERIFY(QFile::link(w.folder("secret.txt"), music + "F00/L.mp3"));
        QVERIFY(QFile::link(music + "F00/B.mp3", music + "F00/I.mp3"));
        QVERIFY(QDir(music).rename("F01", w.folder("elsewhere")));
        QVERIFY(QFile::link(w.folder("elsewhere"), music + "F01"));
        CopyDriver driver;
        w.copy(driver);
        // Artist "..\..", album "a/b": the dots and the "/" go; the title ".." cleans to
        // nothing, so the file keeps its name on the player.
        QVERIFY(QFileInfo::exists(w.o("ab/A.mp3")));
        QVERIFY(QFileInfo::exists(w.o("Who/Best/Tab_here_.mp3")));
        QVERIFY(QFileInfo::exists(w.o("X/Y/Inner.mp3")));
        // The songs that lie outside the player are reported and not copied.
        QCOMPARE(driver.messages.size(), 4);
        QVERIFY(driver.messages[0].contains("outside the player"));
        QVERIFY(driver.messages[1].contains("\nFile not found\n"));
        QVERIFY(driver.messages[2].contains("outside the player"));
        QVERIFY(driver.messages[3].contains("outside the player"));
        for (const char* name :
             {"X/Y/Escape.mp3", "X/Y/Sneaky.mp3", "X/Y/Linked.mp3", "X/Y/Folder.mp3"})
            QVERIFY2(!QFileInfo::exists(w.o(name)), name);
        QDirIterator all(w.dir.path(), QDir::Files, QDirIterator::Subdirectories);
        while (all.hasNext()) {
            const QString path = all.next();
            QVERIFY2(path.startsWith(w.out) || path.startsWith(w.player) ||
                         path.startsWith(w.folder("elsewhere")) ||
                         QFileInfo(path).path() == w.dir.path(),
                     qPrintable(path));
        }
    }

    void namesEveryDiskTakes() {
        const QString cjk = QString(80, QChar(0x97F3)); // 240 bytes of UTF-8
        TransferWindow w({song(1, QString(246, 'n'), "A", "B", "", "F00/LONG.mp3"),
                          song(2, cjk, "A", "B", "", "F00/CJK.mp3"),
                          song(3, QString(300, 'o'), "A", "B", "", "F00/OVER.mp3"),
                          song(4, "???", "A", "B", "", "F00/QQQQ.mp3"),
                          song(5, "...", "A", "B", "", "F00/DOTS.mp3"),
                          song(6, "Tu", "Myl\u00e8ne *", "Qui es-tu ?", "", "F00/TU.mp3")});
        w.find<QLineEdit>("txtOutPutFormat")->setText("%a\\%b\\%t");
        // Files that look like a killed run's temporary ones but are not unmistakably so.
        QVERIFY(write(w.o("A/B/.melvo-999999-mine.part"), "the user's"));
        QVERIFY(write(w.o("A/B/" + TemporaryName(999999999, "k2")), "maybe in progress"));
        CopyDriver driver;
        w.copy(driver);
        QVERIFY2(driver.messages.isEmpty(), qPrintable(driver.messages.join('|')));
        // Up to 255 bytes a name is kept whole; a longer one is cut, keeping the extension.
        QVERIFY(QFileInfo::exists(w.o("A/B/" + QString(246, 'n') + ".mp3")));
        QVERIFY(QFileInfo::exists(w.o("A/B/" + cjk + ".mp3")));
        QVERIFY(QFileInfo::exists(w.o("A/B/" + QString(251, 'o') + ".mp3")));
        // Titles that clean to nothing keep the song's file name on the player.
        QVERIFY(QFileInfo::exists(w.o("A/B/QQQQ.mp3")));
        QVERIFY(QFileInfo::exists(w.o("A/B/DOTS.mp3")));
        // No component ends in a blank.
        QVERIFY(QFileInfo::exists(w.o("Myl\u00e8ne/Qui es-tu/Tu.mp3")));
        QVERIFY(QFileInfo::exists(w.o("A/B/.melvo-999999-mine.part")));
        QVERIFY(QFileInfo::exists(w.o("A/B/" + TemporaryName(999999999, "k2"))));
    }

    void sameDestinationAndEmptyFolder() {
        TransferWindow w(numberedSongs(2));
        w.find<QLineEdit>("txtOutPutFormat")->setText("fixed");
        // The second song would replace the run's own first copy: it fails, unasked.
        CopyDriver driver;
        w.copy(driver);
        QCOMPARE(driver.promptedFiles, QStringList());
        QCOMPARE(contents(w.o("fixed.mp3")).left(6), QByteArray("song 1"));
        QVERIFY(driver.details.startsWith("Band - Song 2\n    " + w.o("fixed.mp3")));

        w.find<QLineEdit>("txtBrowsePath")->setText("   ");
        w.find<QCheckBox>("chkExportPlaylists")->setChecked(true);
        // Nothing ran: the window keeps its first texts, and Cancel, then Finish, close it.
        CopyDriver empty;
        QString firstTexts;
        empty.whileCopying = [&](frmCopy& copy) {
            auto* button = copy.findChild<QPushButton*>("cmdCancel");
            if (!empty.messages.isEmpty() && firstTexts.isEmpty() && button->text() == "Cancel") {
                firstTexts = copy.findChild<QLabel*>("lblCopying")->text();
                button->click();
            }
        };
        w.copy(empty);
        QCOMPARE(empty.messages, QStringList({"You must specify a folder!!!"}));
        QCOMPARE(firstTexts, "Building Songs Transfer List");
        QCOMPARE(empty.copying, "Transfer stopped by user");
        QVERIFY(!QFileInfo::exists("/Anna [All Songs].m3u"));

        // A relative folder typed with blanks: the playlist lies beside the songs, and its
        // lines are absolute.
        const QString before = QDir::currentPath();
        QDir::setCurrent(w.dir.path());
        w.find<QLineEdit>("txtBrowsePath")->setText(" rel ");
        CopyDriver relative;
        w.copy(relative);
        QDir::setCurrent(before);
        const QString song = QDir::toNativeSeparators(w.dir.path() + "/rel/fixed.mp3");
        QCOMPARE(QString::fromLocal8Bit(contents(w.dir.path() + "/rel/Anna [All Songs].m3u")),
                 "#EXTM3U\r\n#EXTINF:0,Song 1\r\n" + song + "\r\n");
    }

    void runRulesWithoutAWindow() {
        QList<Track> songs = numberedSongs(4);
        songs[2].strings[1].second = ":iPod_Control:Music:F03:NOTYPE"; // no file type
        HeadlessPlayer p(songs);

        // No to All at the first existing file stands for the rest of the run; the song
        // without a file type is named among the failures, the others are counted.
        QVERIFY(write(p.dir.filePath("out/Song 1.mp3"), "old"));
        QVERIFY(write(p.dir.filePath("out/Song 2.mp3"), "old"));
        ScriptedView view;
        view.answers = {PromptAnswer::NoAll};
        TransferEngine run(p.english, view);
        QCOMPARE(run.Run(p.rows, p.options), TransferEngine::Outcome::Completed);
        QCOMPARE(run.OverwriteMode(), ExistingFile::Skip);
        QCOMPARE(std::pair(run.CopiedCount(), run.SkippedCount()), std::pair(1, 2));
        QCOMPARE(run.Failures().size(), size_t(1));
        QCOMPARE(run.Failures()[0].Song, "Band - Song 3");
        QCOMPARE(view.copying.last(), "Transfer completed with errors");
        // A long run that ended in the background is told with its counts; one the user
        // watched or a short one is not.
        using enum TransferEngine::Outcome;
        const std::optional<RunNotice> notice = NoticeForRun(run, Completed, 10000, 10000, false);
        QVERIFY(notice);
        QCOMPARE(notice->Summary, "Transfer completed with errors");
        QCOMPARE(notice->Body, "Copied: 1, Skipped: 2, Failed: 1");
        QVERIFY(!NoticeForRun(run, Completed, 10000, 10000, true));
        QVERIFY(!NoticeForRun(run, Completed, 9999, 10000, false));

        // Cancel seen at the next song: the third is never reached.
        ScriptedView cancelling;
        cancelling.cancelAtSong = 2;
        TransferEngine stopped(p.english, cancelling);
        cancelling.engine = &stopped;
        p.options.OutputFolderText = p.dir.filePath("again");
        QCOMPARE(stopped.Run(p.rows, p.options), TransferEngine::Outcome::Cancelled);
        QCOMPARE(stopped.CopiedCount(), 2);
        QVERIFY(stopped.Failures().empty());
        QVERIFY(!NoticeForRun(stopped, Cancelled, 10000, 10000, false));
    }

    void runFaultsWithoutAWindow() {
        QList<Track> songs = numberedSongs(3);
        songs[0].size = 600000; // copied in several pieces
        HeadlessPlayer p(songs);
        // A file that appears while the first song is copied is someone's: it stays, and the
        // run asks about it as about any file that was there.
        const QString first = p.dir.filePath("out/Song 1.mp3");
        ScriptedView view;
        view.answers = {PromptAnswer::No};
        view.onEvents = [&] {
            if (view.copying.value(view.copying.size() - 1) == "Copying 1 of 3" &&
                !QFileInfo::exists(first))
                QVERIFY(write(first, "theirs"));
        };
        TransferEngine run(p.english, view);
        run.Run(p.rows, p.options);
        QCOMPARE(view.asked, QStringList({"Song 1.mp3"}));
        QCOMPARE(contents(first), QByteArray("theirs"));
        QCOMPARE(std::pair(run.CopiedCount(), run.SkippedCount()), std::pair(2, 1));

        // Stop (a signal at the terminal) does not wait for the song: between its pieces it
        // ends, its temporary file goes, and no later song begins.
        p.options.OutputFolderText = p.dir.filePath("stopped");
        ScriptedView stopping;
        TransferEngine stopped(p.english, stopping);
        stopping.onEvents = [&] {
            if (!stopping.copying.isEmpty())
                stopped.Stop();
        };
        QCOMPARE(stopped.Run(p.rows, p.options), TransferEngine::Outcome::Cancelled);
        QCOMPARE(std::pair(stopped.CopiedCount(), stopped.Failures().size()),
                 std::pair(0, size_t(0)));
        QCOMPARE(QDir(p.dir.filePath("stopped")).entryList(QDir::Files | QDir::Hidden),
                 QStringList());

        // Every song under one name, unattended with the overwrite rule: the run's first
        // copy stays, the others fail, and no box waits for anyone.
        p.options.OutputFolderText = p.dir.filePath("same");
        p.options.OutputFormat = "fixed";
        p.options.Unattended = true;
        p.options.Rule = ExistingFile::Overwrite;
        ScriptedView quiet;
        TransferEngine same(p.english, quiet);
        same.Run(p.rows, p.options);
        QCOMPARE(quiet.errors, QStringList());
        QCOMPARE(same.CopiedCount(), 1);
        QCOMPARE(same.Failures().size(), size_t(2));
        QCOMPARE(same.Failures()[0].Reason, "An earlier song of this transfer has this name");
        QCOMPARE(QFileInfo(p.dir.filePath("same/fixed.mp3")).size(), 600000);
        QCOMPARE(quiet.copying.last(), "Transfer completed with errors");

        // A format of 10,000 folder levels is longer than any path: one failure a song, and
        // no folder made.
        p.options.Unattended = false;
        p.options.OutputFolderText = p.dir.filePath("deep");
        p.options.OutputFormat = QString("%a\\").repeated(10000) + "%t";
        ScriptedView deep;
        TransferEngine tooDeep(p.english, deep);
        tooDeep.Run(p.rows, p.options);
        QCOMPARE(deep.errors.size(), 3);
        QVERIFY2(deep.errors[0].contains("\nFile name too long\n"), qPrintable(deep.errors[0]));
        QCOMPARE(tooDeep.Failures().size(), size_t(3));
        QVERIFY(!QFileInfo::exists(p.dir.filePath("deep/Band")));
    }

    void aLongRunInTheBackgroundIsNoticed() {
        // A session bus of the test's own, with a notification service that counts.
        const PrivateBus bus;
        if (!bus.DaemonFound())
            QSKIP("needs dbus-daemon");
        QVERIFY(!bus.Address().isEmpty());
        const QString& address = bus.Address();
        QDBusConnection serviceSide = QDBusConnection::connectToBus(address, "notifications");
        FakeNotifications service;
        QVERIFY(serviceSide.registerObject("/org/freedesktop/Notifications", &service,
                                           QDBusConnection::ExportAllSlots));
        QVERIFY(serviceSide.registerService("org.freedesktop.Notifications"));

        TransferWindow w(threeSongs());
        CopyDriver driver;
        driver.whileCopying = [&](frmCopy& copy) {
            copy.Notice().AfterMs = 0;
            copy.Notice().Bus = QDBusConnection::connectToBus(address, "melvo");
            QApplication::setActiveWindow(nullptr); // the user went to another program
        };
        w.copy(driver);
        QCOMPARE(driver.copying, "Transfer completed successfully");
        QTRY_COMPARE(service.calls.size(), 1);
        QCOMPARE(service.calls[0], QStringList({"Melvo", "Transfer completed successfully",
                                                "Copied: 3, Skipped: 0, Failed: 0"}));
        QDBusConnection::disconnectFromBus("melvo");
        QDBusConnection::disconnectFromBus("notifications");
    }

    // A library's names: a compilation in one folder under its album artist, two discs
    // apart. Then every playlist beside the copies, each line found from the playlist's own
    // folder, also once the output folder has moved; a song not copied is left out.
    void albumsDiscsAndEveryPlaylist() {
        QList<Track> songs = {song(1, "One", "Ann", "Hits", "Pop", "F00/A.mp3"),
                              song(2, "Two", "Bob", "Hits", "Pop", "F00/B.m4a"),
                              song(3, "Intro", "Cy", "Live", "Rock", "F01/C.mp3"),
                              song(4, "Intro", "Cy", "Live", "Rock", "F01/D.mp3"),
                              song(5, "Extra", "Dee", "", "Rock", "F02/E.mp3")};
        songs[0].strings.append({22, "Various"});
        songs[1].strings.append({22, "Various"});
        for (int disc : {1, 2}) {
            songs[1 + disc].discNumber = disc;
            songs[1 + disc].discCount = 2;
        }
        songs[3].lengthMs = 245400;
        HeadlessPlayer p(songs, {mhyp("Mix", {4, 1, 5}), mhyp("Mix", {2})});
        p.options.OutputFormat = "%r\\%b\\{%d-}%n %t";
        p.rows.back().Ticked = false; // Extra stays on the player
        ScriptedView view;
        TransferEngine run(p.english, view);
        QCOMPARE(run.Run(p.rows, p.options), TransferEngine::Outcome::Completed);
        QVERIFY2(run.Succeeded(), qPrintable(run.FailureText()));
        const QString out = p.dir.filePath("out");
        QCOMPARE(QDir(out + "/Various/Hits").entryList(QDir::Files),
                 QStringList({"01 One.mp3", "01 Two.m4a"}));
        QCOMPARE(QDir(out + "/Cy/Live").entryList(QDir::Files),
                 QStringList({"1-01 Intro.mp3", "2-01 Intro.mp3"}));

        // As the format box holds it, before a run lower-cases it.
        const PlaylistsExport done = ExportAllPlaylists(p.db, out, "%R\\%b\\{%d-}%n %T");
        QCOMPARE(done.Written, 3);
        QCOMPARE(done.LeftOut, 1);
        QVERIFY(done.Failures.isEmpty());
        QCOMPARE(done.Folder, QDir::toNativeSeparators(out + "/Playlists"));
        // Each playlist: how many of its paths name a file, of how many.
        const auto entries = [](const QString& folder) {
            QStringList found;
            for (const QString& name : QDir(folder).entryList({"*.m3u8"}, QDir::Files)) {
                const QList<QByteArray> lines = contents(folder + "/" + name).split('\n');
                int paths = 0, files = 0;
                for (const QByteArray& line : lines.mid(1)) {
                    if (line.isEmpty() || line.startsWith('#'))
                        continue;
                    ++paths;
                    files += QFileInfo(QDir(folder).filePath(QString::fromUtf8(line))).isFile();
                }
                found << QString("%1 %2: %3 of %4").arg(lines[0], name).arg(files).arg(paths);
            }
            return found;
        };
        const QStringList expected = {"#EXTM3U Anna [All Songs].m3u8: 4 of 4",
                                      "#EXTM3U Mix (2).m3u8: 1 of 1", "#EXTM3U Mix.m3u8: 2 of 2"};
        QCOMPARE(entries(out + "/Playlists"), expected);
        QVERIFY(contents(out + "/Playlists/Mix.m3u8")
                    .startsWith("#EXTM3U\n#EXTINF:245,Cy - Intro\n../Cy/Live/2-01 Intro.mp3\n"
                                "#EXTINF:-1,Ann - One\n"));
        QVERIFY(QDir().rename(out, p.dir.filePath("moved")));
        QCOMPARE(entries(p.dir.filePath("moved/Playlists")), expected);
    }

    void optionsOfARun() {
        WindowSettings page;
        page.OutputFolder = "/music";
        page.OutputFormat = "%A\\%T Ä";
        page.Unattended = true;
        page.Rule = ExistingFile::Skip;
        const TransferOptions options =
            TransferOptions::ForRun(page, true, "Anna [All Songs]", "/ipod", "/cfg/config.cfg");
        QCOMPARE(options.OutputFormat, "%a\\%t ä");
        QCOMPARE(options.OutputFolderText, "/music");
        QVERIFY(options.ExportPlaylist && options.Unattended);
        QCOMPARE(options.Rule, ExistingFile::Skip);
        QCOMPARE(options.PlaylistSelectorText, "Anna [All Songs]");
        QCOMPARE(options.PlayerDrive, "/ipod");
        QCOMPARE(options.LogPath, DebugLogPath("/cfg/config.cfg"));
    }

    void optionsPage() {
        TransferWindow w(numberedSongs(1));
        auto* format = w.find<QLineEdit>("txtOutPutFormat");
        auto* preview = w.find<QLabel>("lblOutputPreView");
        format->setText("%y - %T");
        QCOMPARE(preview->text(), "Example:<OutputDir>\\Year - Title");
        w.find<QPushButton>("XPBDefault")->click();
        QCOMPARE(format->text(), "%a\\%b\\%t");
        QCOMPARE(preview->text(), "Example:<OutputDir>\\Artist\\Album\\Title");
        // Where the first ticked song will really be written, as the format changes.
        auto* destination = w.find<PathLabel>("lblDestination");
        QCOMPARE(destination->FullText(),
                 "Destination: " + QDir::toNativeSeparators(w.out + "/Band/Album/Song 1.mp3"));
        format->setText("{%y - }%R\\%T");
        QCOMPARE(destination->FullText(),
                 "Destination: " + QDir::toNativeSeparators(w.out + "/2001 - Band/Song 1.mp3"));
        format->setText("%a\\%b\\%t");

        // Leaving the box without the title token brings the message once.
        CopyDriver driver;
        format->setText("%a\\%b");
        QFocusEvent leave(QEvent::FocusOut);
        QApplication::sendEvent(format, &leave);
        QTRY_COMPARE(driver.messages,
                     QStringList({"You must have a Title (%t) in your output format"}));
        QCOMPARE(w.find<QTabWidget>("Tab1")->currentIndex(), 1);
        QVERIFY(!w.find<QTimer>("tmrTextFormat")->isActive());
        QTest::qWait(600);
        QCOMPARE(driver.messages.size(), 1);

        // Browse: a cancelled picker keeps the folder, a chosen one replaces it.
        QString answer;
        QStringList titles;
        QStringList starts;
        w.window.SetFolderPicker([&](QWidget*, const QString& title, const QString& start) {
            titles << title;
            starts << start;
            return answer;
        });
        w.find<QPushButton>("cmdBrowse")->click();
        QCOMPARE(w.find<QLineEdit>("txtBrowsePath")->text(), w.out);
        answer = w.dir.path();
        w.find<QPushButton>("cmdBrowse")->click();
        QCOMPARE(w.find<QLineEdit>("txtBrowsePath")->text(),
                 QDir::toNativeSeparators(w.dir.path()));
        QVERIFY(w.panel(4).endsWith(" Free"));
        QCOMPARE(titles, QStringList({"Select folder", "Select folder"}));
        // It opened at the folder in the box, or at the nearest one there is of a folder
        // still to be made (the output folder, then two below one that is there).
        QVERIFY(QDir().mkpath(w.dir.filePath("sub")));
        w.find<QLineEdit>("txtBrowsePath")->setText(w.dir.filePath("sub/new/deeper"));
        answer.clear();
        w.find<QPushButton>("cmdBrowse")->click();
        const QString top = QDir::toNativeSeparators(w.dir.path());
        QCOMPARE(starts, QStringList({top, top, QDir::toNativeSeparators(w.dir.filePath("sub"))}));
    }
};

QTEST_MAIN(TestTransfer)
#include "test_transfer.moc"
