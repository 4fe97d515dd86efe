#pragma once
// Sphere geometry for building the sky data: unit vectors, angular distance,
// point-in-constellation tests, densified boundary edges and outline thinning.

#include <array>
#include <string>
#include <vector>

namespace tavik::skydata {

struct RaDec {
    double ra;   // degrees, 0..360
    double dec;  // degrees
};

using Vec3 = std::array<double, 3>;

// Source longitudes run -180..180; right ascension runs 0..360.
RaDec FromLonLat(double lon, double lat);
Vec3 ToVector(const RaDec& p);
double AngularDistanceDeg(const RaDec& a, const RaDec& b);

// A closed outline on the sphere (first point not repeated at the end).
class SphericalPolygon {
public:
    explicit SphericalPolygon(std::vector<RaDec> ring);
    // Winding test around the point, restricted to the polygon's own hemisphere.
    bool Contains(const RaDec& p) const;
    const std::vector<RaDec>& Ring() const { return ring_; }

private:
    std::vector<RaDec> ring_;
    std::vector<Vec3> vectors_;
    Vec3 centre_{};
};

// A closed ring with edges that run along a parallel split into steps of at
// most `stepDeg` of right ascension, so that straight screen segments follow
// the boundary; the result ends with the first point again.
std::vector<RaDec> DensifyClosedRing(const std::vector<RaDec>& ring, double stepDeg);

// Thins a closed ring: a point is kept when it lies at least `minDeg` from
// the last kept point. The result ends with the first point again.
std::vector<RaDec> ThinClosedRing(const std::vector<RaDec>& ring, double minDeg);

}  // namespace tavik::skydata
