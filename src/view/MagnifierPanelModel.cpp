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
    const int v = ShownHeading() - 90;
    return v < 0 ? v + 360 : v;
}

int MagnifierPanelModel::ShownHeading() const { return WrapHeading(static_cast<int>(std::lround(heading_))); }

int MagnifierPanelModel::ShownAltitude() const { return static_cast<int>(std::lround(altitude_)); }

void MagnifierPanelModel::SetHeading(double heading) { heading_ = WrapDegrees(heading); }

void MagnifierPanelModel::SetAltitude(double altitude) {
    if (!std::isfinite(altitude)) return;
    altitude_ = std::clamp(altitude, double(magnifier::kAltitudeLowest), double(magnifier::kAltitudeHighest));
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
    const int before = ShownHeading();
    if (WrapHeading(value) != before) SetHeading(WrapHeading(value));
    return UserChange(ShownHeading() != before, true);
}

PanelEffect MagnifierPanelModel::EditAltitude(int value) {
    if (programmaticChange_) return {};
    const int before = ShownAltitude();
    if (value != before) SetAltitude(value);
    return UserChange(ShownAltitude() != before, true);
}

PanelEffect MagnifierPanelModel::EditZoom(int value) {
    if (programmaticChange_) return {};
    const int before = zoom_;
    SetZoom(value);
    return UserChange(zoom_ != before, false);
}

int MagnifierPanelModel::HeadingAfterArrows(int steps) const { return WrapHeading(ShownHeading() - steps); }

PanelEffect MagnifierPanelModel::ScrollHeading(int direction) {
    const double before = heading_;
    heading_ = WrapDegrees(heading_ + (direction < 0 ? -Step() : Step()));
    PanelEffect e = Draw();
    e.changed = heading_ != before;
    return e;
}

PanelEffect MagnifierPanelModel::ScrollAltitude(int direction) {
    const double before = altitude_;
    altitude_ = SteppedAltitude(altitude_, direction < 0 ? -Step() : Step());
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

std::optional<TargetMarkGeometry> TargetMark(const ViewState& chart, double heading, double altitude, bool markOn) {
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
    // A jump keeps 4..86, and so does a panel built from the remembered
    // values: a target on the horizon or overhead is shown as near to it as
    // the panel looks.
    const int altitude = std::clamp(target.altitude, magnifier::kAltitudeMin, magnifier::kAltitudeJumpMax);
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

PlacedFraming FramingPlacing(const ViewState& view, const Spherical& sky, double dx, double dy,
                             double nearAltitude) {
    PlacedFraming placed{view.magnifier, view.magnifier.altitude};
    const double scale = std::max(view.chartSize, 1) * view.magnifier.zoom * 0.1 / kPi;  // pixels per radian
    if (!std::isfinite(dx) || !std::isfinite(dy) || !std::isfinite(sky.lon) || !std::isfinite(sky.lat) ||
        !std::isfinite(nearAltitude))
        return placed;
    // Where the point is to be, in the frame whose pole is the view centre
    // (x to the right, y up on the chart).
    const double rho = std::hypot(dx, dy) / scale;
    const double lon = std::atan2(dy, dx);
    const double wx = std::sin(rho) * std::cos(lon), wy = std::sin(rho) * std::sin(lon), wz = std::cos(rho);
    // The tilt g (centre altitude - 90 degrees) turns the frame about its x
    // axis; the altitude of the point fixes it: wz cos g - wy sin g = sin h.
    const double r = std::hypot(wy, wz);
    const double phi = std::atan2(wy, wz);
    const double a = r > 1e-12 ? std::acos(std::clamp(std::sin(sky.lat) / r, -1.0, 1.0)) : 0.0;
    // The azimuth about the vertical then puts the point where it belongs;
    // e is the view direction, heading - 90. A point on the vertical axis (the
    // zenith under the pointer) leaves it as it was.
    const double nearG = (nearAltitude - 90.0) * kDegToRad;
    const double nearE = (view.magnifier.heading - 90.0) * kDegToRad;
    auto direction = [&](double g) {
        const double qy = wy * std::cos(g) + wz * std::sin(g);
        if (std::hypot(qy, wx) < 1e-9) return nearE;
        return sky.lon - std::atan2(qy, wx);
    };
    // Of the two, the one that turns the sky least from where it was: the
    // trace of Rx(-g0) Rz(e - e0) Rx(g) is cos de + cos de cos dg + cos dg.
    auto closest = [nearG](double g) { return nearG + std::remainder(g - nearG, kTwoPi); };
    auto trace = [&](double g) {
        const double ce = std::cos(direction(g) - nearE), cg = std::cos(g - nearG);
        return ce + ce * cg + cg;
    };
    const double g1 = closest(-phi + a), g2 = closest(-phi - a);
    const double g = trace(g1) >= trace(g2) ? g1 : g2;
    const double e = direction(g);
    placed.altitude = 90.0 + g * kRadToDeg;
    placed.framing.heading = WrapDegrees(e * kRadToDeg + 90.0);
    placed.framing.altitude =
        std::clamp(placed.altitude, double(magnifier::kAltitudeLowest), double(magnifier::kAltitudeHighest));
    return placed;
}

}  // namespace tavik
