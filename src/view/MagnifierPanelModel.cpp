#include "view/MagnifierPanelModel.h"

#include <algorithm>
#include <cmath>

#include "astro/Angles.h"
#include "astro/Transforms.h"
#include "view/Projection.h"
#include "view/ViewCommands.h"

namespace tavik {

const std::array<SpinAcceleration, 3>& MagnifierAcceleration() {
    static const std::array<SpinAcceleration, 3> table = {{{1, 1}, {2, 2}, {5, 4}}};
    return table;
}

int SpinIncrement(int heldMs) {
    int increment = MagnifierAcceleration()[0].increment;
    for (const SpinAcceleration& a : MagnifierAcceleration())
        if (heldMs >= a.seconds * 1000) increment = a.increment;
    return increment;
}

int WrapHeading(int heading) {
    if (heading < 0) heading += 360;
    else if (heading > 359) heading -= 360;
    // Values further out (never produced by the controls) still land in range.
    return ((heading % 360) + 360) % 360;
}

int ZoomInStep(int zoom) {
    if (zoom >= magnifier::kZoomMax) return zoom;
    return std::min(zoom + zoom / 10, magnifier::kZoomMax);
}

int ZoomOutStep(int zoom) {
    if (zoom <= magnifier::kZoomMin) return zoom;
    return std::max(zoom - zoom / 11, magnifier::kZoomMin);
}

int MagnifierPanelModel::Step() const { return MagnifierStep(zoom_); }

void MagnifierPanelModel::SetHeadingFromView(int v) { heading_ = ((v < 0 ? v + 360 : v) + 90) % 360; }

int MagnifierPanelModel::ViewDirection() const {
    const int v = heading_ - 90;
    return v < 0 ? v + 360 : v;
}

void MagnifierPanelModel::SetHeading(int heading) { heading_ = WrapHeading(heading); }

void MagnifierPanelModel::SetAltitude(int altitude) {
    altitude_ = std::clamp(altitude, magnifier::kAltitudeMin, magnifier::kAltitudeEditMax);
}

void MagnifierPanelModel::SetZoom(int zoom) { zoom_ = std::clamp(zoom, magnifier::kZoomMin, magnifier::kZoomMax); }

void MagnifierPanelModel::SetFraming(const MagnifierFraming& f) {
    SetHeading(f.heading);
    SetAltitude(f.altitude);
    SetZoom(f.zoom);
}

MagnifierFraming MagnifierPanelModel::Framing() const { return {true, heading_, altitude_, zoom_}; }

PanelEffect MagnifierPanelModel::UserChange(bool changed, bool mark) {
    PanelEffect e;
    e.changed = changed;
    e.mark = mark;
    if (autoEnter_) {
        const PanelEffect d = Draw();
        e.render = d.render;
    } else {
        pending_ = true;
    }
    return e;
}

PanelEffect MagnifierPanelModel::EditHeading(int value) {
    if (programmaticChange_) return {};
    const int before = heading_;
    SetHeading(value);
    return UserChange(heading_ != before, true);
}

PanelEffect MagnifierPanelModel::EditAltitude(int value) {
    if (programmaticChange_) return {};
    const int before = altitude_;
    SetAltitude(value);
    return UserChange(altitude_ != before, true);
}

PanelEffect MagnifierPanelModel::EditZoom(int value) {
    if (programmaticChange_) return {};
    const int before = zoom_;
    SetZoom(value);
    return UserChange(zoom_ != before, false);
}

int MagnifierPanelModel::HeadingAfterArrows(int steps) const { return WrapHeading(heading_ - steps); }

PanelEffect MagnifierPanelModel::ScrollHeading(int direction) {
    const int before = heading_;
    heading_ = WrapHeading(heading_ + (direction < 0 ? -Step() : Step()));
    PanelEffect e = Draw();
    e.changed = heading_ != before;
    return e;
}

PanelEffect MagnifierPanelModel::ScrollAltitude(int direction) {
    const int before = altitude_;
    altitude_ = std::clamp(altitude_ + (direction < 0 ? -Step() : Step()), magnifier::kAltitudeMin,
                           magnifier::kAltitudeStepMax);
    PanelEffect e = Draw();
    e.changed = altitude_ != before;
    return e;
}

PanelEffect MagnifierPanelModel::ZoomIn() {
    if (zoom_ >= magnifier::kZoomMax) return {};
    zoom_ = ZoomInStep(zoom_);
    PanelEffect e = Draw();
    e.changed = true;
    return e;
}

PanelEffect MagnifierPanelModel::ZoomOut() {
    if (zoom_ <= magnifier::kZoomMin) return {};
    zoom_ = ZoomOutStep(zoom_);
    PanelEffect e = Draw();
    e.changed = true;
    return e;
}

PanelEffect MagnifierPanelModel::Draw() {
    pending_ = false;
    PanelEffect e;
    e.render = true;
    return e;
}

std::optional<TargetMarkGeometry> TargetMark(const ViewState& chart, int heading, int altitude, bool markOn) {
    if (!markOn || !chart.magnifier.present) return std::nullopt;
    const ProjectedPoint p =
        ProjectSky(chart, (heading - 180) * kDegToRad, altitude * kDegToRad, /*clipAzimuth=*/false);
    if (p.x == OffScreen || p.y == OffScreen) return std::nullopt;
    TargetMarkGeometry m;
    m.x = p.x;
    m.y = p.y;
    m.lines = {{{p.x - 7, p.y - 7, p.x + 8, p.y + 8}, {p.x + 7, p.y - 7, p.x - 8, p.y + 8}}};
    return m;
}

int WholeDegrees(double radians) {
    const double d = radians * kRadToDeg;
    if (!std::isfinite(d)) return 0;
    const double nearest = std::round(d);
    if (std::abs(d - nearest) < 1e-7) return static_cast<int>(nearest);
    return static_cast<int>(std::trunc(std::clamp(d, -1e6, 1e6)));
}

MagnifierTarget ZoomInTarget(const ViewState& chart, int x, int y) {
    const SkyPosition sky = UnprojectSky(chart, x, y);
    Spherical h = EquatorialToHorizontal(sky.rightAscension, sky.declination, chart.latitude,
                                         chart.localSiderealTime);
    NormalizeAngle(h.lon);
    const int a = WholeDegrees(h.lon) % 360;
    const int l = a + 90;
    MagnifierTarget t;
    t.facing = (l / 90) % 4;
    t.turn = l % 90;
    t.altitude = WholeDegrees(h.lat);
    return t;
}

void ApplyMagnifierTarget(ViewState& view, const MagnifierTarget& target, std::optional<int> zoom) {
    view.facing = ((target.facing % 4) + 4) % 4;
    view.turnDegrees = ((target.turn % 90) + 90) % 90;
    if (view.viewMode != ViewMode::Magnified) {
        view.previousMode = view.viewMode;
        view.viewMode = ViewMode::Magnified;
    }
    // The panel's altitude edit keeps 4..86, and so does a panel built from
    // the remembered values: a target on the horizon or overhead is shown as
    // near to it as the panel can look.
    const int altitude = std::clamp(target.altitude, magnifier::kAltitudeMin, magnifier::kAltitudeEditMax);
    if (view.magnifier.present) {
        UpdateMagnifierHeading(view);
        view.magnifier.altitude = altitude;
        if (zoom) view.magnifier.zoom = std::clamp(*zoom, magnifier::kZoomMin, magnifier::kZoomMax);
    } else {
        view.savedFacing = view.facing;
        view.savedTurn = view.turnDegrees;
        view.savedAltitude = altitude;
        if (zoom) view.savedZoom = std::clamp(*zoom, magnifier::kZoomMin, magnifier::kZoomMax);
    }
    RefreshViewState(view);
}

}  // namespace tavik
