// Whole render passes over the bundled catalogue with a fuzzed constellation
// line file (used as the figure file too) and a fuzzed Milky Way file: the
// first two bytes of the input give the length of the line file, the rest is
// the Milky Way. Views and file modes follow the input's length.

#include <QImage>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>

#include "FuzzSupport.h"
#include "catalog/StarCatalog.h"
#include "settings/SettingsStore.h"
#include "view/SkyRenderer.h"
#include "view/ViewState.h"

using namespace tavik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tavik::fuzz::EnsureGuiApp();
    static const StarCatalog catalog = [] {
        StarCatalog c;
        c.LoadFile(std::filesystem::path(TAVIK_DATA_DIR) / "tavik.dat");
        c.SetLoaded(true);
        return c;
    }();
    if (size < 2) return 0;
    const std::size_t lineBytes = std::min<std::size_t>(size - 2, data[0] | (data[1] << 8));
    tavik::fuzz::WriteInput("tavikline.dat", data + 2, lineBytes);
    tavik::fuzz::WriteInput("tavikconste.dat", data + 2, lineBytes);
    tavik::fuzz::WriteInput("Milkey.p92", data + 2 + lineBytes, size - 2 - lineBytes);

    MemorySettingsStore store;
    store.WriteProfileInt("SEIZA", "LINE", 1);
    store.WriteProfileInt("SEIZA", "PICT", 1);
    store.WriteProfileInt("SHOW", "MILKEY", 1);
    store.WriteProfileInt("SETTING", "BRIGHT", 1);
    store.WriteProfileInt("MEMORY", "SEIZE_FILES", (size >> 1) & 1);
    ColorTable colors;
    colors.Load(store);
    ViewState view;
    LoadViewState(view, store);
    RenderScene scene;
    scene.view = &view;
    scene.settings = &store;
    scene.colors = &colors;
    scene.catalog = &catalog;
    scene.localTime = DateTime(2026, 1, 15, 21, 0, 0);
    scene.dataDirectory = tavik::fuzz::WorkDir().string() + "/";
    // A fresh renderer: its constellation files are read again.
    SkyRenderer renderer;
    static QImage image = MakeSkyImage(160, 160, 0);
    const ViewMode modes[] = {ViewMode::Planisphere, ViewMode::Direction, ViewMode::Zenith, ViewMode::Magnified};
    view.viewMode = modes[(size >> 2) & 3];
    view.facing = static_cast<int>((size >> 4) & 3);
    RefreshViewState(view);
    renderer.RenderSky(image, scene);
    return 0;
}
