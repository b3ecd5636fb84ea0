#pragma once

// What the benchmarks share: the database they are pointed at, and libgpod's parse of it,
// the reference each of them is measured against in the same run.

#include <benchmark/benchmark.h>
#include <gpod/itdb.h>

#include <QString>
#include <cstdlib>

// The file named by an environment variable (MELVO_BENCH_DB, MELVO_BENCH_CDB); "" when unset.
inline const char* BenchFile(const char* variable = "MELVO_BENCH_DB") {
    const char* path = std::getenv(variable);
    return path ? path : "";
}

inline void BM_itdb_parse_file(benchmark::State& state) {
    for (auto _ : state) {
        Itdb_iTunesDB* db = itdb_parse_file(BenchFile(), nullptr);
        benchmark::DoNotOptimize(db);
        if (db)
            itdb_free(db);
    }
}
