// melvo-dump, the command-line view of what the reader loads.

#include "support/DbWriter.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <climits>
#include <sys/stat.h>

using namespace dbwriter;

namespace {

struct Run {
    int exitCode = -1;
    QString out, err;
};

Run dump(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(MELVO_DUMP), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return file.fileName();
}

} // namespace

class TestMelvoDump : public QObject {
    Q_OBJECT

private slots:
    void printsTracksPlaylistsAndLibrary() {
        QTemporaryDir dir;
        Track t{42, 1234, 3, 2001, 192, {}};
        t.strings = {{1, "Tab\there"},
                     {4, "Line\nbreak"},
                     {2, ":iPod_Control:Music:F01:A.mp3"},
                     {3, u"\u00c9t\u00e9"_qs},
                     {14, "back\\slash"}};
        t.strings.append({22, "Various"});
        t.lengthMs = 61000;
        t.discNumber = 1;
        t.discCount = 2;
        const QString db = writeFile(
            dir, "db",
            database({t, Track{7, 0, 0, 0, 0, {}}}, {mhyp("Box", {42, 7}), mhyp("Empty", {})}));
        const Run english = dump({db});
        QCOMPARE(english.exitCode, 0);
        const QStringList lines = english.out.split(u'\n');
        QCOMPARE(
            lines.value(0),
            u"T\t42\tTab\\there\tLine\\nbreak\t\u00c9t\u00e9\t\t1234\t2001\t03\t192 Kbps\t"
            u"\\\\iPod_Control\\\\Music\\\\F01\\\\A.mp3\tback\\\\slash\tVarious\t1\t2\t61000"_qs);
        QCOMPARE(lines.value(1), "T\t7\t\t\t\t\t0\t\t\t0 Kbps\t\t\t\t0\t0\t0");
        QCOMPARE(lines.value(2), "P\t0\tBox [All Songs]\t2\t42,7");
        QCOMPARE(lines.value(3), "P\t1\tEmpty\t0\t");
        QCOMPARE(lines.value(4), "L\tBox\t2\t2");
        QCOMPARE(lines.size(), 6); // the last line ends with a newline

        // A newer player's compressed database prints the same.
        const QString cdb =
            writeFile(dir, "iTunesCDB",
                      compressed(database({t, Track{7, 0, 0, 0, 0, {}}},
                                          {mhyp("Box", {42, 7}), mhyp("Empty", {})})));
        QCOMPARE(dump({cdb}).out, english.out);

        QVERIFY(dump({db, "--language", "german"}).out.contains("P\t0\tBox [Alle Lieder]\t"));
        QVERIFY(dump({"--language", "spanish", db}).out.contains("Box [Todas las Canciones]"));
    }

    void aPlayerFolderListsEverySong() {
        // A database that names one song, and a song file it forgets: untagged, so it takes
        // its file name.
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("iPod_Control/iTunes")));
        QVERIFY(QDir().mkpath(dir.filePath("iPod_Control/Music/F00")));
        Track named{7, 0, 0, 0, 0, {}};
        named.strings = {{1, "Named"}, {2, ":iPod_Control:Music:F00:A.mp3"}};
        writeFile(dir, "iPod_Control/iTunes/iTunesDB", database({named}, {mhyp("Box", {7})}));
        QVERIFY(QFile::copy(MELVO_AUDIO_DIR "/template.mp3",
                            dir.filePath("iPod_Control/Music/F00/A.mp3")));
        QVERIFY(QFile::copy(MELVO_AUDIO_DIR "/template.m4a",
                            dir.filePath("iPod_Control/Music/F00/NEW.m4a")));
        const Run run = dump({dir.path(), "--language", "german"});
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = run.out.split(u'\n');
        QVERIFY2(lines.value(0).startsWith("T\t7\tNamed\t"), qPrintable(run.out));
        QVERIFY2(lines.value(1).startsWith("T\t8\tNEW\t"), qPrintable(run.out));
        QCOMPARE(lines.value(2), "P\t0\tBox [Alle Lieder]\t2\t7,8");
        QCOMPARE(lines.value(3), "P\t1\tNicht in der Datenbank\t1\t8");
    }

    void badInput() {
        QTemporaryDir dir;
        const Run notDb = dump({writeFile(dir, "notes.txt", "just some text")});
        QCOMPARE(notDb.exitCode, 0);
        QCOMPARE(notDb.out, "L\tiPod\t0\t0\n");

        const QString missing = dir.filePath("missing-iTunesDB");
        const Run gone = dump({missing});
        QCOMPARE(gone.exitCode, 2);
        QVERIFY(gone.err.contains(missing));
        QCOMPARE(gone.err.count(u'\n'), 1);
        QVERIFY(gone.out.isEmpty());

        // A folder, a FIFO with no writer and a device: cannot read, at once.
        const QString fifo = dir.filePath("fifo-iTunesDB");
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        for (const QString& special : {dir.path(), fifo, QStringLiteral("/dev/zero")}) {
            const Run refused = dump({special});
            QCOMPARE(refused.exitCode, 2);
            QVERIFY2(refused.err.startsWith("melvo-dump: cannot read " + special),
                     qPrintable(refused.err));
        }
        for (const QStringList& args :
             {QStringList{}, QStringList{"a", "b"}, QStringList{"db", "--language", "klingon"},
              QStringList{"--bogus"}, QStringList{"db", "--language"}})
            QCOMPARE(dump(args).exitCode, 2);
    }

    // The window leaves out silently what passes the reader's ceilings; melvo-dump names it.
    void namesWhatWasLeftOut() {
        QTemporaryDir dir;
        QByteArray title = mhodString(1, QString(40000, u'x'));
        qToLittleEndian<qint32>(INT_MAX, title.data() + 28);
        const Run cut = dump({writeFile(dir, "db",
                                        Record("mhbd", 104) + Record("mhit", 0x9c).add(title) +
                                            Record("mhit", 20))});
        QCOMPARE(cut.exitCode, 0);
        QVERIFY(cut.out.startsWith("T\t0\t" + QString(32767, u'x') + "\t"));
        QCOMPARE(cut.err, "melvo-dump: 1 track records too short to hold a track's fields, left "
                          "out\nmelvo-dump: 1 strings cut to 32767 characters\n");
    }
};

QTEST_GUILESS_MAIN(TestMelvoDump)
#include "test_melvo_dump.moc"
