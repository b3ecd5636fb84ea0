// Reading a player's songs from their own tags, as the window does when its database names
// them not, beside its references: a bare loop of TagLib over the same files, and the
// database load. Each run prints the best of ROUNDS in seconds; scan.sh makes the ratios.
//
//   scan_bench taglib PLAYER [ROUNDS]          TagLib::FileRef over the player's song files
//   scan_bench scan PLAYER [ROUNDS]            the files listed, then their tags read by a
//                                              TagScanner without a cache
//   scan_bench cached PLAYER FOLDER [ROUNDS]   the same with the cache kept in FOLDER, filled
//                                              first (untimed) when it has none; prints the
//                                              seconds until the list is whole, then until
//                                              every file was looked at
//   scan_bench load DATABASE [ROUNDS]          LoadiTunesDB
//   scan_bench read PLAYER|FILE [ROUNDS]       the player's song files (or the file) read
//                                              whole, the plain reading of the same bytes
//   scan_bench none                            nothing: loads the program, for a cold run
#include "itunesdb/LoadiTunesDB.h"
#include "itunesdb/PlayerSongFiles.h"
#include "itunesdb/TagCache.h"
#include "itunesdb/TagScanner.h"
#include "platform/PlayerPath.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>

namespace {

int usage() {
    std::fprintf(stderr, "usage: scan_bench taglib|scan PLAYER [ROUNDS] | cached PLAYER FOLDER "
                         "[ROUNDS] | load DATABASE [ROUNDS] | read PLAYER|FILE [ROUNDS] | none\n");
    return 2;
}

// The best of rounds runs of work, in seconds.
double best(int rounds, const std::function<void()>& work) {
    double fastest = std::numeric_limits<double>::max();
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        fastest = std::min(fastest, static_cast<double>(clock.nsecsElapsed()) / 1e9);
    }
    return fastest;
}

// The library's own cost: every field the scan takes, nothing made of it.
void tagLibLoop(const std::vector<QByteArray>& paths, long& checksum) {
    for (const QByteArray& path : paths) {
        const TagLib::FileRef ref(path.constData(), true, TagLib::AudioProperties::Average);
        if (const TagLib::Tag* tag = ref.isNull() ? nullptr : ref.tag())
            checksum += tag->title().size() + tag->artist().size() + tag->album().size() +
                        tag->genre().size() + tag->year() + tag->track();
        if (const auto* audio = ref.isNull() ? nullptr : ref.audioProperties())
            checksum += audio->bitrate();
    }
}

// Every byte of the files, in order, in pieces of a megabyte.
qint64 readWhole(const QStringList& paths) {
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    qint64 total = 0;
    for (const QString& path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        for (qint64 got; (got = file.read(buffer.data(), buffer.size())) > 0;)
            total += got;
    }
    return total;
}

// What the window does for a player without a database: list its song files, then read them
// on the scanner's thread, taking the batches as they come. whole: the seconds until the list
// held every song (the cached ones come before their files are looked at).
TagScanCounts scan(const QString& root, const QString& cacheFile, long& records,
                   double* whole = nullptr) {
    QElapsedTimer clock;
    clock.start();
    TagScanner scanner(root, cacheFile);
    QEventLoop loop;
    QObject::connect(&scanner, &TagScanner::Batch,
                     [&](const std::vector<TrackRecord>& batch, int done, int total) {
                         records += static_cast<long>(batch.size());
                         if (whole && done == total && *whole < 0)
                             *whole = static_cast<double>(clock.nsecsElapsed()) / 1e9;
                     });
    QObject::connect(&scanner, &TagScanner::Finished, &loop, &QEventLoop::quit);
    scanner.Start(PlayerSongLocations(root));
    loop.exec();
    return scanner.Counts();
}

void report(const char* what, const TagScanCounts& counts, long records) {
    std::fprintf(stderr, "%s: %ld records (%d from the cache, %d from tags, %d skipped)\n", what,
                 records, counts.FromCache, counts.FromTags, counts.Skipped);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 2 && args[1] == QStringLiteral("none"))
        return 0;
    if (args.size() < 3)
        return usage();
    const QString& mode = args[1];
    const QString& path = args[2];
    const int roundsAt = mode == QStringLiteral("cached") ? 4 : 3;
    const int rounds = args.size() > roundsAt ? std::max(1, args[roundsAt].toInt()) : 3;
    double seconds = 0;
    long sink = 0;

    if (mode == QStringLiteral("taglib")) {
        std::vector<QByteArray> paths;
        for (const QString& location : PlayerSongLocations(path))
            paths.push_back(QFile::encodeName(path + ToNativeSeparators(location)));
        seconds = best(rounds, [&] { tagLibLoop(paths, sink); });
        std::fprintf(stderr, "taglib: %zu files (checksum %ld)\n", paths.size(), sink);
    } else if (mode == QStringLiteral("scan")) {
        TagScanCounts counts;
        seconds = best(rounds, [&] {
            sink = 0;
            counts = scan(path, {}, sink);
        });
        report("scan", counts, sink);
    } else if (mode == QStringLiteral("cached") && args.size() > 3) {
        const QString cacheFile = TagCache::FileFor(path, args[3]);
        if (!QFile::exists(cacheFile))
            scan(path, cacheFile, sink);
        TagScanCounts counts;
        double whole = std::numeric_limits<double>::max();
        seconds = best(rounds, [&] {
            sink = 0;
            double round = -1;
            counts = scan(path, cacheFile, sink, &round);
            whole = std::min(whole, round);
        });
        report("cached", counts, sink);
        // The list whole first; then the scan with every file looked at.
        std::printf("%.6f ", whole);
    } else if (mode == QStringLiteral("load")) {
        qsizetype tracks = 0;
        seconds = best(rounds, [&] {
            MusicDatabase db;
            LoadiTunesDB(db, path, QStringLiteral("All Songs"));
            tracks = static_cast<qsizetype>(db.Tracks.size());
        });
        std::fprintf(stderr, "load: %lld tracks\n", static_cast<long long>(tracks));
    } else if (mode == QStringLiteral("read")) {
        QStringList paths{path};
        if (QFileInfo(path).isDir()) {
            paths.clear();
            for (const QString& location : PlayerSongLocations(path))
                paths << path + ToNativeSeparators(location);
        }
        qint64 bytes = 0;
        seconds = best(rounds, [&] { bytes = readWhole(paths); });
        std::fprintf(stderr, "read: %lld bytes of %lld files\n", static_cast<long long>(bytes),
                     static_cast<long long>(paths.size()));
    } else {
        return usage();
    }
    std::printf("%.6f\n", seconds);
    return 0;
}
