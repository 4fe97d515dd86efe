// Comets and asteroids: the places of 10,000 bodies for one moment (what a
// repaint would ask for; target under 5 ms), and the reading speed of element
// files in the Minor Planet Center's asteroid layout (lines per second).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "astro/Angles.h"
#include "astro/MinorOrbit.h"
#include "catalog/MinorBodies.h"
#include "MinorPopulation.h"

namespace {

using namespace tavik;
using bench::Population;

void BM_MinorBodyPlaces10k(benchmark::State& state) {
    const std::vector<MinorBody> bodies = Population(10000);
    DateTime ut(2026, 12, 10, 12, 0, 0);
    for (auto _ : state) {
        const MinorObserver observer = ObserverAt(ut);
        double sum = 0;
        for (const MinorBody& b : bodies) sum += MinorBodyPlace(b, observer).j2000.lon;
        benchmark::DoNotOptimize(sum);
        ut.AddOffset(DateOffset(0, 0, 1, 0));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(bodies.size()));
}
BENCHMARK(BM_MinorBodyPlaces10k)->Unit(benchmark::kMillisecond);

// 100,000 asteroid lines (MPCORB layout), a tenth of which can reach 12.
void BM_ReadAsteroidLines(benchmark::State& state) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::string text;
    const int lines = 100000;
    char line[256];
    for (int i = 0; i < lines; ++i) {
        const double e = 0.3 * u(rng);
        std::snprintf(line, sizeof line,
                      "%07d %5.2f  0.15 K24AH %9.5f  %9.5f  %9.5f  %9.5f  %9.7f %11.8f %11.7f  0 E2024-V47  "
                      "7330 125 1801-2024 0.80 M-v 30k MPCLINUX   0000 (%d) Body                  20241101\n",
                      i + 1, i % 10 == 0 ? 6.0 + 4 * u(rng) : 14 + 4 * u(rng), 360 * u(rng), 360 * u(rng),
                      360 * u(rng), 30 * u(rng), e, 0.2 + 0.1 * u(rng), 2.1 + 1.2 * u(rng), i + 1);
        text += line;
    }
    std::size_t kept = 0;
    for (auto _ : state) {
        std::istringstream in(text);
        kept = ReadMinorBodies(in).bodies.size();
        benchmark::DoNotOptimize(kept);
    }
    state.SetItemsProcessed(state.iterations() * lines);
    state.counters["kept"] = static_cast<double>(kept);
}
BENCHMARK(BM_ReadAsteroidLines)->Unit(benchmark::kMillisecond);

}  // namespace
