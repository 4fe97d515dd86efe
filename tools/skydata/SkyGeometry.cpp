#include "SkyGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tavik::skydata {

namespace {
constexpr double kDeg = std::numbers::pi / 180.0;

Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double Dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec3 Normalised(const Vec3& v) {
    const double n = std::sqrt(Dot(v, v));
    return n > 0 ? Vec3{v[0] / n, v[1] / n, v[2] / n} : v;
}
}  // namespace

RaDec FromLonLat(double lon, double lat) {
    double ra = std::fmod(lon, 360.0);
    if (ra < 0) ra += 360.0;
    return {ra, lat};
}

Vec3 ToVector(const RaDec& p) {
    const double ra = p.ra * kDeg;
    const double dec = p.dec * kDeg;
    return {std::cos(dec) * std::cos(ra), std::cos(dec) * std::sin(ra), std::sin(dec)};
}

double AngularDistanceDeg(const RaDec& a, const RaDec& b) {
    const double c = std::clamp(Dot(ToVector(a), ToVector(b)), -1.0, 1.0);
    return std::acos(c) / kDeg;
}

SphericalPolygon::SphericalPolygon(std::vector<RaDec> ring) : ring_(std::move(ring)) {
    if (ring_.size() > 1 && ring_.front().ra == ring_.back().ra && ring_.front().dec == ring_.back().dec) {
        ring_.pop_back();
    }
    Vec3 sum{0, 0, 0};
    for (const auto& p : ring_) {
        vectors_.push_back(ToVector(p));
        for (int i = 0; i < 3; ++i) sum[i] += vectors_.back()[i];
    }
    centre_ = Normalised(sum);
}

bool SphericalPolygon::Contains(const RaDec& p) const {
    if (vectors_.size() < 3) return false;
    const Vec3 v = ToVector(p);
    if (Dot(v, centre_) <= 0) return false;
    // Local east and north at the point (a point at a pole gets a fixed frame).
    Vec3 east = Cross({0, 0, 1}, v);
    if (Dot(east, east) < 1e-20) east = {0, 1, 0};
    east = Normalised(east);
    const Vec3 north = Cross(v, east);
    double total = 0;
    double previous = 0;
    for (std::size_t i = 0; i <= vectors_.size(); ++i) {
        const Vec3& w = vectors_[i % vectors_.size()];
        const double azimuth = std::atan2(Dot(w, east), Dot(w, north));
        if (i > 0) {
            double d = azimuth - previous;
            while (d > std::numbers::pi) d -= 2 * std::numbers::pi;
            while (d < -std::numbers::pi) d += 2 * std::numbers::pi;
            total += d;
        }
        previous = azimuth;
    }
    return std::abs(total) > std::numbers::pi;
}

std::vector<RaDec> DensifyClosedRing(const std::vector<RaDec>& input, double stepDeg) {
    std::vector<RaDec> ring = input;
    if (ring.size() > 1 && ring.front().ra == ring.back().ra && ring.front().dec == ring.back().dec) ring.pop_back();
    std::vector<RaDec> out;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const RaDec& a = ring[i];
        const RaDec& b = ring[(i + 1) % ring.size()];
        out.push_back(a);
        double dRa = b.ra - a.ra;
        if (dRa > 180) dRa -= 360;
        if (dRa < -180) dRa += 360;
        if (std::abs(a.dec - b.dec) < 0.05 && std::abs(dRa) > stepDeg) {
            const int steps = static_cast<int>(std::ceil(std::abs(dRa) / stepDeg));
            for (int k = 1; k < steps; ++k) {
                const double t = static_cast<double>(k) / steps;
                out.push_back(FromLonLat(a.ra + dRa * t, a.dec + (b.dec - a.dec) * t));
            }
        }
    }
    if (!ring.empty()) out.push_back(ring.front());
    return out;
}

std::vector<RaDec> ThinClosedRing(const std::vector<RaDec>& input, double minDeg) {
    std::vector<RaDec> ring = input;
    if (ring.size() > 1 && ring.front().ra == ring.back().ra && ring.front().dec == ring.back().dec) ring.pop_back();
    std::vector<RaDec> out;
    for (const auto& p : ring) {
        if (out.empty() || AngularDistanceDeg(out.back(), p) >= minDeg) out.push_back(p);
    }
    // Drop trailing points that crowd the closing point.
    while (out.size() > 1 && AngularDistanceDeg(out.back(), out.front()) < minDeg * 0.5) out.pop_back();
    if (!out.empty()) out.push_back(out.front());
    return out;
}

}  // namespace tavik::skydata
