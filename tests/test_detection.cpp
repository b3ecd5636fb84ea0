// Finding the player: the order of the candidates, the no-player dialog, the first load,
// and the player going away while it is shown or while it loads.

#include "gui/PlayerEject.h"
#include "platform/PlayerPath.h"
#include "support/Files.h"
#include "support/MainWindow.h"
#include "support/PlayerFolder.h"
#include "support/PrivateBus.h"

#include <QAction>
#include <QComboBox>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <thread>

#include <sys/stat.h>

using namespace dbwriter;

namespace {

// The player's disk gone: a player keeps its songs without a database, so the database
// alone going is no unplug.
bool unplugPlayer(const QString& root) {
    return QDir(root + "/iPod_Control").removeRecursively();
}

QList<Track> threeSongs() {
    return {song(1, "Hey Jude", "The Beatles", "1", "Pop", "F00/AAAA.mp3"),
            song(2, "Heartbeat", "Buddy Holly", "Hits", "Rock", "F01/BBBB.m4a", 5000, "notes"),
            song(3, "Beat It", "Michael Jackson", "Thriller", "Pop", "F02/CCCC.wav")};
}

void writeThreeSongPlayer(const QString& root, const QString& name = QStringLiteral("Anna")) {
    writePlayer(root, threeSongs(), {mhyp(name, {1, 2, 3}), mhyp("Pop", {3, 1})});
}

using ManagedObjects = QMap<QDBusObjectPath, QMap<QString, QVariantMap>>;

// The system's disk service as UDisks2 offers it to file managers: the objects it manages
// (block devices with file systems, their drives), Unmount and PowerOff, each call kept.
class FakeUDisks final : public QDBusVirtualObject {
public:
    struct FileSystem {
        QString name, drive;
        QByteArrayList mountPoints;
        bool system = false;
    };
    QList<FileSystem> fileSystems;
    QMap<QString, bool> canPowerOff; // by drive
    QString refuse;                  // an unmount's refusal, when set
    QStringList calls;               // method and object name

    FakeUDisks() {
        qDBusRegisterMetaType<QByteArrayList>();
        qDBusRegisterMetaType<QMap<QString, QVariantMap>>();
        qDBusRegisterMetaType<ManagedObjects>();
    }
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
        const QString root = "/org/freedesktop/UDisks2";
        if (message.member() == "GetManagedObjects") {
            ManagedObjects objects;
            for (const FileSystem& f : fileSystems) {
                const QVariant drive =
                    QVariant::fromValue(QDBusObjectPath(root + "/drives/" + f.drive));
                objects[QDBusObjectPath(root + "/block_devices/" + f.name)] = {
                    {"org.freedesktop.UDisks2.Block", {{"Drive", drive}, {"HintSystem", f.system}}},
                    {"org.freedesktop.UDisks2.Filesystem",
                     {{"MountPoints", QVariant::fromValue(terminated(f.mountPoints))}}}};
            }
            for (auto d = canPowerOff.begin(); d != canPowerOff.end(); ++d)
                objects[QDBusObjectPath(root + "/drives/" + d.key())] = {
                    {"org.freedesktop.UDisks2.Drive", {{"CanPowerOff", d.value()}}}};
            return bus.send(message.createReply(QVariant::fromValue(objects)));
        }
        calls << message.member() + ' ' + message.path().section('/', -1);
        if (message.member() == "Unmount" && !refuse.isEmpty())
            return bus.send(
                message.createErrorReply("org.freedesktop.UDisks2.Error.DeviceBusy", refuse));
        return bus.send(message.createReply());
    }

private:
    // Paths go as UDisks2 sends them: bytes ending in NUL.
    static QByteArrayList terminated(QByteArrayList paths) {
        for (QByteArray& path : paths)
            path.append('\0');
        return paths;
    }
};

} // namespace

class TestDetection : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); } // the tags' cache

    void aPlayerWithoutADatabaseListsItsSongsFromTheirTags() {
        // The songs alone, untagged: each takes its file name. A player with a database
        // is found first, wherever it stands.
        MainWindow w;
        for (const char* song : {"F01/ZED.mp3", "F00/ABBA.m4a"}) {
            QVERIFY(QDir().mkpath(QFileInfo(w.folder("a/iPod_Control/Music/") + song).path()));
            QVERIFY(
                QFile::copy(QStringLiteral(MELVO_AUDIO_DIR "/template.") + QFileInfo(song).suffix(),
                            w.folder("a/iPod_Control/Music/") + song));
        }
        writeThreeSongPlayer(w.folder("b"), "Player B");
        w.drives = {w.folder("a"), w.folder("b")};
        w.window.show();
        QTRY_VERIFY(w.find<QComboBox>("cmbPlaylists")->isEnabled());
        QCOMPARE(w.state.Database.PlayerDrive, w.folder("b"));

        MainWindow songsOnly;
        songsOnly.drives = {w.folder("a")};
        songsOnly.window.show();
        QTRY_COMPARE(songsOnly.titles(), QStringList({"ABBA", "ZED"}));
        QTRY_COMPARE(songsOnly.panel(1), "Status: Ok, from the tags");
        QCOMPARE(songsOnly.panel(2), "Songs: 2");
        QCOMPARE(songsOnly.find<QComboBox>("cmbPlaylists")->currentText(), "iPod [All Songs]");
        QCOMPARE(songsOnly.rows()[0].Texts[Column::SourcePath],
                 "\\iPod_Control\\Music\\F00\\ABBA.m4a");
    }

    void theFirstDriveWithAPlayerIsLoaded() {
        MainWindow w;
        QDir().mkpath(w.folder("f")); // a card reader without a player
        writeThreeSongPlayer(w.folder("g"), "Player G");
        writeThreeSongPlayer(w.folder("h"), "Player H");
        w.drives = {w.folder("f"), w.folder("g"), w.folder("h")};
        w.window.show();
        QTRY_VERIFY(w.find<QComboBox>("cmbPlaylists")->isEnabled());

        QCOMPARE(w.state.Database.PlayerDrive, w.folder("g"));
        QCOMPARE(w.find<QComboBox>("Drives")->count(), 3);
        QCOMPARE(w.window.windowTitle(), frmStart::WindowTitle + " ~ Player G");
        QCOMPARE(w.panel(1), "Status: Ok");
        QCOMPARE(w.panel(2), "Songs: 3");
        QCOMPARE(w.panel(3), "Selected: 0");
        for (const char* name : {"mnuFile", "mnuTools", "mnuPlayer", "mnuLanguage", "mnuHelp"})
            QVERIFY2(w.find<QMenu>(name)->menuAction()->isEnabled(), name);
        QVERIFY(w.find<QLineEdit>("XPSearch")->isEnabled());
        QVERIFY(w.find<QTimer>("Timer1")->isActive());
        QVERIFY(w.find<QTimer>("tmrDiskSize")->isActive());
        QVERIFY(!w.find<QPushButton>("cmdCopy")->isEnabled());

        auto* playlists = w.find<QComboBox>("cmbPlaylists");
        QCOMPARE(playlists->count(), 2);
        QCOMPARE(playlists->itemText(0), "Player G [All Songs]");
        QCOMPARE(playlists->itemText(1), "Pop");
        QCOMPARE(playlists->currentIndex(), 0);
        QCOMPARE(w.titles(), QStringList({"Hey Jude", "Heartbeat", "Beat It"}));
        // The stored settings came with the player: the output folder is filled in.
        QVERIFY(!w.find<QLineEdit>("txtBrowsePath")->text().isEmpty());

        // The free-space panel follows the output folder on the timer's tick.
        w.find<QLineEdit>("txtBrowsePath")->setText(w.dir.path());
        w.window.RefreshFreeSpace();
        QVERIFY2(w.panel(4).endsWith(" Free"), qPrintable(w.panel(4)));
        w.find<QLineEdit>("txtBrowsePath")->clear();
        w.window.RefreshFreeSpace();
        QCOMPARE(w.panel(4), "");

        // The Player menu offers both players, the loaded one ticked; the other one chosen
        // is loaded in its place.
        auto* players = w.find<QMenu>("mnuPlayer");
        emit players->aboutToShow();
        QStringList offered;
        for (const QAction* entry : players->actions())
            offered << entry->text() + (entry->isChecked() ? " *" : "");
        QCOMPARE(offered, QStringList({QDir::toNativeSeparators(w.folder("g")) + " *",
                                       QDir::toNativeSeparators(w.folder("h"))}));
        w.window.TickAll(true);
        players->actions()[1]->trigger();
        QCOMPARE(w.state.Database.PlayerDrive, w.folder("h"));
        QCOMPARE(w.window.windowTitle(), frmStart::WindowTitle + " ~ Player H");
        QCOMPARE(playlists->itemText(0), "Player H [All Songs]");
        QCOMPARE(w.titles(), QStringList({"Hey Jude", "Heartbeat", "Beat It"}));
        QCOMPARE(w.panel(3), "Selected: 0");
        QVERIFY(w.find<QTimer>("Timer1")->isActive());
    }

    void ejectingThePlayer() {
        // The system's disk service on a bus of the test's own: a player's drive with two
        // file systems, a system disk, and a second stick.
        const PrivateBus bus;
        if (!bus.DaemonFound())
            QSKIP("needs dbus-daemon");
        QVERIFY(!bus.Address().isEmpty());
        const QString& address = bus.Address();
        QTemporaryDir dir;
        const QString player = dir.filePath("IPOD");
        QVERIFY(QDir().mkpath(player) && QFile::link(player, dir.filePath("link")));
        FakeUDisks disks; // in UDisks2's own types
        QCOMPARE(QDBusMetaType::typeToSignature(QMetaType::fromType<ManagedObjects>()),
                 "a{oa{sa{sv}}}");
        QCOMPARE(QDBusMetaType::typeToSignature(QMetaType::fromType<QByteArrayList>()), "aay");
        const QString backup = QFileInfo(dir.path()).canonicalFilePath();
        disks.fileSystems = {{"sda1", "system", {"/"}, true},
                             {"sda2", "system", {backup.toUtf8()}, true},
                             {"sdb1", "ipod", {QFileInfo(player).canonicalFilePath().toUtf8()}},
                             {"sdb2", "ipod", {"/media/anna/IPOD-FW"}},
                             {"sdb3", "ipod", {}},
                             {"sdc1", "stick", {"/media/anna/STICK"}}};
        disks.canPowerOff = {{"system", false}, {"ipod", true}, {"stick", true}};
        QDBusConnection serviceSide = QDBusConnection::connectToBus(address, "udisks");
        const auto eject = [&](const QString& root) {
            // From a thread of its own: the service answers on this one.
            EjectResult result;
            std::atomic<bool> answered = false;
            std::thread asking([&] {
                result = PlayerEject(QDBusConnection::connectToBus(address, "melvo")).Eject(root);
                answered = true;
            });
            (void)QTest::qWaitFor([&] { return answered.load(); }, 20000);
            asking.join();
            LanguageTable english;
            english.LoadLanguage("english");
            return PlayerEject::Message(english, result);
        };

        QCOMPARE(eject(player), "The iPod cannot be ejected here: the system's disk service "
                                "(UDisks2) is not running.");
        QVERIFY(serviceSide.registerVirtualObject("/org/freedesktop/UDisks2", &disks,
                                                  QDBusConnection::SubPath));
        QVERIFY(serviceSide.registerService("org.freedesktop.UDisks2"));
        QCOMPARE(eject(""), "No iPod found, Please connect your iPod and retry!");
        // A folder, and a disk of the computer's own (a backup at its mount point).
        for (const QString& folder : {player + "/iPod_Control", backup})
            QCOMPARE(eject(folder),
                     "This iPod is a folder, not a drive of its own: there is nothing to eject.");
        QCOMPARE(disks.calls, QStringList());

        // Found by its mount point, also through a link: every mounted file system of its
        // drive goes, and the drive is powered off.
        QCOMPARE(eject(dir.filePath("link") + "/"), "The iPod can be unplugged now.");
        QCOMPARE(disks.calls, QStringList({"Unmount sdb1", "Unmount sdb2", "PowerOff ipod"}));

        disks.calls.clear();
        disks.refuse = "Error unmounting /dev/sdb1: target is busy";
        QCOMPARE(eject(player),
                 "The iPod could not be ejected.\n\nError unmounting /dev/sdb1: target is busy");
        QCOMPARE(disks.calls, QStringList({"Unmount sdb1"}));
        QDBusConnection::disconnectFromBus("melvo");
        QDBusConnection::disconnectFromBus("udisks");
    }

    void theCommandLineNamesThePlayerFolder() {
        QProcess melvo;
        melvo.start(MELVO, {"--help"});
        QVERIFY(melvo.waitForFinished(20000));
        QVERIFY(melvo.readAllStandardOutput().contains("--player <DIR>"));
    }

    void theDialogAsksUntilAPlayerIsPluggedIn() {
        MainWindow w;
        QDir().mkpath(w.folder("e"));
        w.drives = {w.folder("e")};
        int asked = 0;
        answerNoPlayer(&w.window, "cmdRetry", [&](frmNoiPod& dialog) {
            ++asked;
            QCOMPARE(dialog.windowTitle(), "Missing iPod");
            QCOMPARE(dialog.findChild<QLabel*>("Label1")->text(),
                     "No iPod found, Please connect your iPod and retry!");
            QCOMPARE(dialog.findChild<QPushButton*>("cmdCancel")->text(), "Quit");
            QCOMPARE(dialog.findChild<QPushButton*>("cmdHelp")->text(), "Help");
            QCOMPARE(w.panel(1), "Status: Looking for iPod");
            writeThreeSongPlayer(w.folder("e"));
        });
        w.window.show();
        QTRY_COMPARE(w.panel(2), "Songs: 3");
        QCOMPARE(asked, 1);
        QCOMPARE(w.state.Database.PlayerDrive, w.folder("e"));
    }

    void openFolderTakesAPlayerFolderAndSearchesItFirst() {
        MainWindow w;
        QDir().mkpath(w.folder("e"));
        writeThreeSongPlayer(w.folder("backup"), "Backup");
        w.drives = {w.folder("e")};
        QStringList picked = {w.folder("e"), w.folder("backup")};
        w.window.SetFolderPicker(
            [&picked](QWidget*, const QString&, const QString&) { return picked.takeFirst(); });
        // Open Folder twice: a folder without a player is refused with a message, the
        // player's folder is taken.
        QString refusal;
        answerModal<QMessageBox>(&w.window, nullptr,
                                 [&](QMessageBox& box) { refusal = box.text(); });
        answerNoPlayer(&w.window, "cmdOpenFolder", [](frmNoiPod& dialog) {
            QCOMPARE(dialog.findChild<QPushButton*>("cmdOpenFolder")->text(), "Open Folder…");
        });
        answerNoPlayer(&w.window, "cmdOpenFolder");
        w.window.show();
        QTRY_COMPARE(w.panel(2), "Songs: 3");
        QVERIFY(picked.isEmpty());
        QCOMPARE(
            refusal,
            "This folder holds no iPod music database. Choose the folder that holds iPod_Control.");
        QCOMPARE(w.state.Database.PlayerDrive, w.folder("backup"));
        QCOMPARE(w.window.windowTitle(), frmStart::WindowTitle + " ~ Backup");
        QCOMPARE(w.find<QComboBox>("Drives")->itemText(0), w.folder("backup"));
    }

    void aPlayerMountedWhileTheDialogIsOpenClosesIt() {
        MainWindow w;
        QDir().mkpath(w.folder("e"));
        w.drives = {w.folder("e")};
        int asked = 0;
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<frmNoiPod*>(QApplication::activeModalWidget());
            if (!dialog || asked > 0)
                return;
            ++asked;
            auto* watch = dialog->findChild<QTimer*>("tmrPlayerWatch");
            QVERIFY(watch->isActive());
            QCOMPARE(watch->interval(), w.find<QTimer>("Timer1")->interval());
            writeThreeSongPlayer(w.folder("e")); // plugged in; no button is pressed
            watch->setInterval(10);              // the test need not wait its seconds
        });
        poll.start();
        w.window.show();
        QTRY_COMPARE(w.panel(2), "Songs: 3");
        QCOMPARE(asked, 1);
        QCOMPARE(w.state.Database.PlayerDrive, w.folder("e"));
    }

    void newerPlayersWithACompressedDatabase() {
        MainWindow w;
        // One player keeps only iTunesCDB, the other an empty iTunesDB beside it.
        const QList<Track> songs = threeSongs();
        const QByteArray plain = database(songs, {mhyp("Compressed", {1, 2, 3})});
        QVERIFY(QDir().mkpath(w.folder("f/iPod_Control/iTunes")));
        QVERIFY(QDir().mkpath(w.folder("g/iPod_Control/iTunes")));
        QFile cdb(w.folder("f/iPod_Control/iTunes/iTunesCDB"));
        QVERIFY(cdb.open(QIODevice::WriteOnly) && cdb.write(compressed(plain)) > 0);
        cdb.close();
        QVERIFY(QFile::copy(cdb.fileName(), w.folder("g/iPod_Control/iTunes/iTunesCDB")));
        QFile empty(w.folder("g/iPod_Control/iTunes/iTunesDB"));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();

        w.drives = {w.folder("e"), w.folder("g")};
        w.window.show();
        QTRY_COMPARE(w.panel(2), "Songs: 3");
        QCOMPARE(w.state.Database.PlayerDrive, w.folder("g"));
        QCOMPARE(w.window.windowTitle(), frmStart::WindowTitle + " ~ Compressed");
        QCOMPARE(w.titles(), QStringList({"Hey Jude", "Heartbeat", "Beat It"}));

        // The watch sees the compressed database too: it stays.
        w.window.Timer1Tick();
        QCOMPARE(w.panel(1), "Status: Ok");
        MainWindow other;
        other.drives = {other.folder("none"), w.folder("f")};
        other.window.show();
        QTRY_COMPARE(other.panel(2), "Songs: 3");
    }

    void aDatabaseThatCannotBeReadSaysSo() {
        MainWindow w;
        // A FIFO as iTunesDB is found, never opened to wait for a writer, and said to be
        // unreadable; a folder as iTunesDB loses to the iTunesCDB beside it.
        QVERIFY(QDir().mkpath(w.folder("e/iPod_Control/iTunes")));
        QCOMPARE(mkfifo(QFile::encodeName(databasePath(w.folder("e"))).constData(), 0600), 0);
        QVERIFY(QDir().mkpath(databasePath(w.folder("f"))));
        QFile cdb(w.folder("f/iPod_Control/iTunes/iTunesCDB"));
        QVERIFY(cdb.open(QIODevice::WriteOnly) && cdb.write(compressed(database({}, {}))) > 0);
        cdb.close();
        QCOMPARE(PlayerDatabaseFile(w.folder("f")), cdb.fileName());
        w.drives = {w.folder("e")};
        w.window.show();
        QTRY_VERIFY(w.find<QComboBox>("cmbPlaylists")->isEnabled());
        QCOMPARE(w.panel(1), "Status: Cannot read the iPod's music database");
        QCOMPARE(w.panel(2), "Songs: 0");
        w.window.Timer1Tick(); // the database is still there: the status stays
        QCOMPARE(w.panel(1), "Status: Cannot read the iPod's music database");
    }

    void quitEndsTheSearchWithoutLoading() {
        MainWindow w;
        // What an earlier run stored stays as it was: nothing was loaded into the controls.
        QVERIFY(w.store.SaveSetting("Melvo", "Settings", "Output Folder", w.dir.path()));
        QVERIFY(w.store.SaveSetting("Melvo", "Settings", "OutputString", "%t"));
        QVERIFY(w.store.SaveSetting("Melvo", "Settings", "UnattendSwitch", "1"));
        QVERIFY(w.store.SaveSetting("Melvo", "Settings", "Unattend", "2"));
        QVERIFY(write(w.folder("config.cfg"), "1500,1600,1700,1800,900,900,900,900,4000\r\n"));
        const QByteArray store = contents(w.folder("store.ini"));
        w.drives = {};
        answerNoPlayer(&w.window, "cmdCancel");
        w.window.show();
        QTRY_VERIFY(!w.window.isVisible());
        QCOMPARE(w.state.Database.LoadedTrackCount, 0);
        QVERIFY(w.state.Database.PlayerDrive.isEmpty());
        QCOMPARE(w.find<QComboBox>("cmbPlaylists")->count(), 0);
        QVERIFY(!w.find<QMenu>("mnuFile")->menuAction()->isEnabled());
        QVERIFY(!w.find<QTimer>("Timer1")->isActive());
        QCOMPARE(contents(w.folder("store.ini")), store);
        QCOMPARE(contents(w.folder("config.cfg")),
                 QByteArray("1500,1600,1700,1800,900,900,900,900,4000\r\n"));

        // Unplugged, then closed: the emptied folder box does not replace the stored folder.
        MainWindow u;
        writeThreeSongPlayer(u.folder("e"));
        QVERIFY(u.store.SaveSetting("Melvo", "Settings", "Output Folder", u.dir.path()));
        u.drives = {u.folder("e")};
        u.window.show();
        QTRY_COMPARE(u.rows().size(), size_t(3));
        u.find<QLineEdit>("txtOutPutFormat")->setText("%a - %t");
        QVERIFY(unplugPlayer(u.folder("e")));
        answerNoPlayer(&u.window, "cmdCancel");
        QTRY_VERIFY_WITH_TIMEOUT(!u.window.isVisible(), 5000);
        QCOMPARE(u.store.GetSetting("Melvo", "Settings", "Output Folder"), u.dir.path());
        QCOMPARE(u.store.GetSetting("Melvo", "Settings", "OutputString"), "%a - %t");
    }

    void aTickDuringAListBuildWaitsForIt() {
        // A playlist long enough that building its list yields to the window many times.
        const auto writeLongPlayer = [](const QString& root, const QString& name) {
            writePlayer(root, threeSongs(),
                        {mhyp(name, {1, 2, 3}), mhyp("Long", QList<qint32>(300000, 2))});
        };
        MainWindow w;
        writeLongPlayer(w.folder("e"), "Anna");
        w.drives = {w.folder("e"), w.folder("f")};
        w.window.show();
        auto* playlists = w.find<QComboBox>("cmbPlaylists");
        QTRY_VERIFY(playlists->isEnabled());
        auto* timer = w.find<QTimer>("Timer1");

        // While the long list is being built, the player goes and the watch ticks at once.
        QString unplug;
        connect(w.find<QProgressBar>("pBar"), &QProgressBar::valueChanged, [&] {
            if (unplug.isEmpty() || w.panel(1) != "Status: Building List\u2026")
                return;
            QVERIFY(QDir(unplug).removeRecursively());
            unplug.clear();
            timer->start(1);
        });
        const auto buildLongWithout = [&](const QString& player) {
            unplug = player;
            playlists->setCurrentIndex(1);
            emit playlists->activated(1);
            QVERIFY(unplug.isEmpty()); // the player went during the build
        };
        // At the dialog: nothing of the interrupted build is shown.
        const auto answer = [&](const char* button, const std::function<void()>& plug) {
            answerNoPlayer(&w.window, button, [&w, timer, plug](frmNoiPod&) {
                QCOMPARE(w.rows().size(), size_t(0));
                QCOMPARE(w.find<QComboBox>("cmbPlaylists")->count(), 0);
                QCOMPARE(w.panel(3), "Selected: 0");
                timer->setInterval(3000);
                plug();
            });
        };

        answer("cmdRetry", [&] { writeLongPlayer(w.folder("e"), "Back"); });
        buildLongWithout(w.folder("e"));
        QTRY_COMPARE_WITH_TIMEOUT(w.window.windowTitle(), frmStart::WindowTitle + " ~ Back", 10000);
        // Back as at the start: the master playlist, none of the interrupted build.
        QCOMPARE(w.rows().size(), size_t(3));
        QCOMPARE(playlists->count(), 2);
        QCOMPARE(playlists->currentIndex(), 0);

        answer("cmdRetry", [&] { writeLongPlayer(w.folder("f"), "Other"); });
        buildLongWithout(w.folder("e"));
        QTRY_COMPARE_WITH_TIMEOUT(w.window.windowTitle(), frmStart::WindowTitle + " ~ Other",
                                  10000);
        QCOMPARE(w.state.Database.PlayerDrive, w.folder("f"));
        QCOMPARE(w.rows().size(), size_t(3));
        QCOMPARE(w.panel(2), "Songs: 3");

        answer("cmdCancel", [] {});
        buildLongWithout(w.folder("f"));
        QTRY_VERIFY_WITH_TIMEOUT(!w.window.isVisible(), 10000);
        QCOMPARE(w.rows().size(), size_t(0));
    }

    void unpluggingEmptiesTheWindowAndSearchesAgain() {
        MainWindow w;
        writeThreeSongPlayer(w.folder("e"));
        w.drives = {w.folder("e")};
        w.window.show();
        QTRY_COMPARE(w.rows().size(), size_t(3));
        w.window.TickAll(true);
        QVERIFY(w.find<QPushButton>("cmdCopy")->isEnabled());
        w.find<QLineEdit>("XPSearch")->setText("Beat");

        QVERIFY(unplugPlayer(w.folder("e")));
        bool checked = false;
        answerNoPlayer(&w.window, "cmdRetry", [&](frmNoiPod&) {
            QCOMPARE(w.rows().size(), size_t(0));
            QCOMPARE(w.find<QComboBox>("cmbPlaylists")->count(), 0);
            QVERIFY(w.find<QLineEdit>("txtBrowsePath")->text().isEmpty());
            QVERIFY(!w.find<QPushButton>("cmdCopy")->isEnabled());
            QVERIFY(!w.find<QAction>("mnuStartCopy")->isEnabled());
            QCOMPARE(w.panel(1), "Status: iPod Unplugged");
            QCOMPARE(w.panel(2), "Songs: 0");
            QCOMPARE(w.panel(3), "Selected: 0");
            QCOMPARE(w.window.windowTitle(), frmStart::WindowTitle);
            QVERIFY(!w.find<QTimer>("Timer1")->isActive());
            writeThreeSongPlayer(w.folder("e"), "Back Again");
            checked = true;
        });
        // The watch looks every three seconds.
        QTRY_VERIFY_WITH_TIMEOUT(checked, 5000);
        QTRY_COMPARE(w.window.windowTitle(), frmStart::WindowTitle + " ~ Back Again");
        QCOMPARE(w.panel(1), "Status: Ok");
        QCOMPARE(w.panel(2), "Songs: 3");
        QVERIFY(!w.find<QLineEdit>("txtBrowsePath")->text().isEmpty());
        // Each playlist once, and the master playlist shown again as at the start, the
        // search given way to it, nothing ticked.
        auto* playlists = w.find<QComboBox>("cmbPlaylists");
        QCOMPARE(playlists->count(), 2);
        QCOMPARE(playlists->currentIndex(), 0);
        QCOMPARE(playlists->currentText(), "Back Again [All Songs]");
        QCOMPARE(w.titles(), QStringList({"Hey Jude", "Heartbeat", "Beat It"}));
        QVERIFY(w.find<QLineEdit>("XPSearch")->text().isEmpty());
        QCOMPARE(w.panel(3), "Selected: 0");
        QVERIFY(!w.find<QPushButton>("cmdCopy")->isEnabled());
        QVERIFY(w.find<QTimer>("Timer1")->isActive());
        playlists->setCurrentIndex(1);
        emit playlists->activated(1);
        QCOMPARE(w.titles(), QStringList({"Beat It", "Hey Jude"}));
    }

    void aPlayerGoneDuringTheLoadLeavesNothingHalfLoaded() {
        MainWindow w;
        writeThreeSongPlayer(w.folder("e"));
        w.drives = {w.folder("e")};
        // Unplug as soon as the search has found the player, before its database is read.
        QTimer unplug;
        unplug.setInterval(0);
        connect(&unplug, &QTimer::timeout, [&] {
            if (!w.state.Database.PlayerDrive.isEmpty()) {
                unplugPlayer(w.folder("e"));
                unplug.stop();
            }
        });
        unplug.start();
        bool searchedAgain = false;
        answerNoPlayer(&w.window, "cmdCancel", [&](frmNoiPod&) {
            QCOMPARE(w.panel(1), "Status: iPod Unplugged");
            searchedAgain = true;
        });
        w.window.show();
        QTRY_VERIFY(w.find<QComboBox>("cmbPlaylists")->isEnabled());
        QCOMPARE(w.find<QComboBox>("cmbPlaylists")->count(), 0);
        QCOMPARE(w.state.Database.TrackCount(), 0);
        QCOMPARE(w.panel(1), "Status: iPod Unplugged"); // gone, not unreadable
        QCOMPARE(w.panel(2), "Songs: 0");
        QCOMPARE(w.rows().size(), size_t(0));
        // The next watch tick starts the search again.
        QTRY_VERIFY_WITH_TIMEOUT(searchedAgain, 5000);
        QTRY_VERIFY(!w.window.isVisible());
    }
};

QTEST_MAIN(TestDetection)
#include "test_detection.moc"
