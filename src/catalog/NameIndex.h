#pragma once
// The name index: every name a person may type for what Tavik can draw (the
// Sun, the Moon and the planets, the constellations, the stars with a name or
// a Bayer, Flamsteed or HIP designation, every deep-sky object, the user's
// text tap marks), built once when the catalogue loads and asked as the user
// types. Free of any window and of time: where an object stands at a moment
// is for the caller (see view/ObjectSearch.h).
//
//   NameIndex index;
//   index.Build(catalog);
//   for (const SearchHit& hit : index.Find("ベテ")) ... index.Object(hit.object) ...

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

class StarCatalog;

enum class SearchKind { SolarBody, Constellation, Star, DeepSky, TapMark };

// One object the index can find.
struct SearchObject {
    SearchKind kind = SearchKind::Star;
    // Where the object lives: the catalogue position (stars, deep-sky
    // objects), the body number of StarCatalog::SolarPlaceholder (solar
    // bodies), the row of ConstellationTable (constellations) or the position
    // in the tap-mark list (tap marks).
    std::size_t ref = 0;
    std::string designation;    // UTF-8, as shown: "M31", "NGC 7000", "α Ori", "58 Ori", "HIP 27989", "Ori"
    std::string name;           // UTF-8, as shown: the Japanese name, else the English one; "" for none
    std::string englishName;    // UTF-8; "" for none
    std::string constellation;  // three-letter abbreviation; "" when unknown
    double mag = std::numeric_limits<double>::quiet_NaN();  // NaN when unknown
    // J2000, radians; solar bodies 0 (their place depends on the moment).
    double ra = 0.0;
    double dec = 0.0;
};

// How a query met a name: the whole name, its beginning, or inside it.
enum class MatchRank { Exact = 0, Prefix = 1, Substring = 2 };

struct SearchHit {
    std::size_t object = 0;  // index for NameIndex::Object
    MatchRank rank = MatchRank::Exact;
};

class NameIndex {
public:
    // Builds the index over the catalogue (its records, extra names and tap
    // marks), the constellation table and the solar bodies. A rebuild
    // replaces everything.
    void Build(const StarCatalog& catalog);

    // The objects the query finds, best first: exact matches, then prefix,
    // then substring; within a rank named and brighter objects first, and the
    // numbers of one catalogue in numeric order ("M4": M4, M40, M41 ... M49).
    // Each object at most once, with its best rank; at most `limit` hits.
    // An empty or unknown query finds nothing.
    std::vector<SearchHit> Find(std::string_view query, std::size_t limit = 50) const;

    std::size_t ObjectCount() const { return objects_.size(); }
    const SearchObject& Object(std::size_t i) const { return objects_.at(i); }

private:
    std::vector<SearchObject> objects_;
    // Folded keys and the object each names (layout up to the implementation).
    struct Key {
        std::string folded;
        std::uint32_t object = 0;
        bool numbered = false;  // a catalogue number ("m42"), ordered by number among prefix matches
    };
    std::vector<Key> keys_;
};

}  // namespace tavik
