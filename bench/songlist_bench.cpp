// The song list on a large player (MELVO_BENCH_DB): building the master playlist's rows,
// one search keystroke, one tick with its recount, and the whole first load from the file
// to a sorted list on screen, beside libgpod's parse of the same file.
#include "LibgpodReference.h"
#include "itunesdb/BuildSongList.h"
#include "itunesdb/LoadiTunesDB.h"
#include "songlist/SearchFilter.h"
#include "songlist/SongListModel.h"

#include <QApplication>
#include <QTreeView>
#include <cstdlib>

namespace {

const MusicDatabase& loadedOnce() {
    static const MusicDatabase db = [] {
        MusicDatabase d;
        LoadiTunesDB(d, QString::fromLocal8Bit(BenchFile()), QStringLiteral("All Songs"));
        return d;
    }();
    return db;
}

// From loaded tables to a model ready to show: the rows of every track, then the master
// playlist's rows into the model.
void BM_BuildMasterList(benchmark::State& state) {
    const MusicDatabase& db = loadedOnce();
    SongListModel model;
    for (auto _ : state) {
        const SongCatalog catalog(db);
        model.SetRows(catalog.PlaylistRows(db, 0));
        benchmark::DoNotOptimize(model.rowCount());
    }
    state.counters["rows"] = model.rowCount();
}

// One keystroke of the search box: the matching rows into the model.
void BM_SearchKeystroke(benchmark::State& state) {
    const MusicDatabase& db = loadedOnce();
    const SongCatalog catalog(db);
    const SearchIndex index(db);
    SongListModel model;
    const QStringList texts = {QStringLiteral("e"),      QStringLiteral("he"),
                               QStringLiteral("hel"),    QStringLiteral("hello"),
                               QStringLiteral("straße"), QStringLiteral("zzz")};
    qsizetype i = 0, rows = 0;
    for (auto _ : state) {
        model.SetRows(SearchRows(catalog, index, texts[i++ % texts.size()]));
        rows += model.rowCount();
    }
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}

// One tick click on a 40,000-row list and the recount that follows it.
void BM_TickWithRecount(benchmark::State& state) {
    const MusicDatabase& db = loadedOnce();
    SongListModel model;
    model.SetRows(SongCatalog(db).PlaylistRows(db, 0));
    int row = 0;
    for (auto _ : state) {
        model.SetRowTicked(row, !model.Rows()[size_t(row)].Ticked);
        benchmark::DoNotOptimize(model.SelectionTotals());
        row = (row + 7919) % model.rowCount();
    }
}

// The whole first load: the file read, the rows made, sorted by title and painted.
void BM_FirstLoadToSortedList(benchmark::State& state) {
    const QString path = QString::fromLocal8Bit(BenchFile());
    for (auto _ : state) {
        MusicDatabase db;
        LoadiTunesDB(db, path, QStringLiteral("All Songs"));
        const SongCatalog catalog(db);
        const SearchIndex index(db);
        SongListModel model;
        model.HeaderClicked(Column::Title);
        model.SetRows(catalog.PlaylistRows(db, 0));
        QTreeView view;
        view.setUniformRowHeights(true);
        view.setModel(&model);
        view.resize(1000, 600);
        view.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(view.model()->rowCount());
    }
}

} // namespace

BENCHMARK(BM_itdb_parse_file)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_BuildMasterList)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_SearchKeystroke)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_TickWithRecount)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_FirstLoadToSortedList)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
