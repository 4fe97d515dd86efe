#include "view/StarField.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <unordered_map>

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
    // The same for q on either side of the centre, as sign q: towards the
    // chart's top (qHigh) and its bottom (qLow, of -sign q).
    double qHigh = std::numeric_limits<double>::infinity();
    double qLow = std::numeric_limits<double>::infinity();
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
    // (Never below zero, so that a star right on the centre's line passes
    // whatever the sign single precision gives its q.)
    f.qHigh = std::max(base + 1.0 + 2.0, 0.0) / f.scale + 1e-6;
    f.qLow = std::max(r - base + 1.0 + 2.0, 0.0) / f.scale + 1e-6;
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
    return row[0] * v[0] + row[1] * v[1] + row[2] * v[2];
}

// About this many stars to a tile.
constexpr double kStarsPerTile = 256.0;
// Right ascensions beyond this (unreduced, as a file may give them) go to a
// tile that is never culled: the hour angle's rounding grows with them.
constexpr double kTiledRightAscension = 100.0;
// What single precision may add to a dot product of unit vectors, many times
// over: the margin of every culling test.
constexpr double kFloatMargin = 1e-5;
// How far a single-precision unit vector may point from the exact direction.
constexpr double kFloatAngle = 2e-7;

// The stars a pass places, in batches of this many: first the arithmetic of
// a whole batch in loops the compiler vectorises (a single-precision look,
// then double precision for what it settled and the whole arithmetic for the
// few it left), then the rest star by star, in order.
constexpr std::size_t kBatch = 512, kAhead = 32;
static_assert(kBatch <= 65536, "positions in a batch are 16-bit");

// What becomes of a star of a batch: dropped (below the limit, well below
// the horizon or off the chart), placed by ProjectStar (the rotation cannot
// be trusted with it), or placed at the rotation's pixel with the rotation's
// sin(altitude) or with ProjectStar's expression for it.
// (Between the two looks at a batch, a star the single-precision look could
// not settle is up for the full one.)
enum Fate : std::uint8_t { kDropped, kByProjectStar, kPlaced, kPlacedExactAltitude, kUnsettled };

// A batch of stars. In: each star's unit vector, magnitude and the rounding
// of its hour angle. Out: sin(altitude) as the rotation gives it, the chart
// pixel and the fate. In between, after the single-precision look, px and py
// hold every star's offsets from the projection centre in whole pixels, to be
// trusted only where `settled`.
struct Batch {
    float x[kBatch], y[kBatch], z[kBatch];
    double mag[kBatch], hour[kBatch];
    double up[kBatch];
    int px[kBatch], py[kBatch];
    std::uint8_t settled[kBatch];
    std::uint8_t fate[kBatch];
};

// What the pass asks of every star besides the frame.
struct Rules {
    ChartPlacement chart;
    double limit = 0.0;          // magnitudes above this are dropped
    bool anyMagnitude = false;   // the polar view shows every magnitude
    bool sideOnly = false;       // only the side of the horizon is needed
};

// Whether a star is shown: bright enough, and not well below the horizon by
// the rotation (by `margin`, far more than it and ProjectStar's sine of
// altitude can differ). Then how it is placed: with the rotation's sine where
// only the side of the horizon counts and it is clear, else with
// ProjectStar's. Without branches, for the batch loops.
inline int Shown(const Rules& r, double mag, double up, double margin) {
    return (r.anyMagnitude | (mag <= r.limit)) & (up >= -margin);
}
inline int PlacedFate(const Rules& r, double up, double margin) {
    return (r.sideOnly & (up > margin)) ? kPlaced : kPlacedExactAltitude;
}

// atan y/x for y >= 0, x > 0 and y <= x, within a few units of the last place
// (Hart et al., Computer Approximations, index 5077: 19.6 digits on
// [-tan pi/8, tan pi/8]). For y/x above tan pi/8 it takes pi/4 + atan of
// (y - x)/(y + x); one division either way, and no branch, so that a loop
// of it vectorises.
// In single precision the same steps err by a few units of its last place.
template <class T>
inline T ArcTangentOfRatio(T y, T x) {
    constexpr T kTanEighth = T(0.414213562373095048802);
    constexpr T p4 = T(.161536412982230228262e2), p3 = T(.26842548195503973794141e3),
                p2 = T(.11530293515404850115428136e4), p1 = T(.178040631643319697105464587e4),
                p0 = T(.89678597403663861959987488e3);
    constexpr T q4 = T(.5895697050844462222791e2), q3 = T(.536265374031215315104235e3),
                q2 = T(.16667838148816337184521798e4), q1 = T(.207933497444540981287275926e4),
                q0 = T(.89678597403663861962481162e3);
    const bool wide = y > kTanEighth * x;
    const T t = (wide ? y - x : y) / (wide ? y + x : x);
    const T t2 = t * t;
    const T num = (((p4 * t2 + p3) * t2 + p2) * t2 + p1) * t2 + p0;
    const T den = ((((t2 + q4) * t2 + q3) * t2 + q2) * t2 + q1) * t2 + q0;
    return (wide ? T(kPi / 4.0) : T(0)) + t * num / den;
}

// Decides a batch. The pixel is the azimuthal projection's: angle from the
// centre atan2(h, z) times pixels per radian, along (p, q)/h. How far
// ProjectStar's trigonometry may stray from it is bounded per star: the
// single precision of the vector; the arc tangent, the rounding of every step
// and the arc sines near the centre and the zenith (4e-14 (1 + 1/h +
// 1/cosAlt), below 1e-8 as both are at least 1e-5); and the hour angle of an
// unreduced right ascension. The rotation is trusted with a star when that
// bound keeps it within one pixel and it lies away from the centre and the
// zenith. One loop without branches, which the compiler vectorises; built
// twice, for processors with and without AVX2 (four lanes rather than two;
// the same operations, so the same results).
__attribute__((target_clones("avx2", "default"))) void DecideBatch(const Frame& f, const Rules& rules,
                                                                  std::size_t n, Batch& b) {
    const Rules r = rules;  // a copy the compiler can keep in registers across the stores
    for (std::size_t i = 0; i < n; ++i) {
        const double v[3] = {b.x[i], b.y[i], b.z[i]};
        const double up = Dot(f.u, v);
        const double z = Dot(f.z, v), p = Dot(f.p, v), q = Dot(f.q, v);
        const double h = std::sqrt(p * p + q * q);  // sine of the angle from the centre
        const double hn = Dot(f.n, v), he = Dot(f.e, v);
        // atan2(h, z) from the ratio of the smaller to the larger.
        const double az = std::fabs(z);
        const double a = ArcTangentOfRatio(std::min(h, az), std::max(h, az));
        const double a1 = h > az ? kHalfPi - a : a;
        const double delta = z < 0.0 ? kPi - a1 : a1;
        // (A star closer to the centre than that is never trusted; the floor
        // keeps its arithmetic finite.)
        const double perH = 1.0 / std::max(h, 1e-5);
        const double k = f.sign * delta * f.scale * perH;
        const double dx = p * k, dy = q * k;
        const double angle = kFloatAngle + 1e-8 + b.hour[i];
        const double bound =
            1e-9 + 1e-13 * (std::fabs(dx) + std::fabs(dy)) + angle * f.scale * (1.0 + delta * perH);
        const int sameColumn = ToPixel(dx - bound) == ToPixel(dx + bound);
        const int sameRow = ToPixel(dy - bound) == ToPixel(dy + bound);
        const int trusted = (h >= 1e-5) & (hn * hn + he * he >= 1e-10) & sameColumn & sameRow;
        const int x = ChartColumn(r.chart, ToPixel(dx)), y = ChartRow(r.chart, ToPixel(dy));
        const int visible = OnChart(r.chart, x, y);
        const double margin = 1e-6 + b.hour[i];
        const int shown = Shown(r, b.mag[i], up, margin);
        const int placed = PlacedFate(r, up, margin);
        // Not shown: dropped; else not trusted: ProjectStar's; else on the
        // chart: placed; else dropped (as arithmetic, which vectorises).
        b.fate[i] = static_cast<std::uint8_t>(shown * ((1 - trusted) * kByProjectStar + trusted * visible * placed));
        b.up[i] = up;
        b.px[i] = x;
        b.py[i] = y;
    }
}

// The frame's rows in single precision, for the tiles' test and the first
// look at a batch.
struct FloatFrame {
    float p[3], q[3], z[3], u[3], n[3], e[3];
    float signedScale, scale;
};

FloatFrame FloatFrameOf(const Frame& f) {
    FloatFrame g;
    for (int i = 0; i < 3; ++i) {
        g.p[i] = static_cast<float>(f.p[i]);
        g.q[i] = static_cast<float>(f.q[i]);
        g.z[i] = static_cast<float>(f.z[i]);
        g.u[i] = static_cast<float>(f.u[i]);
        g.n[i] = static_cast<float>(f.n[i]);
        g.e[i] = static_cast<float>(f.e[i]);
    }
    g.signedScale = static_cast<float>(f.sign * f.scale);
    g.scale = static_cast<float>(f.scale);
    return g;
}

// How far the first look's rotated coordinates may stray from DecideBatch's,
// as an angle: the rows rounded to single precision (2^-24 each) and a
// three-term dot product's rounding (3 times 2^-24) stay below 4e-7 per
// coordinate, which moves a pixel by less than 3 of them times
// scale (1 + delta/h); twice that, plus DecideBatch's own angle for the
// vector's precision.
constexpr double kScreenAngle = 3e-6;
static_assert(kScreenAngle >= 2 * 3 * 4e-7 + kFloatAngle + 1e-8, "the first look must cover DecideBatch's bound");
// Its arithmetic after that (square root, arc tangent, products) errs by at
// most about 35 units of single precision's last place (2e-6), relative to
// the offsets: three times that.
constexpr float kScreenRelative = 6e-6f;

// Pixels per radian up to which the first look is worth taking: beyond, its
// bound straddles a pixel edge for many stars (the magnified and the polar
// alignment views).
constexpr double kScreenScale = 5000.0;

inline int ToPixelF(float v) {
    constexpr float kLimit = static_cast<float>(kPixelLimit);  // 1e7 is exact in single precision
    return static_cast<int>(std::clamp(v, -kLimit, kLimit));
}

// The first look at a batch: DecideBatch's offsets from the projection centre
// in single precision (eight stars to an AVX2 register), with a bound that
// covers both that precision and DecideBatch's own bound. Where the bound
// keeps a star within one pixel (and away from the centre and the zenith),
// DecideBatch would trust the rotation and find the same pixel: the star is
// settled, with those offsets. The rest go to DecideBatch.
__attribute__((target_clones("avx2", "default"))) void ScreenBatch(const FloatFrame& frame, std::size_t n,
                                                                  Batch& b) {
    const FloatFrame g = frame;  // kept in registers across the stores
    const float angleScale = static_cast<float>(kScreenAngle) * g.scale;
    for (std::size_t i = 0; i < n; ++i) {
        const float v[3] = {b.x[i], b.y[i], b.z[i]};
        const float z = g.z[0] * v[0] + g.z[1] * v[1] + g.z[2] * v[2];
        const float p = g.p[0] * v[0] + g.p[1] * v[1] + g.p[2] * v[2];
        const float q = g.q[0] * v[0] + g.q[1] * v[1] + g.q[2] * v[2];
        const float hn = g.n[0] * v[0] + g.n[1] * v[1] + g.n[2] * v[2];
        const float he = g.e[0] * v[0] + g.e[1] * v[1] + g.e[2] * v[2];
        const float h = std::sqrt(p * p + q * q);
        const float az = std::fabs(z);
        const float a = ArcTangentOfRatio(std::min(h, az), std::max(h, az));
        const float a1 = h > az ? static_cast<float>(kHalfPi) - a : a;
        const float delta = z < 0.0f ? static_cast<float>(kPi) - a1 : a1;
        const float perH = 1.0f / std::max(h, 1e-5f);
        const float k = g.signedScale * delta * perH;
        const float dx = p * k, dy = q * k;
        const float hour = static_cast<float>(b.hour[i]) * g.scale;
        const float bound = 1e-6f + kScreenRelative * (std::fabs(dx) + std::fabs(dy)) +
                            (angleScale + hour) * (1.0f + delta * perH);
        const int sameColumn = ToPixelF(dx - bound) == ToPixelF(dx + bound);
        const int sameRow = ToPixelF(dy - bound) == ToPixelF(dy + bound);
        b.settled[i] = static_cast<std::uint8_t>((h >= 2e-5f) & (hn * hn + he * he >= 4e-10f) & sameColumn & sameRow);
        b.px[i] = ToPixelF(dx);
        b.py[i] = ToPixelF(dy);
    }
}

// The rest of DecideBatch for the settled stars (their offsets in px, py),
// in double precision as there: sin(altitude), the magnitude and horizon
// tests and the chart pixel. Stars not settled that are shown become
// kUnsettled.
__attribute__((target_clones("avx2", "default"))) void FinishBatch(const Frame& f, const Rules& rules,
                                                                  std::size_t n, Batch& b) {
    const Rules r = rules;
    for (std::size_t i = 0; i < n; ++i) {
        const double up = Dot(f.u, std::array<double, 3>{b.x[i], b.y[i], b.z[i]});
        const double margin = 1e-6 + b.hour[i];
        const int shown = Shown(r, b.mag[i], up, margin);
        const int placed = PlacedFate(r, up, margin);
        const int x = ChartColumn(r.chart, b.px[i]), y = ChartRow(r.chart, b.py[i]);
        const int visible = OnChart(r.chart, x, y);
        const int settled = b.settled[i];
        b.fate[i] = static_cast<std::uint8_t>(shown * (settled * visible * placed + (1 - settled) * kUnsettled));
        b.up[i] = up;
        b.px[i] = x;
        b.py[i] = y;
    }
}

// What a star must meet to reach the chart above the horizon, with margins
// far beyond single precision's error: z towards the centre not below
// `cone`; its offsets from the centre within the chart's (see TestStars);
// up not below `below`.
struct StarLimits {
    float cone, p, qHigh, qLow, below;
    float sign;  // the frame's
};

// Sets pass[i] for the stars of a tile that may reach the chart above the
// horizon. A star's offsets are scale delta (p, sign q) / h, with delta its
// angle from the centre and h = sin delta, or h = sin(pi - delta) behind the
// centre; delta / h is never below arcsin h / h, whose series 1 + h^2/6 +
// 3 h^4/40 + ... has no negative term, so (p, sign q) times that series'
// first three terms never reaches further out than the offsets over scale.
// Written without branches so that it runs eight stars at a time (four without
// AVX2; the margins dwarf any difference in rounding).
__attribute__((target_clones("avx2", "default"))) void TestStars(const FloatFrame& frame, const float* x,
                                                                const float* y, const float* z, std::size_t n,
                                                                const StarLimits& limits, std::uint8_t* pass) {
    const FloatFrame g = frame;  // kept in registers across the stores
    const StarLimits l = limits;
    for (std::size_t i = 0; i < n; ++i) {
        const float p = g.p[0] * x[i] + g.p[1] * y[i] + g.p[2] * z[i];
        const float q = g.q[0] * x[i] + g.q[1] * y[i] + g.q[2] * z[i];
        const float w = g.z[0] * x[i] + g.z[1] * y[i] + g.z[2] * z[i];
        const float u = g.u[0] * x[i] + g.u[1] * y[i] + g.u[2] * z[i];
        const float h2 = p * p + q * q;
        const float widen = 1.0f + h2 * (1.0f / 6.0f + h2 * (3.0f / 40.0f));
        const float ap = std::fabs(p) * widen, t = l.sign * q * widen;
        // (A side's bound holds only for stars on that side: where the
        // centre lies off the chart, it is negative.)
        pass[i] = (w >= l.cone) & (ap <= l.p) & ((t <= l.qHigh) | (t <= 0.0f)) & ((-t <= l.qLow) | (t >= 0.0f)) &
                  (u >= l.below);
    }
}

}  // namespace

void StarField::Build(const std::vector<const StarRecord*>& stars) {
    list_ = &stars;
    entries_.clear();
    altitudes_.clear();
    altitudes_.shrink_to_fit();
    tiles_.clear();
    for (auto* v : {&tileX_, &tileY_, &tileZ_, &tileMag_}) v->clear();
    tileEntry_.clear();
    magnitudes_.clear();
    faintestNamed_ = -std::numeric_limits<double>::infinity();
    // In drawing order: the last star of the list first.
    entries_.reserve(stars.size());
    // (By their bits: a magnitude of -0 stays -0. No star has a magnitude
    // that is not a number, so the first star always looks its own up.)
    std::unordered_map<std::uint64_t, std::uint32_t> magnitudeAt;
    std::uint64_t lastBits = 0x7ff8000000000000ull;
    std::uint32_t lastAt = 0;
    for (std::size_t i = stars.size(); i-- > 0;) {
        const StarRecord* r = stars[i];
        if (!r || r->kind != kKindStar) continue;
        // ProjectStar never draws these.
        if (!SoundSkyPosition(r->ra, r->dec) || !SoundMagnitude(r->mag)) continue;
        // (Neighbours in a catalogue mostly share their magnitude.)
        std::uint64_t bits = 0;
        std::memcpy(&bits, &r->mag, sizeof bits);
        if (bits != lastBits) {
            const auto [it, added] = magnitudeAt.try_emplace(bits, static_cast<std::uint32_t>(magnitudes_.size()));
            if (added) magnitudes_.push_back(r->mag);
            lastBits = bits;
            lastAt = it->second;
        }
        const bool named = IsBrightNamedStar(*r);
        if (named) faintestNamed_ = std::max(faintestNamed_, r->mag);
        const double sinDec = std::sin(r->dec), cosDec = std::cos(r->dec);
        entries_.push_back({static_cast<float>(cosDec * std::cos(r->ra)),
                            static_cast<float>(cosDec * std::sin(r->ra)), static_cast<float>(sinDec),
                            static_cast<std::uint32_t>(i), lastAt, TintOf(r->mag, r->SpectralText()),
                            named, std::fabs(r->ra) > kTiledRightAscension});
    }
    faintestFirst_ = magnitudes_;
    std::sort(faintestFirst_.begin(), faintestFirst_.end(), std::greater<>());
    const std::size_t n = entries_.size();
    marks_.assign((n + 63) / 64, 0);
    quiet_.assign(marks_.size(), 0);
    order_.assign(n, 0);

    // Declination bands of one cell's height, each cut into cells about as
    // wide as they are high at their edge nearest the equator.
    const double degree = kPi / 180.0;
    const double cell =
        std::clamp(std::sqrt(4.0 * kPi * kStarsPerTile / std::max<double>(static_cast<double>(n), 1.0)),
                   2.0 * degree, 30.0 * degree);
    const int bands = static_cast<int>(std::ceil(kPi / cell));
    const double bandHeight = kPi / bands;
    std::vector<std::uint32_t> firstCell(bands + 1, 0), cells(bands, 1);
    for (int b = 0; b < bands; ++b) {
        const double low = -kHalfPi + b * bandHeight, high = low + bandHeight;
        const double widest = low < 0.0 && high > 0.0 ? 1.0 : std::max(std::cos(low), std::cos(high));
        cells[b] = static_cast<std::uint32_t>(std::max(1.0, std::ceil(kTwoPi * widest / cell)));
        firstCell[b + 1] = firstCell[b] + cells[b];
    }
    const std::uint32_t everywhere = firstCell[bands];  // the cell that is never culled
    std::vector<std::uint32_t> cellOf(n);
    for (std::size_t k = 0; k < n; ++k) {
        const double ra = stars[entries_[k].index]->ra;
        if (std::fabs(ra) > kTiledRightAscension) {
            cellOf[k] = everywhere;
            continue;
        }
        const double dec = stars[entries_[k].index]->dec;
        const int b = std::clamp(static_cast<int>(std::floor((dec + kHalfPi) / bandHeight)), 0, bands - 1);
        double turn = std::fmod(ra, kTwoPi);
        if (turn < 0.0) turn += kTwoPi;
        const auto c = static_cast<std::uint32_t>(turn / kTwoPi * cells[b]);
        cellOf[k] = firstCell[b] + std::min(c, cells[b] - 1);
    }

    // The stars cell by cell (in drawing order), then each cell brightest first.
    std::vector<std::uint32_t> start(everywhere + 2, 0);
    for (const std::uint32_t c : cellOf) ++start[c + 1];
    for (std::size_t c = 1; c < start.size(); ++c) start[c] += start[c - 1];
    std::vector<std::uint32_t> order(n);
    {
        std::vector<std::uint32_t> next(start.begin(), start.end() - 1);
        for (std::size_t k = 0; k < n; ++k) order[next[cellOf[k]]++] = static_cast<std::uint32_t>(k);
    }
    for (auto* v : {&tileX_, &tileY_, &tileZ_, &tileMag_}) v->reserve(n);
    tileEntry_.reserve(n);
    std::size_t largest = 0;
    for (std::uint32_t c = 0; c <= everywhere; ++c) {
        const auto first = order.begin() + start[c], last = order.begin() + start[c + 1];
        if (first == last) continue;
        std::stable_sort(first, last, [this](std::uint32_t a, std::uint32_t b) {
            return magnitudes_[entries_[a].magnitude] < magnitudes_[entries_[b].magnitude];
        });
        Tile t{};
        t.begin = static_cast<std::uint32_t>(tileEntry_.size());
        for (auto it = first; it != last; ++it) {
            const Entry& e = entries_[*it];
            tileX_.push_back(e.x);
            tileY_.push_back(e.y);
            tileZ_.push_back(e.z);
            tileMag_.push_back(static_cast<float>(magnitudes_[e.magnitude]));
            tileEntry_.push_back(*it);
            t.centre[0] += e.x;
            t.centre[1] += e.y;
            t.centre[2] += e.z;
        }
        t.end = static_cast<std::uint32_t>(tileEntry_.size());
        t.brightest = tileMag_[t.begin];
        largest = std::max<std::size_t>(largest, t.end - t.begin);
        const double norm = std::sqrt(Dot(t.centre, t.centre));
        t.everywhere = c == everywhere || !(norm > 1e-3);
        for (double& x : t.centre) x = t.everywhere ? 0.0 : x / norm;
        for (std::uint32_t i = t.begin; i < t.end; ++i) {
            const double d[3] = {tileX_[i] - t.centre[0], tileY_[i] - t.centre[1], tileZ_[i] - t.centre[2]};
            t.chord = std::max(t.chord, std::sqrt(Dot(d, d)));
        }
        t.chord += kFloatMargin;
        tiles_.push_back(t);
    }
    pass_.assign(largest, 0);
}

std::size_t StarField::MemoryBytes() const {
    return entries_.capacity() * sizeof(Entry) +
           (magnitudes_.capacity() + faintestFirst_.capacity()) * sizeof(double) +
           altitudes_.capacity() * sizeof(Altitudes) +
           tiles_.capacity() * sizeof(Tile) +
           (tileX_.capacity() + tileY_.capacity() + tileZ_.capacity() + tileMag_.capacity()) * sizeof(float) +
           tileEntry_.capacity() * sizeof(std::uint32_t) +
           (marks_.capacity() + quiet_.capacity()) * sizeof(std::uint64_t) +
           pass_.capacity() + order_.capacity() * sizeof(std::uint32_t);
}

void StarField::Place(const ViewState& view, double sinLatitude, double cosLatitude,
                      const ConstellationSelection* selection, PlacedSink& sink,
                      Altitude altitude) const {
    fallbacks_ = 0;
    candidates_ = 0;
    const bool polar = view.viewMode == ViewMode::PolarAlignment;
    const double limit = LimitingMagnitude(view) + 0.5;
    Frame f;
    const bool fast = MakeFrame(view, sinLatitude, cosLatitude, f);
    const FloatFrame g = fast ? FloatFrameOf(f) : FloatFrame{};
    const double lst = view.localSiderealTime;
    auto mark = [this](std::uint32_t k) { marks_[k >> 6] |= std::uint64_t{1} << (k & 63); };

    // The catalogue's brightest magnitude from which on the sink draws
    // nothing of a star and no star's name is shown (both hold for every
    // fainter magnitude once they hold for one).
    double quietFrom = std::numeric_limits<double>::infinity();
    if (fast && sink.FirstNeeded() < entries_.size()) {
        const auto quiet = std::partition_point(faintestFirst_.begin(), faintestFirst_.end(), [&](double m) {
            return m > faintestNamed_ && sink.DrawsNothing(m);
        });
        if (quiet != faintestFirst_.begin()) quietFrom = *(quiet - 1);
    }

    if (!fast) {
        for (std::uint32_t k = 0; k < entries_.size(); ++k) mark(k);
    } else {
        // Tiles and stars are tested with margins far beyond single
        // precision's error; the exact tests follow for what passes.
        const double below = -(kFloatMargin + 1e-15 * (kTiledRightAscension + std::fabs(lst)));
        const StarLimits limits{static_cast<float>(f.coneCos - kFloatMargin), static_cast<float>(f.pMax + kFloatMargin),
                                static_cast<float>(f.qHigh + kFloatMargin), static_cast<float>(f.qLow + kFloatMargin),
                                static_cast<float>(below), static_cast<float>(f.sign)};
        const float magnitudeCut = static_cast<float>(limit + 1e-3);
        // A star whose single-precision magnitude lies beyond the rounded
        // bound lies beyond the bound itself.
        const float quietCut = static_cast<float>(quietFrom);
        for (const Tile& t : tiles_) {
            // Every star of a tile lies within `chord` of its centre, so each
            // of its rotated coordinates within `chord` of the centre's.
            const double c = t.chord;
            if (!polar && t.brightest > magnitudeCut) continue;
            if (!t.everywhere && (Dot(f.z, t.centre) + c < f.coneCos ||
                                  std::fabs(Dot(f.p, t.centre)) - c > f.pMax ||
                                  std::fabs(Dot(f.q, t.centre)) - c > f.qMax ||
                                  Dot(f.u, t.centre) + c < below))
                continue;
            const auto first = tileMag_.begin() + t.begin, last = tileMag_.begin() + t.end;
            const std::uint32_t end =
                polar || *(last - 1) <= magnitudeCut
                    ? t.end
                    : static_cast<std::uint32_t>(std::upper_bound(first, last, magnitudeCut) - tileMag_.begin());
            // The tile's quiet stars follow the others (brightest first).
            const std::uint32_t quiet =
                *(last - 1) <= quietCut
                    ? end
                    : std::min(end, static_cast<std::uint32_t>(std::upper_bound(first, last, quietCut) - tileMag_.begin()));
            if (t.everywhere) {
                for (std::uint32_t i = t.begin; i < end; ++i) {
                    const std::uint32_t k = tileEntry_[i];
                    (i < quiet ? marks_ : quiet_)[k >> 6] |= std::uint64_t{1} << (k & 63);
                }
                continue;
            }
            TestStars(g, &tileX_[t.begin], &tileY_[t.begin], &tileZ_[t.begin], end - t.begin, limits,
                      pass_.data());
            // Without a branch: whether a star passes is a coin toss to the
            // processor.
            for (std::uint32_t i = t.begin; i < quiet; ++i) {
                const std::uint32_t k = tileEntry_[i];
                marks_[k >> 6] |= std::uint64_t{pass_[i - t.begin]} << (k & 63);
            }
            for (std::uint32_t i = quiet; i < end; ++i) {
                const std::uint32_t k = tileEntry_[i];
                quiet_[k >> 6] |= std::uint64_t{pass_[i - t.begin]} << (k & 63);
            }
        }
    }

    // The placed stars go to the sink a batch at a time.
    PlacedStar placed[kBatch];
    std::size_t held = 0, handed = 0;
    auto flush = [&] {
        if (held > 0) sink.Take(placed, held);
        held = 0;
    };
    auto put = [&](const Entry& e, const ProjectedPoint& pt, double s) {
        if (!pt.visible) return;
        placed[held++] = {e.index, pt.x, pt.y, e.tint, e.named, s, magnitudes_[e.magnitude]};
        ++handed;
        if (held == kBatch) flush();
    };
    auto exact = [&](const Entry& e) {
        double s = 0.0;
        const ProjectedPoint pt = ProjectStar(view, *(*list_)[e.index], sinLatitude, cosLatitude, &s);
        put(e, pt, s);
    };

    // The marked stars in drawing order, which is the entries' order; the
    // marks are cleared as they are read, the quiet ones when the pass ends
    // (whichever way).
    struct ClearedAtEnd {
        std::vector<std::uint64_t>& bits;
        ~ClearedAtEnd() { std::fill(bits.begin(), bits.end(), 0); }
    } clearQuiet{quiet_};
    std::uint32_t* const marked = order_.data();
    std::size_t count = 0;
    for (std::size_t w = 0; w < marks_.size(); ++w) {
        std::uint64_t bits = marks_[w] | quiet_[w];
        marks_[w] = 0;
        while (bits) {
            marked[count++] = static_cast<std::uint32_t>(w * 64 + static_cast<std::size_t>(__builtin_ctzll(bits)));
            bits &= bits - 1;
        }
    }
    if (!fast) {
        for (std::size_t j = 0; j < count; ++j) {
            const Entry& e = entries_[marked[j]];
            if (!polar && magnitudes_[e.magnitude] > limit) continue;
            if (selection && !selection->Shows(e.index)) continue;
            exact(e);
        }
        flush();
        return;
    }

    // The sines and cosines of the declinations, the first time a pass needs
    // exact altitudes (under light pollution only: 16 bytes a star).
    if (altitude == Altitude::Exact && altitudes_.size() != entries_.size()) {
        altitudes_.reserve(entries_.size());
        for (const Entry& e : entries_) {
            const double dec = (*list_)[e.index]->dec;
            altitudes_.push_back({std::sin(dec), std::cos(dec)});
        }
    }

    Rules rules;
    rules.chart = ChartPlacementOf(view, f.stretch);
    rules.limit = limit;
    rules.anyMagnitude = polar;
    rules.sideOnly = altitude == Altitude::SideOnly;
    const double lstRounding = 1e-15 * std::fabs(lst);
    const bool screen = f.scale <= kScreenScale;
    const bool selecting = selection && selection->Active();
    Batch b, unsettled;
    std::uint16_t where[kBatch];
    std::size_t candidates = 0, fallbacks = 0;
    // Places marked[from, to) batch by batch and hands the stars that
    // ProjectStar would place to the sink, in order; or, given `lastAt`, only
    // notes where in marked the last of them lies.
    auto run = [&](std::size_t from, std::size_t to, std::size_t* lastAt) {
        for (std::size_t first = from; first < to; first += kBatch) {
            const std::size_t n = std::min(kBatch, to - first);
            const std::uint32_t* ks = marked + first;
            for (std::size_t i = 0; i < n; ++i) {
                // The entries lie far apart: fetch some places ahead.
                if (first + i + kAhead < to) __builtin_prefetch(&entries_[ks[i + kAhead]]);
                const Entry& e = entries_[ks[i]];
                b.x[i] = e.x;
                b.y[i] = e.y;
                b.z[i] = e.z;
                b.mag[i] = magnitudes_[e.magnitude];
                // The rounding of the hour angle: 1e-15 |ra|, of a tiled star at
                // most that of kTiledRightAscension.
                b.hour[i] = 1e-15 * (e.far ? std::fabs((*list_)[e.index]->ra) : kTiledRightAscension) + lstRounding;
            }
            // The single-precision look settles most stars; the few it leaves
            // (near a pixel edge, the centre or the zenith) get DecideBatch's
            // whole arithmetic, as every star does at a scale where the look
            // would settle too few.
            if (!screen) {
                DecideBatch(f, rules, n, b);
            } else {
                ScreenBatch(g, n, b);
                FinishBatch(f, rules, n, b);
            }
            std::size_t m = 0;
            for (std::size_t i = 0; i < n; ++i) {
                if (b.fate[i] != kUnsettled) continue;
                unsettled.x[m] = b.x[i];
                unsettled.y[m] = b.y[i];
                unsettled.z[m] = b.z[i];
                unsettled.mag[m] = b.mag[i];
                unsettled.hour[m] = b.hour[i];
                where[m++] = static_cast<std::uint16_t>(i);
            }
            if (m > 0) {
                DecideBatch(f, rules, m, unsettled);
                for (std::size_t j = 0; j < m; ++j) {
                    b.fate[where[j]] = unsettled.fate[j];
                    b.up[where[j]] = unsettled.up[j];
                    b.px[where[j]] = unsettled.px[j];
                    b.py[where[j]] = unsettled.py[j];
                }
            }
            // The stars kept, listed without a branch (whether a star is dropped
            // is a coin toss to the processor).
            std::size_t kept = 0;
            for (std::size_t i = 0; i < n; ++i) {
                where[kept] = static_cast<std::uint16_t>(i);
                kept += b.fate[i] != kDropped;
            }
            for (std::size_t j = 0; j < kept; ++j) {
                const std::size_t i = where[j];
                const Entry& e = entries_[ks[i]];
                if (selecting && !selection->Shows(e.index)) continue;
                ++candidates;
                ProjectedPoint pt;
                pt.visible = true;
                pt.x = b.px[i];
                pt.y = b.py[i];
                double s = b.up[i];
                switch (b.fate[i]) {
                case kByProjectStar:
                    ++fallbacks;
                    pt = ProjectStar(view, *(*list_)[e.index], sinLatitude, cosLatitude, &s);
                    break;
                case kPlaced:
                    break;
                case kPlacedExactAltitude: {
                    // sin(altitude) as ProjectStar computes it, and its horizon
                    // test. Without the table (a pass that needs only the side of
                    // the horizon, for a star right on it) from the record.
                    const StarRecord& r = *(*list_)[e.index];
                    const bool table = ks[i] < altitudes_.size();
                    const double sinDec = table ? altitudes_[ks[i]].sinDec : std::sin(r.dec);
                    const double cosDec = table ? altitudes_[ks[i]].cosDec : std::cos(r.dec);
                    s = sinDec * sinLatitude + cosDec * cosLatitude * std::cos(lst - r.ra);
                    pt.visible = s >= 0.0;
                    break;
                }
                default:  // none left unsettled after DecideBatch
                    pt.visible = false;
                    break;
                }
                if (!pt.visible) continue;
                if (lastAt) {
                    *lastAt = first + i;
                } else {
                    put(e, pt, s);
                }
            }
        }
    };
    // Every star, until the sink holds the first stars it needs.
    const std::size_t needed = std::isinf(quietFrom) ? count : sink.FirstNeeded();
    std::size_t next = 0;
    while (next < count && handed < needed) {
        const std::size_t to = std::min(count, next + kBatch);
        run(next, to, nullptr);
        next = to;
    }
    if (next < count) {
        // The last star placed, sought from the end; before it, only the
        // stars that draw something.
        std::size_t lastAt = count;
        for (std::size_t to = count; to > next && lastAt == count;) {
            const std::size_t from = to - std::min<std::size_t>(to - next, 64);
            run(from, to, &lastAt);
            to = from;
        }
        if (lastAt < count) {
            const std::uint32_t lastStar = marked[lastAt];
            std::size_t kept = next;
            for (std::size_t j = next; j < lastAt; ++j) {
                const std::uint32_t k = marked[j];
                marked[kept] = k;
                kept += ((quiet_[k >> 6] >> (k & 63)) & 1) == 0;
            }
            marked[kept++] = lastStar;
            run(next, kept, nullptr);
        }
    }
    flush();
    candidates_ = candidates;
    fallbacks_ = fallbacks;
}

}  // namespace tavik
