#pragma once
// Placing the sky on the chart: horizontal position (azimuth from north through
// east, altitude) to chart pixel for each view mode, the culling of catalogue
// objects by magnitude and horizon, the inverse for taps, and the heliocentric
// layout. Pure functions of the view state; no Qt.

#include <algorithm>
#include <array>
#include <optional>

#include "astro/Transforms.h"
#include "view/ViewState.h"

namespace tavik {

struct StarRecord;

struct ProjectedPoint {
    bool visible = false;
    int x = OffScreen;
    int y = OffScreen;
};

// The framing of the direction and magnified views: the projection centre lies
// at altitude 90 + tiltDegrees; span scales the radius, stretch the x axis.
struct Framing {
    double tiltDegrees = -45.0;
    double span = 2.0;
    double stretch = 1.0;
};

struct SkyPosition {
    double rightAscension = 0.0;  // radians
    double declination = 0.0;     // radians
};

Framing ViewFraming(const ViewState& view);

// Chart pixel of a horizontal position. With clipAzimuth set the direction and
// magnified views reject points outside the azimuth window: both coordinates
// are then OffScreen and the point is not visible. Otherwise the coordinates
// are always written, visible or not.
ProjectedPoint ProjectSky(const ViewState& view, double azimuth, double altitude,
                          bool clipAzimuth);

// True in the magnified view (its sky fills the whole chart area beside the
// panel, centred in it).
inline bool SkyFillsChart(const ViewState& view) {
    return view.viewMode == ViewMode::Magnified && view.magnifier.present;
}
// The bottom edge of the sky on the chart: the chart square's, except where
// the sky fills the chart.
inline int ChartBottom(const ViewState& view) {
    return SkyFillsChart(view) ? std::max(view.clientHeight, view.chartSize) : view.chartSize;
}
// Arithmetic halving of the client width: the projection centre column.
inline int CentreColumn(const ViewState& view) { return view.clientWidth >> 1; }
inline bool InsideChart(const ViewState& view, int x, int y) {
    return x >= 0 && x <= view.clientWidth && y >= 0 && y <= ChartBottom(view);
}
// The row of the projection centre in the direction-type views: the bottom
// edge of the chart square when horizon framing puts the centre there; the
// middle of the whole chart in the magnified view; otherwise the middle of the
// square.
inline int DirectionBase(const ViewState& view) {
    if (SkyFillsChart(view)) return ChartBottom(view) / 2;
    if (view.horizonFraming) return 2 * view.chartHalf;
    return view.chartHalf;
}

// Chart offsets are clamped to this before they become int: far outside any
// chart, well above the OffScreen sentinel, and small enough that sums and
// differences of two points stay inside int.
inline constexpr double kPixelLimit = 1e7;

// Truncation toward zero of a finite offset from the projection centre to
// whole pixels, clamped far outside any chart.
inline int ToPixel(double v) { return static_cast<int>(std::clamp(v, -kPixelLimit, kPixelLimit)); }
// The last step of ProjectSky as numbers taken from the view once: a pass
// over many points (the star field) places each without a look at the view.
struct ChartPlacement {
    double stretch = 1.0;        // horizontal stretch; 1 outside the direction-type views
    int centre = 0, origin = 0;  // column and row of the projection centre
    int width = 0, bottom = 0;   // the chart's right and bottom edges
    bool everywhere = false;     // the planisphere shows every point
};
inline ChartPlacement ChartPlacementOf(const ViewState& view, double stretch) {
    ChartPlacement c;
    c.centre = CentreColumn(view);
    c.width = view.clientWidth;
    c.bottom = ChartBottom(view);
    switch (view.viewMode) {
    case ViewMode::Planisphere:
    case ViewMode::Zenith:
    case ViewMode::PolarAlignment:
        c.origin = view.chartHalf;
        c.everywhere = view.viewMode == ViewMode::Planisphere;
        break;
    default:
        c.stretch = stretch;
        c.origin = DirectionBase(view);
        break;
    }
    return c;
}
// The chart column and row of offsets dx (right) and dy (up) from the
// projection centre, already truncated by ToPixel (with a stretch of 1 the
// column's first step gives dx back: it is an int within kPixelLimit), and
// whether a pixel is visible. Without branches, for the star field's
// vectorised loop.
inline int ChartColumn(const ChartPlacement& c, int dx) { return ToPixel(dx * c.stretch) + c.centre; }
inline int ChartRow(const ChartPlacement& c, int dy) { return c.origin - dy; }
inline bool OnChart(const ChartPlacement& c, int x, int y) {
    return c.everywhere | ((x >= 0) & (x <= c.width) & (y >= 0) & (y <= c.bottom));
}
inline ProjectedPoint PlaceOnChart(const ChartPlacement& c, int dx, int dy) {
    ProjectedPoint p;
    p.x = ChartColumn(c, dx);
    p.y = ChartRow(c, dy);
    p.visible = OnChart(c, p.x, p.y);
    return p;
}
// The same for one point, with the horizontal stretch of the direction-type
// views.
inline ProjectedPoint PlaceOnChart(const ViewState& view, int dx, int dy, double stretch) {
    return PlaceOnChart(ChartPlacementOf(view, stretch), dx, dy);
}

// The limiting magnitude for stars in the current view (11 for "all stars").
double LimitingMagnitude(const ViewState& view);

// Places an object given in equatorial coordinates the way catalogue objects
// are placed: a star (kind 1) fainter than the limit + 0.5 is dropped (except in
// the polar alignment view), an object whose constellation is not selected is
// dropped, and anything below the horizon is dropped before any projection.
// sinAltitude, when given, receives sin(altitude) whenever the magnitude and
// selection tests pass.
ProjectedPoint ProjectObject(const ViewState& view, double rightAscension, double declination,
                             double magnitude, int kind, double sinLatitude,
                             double cosLatitude, double* sinAltitude = nullptr,
                             bool selected = true);

// ProjectObject for a catalogue record.
ProjectedPoint ProjectStar(const ViewState& view, const StarRecord& star, double sinLatitude,
                           double cosLatitude, double* sinAltitude = nullptr,
                           bool selected = true);

// Equatorial position to chart pixel without magnitude culling; the horizon is
// not culled either (grids and lines decide for themselves).
ProjectedPoint ProjectEquatorial(const ViewState& view, double rightAscension,
                                 double declination, bool clipAzimuth);

// Offsets of a chart point from the projection centre: dx to the right (the
// horizontal stretch undone), dy upwards.
struct ChartOffset {
    double dx = 0.0;
    double dy = 0.0;
};
ChartOffset OffsetFromCentre(const ViewState& view, double x, double y);
// The horizontal position (azimuth from north through east, altitude) at
// offsets from the projection centre; the inverse of ProjectSky before its
// pixels are truncated, for the planisphere, zenith, direction and magnified
// views (the polar alignment and heliocentric views compute as the direction
// view).
Spherical HorizontalAt(const ViewState& view, double dx, double dy);
// Where an equatorial position falls on a direction-type chart, in fractional
// pixels (no truncation, no horizon or chart-edge test): what the outlines of
// large objects are measured with. Nothing in the other views or when the
// projection gives no finite point.
struct ChartPointF {
    double x = 0.0;
    double y = 0.0;
};
std::optional<ChartPointF> ProjectDirectionExact(const ViewState& view, double rightAscension,
                                                 double declination);

// The sky position under a chart pixel for the current mode, time and site.
// Exact inverse for the planisphere, zenith, direction and magnified views; the
// polar alignment and heliocentric views are computed as the direction view.
SkyPosition UnprojectSky(const ViewState& view, int x, int y);

// Heliocentric layout: rings about the Sun for Saturn, Jupiter, Mars, Earth,
// Venus, Mercury (in that order), each labelled at the planet's heliocentric
// longitude. A planet whose longitude is exactly 0 (unknown) gets no ring.
struct HelioRing {
    bool shown = false;
    int radius = 0;      // ring radius in pixels
    int labelX = 0;      // centre of the planet's label
    int labelY = 0;
    const char* label = "";  // UTF-8
};
struct HeliocentricLayout {
    int centerX = 0;  // the Sun
    int centerY = 0;
    std::array<HelioRing, 6> rings;
};
// longitudes: heliocentric longitudes (radians) of Saturn, Jupiter, Mars, Earth,
// Venus and Mercury, in that order.
HeliocentricLayout LayoutHeliocentric(const ViewState& view,
                                      const std::array<double, 6>& longitudes);

}  // namespace tavik
