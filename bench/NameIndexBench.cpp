// The name index on the deep set (data/deep/tavik.dat: 116,833 stars and
// every deep-sky object of OpenNGC):
//   BM_Build/0  building the index from the loaded catalogue (target < 50 ms)
//   BM_Build/1  the same with the deep set's names file (data/deep/taviknames.dat:
//               HIP numbers and English names, the stars tied by position)
//   BM_Find/N   answering query N of kQueries, one to ten characters, as the
//               user types them (target < 5 ms each), on the index of BM_Build/1
//
//   <build>/bin/NameIndexBench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "catalog/NameIndex.h"
#include "catalog/StarCatalog.h"

namespace {

using namespace tavik;

const StarCatalog& Deep(bool withNames) {
    static StarCatalog plain, named;
    StarCatalog& c = withNames ? named : plain;
    if (c.Count() == 0) {
        c.LoadFile(std::filesystem::path(TAVIK_DATA_DIR) / "deep" / "tavik.dat");
        if (withNames) {
            ExtraNames names;
            names.LoadFile(std::filesystem::path(TAVIK_DATA_DIR) / "deep" / ExtraNames::kFileName);
            c.SetExtraNames(std::move(names));
        }
    }
    return c;
}

const NameIndex& Index() {
    static const NameIndex index = [] {
        NameIndex i;
        i.Build(Deep(true));
        return i;
    }();
    return index;
}

// One to ten characters, as typed: kana, kanji, full-width, Latin, Greek, numbers.
const char* const kQueries[] = {
    "a",                // 1: every name with an "a" in it
    "ア",               // 1: every katakana name with ア
    "M4",               // 2: M4, M40..M49
    "ベテ",             // 2
    "ngc70",            // 5: NGC 70, NGC 700..709, NGC 7000..7099
    "HIP 1",            // 5: a prefix of 11,111 HIP numbers
    "アンドロメダ",     // 6
    "ngc 7000",         // 8
    "alpha ori",        // 9: Greek name to letter
    "ｱﾝﾄﾞﾛﾒﾀﾞ銀河",      // 9 characters of half-width kana and kanji
    "Betelgeuse",       // 10: an English name of the names file
    "オリオン座の大星雲",  // 9: nothing
};

void BM_Build(benchmark::State& state) {
    const StarCatalog& catalog = Deep(state.range(0) == 1);
    NameIndex index;
    for (auto _ : state) {
        index.Build(catalog);
        benchmark::DoNotOptimize(index.ObjectCount());
    }
    state.counters["objects"] = static_cast<double>(index.ObjectCount());
}
BENCHMARK(BM_Build)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

void BM_Find(benchmark::State& state) {
    const NameIndex& index = Index();
    const char* query = kQueries[state.range(0)];
    std::size_t found = 0;
    for (auto _ : state) {
        found = index.Find(query).size();
        benchmark::DoNotOptimize(found);
    }
    state.SetLabel(query);
    state.counters["hits"] = static_cast<double>(found);
}
BENCHMARK(BM_Find)->DenseRange(0, std::size(kQueries) - 1)->Unit(benchmark::kMicrosecond);

}  // namespace
