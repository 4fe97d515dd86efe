// Render-pass timings with the bundled sky data:
//   (a) the 240 x 240 planisphere at default settings;
//   (b) a 1920 x 1080 direction view showing every star (MAGNIT 7), the sky
//       gradient, all three grids, constellation lines and names.
// Each iteration is one whole pass by a renderer that lives across passes, as
// the view's does.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "BenchGuiApp.h"
#include "catalog/StarCatalog.h"
#include "settings/SettingsStore.h"
#include "view/SkyRenderer.h"
#include "view/ViewState.h"

namespace {

using namespace tavik;

using bench::EnsureGuiApp;

const StarCatalog& BundledCatalog() {
    static const StarCatalog catalog = [] {
        StarCatalog c;
        const std::filesystem::path path = std::filesystem::path(TAVIK_DATA_DIR) / "tavik.dat";
        if (std::filesystem::exists(path)) c.SetLoaded(c.LoadFile(path).opened);
        return c;
    }();
    return catalog;
}

struct BenchScene {
    MemorySettingsStore store;
    ViewState view;
    ColorTable colors;
    RenderScene scene;
    QImage image;
    SkyRenderer renderer;

    BenchScene(int w, int h, ViewMode mode, const std::vector<std::pair<const char*, int>>& settings) {
        for (const auto& [key, value] : settings) {
            const std::string k = key;
            const auto slash = k.find('/');
            store.WriteProfileInt(k.substr(0, slash), k.substr(slash + 1), value);
        }
        LoadViewState(view, store);
        view.viewMode = mode;
        RefreshViewState(view);
        colors.Load(store);
        scene.view = &view;
        scene.settings = &store;
        scene.colors = &colors;
        scene.catalog = BundledCatalog().Loaded() ? &BundledCatalog() : nullptr;
        scene.localTime = DateTime(2004, 3, 10, 21, 0, 0);
        scene.dataDirectory = std::string(TAVIK_DATA_DIR) + "/";
        image = MakeSkyImage(w, h, colors[slot::kBackground]);
    }
};

void BM_PlanisphereDefault240(benchmark::State& state) {
    EnsureGuiApp();
    BenchScene s(240, 240, ViewMode::Planisphere, {});
    for (auto _ : state) {
        s.renderer.RenderSky(s.image, s.scene);
        benchmark::DoNotOptimize(s.image.constBits());
    }
    if (!s.scene.catalog) state.SkipWithError("no bundled catalogue");
}
BENCHMARK(BM_PlanisphereDefault240)->Unit(benchmark::kMillisecond);

void BM_DirectionFullHdAllOverlays(benchmark::State& state) {
    EnsureGuiApp();
    BenchScene s(1920, 1080, ViewMode::Direction,
                 {{"SETTING/MAGNIT", 7},
                  {"BACKPAINT/GRADATION", 1},
                  {"SCREEN/GRAND_S", 1},
                  {"SCREEN/SEKIDO_S", 1},
                  {"SCREEN/KOUDOU_S", 1},
                  {"SEIZA/LINE", 1},
                  {"SETTING/SEIZA", 1}});
    for (auto _ : state) {
        s.renderer.RenderSky(s.image, s.scene);
        benchmark::DoNotOptimize(s.image.constBits());
    }
    if (!s.scene.catalog) state.SkipWithError("no bundled catalogue");
}
BENCHMARK(BM_DirectionFullHdAllOverlays)->Unit(benchmark::kMillisecond);

// (b) without the three grids: what the grid overlays cost on top of the rest.
void BM_DirectionFullHdNoGrids(benchmark::State& state) {
    EnsureGuiApp();
    BenchScene s(1920, 1080, ViewMode::Direction,
                 {{"SETTING/MAGNIT", 7}, {"BACKPAINT/GRADATION", 1}, {"SEIZA/LINE", 1}, {"SETTING/SEIZA", 1}});
    for (auto _ : state) {
        s.renderer.RenderSky(s.image, s.scene);
        benchmark::DoNotOptimize(s.image.constBits());
    }
    if (!s.scene.catalog) state.SkipWithError("no bundled catalogue");
}
BENCHMARK(BM_DirectionFullHdNoGrids)->Unit(benchmark::kMillisecond);

}  // namespace
