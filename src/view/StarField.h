#pragma once
// The catalogue stars prepared for fast drawing: for each star (kind 1) a unit
// vector and the sine and cosine of its declination, computed once per
// catalogue, ordered by magnitude so that the limiting magnitude ends the walk.
// A pass turns the site, time and framing into one rotation and places every
// star with a few multiplications and one arc tangent, culling whole parts of
// the sky before that: what lies outside the cone around the projection centre
// that holds the chart, beyond the chart's width or height from the centre, or
// certainly below the horizon never reaches the trigonometry. The unit vectors
// the culling reads are kept apart from the rest of each star, so that the
// stars it drops cost little more than their 24 bytes.
//
// The result is exactly what ProjectStar gives for every star: the same stars,
// pixels and sines of altitude. The sine of altitude is computed with the very
// expression ProjectStar uses. A pixel is taken from the rotation only when it
// is certain: the rotation and the trigonometric road of ProjectStar differ by
// far less than a billionth of a pixel except near the zenith and the
// projection centre, and the pass bounds that difference for each star; a star
// whose offset lies within that bound of a pixel edge (or too near either
// point) is placed by ProjectStar itself. No Qt in this interface.

#include <cstddef>
#include <vector>

#include "view/Projection.h"
#include "view/StarTint.h"
#include "view/ViewState.h"

namespace tavik {

struct StarRecord;
class ConstellationSelection;

// One star a pass draws: its position in the list the field was built from,
// its pixel and sin(altitude) as ProjectStar gives them, and what drawing it
// takes from its record, so that the pass need not read the record again.
struct PlacedStar {
    std::size_t index = 0;
    int x = 0;
    int y = 0;
    double sinAltitude = 0.0;
    const StarRecord* record = nullptr;
    double magnitude = 0.0;  // the record's
    StarTint tint;           // TintOf the record's magnitude and spectral type
    bool named = false;      // IsBrightNamedStar
};

class StarField {
public:
    // Prepares the stars (kind 1, sound position and magnitude) of `stars`,
    // the renderer's list of catalogue records. The records must outlive the
    // field or the next Build, and keep their contents meanwhile.
    void Build(const std::vector<const StarRecord*>& stars);

    std::size_t Size() const { return entries_.size(); }

    // Every star that ProjectStar (with the selection's verdict for its index)
    // would place visibly, from the last index to the first: the order the
    // render pass draws them in. Replaces the contents of `out`.
    void Place(const ViewState& view, double sinLatitude, double cosLatitude,
               const ConstellationSelection* selection, std::vector<PlacedStar>& out) const;

    // Stars placed through ProjectStar in the last Place because the rotation
    // could not be trusted with them (for tests and benchmarks).
    std::size_t FallbackCount() const { return fallbacks_; }

private:
    struct Direction {
        double x, y, z;  // unit vector of (ra, dec): z is sin(dec)
    };
    struct Entry {
        double cosDec;
        double ra;
        double mag;
        const StarRecord* record;
        std::size_t index;  // position in the list given to Build
        StarTint tint;
        bool named;
    };
    // Both by magnitude, brightest first, the one beside the other.
    std::vector<Direction> directions_;
    std::vector<Entry> entries_;
    bool indexOrder_ = true;  // they are also in index order
    mutable std::size_t fallbacks_ = 0;
};

}  // namespace tavik
