// A repaint during a gesture, with the deep star set (data/deep: its stars and
// deep-sky objects, with the objects' sizes) loaded: every iteration moves the
// view one step, as a drag or a wheel step does, then makes the whole 1920 x 1080 pass and copies the
// picture onto a window-sized surface, as the view's paint does. Moving the
// view each time keeps the caches that only help an unchanged view (the sky
// background) out of the figure. Everything a user can switch on is on: every
// star (SETTING/MAGNIT 7, ZOOMINVIEW/MAG 7), the sky gradient, the three
// grids, constellation lines and names.
//
//   BM_DirectionDrag      direction view, turned one degree per repaint
//   BM_MagnifiedDrag/Z    magnified view at zoom Z tenths (30: the widest,
//                         100: 10x, 500: 50x, zoomed in), heading moved one
//                         degree per repaint
//   BM_MagnifiedWheel     magnified view, one wheel step in or out per repaint,
//                         sweeping the zoom range 3x to 90x and back
//   BM_DirectionDragMinor10k  BM_DirectionDrag with 10,000 comets and asteroids
//                         loaded (MinorBodyBench's population)
//
// One frame at 60 Hz is 16.7 ms.
//
//   <build>/bin/GestureRepaintBench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <filesystem>
#include <string>

#include "BenchGuiApp.h"
#include "MinorPopulation.h"
#include "catalog/MinorBodies.h"
#include "catalog/StarCatalog.h"
#include "settings/SettingsStore.h"
#include "view/MagnifierPanelModel.h"
#include "view/SkyRenderer.h"
#include "view/ViewCommands.h"
#include "view/ViewState.h"

namespace {

using namespace tavik;

using bench::EnsureGuiApp;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

const std::filesystem::path& DeepDirectory() {
    static const std::filesystem::path dir = std::filesystem::path(TAVIK_DATA_DIR) / "deep";
    return dir;
}

const StarCatalog* DeepCatalogue() {
    static const StarCatalog catalog = [] {
        StarCatalog c;
        c.SetLoaded(c.LoadFile(DeepDirectory() / "tavik.dat").ok);
        // Every deep-sky object with its size: the magnified view draws the
        // large ones as outlines.
        DeepSkySizes sizes;
        if (sizes.LoadFile(DeepDirectory() / DeepSkySizes::kFileName)) c.SetSizes(std::move(sizes));
        return c;
    }();
    return catalog.Loaded() ? &catalog : nullptr;
}

struct GestureScene {
    MemorySettingsStore store;
    ViewState view;
    ColorTable colors;
    RenderScene scene;
    QImage image;
    QImage window;  // the surface the view paints the picture on
    SkyRenderer renderer;

    explicit GestureScene(ViewMode mode) {
        EnsureGuiApp();
        for (const char* key : {"SCREEN/GRAND_S", "SCREEN/SEKIDO_S", "SCREEN/KOUDOU_S", "SEIZA/LINE",
                                "SETTING/SEIZA", "BACKPAINT/GRADATION"}) {
            const std::string k = key;
            const auto slash = k.find('/');
            store.WriteProfileInt(k.substr(0, slash), k.substr(slash + 1), 1);
        }
        store.WriteProfileInt("SETTING", "MAGNIT", 7);
        store.WriteProfileInt("ZOOMINVIEW", "MAG", 7);
        LoadViewState(view, store);
        view.viewMode = mode;
        if (mode == ViewMode::Magnified) {
            view.magnifier.present = true;
            view.magnifier.heading = 0;
            view.magnifier.altitude = 40;
        }
        RefreshViewState(view);
        colors.Load(store);
        scene.view = &view;
        scene.settings = &store;
        scene.colors = &colors;
        scene.catalog = DeepCatalogue();
        scene.localTime = DateTime(2004, 3, 10, 21, 0, 0);
        scene.dataDirectory = DeepDirectory().string() + "/";
        image = MakeSkyImage(kWidth, kHeight, colors[slot::kBackground]);
        window = QImage(kWidth, kHeight, QImage::Format_RGB32);
    }

    void Repaint() {
        if (view.viewMode == ViewMode::Magnified) TakeMagnifierHeading(view);
        RefreshViewState(view);
        renderer.RenderSky(image, scene);
        QPainter p(&window);
        p.drawImage(0, 0, image);
        p.end();
        benchmark::DoNotOptimize(window.constBits());
    }
};

template <typename Step>
void RunGesture(benchmark::State& state, GestureScene& s, Step step) {
    if (!s.scene.catalog) {
        state.SkipWithError("data/deep/tavik.dat not loaded");
        return;
    }
    s.Repaint();  // the star field is prepared once per catalogue
    for (auto _ : state) {
        step();
        s.Repaint();
    }
}

void BM_DirectionDrag(benchmark::State& state) {
    GestureScene s(ViewMode::Direction);
    int direction = 1;
    int moved = 0;
    RunGesture(state, s, [&] {
        // Back and forth over 40 degrees, through a change of compass direction.
        if (++moved % 40 == 0) direction = -direction;
        TurnBy(s.view, direction);
    });
}
BENCHMARK(BM_DirectionDrag)->Unit(benchmark::kMillisecond);

void BM_DirectionDragMinor10k(benchmark::State& state) {
    GestureScene s(ViewMode::Direction);
    auto list = std::make_shared<MinorBodyList>();
    list->bodies = bench::Population(10000);
    s.scene.minorBodies = std::move(list);
    int direction = 1;
    int moved = 0;
    RunGesture(state, s, [&] {
        if (++moved % 40 == 0) direction = -direction;
        TurnBy(s.view, direction);
    });
}
BENCHMARK(BM_DirectionDragMinor10k)->Unit(benchmark::kMillisecond);

void BM_MagnifiedDrag(benchmark::State& state) {
    GestureScene s(ViewMode::Magnified);
    s.view.magnifier.zoom = static_cast<int>(state.range(0));
    RunGesture(state, s, [&] { s.view.magnifier.heading = WrapDegrees(s.view.magnifier.heading + 1); });
}
BENCHMARK(BM_MagnifiedDrag)->Arg(30)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_MagnifiedWheel(benchmark::State& state) {
    GestureScene s(ViewMode::Magnified);
    s.view.magnifier.zoom = magnifier::kZoomMin;
    bool in = true;
    RunGesture(state, s, [&] {
        int& zoom = s.view.magnifier.zoom;
        if (in && zoom >= magnifier::kZoomMax) in = false;
        if (!in && zoom <= magnifier::kZoomMin) in = true;
        zoom = in ? ZoomInStep(zoom) : ZoomOutStep(zoom);
    });
}
BENCHMARK(BM_MagnifiedWheel)->Unit(benchmark::kMillisecond);

}  // namespace
