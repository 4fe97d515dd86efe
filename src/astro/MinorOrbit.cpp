#include "astro/MinorOrbit.h"

#include <algorithm>
#include <cmath>

#include "astro/Angles.h"
#include "astro/Precession.h"
#include "astro/SunMoon.h"
#include "astro/TimeScales.h"

namespace tavik {

namespace {

// Stumpff functions c2(z) = (1 - cos sqrt z) / z and c3(z) = (sqrt z - sin sqrt z) / sqrt z^3,
// continued through z = 0 by their series and to z < 0 by cosh and sinh.
void Stumpff(double z, double& c, double& s) {
    if (std::fabs(z) < 0.1) {
        // Eight terms: the next is below 1e-17 of the first.
        c = 0.5;
        s = 1.0 / 6.0;
        double tc = 0.5, ts = 1.0 / 6.0;
        for (int n = 1; n < 8; ++n) {
            tc *= -z / ((2.0 * n + 1.0) * (2.0 * n + 2.0));
            ts *= -z / ((2.0 * n + 2.0) * (2.0 * n + 3.0));
            c += tc;
            s += ts;
        }
    } else if (z > 0) {
        const double w = std::sqrt(z);
        c = (1.0 - std::cos(w)) / z;
        s = (w - std::sin(w)) / (z * w);
    } else {
        const double w = std::sqrt(-z);
        c = (std::cosh(w) - 1.0) / -z;
        s = (std::sinh(w) - w) / (-z * w);
    }
}

// Time after perihelion to solve for: an ellipse's is brought into one period
// centred on perihelion, so that the anomaly stays within +-pi.
double ReducedTime(double q, double e, double dt) {
    if (e < 1.0) {
        const double alpha = (1.0 - e) / q;
        const double period = kTwoPi / (kGaussK * alpha * std::sqrt(alpha));
        if (std::isfinite(period) && period > 0) dt = std::remainder(dt, period);
    }
    return dt;
}

// The real root of e chi^3 / 6 + q chi = k t (Barker's equation in the
// universal anomaly): the parabola's solution, a start for any e.
double ParabolicAnomaly(double q, double e, double kt) {
    if (e <= 0) return kt / q;
    const double p = 6.0 * q / e;
    const double c = 6.0 * kt / e;
    // chi^3 + p chi - c = 0 with p > 0: chi = 2 sqrt(p/3) sinh(asinh(3 c / (2 p) sqrt(3/p)) / 3).
    const double m = 2.0 * std::sqrt(p / 3.0);
    return m * std::sinh(std::asinh(1.5 * c / p * std::sqrt(3.0 / p)) / 3.0);
}

}  // namespace

double KeplerResidual(double q, double e, double dt, double anomaly) {
    dt = ReducedTime(q, e, dt);
    const double alpha = (1.0 - e) / q;
    double c = 0, s = 0;
    Stumpff(alpha * anomaly * anomaly, c, s);
    return (q * anomaly + e * anomaly * anomaly * anomaly * s) / kGaussK - dt;
}

OrbitPlanePosition SolveKepler(double q, double e, double dt) {
    dt = ReducedTime(q, e, dt);
    const double alpha = (1.0 - e) / q;
    const double kt = kGaussK * std::fabs(dt);

    // f(chi) = q chi + e chi^3 S(z) - k t rises with slope r >= q and bends
    // upward for chi >= 0, so the root lies in [0, k t / q] and Newton's method,
    // kept inside the shrinking bracket, converges from any start.
    double lo = 0, hi = kt / q;
    if (alpha > 0) hi = std::min(hi, kPi / std::sqrt(alpha));  // half a period
    if (alpha < 0) hi = std::min(hi, 600.0 / std::sqrt(-alpha));  // keeps cosh finite
    double chi;
    if (alpha > 0 && e < 0.9) {
        // One Newton step of E - e sin E = M from E = M, in the universal anomaly.
        const double meanAnomaly = kt * std::sqrt(alpha) * alpha;  // n |t|, within [0, pi]
        chi = (meanAnomaly + e * std::sin(meanAnomaly) / (1.0 - e * std::cos(meanAnomaly))) / std::sqrt(alpha);
    } else {
        chi = ParabolicAnomaly(q, e, kt);
        if (alpha < 0) {
            // Far out on a hyperbola the parabola's start lies many e-foldings
            // too far; ln(2M/e + 1.8) is near the hyperbolic anomaly there.
            const double w = std::sqrt(-alpha);
            chi = std::min(chi, std::log(2.0 * kt * w * w * w / e + 1.8) / w);
        }
    }
    if (!(chi > lo && chi < hi)) chi = 0.5 * (lo + hi);

    double c = 0.5, s = 1.0 / 6.0;
    for (int iteration = 0; iteration < 200; ++iteration) {
        const double z = alpha * chi * chi;
        Stumpff(z, c, s);
        const double f = q * chi + e * chi * chi * chi * s - kt;
        const double slope = q + e * chi * chi * c;
        if (f == 0) break;
        if (f > 0)
            hi = chi;
        else
            lo = chi;
        double next = chi - f / slope;
        if (!(next >= lo && next <= hi)) next = 0.5 * (lo + hi);
        const double step = std::fabs(next - chi);
        chi = next;
        // Newton's error squares each step: after a step below 1e-9 of chi
        // what is left is below 1e-17 of it.
        if (step <= 1e-9 * chi || hi - lo <= 1e-15 * hi) break;
    }
    Stumpff(alpha * chi * chi, c, s);
    const double z = alpha * chi * chi;
    const double sign = dt < 0 ? -1.0 : 1.0;
    OrbitPlanePosition p;
    p.x = q - chi * chi * c;
    p.y = sign * std::sqrt(q * (1.0 + e)) * chi * (1.0 - z * s);
    p.r = q + e * chi * chi * c;
    p.anomaly = sign * chi;
    // d chi / dt = k / r; dx / d chi = -chi (1 - z S), dy / d chi = sqrt(q (1 + e)) (1 - z C).
    const double rate = kGaussK / p.r;
    p.vx = -rate * p.anomaly * (1.0 - z * s);
    p.vy = rate * std::sqrt(q * (1.0 + e)) * (1.0 - z * c);
    return p;
}

namespace {

Matrix3 EclipticJ2000ToEquator() {
    const double c = std::cos(kObliquityJ2000), s = std::sin(kObliquityJ2000);
    return {1, 0, 0, 0, c, -s, 0, s, c};
}

Vector3 Combine(const Vector3& p, const Vector3& q, double x, double y) {
    return {p[0] * x + q[0] * y, p[1] * x + q[1] * y, p[2] * x + q[2] * y};
}

}  // namespace

KeplerOrbit::KeplerOrbit(const OrbitalElements& elements) : KeplerOrbit(elements, EclipticJ2000ToEquator()) {}

KeplerOrbit::KeplerOrbit(const OrbitalElements& elements, const Matrix3& eclipticToJ2000) : elements_(elements) {
    const double cw = std::cos(elements.argPerihelion), sw = std::sin(elements.argPerihelion);
    const double cn = std::cos(elements.node), sn = std::sin(elements.node);
    const double ci = std::cos(elements.inclination), si = std::sin(elements.inclination);
    pEcl_ = {cw * cn - sw * sn * ci, cw * sn + sw * cn * ci, sw * si};
    qEcl_ = {-sw * cn - cw * sn * ci, -sw * sn + cw * cn * ci, cw * si};
    pEq_ = pEcl_;
    qEq_ = qEcl_;
    ApplyMatrix(eclipticToJ2000, pEq_);
    ApplyMatrix(eclipticToJ2000, qEq_);
}

Vector3 KeplerOrbit::EclipticPosition(double jd) const {
    const OrbitPlanePosition p = SolveKepler(elements_.q, elements_.e, jd - elements_.perihelionJd);
    return Combine(pEcl_, qEcl_, p.x, p.y);
}

Vector3 KeplerOrbit::EquatorialPosition(double jd) const {
    const OrbitPlanePosition p = SolveKepler(elements_.q, elements_.e, jd - elements_.perihelionJd);
    return Combine(pEq_, qEq_, p.x, p.y);
}

void KeplerOrbit::EquatorialState(double jd, Vector3& position, Vector3& velocity) const {
    const OrbitPlanePosition p = SolveKepler(elements_.q, elements_.e, jd - elements_.perihelionJd);
    position = Combine(pEq_, qEq_, p.x, p.y);
    velocity = Combine(pEq_, qEq_, p.vx, p.vy);
}

double JulianDate(const DateTime& ut) { return JulianCenturies(ut) * 36525.0 + 2451545.0; }

MinorObserver ObserverAt(const DateTime& ut) {
    // The engine's Sun is referred to the ecliptic and equinox of date; the
    // Earth stands opposite it and is carried to J2000 as the planets are.
    const SunEcliptic sun = SunPosition(ut);
    const double eps = Obliquity(ut.Year(), ut.Month(), ut.Day());
    const Spherical ofDate = EclipticToEquatorial(eps, sun.geometricLongitude + kPi, -sun.latitude);
    const Spherical j2000 = DateToJ2000(ofDate, ut);
    const Vector3 u = ToVector(j2000.lon, j2000.lat);
    return {JulianDate(ut), {u[0] * sun.distance, u[1] * sun.distance, u[2] * sun.distance}};
}

namespace {

double Length(const Vector3& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

}  // namespace

GeocentricPlace PlaceOf(const KeplerOrbit& orbit, const MinorObserver& observer) {
    // Light time: the body where it was when the light now arriving left it,
    // stepped back along its velocity. The neglected curvature, a tau^2 / 2, is
    // 2e-6 AU (0.4" at 1 AU) for a comet 0.05 AU from the Sun, far less elsewhere.
    Vector3 body{}, velocity{};
    orbit.EquatorialState(observer.jd, body, velocity);
    Vector3 geo{body[0] - observer.earth[0], body[1] - observer.earth[1], body[2] - observer.earth[2]};
    const double tau = Length(geo) * kLightDaysPerAu;
    for (int i = 0; i < 3; ++i) {
        body[static_cast<std::size_t>(i)] -= tau * velocity[static_cast<std::size_t>(i)];
        geo[static_cast<std::size_t>(i)] -= tau * velocity[static_cast<std::size_t>(i)];
    }
    const double delta = Length(geo);
    const double r = Length(body);
    GeocentricPlace place{};
    place.delta = delta;
    place.r = r;
    place.j2000.lon = std::atan2(geo[1], geo[0]);
    if (place.j2000.lon < 0) place.j2000.lon += kTwoPi;
    place.j2000.lat = delta > 0 ? std::asin(std::clamp(geo[2] / delta, -1.0, 1.0)) : 0.0;
    const double earth = Length(observer.earth);
    const double cosPhase = (r * r + delta * delta - earth * earth) / (2.0 * r * delta);
    place.phaseAngle = std::acos(std::clamp(std::isfinite(cosPhase) ? cosPhase : 1.0, -1.0, 1.0));
    return place;
}

double CometMagnitude(double g, double k, double delta, double r) {
    return g + 5.0 * std::log10(delta) + 2.5 * k * std::log10(r);
}

double AsteroidMagnitude(double h, double slopeG, double delta, double r, double phaseAngle) {
    const double t = std::tan(0.5 * std::min(phaseAngle, kPi * 0.999));
    const double phi1 = std::exp(-3.33 * std::pow(t, 0.63));
    const double phi2 = std::exp(-1.87 * std::pow(t, 1.22));
    const double phase = std::max((1.0 - slopeG) * phi1 + slopeG * phi2, 1e-6);
    return h + 5.0 * std::log10(r * delta) - 2.5 * std::log10(phase);
}

std::string MinorBody::Label() const {
    if (name.empty()) return designation;
    if (kind == MinorKind::Comet) {
        // "1P/Halley"; a provisional designation keeps the name in brackets.
        if (!designation.empty() && designation.find('/') == std::string::npos) return designation + "/" + name;
        return designation + " (" + name + ")";
    }
    return designation + " " + name;
}

MinorPlace MinorBodyPlace(const MinorBody& body, const MinorObserver& observer) {
    const GeocentricPlace g = PlaceOf(body.orbit, observer);
    const double magnitude = body.kind == MinorKind::Comet
                                 ? CometMagnitude(body.magnitude, body.slope, g.delta, g.r)
                                 : AsteroidMagnitude(body.magnitude, body.slope, g.delta, g.r, g.phaseAngle);
    return {g.j2000, g.delta, g.r, magnitude};
}

}  // namespace tavik
