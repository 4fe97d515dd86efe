#include "view/DeepSkyOutline.h"

#include <algorithm>
#include <cmath>

#include "astro/Angles.h"
#include "view/Projection.h"

namespace tavik {

namespace {

constexpr double kArcminRadians = kPi / (180.0 * 60.0);
constexpr double kDefaultZoom = 50.0;  // tenths: 5x

}  // namespace

bool IsMessierDesignation(std::string_view d) {
    return d.size() >= 2 && d[0] == 'M' && d[1] >= '0' && d[1] <= '9';
}

double DeepSkyLimitingMagnitude(const ViewState& view) {
    if (!SkyFillsChart(view) || view.magnifier.zoom <= kDefaultZoom) return kWideDeepSkyMagnitude;
    return kWideDeepSkyMagnitude + 4.0 * std::log10(view.magnifier.zoom / kDefaultZoom);
}

double PixelsPerArcmin(const ViewState& view) {
    const double r = view.chartSize;
    double perRadian = r / kPi;  // planisphere
    switch (view.viewMode) {
    case ViewMode::Planisphere: break;
    case ViewMode::Zenith: perRadian = r * 2.0 / kPi; break;
    case ViewMode::PolarAlignment: perRadian = r * (view.polarFine ? 80.0 : 24.0) / kPi; break;
    default: perRadian = r * ViewFraming(view).span / kPi; break;
    }
    return perRadian * kArcminRadians;
}

bool DeepSkyShown(const StarRecord& r, const DeepSkySize* size, double limit, double pixelsPerArcmin) {
    if ((r.name && !r.name->empty()) || IsMessierDesignation(r.ShortDesignation())) return true;
    if (HasKnownMagnitude(r.kind, r.mag)) return r.mag <= limit;
    if (size) return size->majorArcmin * pixelsPerArcmin >= kKeepBySizePixels || limit >= kAllDeepSkyMagnitude;
    return limit >= kAllDeepSkyMagnitude;
}

std::optional<FieldCone> MagnifiedField(const ViewState& view) {
    if (!SkyFillsChart(view)) return std::nullopt;
    // The magnified view's sky fills the chart down to ChartBottom, with the
    // projection centre in its middle.
    const int bottom = ChartBottom(view);
    const int cx = view.clientWidth >> 1, cy = bottom / 2;
    const SkyPosition c = UnprojectSky(view, cx, cy);
    const double farX = std::max(cx, view.clientWidth - cx), farY = std::max(cy, bottom - cy);
    const double perRadian = view.chartSize * ViewFraming(view).span / kPi;
    if (!(perRadian > 0.0)) return std::nullopt;
    FieldCone f;
    f.x = std::cos(c.declination) * std::cos(c.rightAscension);
    f.y = std::cos(c.declination) * std::sin(c.rightAscension);
    f.z = std::sin(c.declination);
    f.radius = std::hypot(farX, farY) / perRadian;
    return f;
}

double ChartOutline::MajorPixels() const { return 2.0 * std::hypot(majorX, majorY); }

double ChartOutline::Area() const {
    return kPi * std::abs(static_cast<double>(majorX) * minorY - static_cast<double>(majorY) * minorX);
}

bool ChartOutline::Contains(double x, double y) const {
    // (x, y) - centre = u * major + v * minor: inside when u^2 + v^2 <= 1.
    const double det = static_cast<double>(majorX) * minorY - static_cast<double>(majorY) * minorX;
    if (!(std::abs(det) > 1e-9)) return false;
    const double px = x - cx, py = y - cy;
    const double u = (px * minorY - py * minorX) / det;
    const double v = (majorX * py - majorY * px) / det;
    return u * u + v * v <= 1.0;
}

std::optional<ChartOutline> OutlineOnChart(const ViewState& view, const StarRecord& r, const DeepSkySize& size,
                                           int approxX, int approxY) {
    if (!SkyFillsChart(view)) return std::nullopt;
    const double major = size.majorArcmin;
    if (!std::isfinite(major) || major <= 0.0 || major > DeepSkySizes::kMaxArcmin) return std::nullopt;
    const double minor =
        std::isfinite(size.minorArcmin) && size.minorArcmin > 0.0 ? std::min<double>(size.minorArcmin, major) : major;
    // Cheap tests first: too small at this scale, or too far from the chart.
    const double reach = major * PixelsPerArcmin(view);
    if (reach <= kSymbolPixels) return std::nullopt;
    if (approxX + reach < 0 || approxX - reach > view.clientWidth || approxY + reach < 0 ||
        approxY - reach > ChartBottom(view))
        return std::nullopt;

    // The chart vectors of one arcminute north and one east at the object's place.
    const double cosDec = std::max(std::cos(r.dec), 1e-3);
    const double north = r.dec + kArcminRadians < kPi / 2 ? kArcminRadians : -kArcminRadians;
    const auto c = ProjectDirectionExact(view, r.ra, r.dec);
    const auto n = ProjectDirectionExact(view, r.ra, r.dec + north);
    const auto e = ProjectDirectionExact(view, r.ra + kArcminRadians / cosDec, r.dec);
    if (!c || !n || !e) return std::nullopt;
    const double sign = north > 0 ? 1.0 : -1.0;
    const double nx = (n->x - c->x) * sign, ny = (n->y - c->y) * sign;
    const double ex = e->x - c->x, ey = e->y - c->y;
    const double pa = (std::isfinite(size.positionAngleDeg) ? size.positionAngleDeg : 0.0) * kPi / 180.0;
    const double s = std::sin(pa), k = std::cos(pa);
    // Along the major axis: east sin(pa) + north cos(pa); the minor axis a
    // quarter turn further on the sky.
    const double ax = ex * s + nx * k, ay = ey * s + ny * k;
    const double bx = ex * k - nx * s, by = ey * k - ny * s;
    ChartOutline o;
    o.cx = static_cast<float>(c->x);
    o.cy = static_cast<float>(c->y);
    o.majorX = static_cast<float>(ax * major / 2);
    o.majorY = static_cast<float>(ay * major / 2);
    o.minorX = static_cast<float>(bx * minor / 2);
    o.minorY = static_cast<float>(by * minor / 2);
    if (!std::isfinite(o.MajorPixels()) || o.MajorPixels() <= kSymbolPixels) return std::nullopt;
    return o;
}

}  // namespace tavik
