// Catalogue size against load and repaint, for three data sets:
//   Bundled  data/tavik.dat       (9,645 records, stars to magnitude 6.5)
//   Deep     data/deep/tavik.dat  (129,084 records, Hipparcos to 11.5 and
//            every NGC/IC object; 12,057 sizes in taviksize.dat)
//   Million  1,000,000 stars to magnitude 11, written by this benchmark into
//            the temporary folder on first use (brightest first, as the data
//            tool orders a catalogue)
// and four measurements: loading the file (and, for the two bundled sets, the
// file with the deep-sky sizes beside it, as the program loads it), a 1920 x 1080 direction view with
// SETTING/MAGNIT 7 (every star), the 240 x 240 planisphere, and the magnified
// view at zoom 300 (1920 x 1080, panel heading 0, altitude 40, MAGNIT 7). Each repaint
// iteration is one whole render pass by a renderer that lives across passes.
//
// BM_ProjectionLimit is the floor any pass over the million stars stands on:
// one loop that turns the set's unit vectors (single precision, prepared
// beforehand, one array per coordinate) into the chart's frame and takes the
// pixel of every star in front of the centre. Each repaint reports itself as a
// multiple of that loop measured in the same run (counter x_limit), and the
// memory the renderer took for the catalogue on its first pass (counter
// renderer_MB: growth of the resident set over a pass of the same view
// without the catalogue)
// and that first pass's CPU time, which prepares the catalogue for drawing
// (first_pass_ms).
//
//   <build>/bin/StarCatalogueBench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "BenchGuiApp.h"
#include "astro/Angles.h"
#include "catalog/CatalogLocation.h"
#include "catalog/RecordFile.h"
#include "catalog/StarCatalog.h"
#include "settings/SettingsStore.h"
#include "view/SkyRenderer.h"
#include "view/StarField.h"
#include "view/ViewCommands.h"
#include "view/ViewState.h"

namespace {

using namespace tavik;
namespace fs = std::filesystem;

using bench::EnsureGuiApp;

enum Set { kBundled = 0, kDeep = 1, kMillion = 2 };

// A million stars spread evenly over the sphere, magnitudes growing as star
// counts do (about three times more stars per magnitude), spectral types
// cycling; a fixed generator so that every run writes the same file.
fs::path MillionStarFile() {
    const fs::path path = fs::temp_directory_path() / "tavik-bench-million.dat";
    if (fs::exists(path) && fs::file_size(path) > 68u * 1000000u) return path;
    std::vector<StarRecord> stars(1000000);
    std::uint64_t seed = 0x9E3779B97F4A7C15ull;
    auto next = [&seed] {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(seed >> 11) / 9007199254740992.0;
    };
    static const char* const kSpectra[] = {"B5", "A0", "F2", "G5", "K0", "M2"};
    for (std::size_t i = 0; i < stars.size(); ++i) {
        StarRecord& r = stars[i];
        // Cumulative counts ~ 10^(0.48 m): magnitude from the star's rank.
        const double rank = (i + 1.0) / stars.size();
        r.mag = std::round((11.0 + std::log10(rank) / 0.48) * 100.0) / 100.0;
        r.ra = next() * kTwoPi;
        r.dec = std::asin(next() * 2.0 - 1.0);
        r.number = static_cast<std::int16_t>(i % 32768);
        r.SetConstellation("Ori");
        r.SetSpectral(kSpectra[i % 6]);
    }
    WriteFileReplacing(path, RecordFileBytes(stars));
    return path;
}

fs::path SetPath(int set) {
    switch (set) {
    case kBundled: return fs::path(TAVIK_DATA_DIR) / "tavik.dat";
    case kDeep: return fs::path(TAVIK_DATA_DIR) / "deep" / "tavik.dat";
    default: return MillionStarFile();
    }
}

const StarCatalog* Catalogue(int set) {
    static std::map<int, std::unique_ptr<StarCatalog>> loaded;
    auto& c = loaded[set];
    if (!c) {
        c = std::make_unique<StarCatalog>();
        c->SetLoaded(c->LoadFile(SetPath(set)).ok);
        if (set != kMillion) LoadSizesBeside(*c, SetPath(set));
    }
    return c->Loaded() ? c.get() : nullptr;
}

void SetName(benchmark::State& state) {
    static const char* const kNames[] = {"bundled", "deep", "million"};
    state.SetLabel(kNames[state.range(0)]);
}

void BM_Load(benchmark::State& state) {
    SetName(state);
    const fs::path path = SetPath(static_cast<int>(state.range(0)));
    std::size_t records = 0;
    for (auto _ : state) {
        auto c = std::make_unique<StarCatalog>();
        const RecordFileResult r = c->LoadFile(path);
        if (!r.ok) state.SkipWithError(r.error.c_str());
        records = c->Count();
        benchmark::DoNotOptimize(records);
        state.PauseTiming();  // freeing the catalogue is not loading it
        c.reset();
        state.ResumeTiming();
    }
    state.counters["records"] = static_cast<double>(records);
}
BENCHMARK(BM_Load)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The catalogue and its size file, matched to the records, as at start-up.
void BM_LoadWithSizes(benchmark::State& state) {
    SetName(state);
    const fs::path path = SetPath(static_cast<int>(state.range(0)));
    std::size_t sized = 0;
    for (auto _ : state) {
        auto c = std::make_unique<StarCatalog>();
        const RecordFileResult r = c->LoadFile(path);
        if (!r.ok) state.SkipWithError(r.error.c_str());
        LoadSizesBeside(*c, path);
        sized = c->Sizes().Count();
        benchmark::DoNotOptimize(sized);
        state.PauseTiming();
        c.reset();
        state.ResumeTiming();
    }
    state.counters["sizes"] = static_cast<double>(sized);
}
BENCHMARK(BM_LoadWithSizes)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

// The million set's unit vectors, one array per coordinate.
struct UnitVectors {
    std::vector<float> x, y, z;
};

const UnitVectors& MillionVectors() {
    static const UnitVectors v = [] {
        UnitVectors u;
        if (const StarCatalog* c = Catalogue(kMillion)) {
            for (const StarRecord& r : c->Records()) {
                const double cd = std::cos(r.dec);
                u.x.push_back(static_cast<float>(cd * std::cos(r.ra)));
                u.y.push_back(static_cast<float>(cd * std::sin(r.ra)));
                u.z.push_back(static_cast<float>(std::sin(r.dec)));
            }
        }
        return u;
    }();
    return v;
}

// Rotates every vector into a chart frame (rows p, q towards the chart's right
// and up, w towards its centre) and sums the pixels of those in front of the
// centre. A plain loop over the arrays, which the compiler vectorises.
__attribute__((noinline, optimize("O3"))) std::int64_t ProjectAll(const UnitVectors& v) {
    static const float m[9] = {0.36f, 0.48f, -0.8f, -0.8f, 0.6f, 0.0f, 0.48f, 0.64f, 0.6f};
    constexpr float kScale = 687.5f;  // pixels per radian of the full-HD direction view
    const float* x = v.x.data();
    const float* y = v.y.data();
    const float* z = v.z.data();
    std::int32_t sum = 0;
    for (std::size_t i = 0; i < v.x.size(); ++i) {
        const float p = m[0] * x[i] + m[1] * y[i] + m[2] * z[i];
        const float q = m[3] * x[i] + m[4] * y[i] + m[5] * z[i];
        const float w = m[6] * x[i] + m[7] * y[i] + m[8] * z[i];
        const std::int32_t px = static_cast<std::int32_t>(p * kScale);
        const std::int32_t py = static_cast<std::int32_t>(q * kScale);
        sum += (px + py) & -static_cast<std::int32_t>(w > 0.0f);  // no branch: vectorised
    }
    return sum;
}

// CPU seconds of this thread: the machine is shared, the pass and the limit
// are compared by the time they had the processor.
double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

// CPU seconds of one ProjectAll.
double ProjectAllSeconds(const UnitVectors& v) {
    const double t0 = ThreadSeconds();
    benchmark::DoNotOptimize(ProjectAll(v));
    return ThreadSeconds() - t0;
}

void BM_ProjectionLimit(benchmark::State& state) {
    const UnitVectors& v = MillionVectors();
    if (v.x.empty()) {
        state.SkipWithError("catalogue not loaded");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(ProjectAll(v));
    state.counters["stars"] = static_cast<double>(v.x.size());
    // What the renderer's star field holds for the set, and the list of
    // record pointers it is built from.
    std::vector<const StarRecord*> list;
    for (const StarRecord& r : Catalogue(kMillion)->Records()) list.push_back(&r);
    StarField field;
    field.Build(list);
    state.counters["field_MB"] = static_cast<double>(field.MemoryBytes() + list.capacity() * sizeof(list[0])) / 1e6;
}
BENCHMARK(BM_ProjectionLimit)->Unit(benchmark::kMillisecond);

// Resident set size in bytes.
double ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    double pages = 0.0, resident = 0.0;
    statm >> pages >> resident;
    return resident * 4096.0;
}

struct Pass {
    MemorySettingsStore store;
    ViewState view;
    ColorTable colors;
    RenderScene scene;
    QImage image;
    SkyRenderer renderer;

    Pass(int set, int w, int h, ViewMode mode, int magnit) {
        EnsureGuiApp();
        if (magnit) store.WriteProfileInt("SETTING", "MAGNIT", magnit);
        LoadViewState(view, store);
        view.viewMode = mode;
        RefreshViewState(view);
        if (mode == ViewMode::Magnified) {
            view.magnifier.heading = 0;
            view.magnifier.altitude = 40;
            view.magnifier.zoom = 300;
            TakeMagnifierHeading(view);
            RefreshViewState(view);
        }
        colors.Load(store);
        scene.view = &view;
        scene.settings = &store;
        scene.colors = &colors;
        scene.catalog = Catalogue(set);
        scene.localTime = DateTime(2004, 3, 10, 21, 0, 0);
        scene.dataDirectory = SetPath(set).parent_path().string() + "/";
        image = MakeSkyImage(w, h, colors[slot::kBackground]);
    }
};

void Repaint(benchmark::State& state, int w, int h, ViewMode mode, int magnit) {
    SetName(state);
    Pass p(static_cast<int>(state.range(0)), w, h, mode, magnit);
    if (!p.scene.catalog) {
        state.SkipWithError("catalogue not loaded");
        return;
    }
    // The limit is taken between the passes, the fastest of its runs, so that
    // both see the same machine.
    const bool million = static_cast<int>(state.range(0)) == kMillion;
    // A pass without the catalogue first makes what any pass of the view
    // keeps (the sky's background images); memory freed by earlier
    // benchmarks goes back to the system, so that the growth is the
    // renderer's own for the catalogue and not a reuse of freed memory.
    const StarCatalog* catalog = p.scene.catalog;
    p.scene.catalog = nullptr;
    p.renderer.RenderSky(p.image, p.scene);
    p.scene.catalog = catalog;
    malloc_trim(0);
    const double before = ResidentBytes(), first = ThreadSeconds();
    p.renderer.RenderSky(p.image, p.scene);  // the field is prepared once per catalogue
    state.counters["first_pass_ms"] = (ThreadSeconds() - first) * 1e3;
    state.counters["renderer_MB"] = (ResidentBytes() - before) / 1e6;
    double passes = 0.0, limit = 1e9;
    for (auto _ : state) {
        const double t0 = ThreadSeconds();
        p.renderer.RenderSky(p.image, p.scene);
        benchmark::DoNotOptimize(p.image.constBits());
        passes += ThreadSeconds() - t0;
        if (million) {
            state.PauseTiming();
            limit = std::min(limit, ProjectAllSeconds(MillionVectors()));
            state.ResumeTiming();
        }
    }
    if (million && state.iterations() > 0)
        state.counters["x_limit"] = passes / static_cast<double>(state.iterations()) / limit;
}

void BM_DirectionFullHdMagnit7(benchmark::State& state) {
    Repaint(state, 1920, 1080, ViewMode::Direction, 7);
}
BENCHMARK(BM_DirectionFullHdMagnit7)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_Planisphere240(benchmark::State& state) { Repaint(state, 240, 240, ViewMode::Planisphere, 0); }
BENCHMARK(BM_Planisphere240)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_MagnifiedZoom300(benchmark::State& state) {
    Repaint(state, 1920, 1080, ViewMode::Magnified, 7);
}
BENCHMARK(BM_MagnifiedZoom300)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace
