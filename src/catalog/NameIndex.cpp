#include "catalog/NameIndex.h"

#include "astro/MinorOrbit.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numbers>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "catalog/ConstellationNames.h"
#include "catalog/ConstellationTable.h"
#include "catalog/SearchFold.h"
#include "catalog/ShiftJis.h"
#include "catalog/StarCatalog.h"

namespace tavik {

namespace {

// The numbered catalogues, by their folded prefix and as shown.
struct Catalogue {
    const char* folded;
    const char* shown;  // "NGC " + number
};
constexpr std::array<Catalogue, 4> kCatalogueNames = {{{"m", "M"}, {"ngc", "NGC "}, {"ic", "IC "}, {"hip", "HIP "}}};
constexpr std::size_t kHip = 3;

struct SolarBody {
    int body;  // StarCatalog::SolarPlaceholder index
    const char* japanese;
    const char* english;
    const char* reading;
};
constexpr std::array<SolarBody, 7> kBodies = {{
    {kSolarSun, "太陽", "Sun", "たいよう"},
    {kSolarMoon, "月", "Moon", "つき"},
    {0, "水星", "Mercury", "すいせい"},
    {1, "金星", "Venus", "きんせい"},
    {2, "火星", "Mars", "かせい"},
    {3, "木星", "Jupiter", "もくせい"},
    {4, "土星", "Saturn", "どせい"},
}};

// Names every Japanese observer uses that the catalogue lacks, by short
// designation (deep-sky objects) or by Bayer designation (stars, "Alp Lyr").
struct OwnName {
    const char* designation;
    const char* name;
};
constexpr std::array<OwnName, 20> kOwnNames = {{
    {"M45", "すばる"},
    {"M45", "昴"},
    {"M42", "オリオン星雲"},
    {"M31", "アンドロメダ大星雲"},
    {"M31", "アンドロメダ星雲"},
    {"C14", "二重星団"},  // h and χ Persei as one object
    {"C14", "ペルセウス座二重星団"},
    {"M44", "蜂の巣星団"},
    {"M57", "リング星雲"},
    {"M27", "あれい状星雲"},
    {"M1", "かに星雲"},
    {"M13", "ヘルクレス座球状星団"},
    {"C41", "ヒアデス星団"},
    {"Alp UMi", "ポラリス"},
    {"Alp Lyr", "織女星"},
    {"Alp Lyr", "おりひめ星"},
    {"Alp Aql", "牽牛星"},
    {"Alp Aql", "ひこ星"},
    {"Alp Car", "老人星"},
    {"Alp CMa", "天狼星"},
}};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string Trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return std::string(s);
}

// A catalogue number in a folded text: "ngc7000" -> (1, 7000); -1 for none.
int ParseNumbered(std::string_view folded, std::uint32_t& number, bool allowEmpty = false) {
    for (std::size_t c = 0; c < kCatalogueNames.size(); ++c) {
        const std::string_view prefix = kCatalogueNames[c].folded;
        if (!folded.starts_with(prefix)) continue;
        const std::string_view digits = folded.substr(prefix.size());
        if (digits.empty()) {
            if (!allowEmpty) continue;
            number = 0;
            return static_cast<int>(c);
        }
        if (digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), IsDigit)) continue;
        std::from_chars(digits.data(), digits.data() + digits.size(), number);
        return static_cast<int>(c);
    }
    return -1;
}

// A catalogue designation as written: the catalogue's letters, its number
// and anything after it ("NGC 7000", "M31", "NGC 7070A", "NGC 702-2"),
// blanks aside.
struct Designation {
    int catalogue = -1;
    std::uint32_t number = 0;
    std::string_view suffix;
};
Designation ParseDesignation(std::string_view text) {
    Designation d;
    std::size_t i = 0;
    const auto skipBlanks = [&] { while (i < text.size() && text[i] == ' ') ++i; };
    skipBlanks();
    std::string letters;
    while (i < text.size() && ((text[i] >= 'A' && text[i] <= 'Z') || (text[i] >= 'a' && text[i] <= 'z')))
        letters += static_cast<char>(text[i++] | 0x20);
    skipBlanks();
    const std::size_t digits = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i == digits || i - digits > 9) return d;
    for (std::size_t c = 0; c < kCatalogueNames.size(); ++c) {
        if (letters != kCatalogueNames[c].folded) continue;
        std::from_chars(text.data() + digits, text.data() + i, d.number);
        skipBlanks();
        d.suffix = text.substr(i);
        while (!d.suffix.empty() && d.suffix.back() == ' ') d.suffix.remove_suffix(1);
        d.catalogue = static_cast<int>(c);
    }
    return d;
}

// A deep-sky object's short designation as shown: "M31", "NGC 7000",
// "IC 2602", "NGC 4656-1" (the deep set writes "N4656-1").
std::string ShownDesignation(std::string_view shortDesignation) {
    const std::string_view d = shortDesignation;
    for (const char* prefix : {"NGC", "IC"})
        if (d.starts_with(prefix) && d.size() > std::string_view(prefix).size() && IsDigit(d[std::string_view(prefix).size()]))
            return std::string(prefix) + " " + std::string(d.substr(std::string_view(prefix).size()));
    if (d.size() > 1 && (d[0] == 'N' || d[0] == 'I') && IsDigit(d[1]))
        return std::string(d[0] == 'N' ? "NGC " : "IC ") + std::string(d.substr(1));
    return std::string(d);
}

constexpr double kArcsec = std::numbers::pi / (180.0 * 3600.0);

// The catalogue's stars by position, for tying the names file's stars to
// their records: bucketed by declination band (a counting sort, no search),
// so that a position is found by looking at one to three small buckets.
class StarsByPosition {
public:
    static constexpr double kBand = 20.0 * kArcsec;  // 32,400 buckets, a few stars each
    static constexpr double kTolerance = 1.0 * kArcsec;
    static constexpr std::size_t kBands = static_cast<std::size_t>(std::numbers::pi / kBand) + 3;

    explicit StarsByPosition(const StarCatalog& catalog) : first_(kBands + 1, 0) {
        std::vector<std::uint32_t> records;
        std::size_t i = 0;
        for (const StarRecord& r : catalog.Records()) {
            if (r.kind == kKindStar && !r.IsSolarPlaceholder() && std::isfinite(r.ra) && std::isfinite(r.dec) &&
                std::abs(r.dec) <= std::numbers::pi / 2) {
                records.push_back(static_cast<std::uint32_t>(i));
                ++first_[Band(r.dec) + 1];
            }
            ++i;
        }
        for (std::size_t b = 1; b <= kBands; ++b) first_[b] += first_[b - 1];
        entries_.resize(records.size());
        std::vector<std::uint32_t> next(first_.begin(), first_.end() - 1);
        for (const std::uint32_t record : records) {
            const StarRecord& r = catalog.At(record);
            entries_[next[Band(r.dec)]++] = {r.ra, r.dec, record};
        }
    }

    // The record nearest to (ra, dec) within the tolerance, or -1.
    long Find(double ra, double dec) const {
        if (!std::isfinite(ra) || !std::isfinite(dec) || std::abs(dec) > std::numbers::pi / 2) return -1;
        const double cosDec = std::cos(dec);
        long best = -1;
        double bestDistance = kTolerance * kTolerance;
        const std::size_t band = Band(dec);
        const std::size_t from = Band(std::max(dec - kTolerance, -std::numbers::pi / 2));
        const std::size_t to = Band(std::min(dec + kTolerance, std::numbers::pi / 2));
        for (std::size_t b = std::min(from, band); b <= std::max(to, band); ++b) {
            for (std::uint32_t e = first_[b]; e < first_[b + 1]; ++e) {
                const Entry& s = entries_[e];
                const double dDec = s.dec - dec;
                if (std::abs(dDec) > kTolerance) continue;
                double dRa = s.ra - ra;
                if (dRa > std::numbers::pi) dRa -= 2 * std::numbers::pi;
                if (dRa < -std::numbers::pi) dRa += 2 * std::numbers::pi;
                dRa *= cosDec;
                const double d2 = dRa * dRa + dDec * dDec;
                if (d2 <= bestDistance) bestDistance = d2, best = s.record;
            }
        }
        return best;
    }

private:
    struct Entry {
        double ra;
        double dec;
        std::uint32_t record;
    };
    static std::size_t Band(double dec) {
        return std::min(static_cast<std::size_t>((dec + std::numbers::pi / 2) / kBand), kBands - 1);
    }
    std::vector<std::uint32_t> first_;  // bucket b is entries_[first_[b], first_[b + 1])
    std::vector<Entry> entries_;
};

}  // namespace

// Fills a NameIndex; one per Build.
class NameIndexBuilder {
public:
    explicit NameIndexBuilder(NameIndex& index) : x_(index) {}

    std::uint32_t Add(SearchObject object) {
        x_.objects_.push_back(std::move(object));
        return static_cast<std::uint32_t>(x_.objects_.size() - 1);
    }

    // A name of an object: a catalogue number goes to its catalogue, any
    // other text is a key; a `prefixOnly` one is never found by a piece inside.
    void Name(std::uint32_t object, std::string_view utf8, bool prefixOnly = false) {
        std::string folded = FoldForSearch(utf8);
        if (folded.empty()) return;
        const Designation d = ParseDesignation(utf8);
        if (d.catalogue >= 0) {
            x_.numbers_[d.catalogue].push_back({d.number, !d.suffix.empty(), object});
            // "NGC 7070A" is also found whole; "NGC 702-2" is not, since
            // folded it would be "NGC 7022".
            const char first = d.suffix.empty() ? '\0' : d.suffix.front();
            if ((first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z'))
                x_.keys_.push_back({std::move(folded), object, true, false});
            return;
        }
        x_.keys_.push_back({std::move(folded), object, false, prefixOnly});
    }

    void Number(std::size_t catalogue, std::uint32_t number, std::uint32_t object) {
        x_.numbers_[catalogue].push_back({number, false, object});
    }

    void Finish() {
        auto& keys = x_.keys_;
        std::sort(keys.begin(), keys.end(), [](const NameIndex::Key& a, const NameIndex::Key& b) {
            return std::tie(a.folded, a.object, a.numbered, a.prefixOnly) <
                   std::tie(b.folded, b.object, b.numbered, b.prefixOnly);
        });  // of one name, the key found inside is kept
        keys.erase(std::unique(keys.begin(), keys.end(),
                               [](const NameIndex::Key& a, const NameIndex::Key& b) {
                                   return a.object == b.object && a.folded == b.folded;
                               }),
                   keys.end());
        std::size_t total = 0;
        for (const auto& k : keys) total += k.folded.size() + 1;
        x_.joined_.reserve(total);
        x_.starts_.reserve(keys.size());
        for (const auto& k : keys) {
            x_.starts_.push_back(static_cast<std::uint32_t>(x_.joined_.size()));
            x_.joined_ += k.folded;
            x_.joined_ += '\n';
        }
        for (auto& numbers : x_.numbers_) {
            // Suffixes in the order of their text: NGC 702, 702-1, 702-2.
            const auto before = [&](const NameIndex::Numbered& a, const NameIndex::Numbered& b) {
                if (a.number != b.number || a.suffixed != b.suffixed) return a < b;
                const int byText = x_.objects_[a.object].designation.compare(x_.objects_[b.object].designation);
                return byText != 0 ? byText < 0 : a.object < b.object;
            };
            if (!std::is_sorted(numbers.begin(), numbers.end(), before))  // HIP numbers come in order
                std::sort(numbers.begin(), numbers.end(), before);
            numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
        }
        // The order within a rank: solar bodies, constellations, then the
        // rest, named before unnamed, brighter first, then as built.
        const auto& objects = x_.objects_;
        x_.order_.resize(objects.size());
        for (std::uint32_t i = 0; i < objects.size(); ++i) {
            const SearchObject& o = objects[i];
            const std::uint64_t kind = o.kind == SearchKind::SolarBody ? 0 : o.kind == SearchKind::Constellation ? 1 : 2;
            const std::uint64_t unnamed = o.name.empty() && o.englishName.empty() ? 1 : 0;
            // Magnitude -100 .. 100 in steps of 0.001 (18 bits), unknown last.
            const std::uint64_t mag =
                std::isnan(o.mag) ? 0x3FFFF
                                  : static_cast<std::uint64_t>(std::lround((std::clamp(o.mag, -100.0, 100.0) + 100.0) * 1000.0));
            x_.order_[i] = (kind << 62) | (unnamed << 61) | (mag << 32) | i;
        }
    }

private:
    NameIndex& x_;
};

void NameIndex::Build(const StarCatalog& catalog, const std::vector<MinorBody>* minorBodies) {
    objects_.clear();
    order_.clear();
    keys_.clear();
    joined_.clear();
    starts_.clear();
    for (auto& numbers : numbers_) numbers.clear();
    objects_.reserve(kBodies.size() + kConstellationCount + catalog.Count() / 8 +
                     catalog.Names().Stars().size() + catalog.TapMarkCount());
    NameIndexBuilder b(*this);

    // The Sun, the Moon and the planets.
    for (const SolarBody& body : kBodies) {
        SearchObject o;
        o.kind = SearchKind::SolarBody;
        o.ref = static_cast<std::size_t>(body.body);
        o.name = body.japanese;
        o.englishName = body.english;
        o.mag = body.body == kSolarSun || body.body == kSolarMoon ? -6.0 : std::numeric_limits<double>::quiet_NaN();
        const std::uint32_t id = b.Add(std::move(o));
        b.Name(id, body.japanese);
        b.Name(id, body.english);
        b.Name(id, body.reading);
    }

    // The constellations, placed at their anchors when the catalogue has them.
    std::unordered_map<std::string_view, const StarRecord*> anchors;
    for (const StarRecord& r : catalog.Records())
        if (r.kind == kKindConstellationAnchor) anchors.emplace(r.ConstellationText(), &r);
    const auto& table = ConstellationTable();
    for (std::size_t row = 0; row < table.size(); ++row) {
        if (row > 0 && std::string_view(table[row].abbreviation) == table[row - 1].abbreviation) continue;
        const ConstellationNames* names = FindConstellationNames(table[row].abbreviation);
        SearchObject o;
        o.kind = SearchKind::Constellation;
        o.ref = row;
        o.designation = table[row].abbreviation;
        o.name = std::string(table[row].name) + "座";
        o.constellation = table[row].abbreviation;
        if (names) o.englishName = names->latin;
        if (const auto it = anchors.find(o.designation); it != anchors.end()) {
            o.ra = it->second->ra;
            o.dec = it->second->dec;
        }
        const std::uint32_t id = b.Add(std::move(o));
        b.Name(id, table[row].name);
        b.Name(id, std::string(table[row].name) + "座");
        b.Name(id, std::string(table[row].name) + "ざ");  // its reading, as romaji gives it ("kaniza")
        b.Name(id, table[row].abbreviation);
        if (names) {
            // "Canis Majoris" is no answer to "ori": the Latin names
            // are found whole or by their beginning.
            b.Name(id, names->latin, true);
            b.Name(id, names->genitive, true);
            b.Name(id, names->english);
        }
    }

    // The catalogue's stars and deep-sky objects. A star gets an entry when
    // it has a name or a designation, or when the names file names it.
    // The names file's stars tied to records; what the record loop needs of
    // them is kept per record, so that it reads them in its own order.
    const ExtraNames& extra = catalog.Names();
    constexpr std::uint32_t kNone = UINT32_MAX;
    std::vector<std::uint32_t> starOfRecord;   // the names file's star, or kNone
    std::vector<std::uint32_t> hipOfRecord;    // its HIP number, 0 for none
    std::vector<std::uint8_t> namedOfRecord;   // whether it has names
    std::vector<std::uint32_t> objectOfRecord;
    std::vector<std::uint32_t> recordOfStar;   // the record a names file's star is tied to, or kNone
    if (!extra.Stars().empty()) {
        recordOfStar.assign(extra.Stars().size(), kNone);
        starOfRecord.assign(catalog.Count(), kNone);
        hipOfRecord.assign(catalog.Count(), 0);
        namedOfRecord.assign(catalog.Count(), 0);
        objectOfRecord.assign(catalog.Count(), kNone);
        const StarsByPosition stars(catalog);
        for (std::uint32_t k = 0; k < extra.Stars().size(); ++k) {
            const ExtraNames::Star& s = extra.Stars()[k];
            const long record = stars.Find(s.ra, s.dec);
            if (record < 0 || starOfRecord[static_cast<std::size_t>(record)] != kNone) continue;
            starOfRecord[static_cast<std::size_t>(record)] = k;
            recordOfStar[k] = static_cast<std::uint32_t>(record);
            hipOfRecord[static_cast<std::size_t>(record)] = s.hip;
            namedOfRecord[static_cast<std::size_t>(record)] = !s.names.empty();
        }
    }
    std::unordered_map<std::string, std::uint32_t> byDesignation;  // own names' targets
    std::size_t position = 0;
    for (const StarRecord& r : catalog.Records()) {
        const std::size_t i = position++;
        const bool star = r.kind == kKindStar && !r.IsSolarPlaceholder() && !r.IsTapMark();
        if (!star && !IsDeepSkyKind(r.kind)) continue;
        const bool tied = !starOfRecord.empty() && starOfRecord[i] != kNone;
        const std::uint32_t hip = tied ? hipOfRecord[i] : 0;
        const ExtraNames::Star* more = tied && namedOfRecord[i] ? &extra.Stars()[starOfRecord[i]] : nullptr;
        if (star && !tied && !r.name && std::all_of(r.designation, r.designation + 6, [](char c) { return c == ' ' || c == '\0'; }))
            continue;  // nothing to find it by
        std::string name = r.name ? Trimmed(SjisToUtf8(*r.name)) : std::string();
        SearchObject o;
        o.kind = star ? SearchKind::Star : SearchKind::DeepSky;
        o.ref = i;
        o.constellation = std::string(r.ConstellationText());
        o.mag = HasKnownMagnitude(r.kind, r.mag) ? r.mag : std::numeric_limits<double>::quiet_NaN();
        o.ra = r.ra;
        o.dec = r.dec;
        std::string bayer, flamsteed, shortDesignation;
        if (star) {
            const std::string_view d(r.designation, sizeof r.designation);
            const std::string letter(GreekLetterForAbbreviation(d.substr(3, 3)));
            const std::string flam = Trimmed(d.substr(0, 3));
            if (!o.constellation.empty() && !letter.empty()) bayer = letter + " " + o.constellation;
            if (!o.constellation.empty() && !flam.empty() && std::all_of(flam.begin(), flam.end(), IsDigit))
                flamsteed = flam + " " + o.constellation;
            if (bayer.empty() && flamsteed.empty() && name.empty() && !tied) continue;
            o.designation = !bayer.empty()     ? bayer
                            : !flamsteed.empty() ? flamsteed
                            : hip != 0           ? "HIP " + std::to_string(hip)
                                                 : std::string();
        } else {
            shortDesignation = std::string(r.ShortDesignation());
            o.designation = ShownDesignation(shortDesignation);
        }
        if (more && !more->names.empty()) {
            if (IsAscii(more->names.front())) o.englishName = more->names.front();
            if (name.empty())
                for (const std::string& n : more->names)
                    if (!IsAscii(n)) {
                        name = n;
                        break;
                    }
        }
        o.name = name.empty() ? o.englishName : name;
        const std::uint32_t id = b.Add(std::move(o));
        if (!name.empty()) b.Name(id, name);
        if (!bayer.empty()) b.Name(id, bayer);
        if (!flamsteed.empty()) b.Name(id, flamsteed);
        if (more)
            for (const std::string& n : more->names) b.Name(id, n);
        if (tied) objectOfRecord[i] = id;
        if (star) {
            if (!bayer.empty())
                byDesignation.emplace(std::string(r.designation + 3, 3) + " " + objects_[id].constellation, id);
        } else {
            b.Name(id, objects_[id].designation);
            byDesignation.emplace(shortDesignation, id);
        }
    }
    // HIP numbers in the names file's order, which is theirs.
    for (const std::uint32_t record : recordOfStar)
        if (record != kNone && objectOfRecord[record] != kNone && hipOfRecord[record] != 0)
            b.Number(kHip, hipOfRecord[record], objectOfRecord[record]);
    for (const ExtraNames::Object& more : extra.Objects()) {
        const auto it = byDesignation.find(more.designation);
        if (it == byDesignation.end()) continue;
        SearchObject& o = objects_[it->second];
        if (!more.names.empty() && IsAscii(more.names.front()) && o.englishName.empty()) {
            o.englishName = more.names.front();
            if (o.name.empty()) o.name = o.englishName;
        }
        for (const std::string& n : more.names) b.Name(it->second, n);
    }
    for (const OwnName& own : kOwnNames)
        if (const auto it = byDesignation.find(own.designation); it != byDesignation.end())
            b.Name(it->second, own.name);

    // The user's tap marks: by label, and a text mark by its text.
    for (std::size_t t = 0; t < catalog.TapMarkCount(); ++t) {
        const StarRecord& r = catalog.TapMark(t);
        SearchObject o;
        o.kind = SearchKind::TapMark;
        o.ref = t;
        o.designation = Trimmed(SjisToUtf8(r.DesignationText()));
        if (r.kind == 3 && r.name) o.name = Trimmed(SjisToUtf8(*r.name));
        o.ra = r.ra;
        o.dec = r.dec;
        const std::uint32_t id = b.Add(std::move(o));
        b.Name(id, objects_[id].designation);
        b.Name(id, objects_[id].name);
    }
    // The comets and asteroids, by designation, name and label.
    if (minorBodies) {
        for (std::size_t i = 0; i < minorBodies->size(); ++i) {
            const MinorBody& m = (*minorBodies)[i];
            SearchObject o;
            o.kind = SearchKind::MinorBody;
            o.ref = i;
            o.designation = m.designation;
            o.name = m.name;
            const std::uint32_t id = b.Add(std::move(o));
            b.Name(id, m.designation);
            if (!m.name.empty()) b.Name(id, m.name);
            if (m.Label() != m.designation && m.Label() != m.name) b.Name(id, m.Label());
        }
    }
    b.Finish();
}

std::vector<SearchHit> NameIndex::Find(std::string_view query, std::size_t limit) const {
    const std::string folded = FoldForSearch(query);
    if (folded.empty() || limit == 0 || objects_.empty()) return {};

    // Every candidate: its rank, then a tier (names 0, numbers 1, romaji 2) and a place
    // within the tier; the best per object is kept.
    struct Candidate {
        std::uint32_t object;
        MatchRank rank;
        std::uint32_t tier;
        std::uint64_t place;
        auto Key() const { return std::tuple(static_cast<int>(rank), tier, place); }
    };
    std::vector<Candidate> candidates;
    std::vector<std::uint32_t> slot(objects_.size(), UINT32_MAX);
    const auto offer = [&](std::uint32_t object, MatchRank rank, std::uint32_t tier, std::uint64_t place) {
        const Candidate c{object, rank, tier, place};
        std::uint32_t& s = slot[object];
        if (s == UINT32_MAX) {
            s = static_cast<std::uint32_t>(candidates.size());
            candidates.push_back(c);
        } else if (c.Key() < candidates[s].Key()) {
            candidates[s] = c;
        }
    };

    // Names, whole or by their beginning.
    const auto byName = [&](std::string_view form, MatchRank best, std::uint32_t tier) {
        auto it = std::lower_bound(keys_.begin(), keys_.end(), form,
                                   [](const Key& k, std::string_view f) { return k.folded < f; });
        for (; it != keys_.end() && std::string_view(it->folded).starts_with(form); ++it) {
            const MatchRank rank = it->folded.size() == form.size() ? MatchRank::Exact : MatchRank::Prefix;
            if (it->numbered && rank != MatchRank::Exact) continue;
            offer(it->object, std::max(rank, best), tier, order_[it->object]);
        }
    };
    byName(folded, MatchRank::Exact, 0);
    for (const std::string& form : GreekPrefixForms(folded)) byName(form, MatchRank::Prefix, 0);

    // Catalogue numbers, whole or by their leading digits, in numeric order.
    std::uint32_t number = 0;
    const int catalogue = ParseNumbered(folded, number, true);
    if (catalogue >= 0) {
        const auto& numbers = numbers_[catalogue];
        std::uint32_t place = 0;
        const bool bare = folded.size() == std::string_view(kCatalogueNames[catalogue].folded).size();
        if (bare) {
            for (const Numbered& n : numbers) {
                if (place >= limit) break;
                offer(n.object, MatchRank::Prefix, 1, place++);
            }
        } else {
            // [number, number] exact, then [number * 10^k, (number + 1) * 10^k) for k = 1, 2, ...
            std::uint64_t lo = number, hi = number;
            for (int k = 0; k < 10 && lo <= UINT32_MAX && place < limit; ++k) {
                auto it = std::lower_bound(numbers.begin(), numbers.end(), Numbered{static_cast<std::uint32_t>(lo), false, 0});
                for (; it != numbers.end() && it->number <= hi && place < limit; ++it)
                    offer(it->object, k == 0 && !it->suffixed ? MatchRank::Exact : MatchRank::Prefix, 1, place++);
                if (lo == 0) break;  // "m0": no number begins with a zero
                lo *= 10;
                hi = hi * 10 + 9;
            }
        }
    }

    // Names with the query inside.
    const auto inside = [&](std::string_view form, std::uint32_t tier) {
        for (std::size_t at = joined_.find(form); at != std::string::npos; at = joined_.find(form, at + 1)) {
            const auto next = std::upper_bound(starts_.begin(), starts_.end(), static_cast<std::uint32_t>(at));
            const std::size_t key = static_cast<std::size_t>(next - starts_.begin()) - 1;
            if (starts_[key] == at || keys_[key].numbered || keys_[key].prefixOnly) continue;  // a beginning: found above
            offer(keys_[key].object, MatchRank::Substring, tier, order_[keys_[key].object]);
        }
    };
    inside(folded, 0);

    // The query typed as romaji, in kana: each rank after the direct matches.
    for (const RomajiForm& form : RomajiForms(query)) {
        byName(form.kana, form.complete ? MatchRank::Exact : MatchRank::Prefix, 2);
        inside(form.kana, 2);
    }

    const auto better = [](const Candidate& a, const Candidate& b) { return a.Key() < b.Key(); };
    if (candidates.size() > limit) {
        std::partial_sort(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(limit), candidates.end(), better);
        candidates.resize(limit);
    } else {
        std::sort(candidates.begin(), candidates.end(), better);
    }
    std::vector<SearchHit> hits;
    hits.reserve(candidates.size());
    for (const Candidate& c : candidates) hits.push_back({c.object, c.rank});
    return hits;
}

}  // namespace tavik
