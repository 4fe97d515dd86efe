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
#include <tuple>
#include <vector>

namespace tavik {

class StarCatalog;
struct MinorBody;

enum class SearchKind { SolarBody, Constellation, Star, DeepSky, TapMark, MinorBody };

// One object the index can find.
struct SearchObject {
    SearchKind kind = SearchKind::Star;
    // Where the object lives: the catalogue position (stars, deep-sky
    // objects), the body number of StarCatalog::SolarPlaceholder (solar
    // bodies), the row of ConstellationTable (constellations), the position
    // in the tap-mark list (tap marks) or in the loaded comets and asteroids.
    std::size_t ref = 0;
    // UTF-8, as shown: "M31", "NGC 7000", "α Ori", "58 Ori", "HIP 27989", "Ori", a tap
    // mark's label; "" for the solar bodies and a star with none of these.
    std::string designation;
    std::string name;           // UTF-8, as shown: the Japanese name, else the English one; "" for none
    std::string englishName;    // UTF-8; "" for none
    std::string constellation;  // three-letter abbreviation; "" when unknown
    // NaN when unknown (the planets: their brightness depends on the moment).
    double mag = std::numeric_limits<double>::quiet_NaN();
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
    // marks), the constellation table, the solar bodies and the comets and
    // asteroids loaded (by designation, name and label; placed at a moment by
    // PlaceSearchHits). A rebuild replaces everything.
    void Build(const StarCatalog& catalog, const std::vector<MinorBody>* minorBodies = nullptr);

    // The objects the query finds, best first: exact matches, then prefix,
    // then substring (see the order below); each object at most once, with
    // its best rank; at most `limit` hits. An empty or unknown query finds
    // nothing. Any query is answered quickly: it is folded (SearchFold.h) and
    // cut to kMaxFoldedBytes first.
    //
    // Order within a rank: the Sun, the Moon and the planets, then the
    // constellations, then stars, deep-sky objects and tap marks, these named
    // ones first and brighter first ("アンドロメダ": the constellation, then
    // M31 アンドロメダ銀河 by prefix); after the names, the numbers of one
    // catalogue (M, NGC, IC, HIP) in numeric order ("M4": M4 exact, then M40
    // ... M49 by prefix; "NGC 70": NGC 70, NGC 700 ... 709, NGC 7000 ...).
    // Numbers are found whole or by their beginning, never inside, and the
    // constellations' Latin names and genitives ("Canis Majoris") whole or
    // by their beginning only.
    //
    // A query of ASCII letters is also read as romaji (RomajiForms in
    // SearchFold.h) and its kana looked up the same way. Those hits rank
    // after every direct hit of the same rank, the catalogue numbers
    // included, and before the next rank: "orion" gives オリオン座 by its
    // Latin name, "subaru" M45 by すばる (exact), "subar" M45 by its
    // beginning, "andoromeda" the constellation (exact), then M31 (prefix).
    // An object found both ways keeps its better match.
    std::vector<SearchHit> Find(std::string_view query, std::size_t limit = 50) const;

    std::size_t ObjectCount() const { return objects_.size(); }
    const SearchObject& Object(std::size_t i) const { return objects_.at(i); }

private:
    std::vector<SearchObject> objects_;
    // An object's place in the order within a rank (see Find): smaller first.
    std::vector<std::uint64_t> order_;
    // Folded names and the object each names, sorted by name. A numbered
    // key is a catalogue number with a suffix ("ngc7070a"): found whole
    // only, its beginning is the numbers' business.
    struct Key {
        std::string folded;
        std::uint32_t object = 0;
        bool numbered = false;
        bool prefixOnly = false;
    };
    std::vector<Key> keys_;
    // The same names joined by '\n' for the substring search, and where
    // each begins (ascending, one per key).
    std::string joined_;
    std::vector<std::uint32_t> starts_;
    // The numbered catalogues (M, NGC, IC, HIP): number and object, sorted;
    // a suffixed number ("NGC 7070A", "NGC 702-2") after the plain one.
    struct Numbered {
        std::uint32_t number = 0;
        bool suffixed = false;
        std::uint32_t object = 0;
        bool operator<(const Numbered& o) const {
            return std::tie(number, suffixed, object) < std::tie(o.number, o.suffixed, o.object);
        }
        bool operator==(const Numbered& o) const = default;
    };
    static constexpr std::size_t kCatalogues = 4;
    std::vector<Numbered> numbers_[kCatalogues];

    friend class NameIndexBuilder;
};

}  // namespace tavik
