// `melvo list` and `melvo copy` run as the program is run from a script: no display, no
// session bus, and a window platform that would abort the program if it were started.

#include "support/Files.h"
#include "support/PlayerFolder.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace dbwriter;

namespace {

struct Ran {
    int code = -1;
    QString out, err;
};

} // namespace

class TestCli : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QProcessEnvironment headless = QProcessEnvironment::systemEnvironment();

    QString path(const QString& relative) { return dir.filePath(relative); }

    // Starts the program; during runs while it does, with its process.
    Ran melvo(const QStringList& arguments, const std::function<void(QProcess&)>& during = {}) {
        QProcess process;
        process.setProcessEnvironment(headless);
        process.start(MELVO, arguments);
        if (during)
            during(process);
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
            return {};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

private slots:
    void initTestCase() {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS"})
            headless.remove(name);
        headless.insert("QT_QPA_PLATFORM", "xcb");
        headless.insert("HOME", path("home"));
        headless.insert("XDG_CONFIG_HOME", path("home/.config"));
        QList<Track> songs;
        for (int i = 1; i <= 6; ++i)
            songs << song(i, i == 2 ? "Tab\there" : QString("Song %1").arg(i), "Band", "Album",
                          i % 2 ? "Rock" : "Jazz", QString("F0%1/S%1.mp3").arg(i));
        writePlayer(path("ipod"), songs, {mhyp("Anna", {1, 2, 3, 4, 5, 6}), mhyp("Mix", {5, 1})});
        // A song large enough to be copied in many pieces, and two after it.
        writePlayer(path("big"),
                    {song(1, "Large", "Band", "Album", "Rock", "F01/L.mp3", 200 << 20),
                     song(2, "Small", "Band", "Album", "Rock", "F01/S.mp3"),
                     song(3, "Last", "Band", "Album", "Rock", "F01/T.mp3")},
                    {mhyp("Big", {1, 2, 3})});
        QDir().mkpath(path("empty"));
    }

    void usage_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says");
        const QString player = path("ipod");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "copy --to DIR";
        QTest::newRow("copy help") << QStringList{"copy", "--help"} << 0 << "--existing";
        QTest::newRow("no --to") << QStringList{"copy", "--player", player} << 2 << "--to";
        QTest::newRow("unknown option") << QStringList{"list", "--bogus"} << 2 << "bogus";
        QTest::newRow("stray argument") << QStringList{"list", "stray"} << 2 << "stray";
        QTest::newRow("unknown command") << QStringList{"lst"} << 2 << "unknown command";
        QTest::newRow("bad rule") << QStringList{"copy", "--to", "x", "--existing", "maybe"} << 2
                                  << "maybe";
        QTest::newRow("no playlist")
            << QStringList{"list", "--player", player, "--playlist", "X"} << 2 << "\n  Mix\n";
        QTest::newRow("no player")
            << QStringList{"list", "--player", path("empty")} << 2 << "No iPod found";
    }

    void usage() {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, says);
        const Ran ran = melvo(arguments);
        QCOMPARE(ran.code, code);
        QVERIFY2((code == 0 ? ran.out : ran.err).contains(says), qPrintable(ran.out + ran.err));
    }

    void listAndCopy() {
        const QString player = path("ipod");
        // One line a song, its nine shown columns, title first; a tab in a tag is a blank.
        const Ran all = melvo({"list", "--player", player});
        QCOMPARE(all.code, 0);
        const QStringList lines = all.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines[1].split('\t').size(), 9);
        QCOMPARE(lines[1].section('\t', 0, 1), "Tab here\tBand");
        QCOMPARE(lines[1].section('\t', 8), "\\iPod_Control\\Music\\F02\\S2.mp3");
        // A playlist as the box names it or without its suffix; a search, also within one.
        const auto titles = [&](const QStringList& choice) {
            QStringList found;
            for (const QString& line : melvo(QStringList{"list", "--player", player} + choice)
                                           .out.split('\n', Qt::SkipEmptyParts))
                found << line.section('\t', 0, 0);
            return found;
        };
        QCOMPARE(titles({"--playlist", "Mix"}), QStringList({"Song 5", "Song 1"}));
        QCOMPARE(titles({"--playlist", "Anna", "--search", "JAZZ"}),
                 QStringList({"Tab here", "Song 4", "Song 6"}));
        QCOMPARE(titles({"--playlist", "Mix", "--search", "5"}), QStringList({"Song 5"}));
        // A reader that stops reading ends the list quietly.
        QProcess pipe;
        pipe.setProcessEnvironment(headless);
        pipe.start("bash", {"-c", "\"$0\" list --player \"$1\" | head -c 0; exit ${PIPESTATUS[0]}",
                            MELVO, player});
        QVERIFY(pipe.waitForFinished(60000));
        QCOMPARE(pipe.exitCode(), 0);
        QCOMPARE(pipe.readAllStandardError(), QByteArray());

        // Three songs gone from the player: each named, and the run ends with 1.
        for (int i : {3, 4, 6})
            QVERIFY(QFile::remove(player + QString("/iPod_Control/Music/F0%1/S%1.mp3").arg(i)));
        const QString out = path("out");
        const Ran first =
            melvo({"copy", "--player", player, "--to", out, "--format", "%t", "--m3u"});
        QCOMPARE(first.code, 1);
        for (int i : {3, 4, 6})
            QVERIFY2(first.err.contains(QString("Band - Song %1\n").arg(i)), qPrintable(first.err));
        QVERIFY(first.err.contains("Copied: 3, Skipped: 0, Failed: 3"));
        QVERIFY(QFileInfo::exists(out + "/Anna [All Songs].m3u"));
        // Again, skipping what is there: nothing is replaced. Every playlist is written.
        QVERIFY(write(out + "/Song 1.mp3", "mine"));
        const Ran again = melvo({"copy", "--player", player, "--to", out, "--format", "%t",
                                 "--existing", "skip", "--all-playlists"});
        QCOMPARE(again.code, 1);
        QVERIFY2(again.err.contains("Copied: 0, Skipped: 3, Failed: 3"), qPrintable(again.err));
        QCOMPARE(contents(out + "/Song 1.mp3"), QByteArray("mine"));
        QVERIFY(contents(out + "/Playlists/Mix.m3u8").contains("../Song 5.mp3"));
    }

    void aSignalStopsTheCopy_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("Ctrl+C") << SIGINT;
        QTest::newRow("SIGTERM") << SIGTERM;
    }

    // In the middle of a large song: no temporary file and no partial one stay, and the
    // songs after it are not begun.
    void aSignalStopsTheCopy() {
        QFETCH(int, signal);
        const QString out = path(QString("stopped%1").arg(signal));
        const Ran ran = melvo({"copy", "--player", path("big"), "--to", out}, [&](QProcess& p) {
            QVERIFY(QTest::qWaitFor([&] { return !partFiles(out).isEmpty(); }, 60000));
            ::kill(pid_t(p.processId()), signal);
        });
        QCOMPARE(ran.code, 128 + signal);
        QVERIFY(ran.err.contains("Transfer stopped by user"));
        QCOMPARE(partFiles(out), QStringList());
        const QFileInfo large(out + "/Band/Album/Large.mp3");
        QVERIFY(!large.exists() || large.size() == 200 << 20);
        QVERIFY(!QFileInfo::exists(out + "/Band/Album/Small.mp3"));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
