// write-fixtures DIR: writes the hand-made databases (ordinary, unusual and damaged) that
// seed the fuzzer.

#include "DbWriter.h"
#include "ShuffleWriter.h"

#include <QFile>
#include <cstdio>

using namespace dbwriter;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: write-fixtures DIR\n", stderr);
        return 2;
    }
    const QList<Track> tracks = {
        {1,
         3620000,
         7,
         1998,
         128,
         {{1, u"Don\u2019t Stop"_qs},
          {2, ":iPod_Control:Music:F01:ABCD.mp3"},
          {4, "AC/DC"},
          {14, "Live"}}},
        {2,
         100,
         0,
         0,
         0,
         {{1, u"\u65e5\u672c\u8a9e \U0001F3B5"_qs},
          {2, ":iPod_Control:Music:F02:EFGH.m4a"},
          {3, "  Album "}}},
    };
    const QByteArray master = mhyp("Player", {1, 2});
    const QByteArray list = mhyp("List", {2, 1, 2});
    QList<std::pair<const char*, QByteArray>> files = {
        {"ordinary", database(tracks, {master, list})},
        {"podcasts-first",
         mhbd({mhsd(1, mhlt({mhit(tracks[0]), mhit(tracks[1])})),
               mhsd(3, mhlp({master, mhyp("Podcasts", {1})})), mhsd(2, mhlp({master}))})},
        {"albums-first",
         mhbd({mhsd(4, Record("mhla", 92).add(Record("mhia", 88).add(mhodString(200, "A")))),
               mhsd(1, mhlt({mhit(tracks[0])})), mhsd(2, mhlp({master}))})},
        {"utf8",
         mhbd({mhsd(
             1,
             mhlt({Record("mhit", 0x9c).set32(16, 1).add(mhodString(1, u"Caf\u00e9"_qs, 2))}))})},
        {"zero-step", mhbd({Record("mhsd", 0).set32(12, 1)})},
        {"compressed", compressed(database(tracks, {master, list}))},
        {"compressed-truncated", compressed(database(tracks, {master, list})).chopped(20)},
        {"podcast-set-only",
         mhbd({mhsd(1, mhlt({mhit(tracks[0]), mhit(tracks[1])})),
               mhsd(3, mhlp({master, mhyp("Podcasts", {1}) + mhip(0, 0x100)}))})},
        {"not-a-database", QByteArray("mhbx and more")},
        {"shuffle-older", shufflewriter::shortFormat({"/iPod_Control/Music/F00/A.mp3",
                                                      u"/iPod_Control/Music/F01/\u00dc.m4a"_qs})},
        {"shuffle-newer", shufflewriter::longFormat({"/iPod_Control/Music/F00/A.mp3",
                                                     u"/iPod_Control/Music/F01/\u00dc.m4a"_qs},
                                                    {{1, {0, 1}}, {3, {1}}, {2, {1, 0}}})},
    };
    for (const auto& [name, bytes] : files) {
        QFile file(QString::fromLocal8Bit(argv[1]) + u'/' + QLatin1String(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "write-fixtures: cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
