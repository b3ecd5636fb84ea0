// Load time of the reader against libgpod's parser on the same file (MELVO_BENCH_DB).
#include "itunesdb/LoadiTunesDB.h"

#include <benchmark/benchmark.h>
#include <gpod/itdb.h>

#include <QString>
#include <cstdlib>

namespace {

const char* dbPath() {
    const char* p = std::getenv("MELVO_BENCH_DB");
    return p ? p : "";
}

void BM_LoadiTunesDB(benchmark::State& state) {
    const QString path = QString::fromLocal8Bit(dbPath());
    for (auto _ : state) {
        MusicDatabase db;
        LoadiTunesDB(db, path, QStringLiteral("All Songs"));
        benchmark::DoNotOptimize(db.Tracks.data());
    }
}

// The same database as newer players store it: iTunesCDB, zlib-compressed.
void BM_LoadCompressed(benchmark::State& state) {
    const char* p = std::getenv("MELVO_BENCH_CDB");
    const QString path = QString::fromLocal8Bit(p ? p : "");
    for (auto _ : state) {
        MusicDatabase db;
        LoadiTunesDB(db, path, QStringLiteral("All Songs"));
        benchmark::DoNotOptimize(db.Tracks.data());
    }
}

void BM_itdb_parse_file(benchmark::State& state) {
    for (auto _ : state) {
        Itdb_iTunesDB* db = itdb_parse_file(dbPath(), nullptr);
        benchmark::DoNotOptimize(db);
        if (db)
            itdb_free(db);
    }
}

} // namespace

BENCHMARK(BM_itdb_parse_file)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_LoadiTunesDB)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(BM_LoadCompressed)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK_MAIN();
