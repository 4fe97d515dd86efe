#include "view/Projection.h"

#include <algorithm>
#include <cmath>

#include "astro/Angles.h"
#include "astro/Transforms.h"
#include "catalog/SkyBounds.h"
#include "catalog/StarRecord.h"

namespace tavik {

namespace {

constexpr double kHalfPi = kPi / 2.0;

bool InsideAzimuthWindow(const ViewState& view, double azimuth) {
    double a = azimuth;
    NormalizeAngle(a);
    const double low = view.azimuthLow;
    const double high = view.azimuthHigh;
    if (low < high) return a >= low && a <= high;
    // The window spans north.
    return !(a < low && a > high);
}

}  // namespace

Framing ViewFraming(const ViewState& view) {
    if (view.magnifier.present) {
        return {view.magnifier.altitude - 90.0, view.magnifier.zoom * 0.1, 1.0};
    }
    const double stretch = view.wideTenths * 0.1;
    if (!view.horizonFraming) {
        switch (view.heightBand) {
        case HeightBand::High: return {-30.0, 3.0, stretch};
        case HeightBand::Middle: return {-45.0, 3.0, stretch};
        case HeightBand::Low: return {-60.0, 3.0, stretch};
        case HeightBand::Whole:
        default: return {-45.0, 2.0, stretch};  // unknown stored bands frame as Whole
        }
    }
    switch (view.heightBand) {
    case HeightBand::High: return {-60.0, 3.0, 1.0};
    case HeightBand::Middle: return {-75.0, 3.0, 1.0};
    case HeightBand::Low: return {-90.0, 3.0, 1.0};
    case HeightBand::Whole:
    default: return {-90.0, 2.0, 1.0};
    }
}

ProjectedPoint ProjectSky(const ViewState& view, double azimuth, double altitude,
                          bool clipAzimuth) {
    const double r = view.chartSize;
    const double t = view.turnRadians;
    const int d = view.facing;
    ProjectedPoint p;

    switch (view.viewMode) {
    case ViewMode::Planisphere:
    case ViewMode::Zenith: {
        const double scale = view.viewMode == ViewMode::Planisphere ? r / kPi : r * (2.0 / kPi);
        const double rho = (kHalfPi - altitude) * scale;
        const double theta = (d + 1) * kHalfPi - azimuth + t;
        const double dx = std::sin(theta) * rho, dy = std::cos(theta) * rho;
        if (!std::isfinite(dx) || !std::isfinite(dy)) return p;  // OffScreen
        return PlaceOnChart(view, ToPixel(dx), ToPixel(dy), 1.0);
    }
    case ViewMode::PolarAlignment: {
        const double g = -(kHalfPi - view.latitude);
        const Spherical q = RotatePole(azimuth, altitude, g, kHalfPi);
        const double k = view.polarFine ? 80.0 : 24.0;
        const double rho = (kHalfPi - q.lat) * r * k / kPi;
        const double theta = 3.0 * kHalfPi - q.lon;
        const double dx = std::sin(theta) * rho, dy = std::cos(theta) * rho;
        if (!std::isfinite(dx) || !std::isfinite(dy)) return p;  // OffScreen
        return PlaceOnChart(view, ToPixel(dx), ToPixel(dy), 1.0);
    }
    default: {
        const Framing f = ViewFraming(view);
        const double g = f.tiltDegrees * kPi / 180.0;
        const double e = d * kHalfPi + t;
        if (clipAzimuth && !InsideAzimuthWindow(view, azimuth)) return p;  // OffScreen
        const Spherical q = RotatePole(azimuth, altitude, g, e);
        const double rho = (kHalfPi - q.lat) * r * f.span / kPi;
        const double theta = kHalfPi - q.lon;
        const double dx = std::sin(theta) * rho, dy = std::cos(theta) * rho;
        if (!std::isfinite(dx) || !std::isfinite(dy) || !std::isfinite(f.stretch)) return p;  // OffScreen
        return PlaceOnChart(view, ToPixel(dx), ToPixel(dy), f.stretch);
    }
    }
}

double LimitingMagnitude(const ViewState& view) {
    if (view.limitMagnitude == 7) return 11.0;
    if (view.viewMode == ViewMode::Magnified && view.magnifier.present &&
        view.magnifier.zoom >= view.zoomUpTo) {
        return view.zoomMagnitude == 7 ? 11.0 : view.zoomMagnitude;
    }
    return view.limitMagnitude;
}

ProjectedPoint ProjectObject(const ViewState& view, double rightAscension, double declination,
                             double magnitude, int kind, double sinLatitude,
                             double cosLatitude, double* sinAltitude, bool selected) {
    if (view.viewMode != ViewMode::PolarAlignment && kind == kKindStar &&
        magnitude > LimitingMagnitude(view) + 0.5) {
        return {};
    }
    if (!selected) return {};
    // A record whose position or magnitude is not a sound number is not drawn.
    if (!SoundSkyPosition(rightAscension, declination) || !SoundMagnitude(magnitude)) return {};
    const double hourAngle = view.localSiderealTime - rightAscension;
    const double sinDec = std::sin(declination), cosDec = std::cos(declination);
    const double cosH = std::cos(hourAngle);
    const double s = sinDec * sinLatitude + cosDec * cosLatitude * cosH;
    if (sinAltitude) *sinAltitude = s;
    // Below the horizon: never drawn, whatever the projection would say. A
    // point exactly on the horizon is drawn.
    if (!(s >= 0.0)) return {};
    const double altitude = std::asin(s > 1.0 ? 1.0 : s);
    const double azimuth = std::atan2(-std::sin(hourAngle) * cosDec,
                                      sinDec * cosLatitude - cosH * cosDec * sinLatitude);
    return ProjectSky(view, azimuth, altitude, false);
}

ProjectedPoint ProjectStar(const ViewState& view, const StarRecord& star, double sinLatitude,
                           double cosLatitude, double* sinAltitude, bool selected) {
    return ProjectObject(view, star.ra, star.dec, star.mag, star.kind, sinLatitude, cosLatitude,
                         sinAltitude, selected);
}

ProjectedPoint ProjectEquatorial(const ViewState& view, double rightAscension,
                                 double declination, bool clipAzimuth) {
    const Spherical h = EquatorialToHorizontal(rightAscension, declination, view.latitude,
                                               view.localSiderealTime);
    return ProjectSky(view, h.lon, h.lat, clipAzimuth);
}

std::optional<ChartPointF> ProjectDirectionExact(const ViewState& view, double rightAscension,
                                                 double declination) {
    if (!IsDirectionType(view.viewMode)) return std::nullopt;
    const Spherical h = EquatorialToHorizontal(rightAscension, declination, view.latitude,
                                               view.localSiderealTime);
    // ProjectSky's direction branch, kept in doubles.
    const Framing f = ViewFraming(view);
    const double g = f.tiltDegrees * kPi / 180.0;
    const double e = view.facing * kHalfPi + view.turnRadians;
    const Spherical q = RotatePole(h.lon, h.lat, g, e);
    const double rho = (kHalfPi - q.lat) * view.chartSize * f.span / kPi;
    const double theta = kHalfPi - q.lon;
    const double dx = std::sin(theta) * rho, dy = std::cos(theta) * rho;
    if (!std::isfinite(dx) || !std::isfinite(dy) || !std::isfinite(f.stretch)) return std::nullopt;
    return ChartPointF{dx * f.stretch + CentreColumn(view), DirectionBase(view) - dy};
}

Spherical HorizontalAt(const ViewState& view, double dx, double dy) {
    const double r = view.chartSize;
    double lonP = 0.0, latP = 0.0, g = 0.0;
    const double theta = std::atan2(dx, dy);
    const double rho = std::sqrt(dx * dx + dy * dy);
    if (view.viewMode == ViewMode::Planisphere || view.viewMode == ViewMode::Zenith) {
        const double k = view.viewMode == ViewMode::Planisphere ? kPi : kHalfPi;
        latP = kHalfPi - rho * k / r;
    } else {
        const Framing f = ViewFraming(view);
        latP = kHalfPi - rho * kPi / (r * f.span);
        g = f.tiltDegrees * kPi / 180.0;
    }
    lonP = kHalfPi - theta;
    // The forward projection subtracts the facing offset e from the azimuth
    // before rotating; undoing it adds e back (UnrotatePole subtracts its
    // offset argument, hence -e).
    const double e = view.facing * kHalfPi + view.turnRadians;
    return UnrotatePole(lonP, latP, g, -e);
}

ChartOffset OffsetFromCentre(const ViewState& view, double x, double y) {
    if (view.viewMode == ViewMode::Planisphere || view.viewMode == ViewMode::Zenith)
        return {x - CentreColumn(view), view.chartHalf - y};
    return {(x - CentreColumn(view)) / ViewFraming(view).stretch, DirectionBase(view) - y};
}

SkyPosition UnprojectSky(const ViewState& view, int x, int y) {
    ChartOffset d = OffsetFromCentre(view, x, y);
    // Across, the direction-type views count whole pixels.
    if (view.viewMode != ViewMode::Planisphere && view.viewMode != ViewMode::Zenith)
        d.dx = static_cast<int>(d.dx);
    const Spherical horizontal = HorizontalAt(view, d.dx, d.dy);
    const Spherical eq = RotateByAngles(kPi - horizontal.lon, horizontal.lat, view.latitude,
                                        view.localSiderealTime);
    double ra = eq.lon;
    NormalizeAngle(ra);
    return {ra, eq.lat};
}

HeliocentricLayout LayoutHeliocentric(const ViewState& view,
                                      const std::array<double, 6>& longitudes) {
    static constexpr int kRing[6] = {12, 8, 4, 3, 2, 1};
    static constexpr const char* kLabel[6] = {"土", "木", "火", "地", "金", "水"};
    HeliocentricLayout layout;
    const int r2 = view.chartHalf;
    layout.centerX = view.chartOffsetX + r2;
    layout.centerY = r2;
    for (int i = 0; i < 6; ++i) {
        HelioRing& ring = layout.rings[i];
        ring.label = kLabel[i];
        const double lambda = longitudes[i];
        if (lambda == 0.0) continue;  // no position for this planet
        ring.shown = true;
        ring.radius = (kRing[i] * r2) / 13;
        ring.labelX = layout.centerX + static_cast<int>(std::sin(lambda + kPi) * ring.radius);
        ring.labelY = r2 - static_cast<int>(std::cos(lambda + kPi) * ring.radius);
    }
    return layout;
}

}  // namespace tavik
