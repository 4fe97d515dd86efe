// The settings store's INI file as a user (or another program) may leave it:
// every entry of the schema is read, the sky view's settings and state are
// loaded from it, and the view's projections and star options are worked out.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FuzzSupport.h"
#include "settings/BuiltinSites.h"
#include "settings/ObservationSite.h"
#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"
#include "settings/ViewSettings.h"
#include "view/Color.h"
#include "view/Projection.h"
#include "view/ViewState.h"

using namespace tavik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A new file name for every input: the settings layer keeps what it read
    // of a file it has seen before.
    static unsigned long count = 0;
    const std::string name = "Tavik-" + std::to_string(++count) + ".ini";
    const auto path = tavik::fuzz::WriteInput(name.c_str(), data, size);
    struct Remove {
        std::filesystem::path p;
        ~Remove() { std::filesystem::remove(p); }
    } remove{path};
    QtSettingsStore store(path.string());
    for (const SettingDef& d : AllSettings()) {
        if (d.entry.find('%') != std::string::npos) continue;
        switch (d.type) {
            case SettingType::String: (void)ReadSettingString(store, d.section, d.entry); break;
            case SettingType::Int: {
                const int v = ReadSettingInt(store, d.section, d.entry);
                if (d.bound.action != OutOfRange::Keep && (v < d.bound.min || v > d.bound.max) && v != d.intDefault)
                    std::abort();
                break;
            }
            default: (void)ReadSettingBool(store, d.section, d.entry); break;
        }
    }
    for (int slot = 0; slot < kUserSiteSlots; ++slot) (void)ReadUserSite(store, slot);
    const ObservationSite site = ReadCurrentSite(store);
    (void)site.LongitudeDegrees();

    ViewSettings settings;
    settings.Load(store);
    ColorTable colors;
    colors.Load(store);
    (void)ColorModes::Load(store);
    ViewState view;
    LoadViewState(view, store);
    view.latitude = site.LatitudeDegrees() * 3.141592653589793 / 180.0;
    UpdateChartGeometry(view, 240, 320);
    RefreshViewState(view);
    for (double az = 0.0; az < 6.3; az += 0.7)
        for (double alt = -0.2; alt < 1.6; alt += 0.4) {
            const ProjectedPoint p = ProjectSky(view, az, alt, true);
            (void)UnprojectSky(view, p.x == OffScreen ? 0 : p.x, p.y == OffScreen ? 0 : p.y);
        }
    (void)LimitingMagnitude(view);
    return 0;
}
