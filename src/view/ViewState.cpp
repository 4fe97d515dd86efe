#include "view/ViewState.h"

#include <algorithm>
#include <cmath>

#include "astro/Angles.h"
#include "settings/SettingsStore.h"
#include "settings/ViewSettings.h"

namespace tavik {

namespace {

// Half-width of the direction view's azimuth window: 91.8 degrees.
constexpr double kAzimuthHalfWindow = 1.6022122533307945;

double Normalize(double a) {
    while (a >= kTwoPi) a -= kTwoPi;
    while (a < 0.0) a += kTwoPi;
    return a;
}

}  // namespace

bool IsDirectionType(ViewMode mode) {
    switch (mode) {
    case ViewMode::Planisphere:
    case ViewMode::PolarAlignment:
    case ViewMode::Zenith:
    case ViewMode::Heliocentric:
        return false;
    default:
        return true;
    }
}

double WrapDegrees(double degrees) {
    if (!std::isfinite(degrees)) return 0.0;
    double d = std::fmod(degrees, 360.0);
    if (d < 0.0) d += 360.0;
    return d >= 360.0 ? 0.0 : d;  // -1e-17 + 360 rounds to 360
}

double MagnifierViewDirection(double heading) { return WrapDegrees(heading - 90.0); }

void UpdateMagnifierHeading(ViewState& view) {
    if (!view.magnifier.present) return;
    int v = view.facing * 90 + view.turnDegrees;
    if (v < 0) v += 360;
    view.magnifier.heading = (v + 90) % 360;
}

void UpdateChartGeometry(ViewState& view, int clientWidth, int clientHeight) {
    clientWidth = std::max(clientWidth, 0);
    clientHeight = std::max(clientHeight, 0);
    view.clientWidth = clientWidth;
    view.clientHeight = clientHeight;
    if (!view.fullScreen) {
        view.chartSize = std::min(clientWidth, clientHeight);
        view.chartHalf = view.chartSize / 2;
    }
    view.chartOffsetX = clientWidth / 2 - view.chartHalf;
}

void RefreshViewState(ViewState& view) {
    view.turnRadians = view.turnDegrees * kPi / 180.0;
    // The magnified view looks along the panel's heading, fractions included:
    // whatever the whole facing, facing x 90 + turn is that direction.
    if (view.viewMode == ViewMode::Magnified && view.magnifier.present)
        view.turnRadians = (MagnifierViewDirection(view.magnifier.heading) - view.facing * 90.0) * kPi / 180.0;
    const double facingAzimuth = (view.facing - 1) * (kPi / 2.0) + view.turnRadians;
    view.azimuthLow = Normalize(facingAzimuth - kAzimuthHalfWindow);
    view.azimuthHigh = Normalize(facingAzimuth + kAzimuthHalfWindow);
    // The magnifier panel exists exactly while the magnified view is shown; it
    // is built from the remembered heading, altitude and zoom when the view is
    // entered.
    const bool magnified = view.viewMode == ViewMode::Magnified;
    if (magnified && !view.magnifier.present) {
        if (view.heightBand == HeightBand::Whole) view.heightBand = HeightBand::Middle;
        view.magnifier.present = true;
        view.magnifier.altitude = view.savedAltitude;
        view.magnifier.zoom = view.savedZoom;
        UpdateMagnifierHeading(view);
    } else if (!magnified) {
        view.magnifier.present = false;
    }
    view.wideFraming = view.viewMode != ViewMode::Planisphere && !view.magnifier.present &&
                       (view.heightBand == HeightBand::Whole || view.heightBand == HeightBand::Low) &&
                       view.horizonFraming;
}

void ApplyViewSettings(ViewState& view, const ViewSettings& s) {
    view.limitMagnitude = s.limitingMagnitude;
    view.zoomMagnitude = s.zoomLimitMagnitude;
    view.zoomUpTo = s.zoomThreshold;
    view.wideTenths = s.wideTenths;
    view.horizonFraming = s.horizonFraming != 0;
    view.noWholeBand = s.noWholeBand;
    view.fullScreen = s.fullScreen == 1;
    view.savedFacing = s.savedFacing;
    view.savedTurn = s.savedTurn;
    view.savedZoom = s.savedZoom;
    view.savedAltitude = s.savedAltitude;
    // The screen state: ViewSettings already holds the start values when the
    // stored screen is not to be remembered (SCREEN/END not 1).
    view.viewMode = static_cast<ViewMode>(s.viewMode);
    view.polarFine = s.polarFine;
    view.heightBand = static_cast<HeightBand>(s.heightBand);
    // Stored values from an older or hand-edited store are brought back into
    // the ranges the commands keep; anything else would make the facing
    // arithmetic index outside the compass.
    view.facing = ((s.facing % 4) + 4) % 4;
    view.turnDegrees = ((s.turnDegrees % 90) + 90) % 90;
    // The magnifier panel does not survive a restart: a stored magnified view
    // comes back with a panel rebuilt from the saved values.
    view.magnifier.present = false;
    RefreshViewState(view);
}

void StoreViewSettings(const ViewState& view, ViewSettings& s) {
    s.limitingMagnitude = view.limitMagnitude;
    s.zoomLimitMagnitude = view.zoomMagnitude;
    s.zoomThreshold = view.zoomUpTo;
    s.wideTenths = view.wideTenths;
    s.horizonFraming = view.horizonFraming ? 1 : 0;
    s.noWholeBand = view.noWholeBand;
    s.fullScreen = view.fullScreen ? 1 : 0;
    s.savedFacing = view.savedFacing;
    s.savedTurn = view.savedTurn;
    s.savedZoom = view.savedZoom;
    s.savedAltitude = view.savedAltitude;
    s.viewMode = static_cast<int>(view.viewMode);
    s.polarFine = view.polarFine;
    s.heightBand = static_cast<int>(view.heightBand);
    s.facing = view.facing;
    s.turnDegrees = view.turnDegrees;
}

void LoadViewState(ViewState& view, const SettingsStore& store) {
    ViewSettings s;
    s.Load(store);
    ApplyViewSettings(view, s);
}

void SaveViewState(const ViewState& view, SettingsStore& store) {
    // The view's settings are saved as one set: read the rest back so that
    // nothing else changes.
    ViewSettings s;
    s.Load(store);
    StoreViewSettings(view, s);
    s.Save(store);
}

void SaveMagnifierState(const ViewState& view, SettingsStore& store) {
    ViewSettings s;
    StoreViewSettings(view, s);
    s.SaveMagnifierState(store);
}

}  // namespace tavik
