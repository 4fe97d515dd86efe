#pragma once
// The catalogue stars prepared for fast drawing, computed once per catalogue.
//
// The sky is cut into tiles of about equal size (declination bands, each cut
// into right-ascension cells), sized so that a tile holds a few hundred stars.
// Each tile keeps its stars' unit vectors and magnitudes in single precision,
// one array per coordinate, brightest first, and a circle about its stars. A
// pass turns the site, time and framing into one rotation, drops every tile
// whose circle lies off the chart or below the horizon, walks each other tile
// only as far as the limiting magnitude, and tests those stars in a loop the
// compiler vectorises. What passes is marked in a bitmap over the stars in
// drawing order (the field keeps them from the last of the list to the
// first), which the pass then reads front to back and places in batches, the
// arithmetic of a batch again in vectorised loops: a first look in single
// precision settles most stars, and the few near a pixel edge get the whole
// arithmetic in double precision. The faint stars that the receiver draws
// nothing of (a large catalogue's most) are marked apart, each tile's being
// the last of its list, and placed only while the receiver needs every star
// and for the last star placed.
//
// The result is exactly what ProjectStar gives for every star: the same stars,
// pixels and sines of altitude. The culling only ever drops stars that lie off
// the chart or below the horizon by far more than single precision can err.
// The sine of altitude is computed with the very expression ProjectStar uses
// (or, where the caller needs only the side of the horizon, taken from the
// rotation when that leaves no doubt about the side). A
// pixel is taken from the rotation only when it is certain: the rotated
// single-precision vector and the trigonometric road of ProjectStar differ by
// less than a thousandth of a pixel at full-HD scale except near the zenith and
// the projection centre, and the pass bounds that difference for each star; a
// star whose offset lies within that bound of a pixel edge (or too near either
// point) is placed by ProjectStar itself. No Qt in this interface.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "view/Projection.h"
#include "view/StarTint.h"
#include "view/ViewState.h"

namespace tavik {

struct StarRecord;
class ConstellationSelection;

// One star a pass draws: its position in the list the field was built from
// (its record is that list's entry), its pixel and sin(altitude) as
// ProjectStar gives them, and what drawing it takes from its record, so that
// the pass need not read the record again. 32 bytes: a batch of them stays
// in the processor's first cache.
struct PlacedStar {
    std::uint32_t index = 0;
    int x = 0;
    int y = 0;
    StarTint tint;           // TintOf the record's magnitude and spectral type
    bool named = false;      // IsBrightNamedStar
    double sinAltitude = 0.0;
    double magnitude = 0.0;  // the record's
};

// What receives the stars a pass places, in drawing order, a batch at a time
// (a batch lives only for the call).
class PlacedSink {
public:
    virtual ~PlacedSink() = default;
    virtual void Take(const PlacedStar* stars, std::size_t n) = 0;
    // How many of the first stars placed the sink needs whatever they draw.
    // Beyond them a pass leaves out the stars it knows to draw nothing, save
    // the last star placed.
    virtual std::size_t FirstNeeded() const { return std::numeric_limits<std::size_t>::max(); }
    // Whether a star of this catalogue magnitude leaves the image as it is,
    // wherever and at whatever altitude it stands; if so, so does a star of
    // any fainter magnitude.
    virtual bool DrawsNothing(double /*magnitude*/) const { return false; }
};

class StarField {
public:
    // Prepares the stars (kind 1, sound position and magnitude) of `stars`,
    // the renderer's list of catalogue records. The list and its records must
    // outlive the field or the next Build, and keep their contents meanwhile
    // (the field reads a record where it places a star through ProjectStar).
    void Build(const std::vector<const StarRecord*>& stars);

    std::size_t Size() const { return entries_.size(); }
    std::size_t TileCount() const { return tiles_.size(); }
    // Bytes the field holds, its scratch included (for benchmarks).
    std::size_t MemoryBytes() const;

    // What a pass needs of a placed star's sin(altitude): ProjectStar's value,
    // or only the side of the horizon (the sine then comes from the rotation:
    // within 1e-6 of ProjectStar's and of the same sign; where the two could
    // disagree on the side, ProjectStar's).
    enum class Altitude { Exact, SideOnly };

    // Hands `sink`, a batch at a time, every star that ProjectStar (with the
    // selection's verdict for its index) would place visibly, from the last
    // index to the first: the order the render pass draws them in. Once the
    // sink holds its FirstNeeded() stars, a star fainter than every named one
    // that the sink DrawsNothing for is left out unless it is the last.
    void Place(const ViewState& view, double sinLatitude, double cosLatitude,
               const ConstellationSelection* selection, PlacedSink& sink,
               Altitude altitude = Altitude::Exact) const;

    // Stars placed through ProjectStar in the last Place because the rotation
    // could not be trusted with them (for tests and benchmarks).
    std::size_t FallbackCount() const { return fallbacks_; }
    // Stars of the last Place that the tiles and the single-precision test
    // let through to the exact placing (for tests and benchmarks). Both count
    // what the pass looked at: where it leaves faint stars out, not those,
    // and a few near the end twice.
    std::size_t CandidateCount() const { return candidates_; }

private:
    // A star in drawing order: what placing it takes besides its record, in
    // 24 bytes: a large pass reads a few hundred thousand of them, front to
    // back, which the processor's own fetching ahead follows best.
    struct Entry {
        float x, y, z;            // unit vector of (ra, dec), as in the tiles
        std::uint32_t index;      // position in the list given to Build
        std::uint32_t magnitude;  // the record's, in magnitudes_
        StarTint tint;
        bool named;
        // |ra| beyond kTiledRightAscension: the rounding of its hour angle,
        // which grows with |ra|, is taken from the record.
        bool far;
    };
    static_assert(sizeof(Entry) == 24, "an entry is 24 bytes");
    // The catalogue's magnitudes, each once (a catalogue has few), and the
    // same from the faintest down.
    std::vector<double> magnitudes_, faintestFirst_;
    // The faintest magnitude of a star whose name is shown.
    double faintestNamed_ = -std::numeric_limits<double>::infinity();
    // What sin(altitude) takes as ProjectStar computes it, per entry, besides
    // the record's right ascension; read only where the pass needs the exact
    // value.
    struct Altitudes {
        double sinDec, cosDec;
    };
    struct Tile {
        double centre[3];  // unit vector
        double chord;      // no star lies further from the centre (straight line)
        float brightest;   // its first star's magnitude
        std::uint32_t begin, end;  // its stars in the tile arrays
        bool everywhere;   // never culled: right ascensions far from 0..2 pi
    };
    const std::vector<const StarRecord*>* list_ = nullptr;  // given to Build
    std::vector<Entry> entries_;
    mutable std::vector<Altitudes> altitudes_;  // made by the first pass that needs them
    std::vector<Tile> tiles_;
    // The tiles' stars, tile after tile, each tile brightest first.
    std::vector<float> tileX_, tileY_, tileZ_, tileMag_;
    std::vector<std::uint32_t> tileEntry_;  // the star's place in entries_
    // One bit per entry: the stars the culling let through, those the sink
    // draws in marks_ and those it draws nothing of in quiet_; scratch of
    // Place, all clear between passes.
    mutable std::vector<std::uint64_t> marks_, quiet_;
    mutable std::vector<std::uint8_t> pass_;  // scratch of the per-tile test
    mutable std::vector<std::uint32_t> order_;  // room for the marked entries, in order
    mutable std::size_t fallbacks_ = 0;
    mutable std::size_t candidates_ = 0;
};

}  // namespace tavik
