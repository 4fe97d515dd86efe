#include "view/ViewState.h"

#include <algorithm>

#include "astro/Angles.h"
#include "settings/SettingsStore.h"

namespace tavik {

namespace {

// Half-width of the direction view's azimuth window: 91.8 degrees.
constexpr double kAzimuthHalfWindow = 1.6022122533307945;

double Normalize(double a) {
    while (a >= kTwoPi) a -= kTwoPi;
    while (a < 0.0) a += kTwoPi;
    return a;
}

bool Flag(const SettingsStore& store, const char* section, const char* entry, int def) {
    return store.GetProfileInt(section, entry, def) == 1;
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

void LoadViewState(ViewState& view, const SettingsStore& store) {
    view.limitMagnitude = store.GetProfileInt("SETTING", "MAGNIT", 4);
    view.zoomMagnitude = store.GetProfileInt("ZOOMINVIEW", "MAG", 6);
    view.zoomUpTo = store.GetProfileInt("ZOOMINVIEW", "UPTO", 400);
    view.wideTenths = store.GetProfileInt("DIREC", "WIDE", 13);
    view.horizonFraming = store.GetProfileInt("TOUEI", "SUIHEI", 0) != 0;
    view.noWholeBand = Flag(store, "ZOOM", "NONORMAL", 0);
    view.fullScreen = Flag(store, "OPTION3", "FULL_SCREEN", 0);
    view.savedFacing = store.GetProfileInt("SUPERZOOMSAVE", "DIRECT", 3);
    view.savedTurn = store.GetProfileInt("SUPERZOOMSAVE", "DIRECTS", 3);
    view.savedZoom = store.GetProfileInt("SUPERZOOMSAVE", "ZOOMING", 50);
    view.savedAltitude = store.GetProfileInt("SUPERZOOMSAVE", "HEIGHT", 45);

    if (Flag(store, "SCREEN", "END", 1)) {
        view.viewMode = static_cast<ViewMode>(store.GetProfileInt("VIEW", "STATUS", 1));
        view.polarFine = Flag(store, "SCREEN", "POLER2", 0);
        view.heightBand = static_cast<HeightBand>(store.GetProfileInt("SCREEN", "ZOOM_H", 0));
        view.turnDegrees = store.GetProfileInt("SCREEN", "HALF", 0);
        view.facing = store.GetProfileInt("SETTING", "DIRECT", 3);
    } else {
        view.viewMode = ViewMode::Planisphere;
        view.polarFine = false;
        view.heightBand = HeightBand::Whole;
        view.turnDegrees = 0;
        view.facing = Facing::South;
    }
    // Stored values from an older or hand-edited store are brought back into
    // the ranges the commands keep; anything else would make the facing
    // arithmetic index outside the compass.
    view.facing = ((view.facing % 4) + 4) % 4;
    view.turnDegrees = ((view.turnDegrees % 90) + 90) % 90;
    // The magnifier panel does not survive a restart: a stored magnified view
    // comes back as a magnified view whose panel is rebuilt from the saved values.
    view.magnifier.present = false;
    RefreshViewState(view);
}

void SaveViewState(const ViewState& view, SettingsStore& store) {
    store.WriteProfileInt("ZOOMINVIEW", "MAG", view.zoomMagnitude);
    store.WriteProfileInt("ZOOMINVIEW", "UPTO", view.zoomUpTo);
    store.WriteProfileInt("SETTING", "MAGNIT", view.limitMagnitude);
    store.WriteProfileInt("DIREC", "WIDE", view.wideTenths);
    store.WriteProfileInt("TOUEI", "SUIHEI", view.horizonFraming ? 1 : 0);
    store.WriteProfileInt("ZOOM", "NONORMAL", view.noWholeBand ? 1 : 0);
    store.WriteProfileInt("VIEW", "STATUS", static_cast<int>(view.viewMode));
    store.WriteProfileInt("SCREEN", "POLER2", view.polarFine ? 1 : 0);
    store.WriteProfileInt("SCREEN", "ZOOM_H", static_cast<int>(view.heightBand));
    store.WriteProfileInt("SCREEN", "HALF", view.turnDegrees);
    store.WriteProfileInt("SETTING", "DIRECT", view.facing);
}

void SaveMagnifierState(const ViewState& view, SettingsStore& store) {
    store.WriteProfileInt("SUPERZOOMSAVE", "DIRECT", view.savedFacing);
    store.WriteProfileInt("SUPERZOOMSAVE", "DIRECTS", view.savedTurn);
    store.WriteProfileInt("SUPERZOOMSAVE", "ZOOMING", view.savedZoom);
    store.WriteProfileInt("SUPERZOOMSAVE", "HEIGHT", view.savedAltitude);
}

}  // namespace tavik
