// Load time of the reader against libgpod's parser on the same file (MELVO_BENCH_DB).
#include "LibgpodReference.h"
#include "itunesdb/LoadiTunesDB.h"

namespace {

void loadEachTime(benchmark::State& state, const char* variable) {
    const QString path = QString::fromLocal8Bit(BenchFile(variable));
    for (auto _ : state) {
        MusicDatabase db;
        LoadiTunesDB(db, path, QStringLiteral("All Songs"));
        benchmark::DoNotOptimize(db.Tracks.data());
    }
}

void BM_LoadiTunesDB(benchmark::State& state) {
    loadEachTime(state, "MELVO_BENCH_DB");
}

// The same database as newer players store it: iTunesCDB, zlib-compressed.
void BM_LoadCompressed(benchmark::State& state) {
    loadEachTime(state, "MELVO_BENCH_CDB");
}

} // namespace

BENCHMARK(BM_itdb_parse_file)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_LoadiTunesDB)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(BM_LoadCompressed)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK_MAIN();
