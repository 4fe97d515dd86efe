#include "view/StarField.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "astro/Angles.h"
#include "catalog/SkyBounds.h"
#include "catalog/StarRecord.h"
#include "view/ConstellationSelection.h"
#include "view/Overlay.h"

namespace tavik {

namespace {

constexpr double kHalfPi = kPi / 2.0;

// A unit vector (x towards ra 0, z towards the north pole) turns into the
// projection's frame by three rows: p and q span the chart plane (q towards
// the chart's "up" at the centre), z points at the projection centre.
struct Frame {
    double p[3] = {}, q[3] = {}, z[3] = {};
    // Horizontal north and east (the zenith's error bound) and up (the horizon).
    double n[3] = {}, e[3] = {}, u[3] = {};
    double sign = 1.0;     // the polar view mirrors both axes
    double scale = 0.0;    // pixels per radian from the centre
    double stretch = 1.0;  // horizontal stretch of the direction-type views
    double coneCos = -2.0; // stars with z below this lie off the chart
    // Stars with |p| or |q| beyond these lie off the chart: a star's offsets
    // from the centre are at least scale |p| and scale |q| pixels, as the
    // angle from the centre is never below its sine.
    double pMax = std::numeric_limits<double>::infinity();
    double qMax = std::numeric_limits<double>::infinity();
};

// Rows N cos e + E sin e, E cos e - N sin e, then the tilt g about the first.
void Rotate(const double up[3], const double north[3], const double east[3], double ce,
            double se, double g, Frame& f) {
    const double cg = std::cos(g), sg = std::sin(g);
    for (int i = 0; i < 3; ++i) {
        const double q0 = east[i] * ce - north[i] * se;
        f.p[i] = north[i] * ce + east[i] * se;
        f.q[i] = cg * q0 - sg * up[i];
        f.z[i] = cg * up[i] + sg * q0;
    }
}

// The chart's extent in offsets from the projection centre, and from it the
// widest angle from the centre that can still reach the chart and the widest
// p and q (two pixels of slack each); the cone is left at -2 when the whole
// sphere can reach the chart.
void ChartBounds(const ViewState& view, Frame& f) {
    const int w = view.clientWidth, w2 = w >> 1;
    const int r = ChartBottom(view);
    const int base = PlaceOnChart(view, 0, 0, 1.0).y;
    const double xSpan = std::max(w2, w - w2) + 2.0;
    if (!(std::fabs(f.stretch) > 1e-9)) return;
    const double dxMax = xSpan / std::fabs(f.stretch) + 1.0;
    const double dyMax = std::max(std::abs(base), std::abs(r - base)) + 1.0;
    f.pMax = (dxMax + 2.0) / f.scale + 1e-6;
    f.qMax = (dyMax + 2.0) / f.scale + 1e-6;
    const double angle = (std::hypot(dxMax, dyMax) + 2.0) / f.scale + 1e-6;
    if (angle < kPi) f.coneCos = std::cos(angle);
}

bool MakeFrame(const ViewState& view, double sinLat, double cosLat, Frame& f) {
    const double lst = view.localSiderealTime;
    if (!std::isfinite(lst) || !std::isfinite(view.latitude) || !std::isfinite(view.turnRadians) ||
        !std::isfinite(sinLat) || !std::isfinite(cosLat) || std::fabs(lst) > kMaxAbsRightAscension)
        return false;
    const double cl = std::cos(lst), sl = std::sin(lst);
    // Horizontal up, north and east of an equatorial unit vector, for the
    // hour angle lst - ra.
    const double up[3] = {cosLat * cl, cosLat * sl, sinLat};
    const double north[3] = {-sinLat * cl, -sinLat * sl, cosLat};
    const double east[3] = {-sl, cl, 0.0};
    std::copy(north, north + 3, f.n);
    std::copy(east, east + 3, f.e);
    std::copy(up, up + 3, f.u);
    const double r = view.chartSize;
    const double t = view.turnRadians;
    const int d = view.facing;

    switch (view.viewMode) {
    case ViewMode::Planisphere:
    case ViewMode::Zenith: {
        // theta = (d + 1) pi/2 - azimuth + T about the zenith.
        const double theta0 = (d + 1) * kHalfPi + t;
        Rotate(up, north, east, std::sin(theta0), -std::cos(theta0), 0.0, f);
        f.scale = view.viewMode == ViewMode::Planisphere ? r / kPi : r * (2.0 / kPi);
        break;
    }
    case ViewMode::PolarAlignment:
        Rotate(up, north, east, std::cos(kHalfPi), std::sin(kHalfPi), -(kHalfPi - view.latitude), f);
        f.sign = -1.0;  // theta = 3 pi/2 - longitude
        f.scale = r * (view.polarFine ? 80.0 : 24.0) / kPi;
        break;
    default: {
        const Framing fr = ViewFraming(view);
        const double e = d * kHalfPi + t;
        Rotate(up, north, east, std::cos(e), std::sin(e), fr.tiltDegrees * kPi / 180.0, f);
        f.scale = r * fr.span / kPi;
        f.stretch = fr.stretch;
        break;
    }
    }
    if (!(f.scale > 0.0) || !std::isfinite(f.scale) || !std::isfinite(f.stretch)) return false;
    // The planisphere shows every star above the horizon, wherever it falls.
    if (view.viewMode != ViewMode::Planisphere) ChartBounds(view, f);
    return true;
}

template <class V>
inline double Dot(const double row[3], const V& v) {
    return row[0] * v.x + row[1] * v.y + row[2] * v.z;
}

}  // namespace

void StarField::Build(const std::vector<const StarRecord*>& stars) {
    directions_.clear();
    entries_.clear();
    for (std::size_t i = 0; i < stars.size(); ++i) {
        const StarRecord* r = stars[i];
        if (!r || r->kind != kKindStar) continue;
        // ProjectStar never draws these.
        if (!SoundSkyPosition(r->ra, r->dec) || !SoundMagnitude(r->mag)) continue;
        const double sinDec = std::sin(r->dec), cosDec = std::cos(r->dec);
        directions_.push_back({cosDec * std::cos(r->ra), cosDec * std::sin(r->ra), sinDec});
        entries_.push_back(
            {cosDec, r->ra, r->mag, r, i, TintOf(r->mag, r->SpectralText()), IsBrightNamedStar(*r)});
    }
    indexOrder_ = std::is_sorted(entries_.begin(), entries_.end(),
                                 [](const Entry& a, const Entry& b) { return a.mag < b.mag; });
    if (indexOrder_) return;
    std::vector<std::size_t> order(entries_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [this](std::size_t a, std::size_t b) { return entries_[a].mag < entries_[b].mag; });
    std::vector<Direction> directions;
    std::vector<Entry> entries;
    directions.reserve(order.size());
    entries.reserve(order.size());
    for (const std::size_t k : order) {
        directions.push_back(directions_[k]);
        entries.push_back(entries_[k]);
    }
    directions_ = std::move(directions);
    entries_ = std::move(entries);
}

void StarField::Place(const ViewState& view, double sinLatitude, double cosLatitude,
                      const ConstellationSelection* selection, std::vector<PlacedStar>& out) const {
    out.clear();
    fallbacks_ = 0;
    const bool polar = view.viewMode == ViewMode::PolarAlignment;
    const double limit = LimitingMagnitude(view) + 0.5;
    // Brightest first: the stars past the limit end the list.
    const std::size_t end =
        polar ? entries_.size()
              : static_cast<std::size_t>(
                    std::upper_bound(entries_.begin(), entries_.end(), limit,
                                     [](double m, const Entry& e) { return m < e.mag; }) -
                    entries_.begin());
    Frame f;
    const bool fast = MakeFrame(view, sinLatitude, cosLatitude, f);
    const double lst = view.localSiderealTime;

    auto put = [&](const Entry& e, const ProjectedPoint& pt, double s) {
        if (pt.visible) out.push_back({e.index, pt.x, pt.y, s, e.record, e.mag, e.tint, e.named});
    };
    auto exact = [&](const Entry& e) {
        double s = 0.0;
        const ProjectedPoint pt = ProjectStar(view, *e.record, sinLatitude, cosLatitude, &s);
        put(e, pt, s);
    };

    auto consider = [&](std::size_t i) {
        const Direction& v = directions_[i];
        double z = 0.0, p = 0.0, q = 0.0;
        if (fast) {
            z = Dot(f.z, v);
            if (z < f.coneCos) return;
            p = Dot(f.p, v);
            q = Dot(f.q, v);
            if (std::fabs(p) > f.pMax || std::fabs(q) > f.qMax) return;
        }
        const Entry& e = entries_[i];
        if (selection && !selection->Shows(e.index)) return;
        if (!fast) {
            exact(e);
            return;
        }
        // Well below the horizon by the rotation, by far more than it and
        // ProjectStar's sine of altitude can differ.
        if (Dot(f.u, v) < -(1e-12 + 1e-15 * (std::fabs(e.ra) + std::fabs(lst)))) return;
        // The horizon test and sin(altitude), as ProjectStar computes them.
        const double hourAngle = lst - e.ra;
        const double cosH = std::cos(hourAngle);
        const double s = v.z * sinLatitude + e.cosDec * cosLatitude * cosH;
        if (!(s >= 0.0)) return;

        const double h = std::sqrt(p * p + q * q);  // sine of the angle from the centre
        const double hn = Dot(f.n, v), he = Dot(f.e, v);
        const double cosAlt = std::sqrt(hn * hn + he * he);
        if (h < 1e-7 || cosAlt < 1e-7) {  // at the centre or the zenith
            ++fallbacks_;
            exact(e);
            return;
        }
        const double delta = std::atan2(h, z);
        const double k = f.sign * delta * f.scale / h;
        const double dx = p * k, dy = q * k;
        // How far ProjectStar's trigonometry may stray from this: rounding of
        // every step, the arc sines near the centre and the zenith, and the
        // hour angle of an unreduced right ascension.
        const double angle = 4e-14 * (1.0 + 1.0 / h + 1.0 / cosAlt) + 1e-15 * (std::fabs(e.ra) + std::fabs(lst));
        const double bound = 1e-9 + 1e-13 * (std::fabs(dx) + std::fabs(dy)) +
                             angle * f.scale * (1.0 + delta / h);
        const int ix = ToPixel(dx), iy = ToPixel(dy);
        if (ToPixel(dx - bound) != ToPixel(dx + bound) || ToPixel(dy - bound) != ToPixel(dy + bound)) {
            ++fallbacks_;
            exact(e);
            return;
        }
        put(e, PlaceOnChart(view, ix, iy, f.stretch), s);
    };

    // Drawing order: from the last record to the first, which in index order
    // is the list walked backwards.
    for (std::size_t k = 0; k < end; ++k) consider(indexOrder_ ? end - 1 - k : k);
    if (!indexOrder_)
        std::sort(out.begin(), out.end(),
                  [](const PlacedStar& a, const PlacedStar& b) { return a.index > b.index; });
}

}  // namespace tavik
