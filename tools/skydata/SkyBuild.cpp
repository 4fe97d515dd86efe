#include "SkyBuild.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <cmath>
#include <map>
#include <numbers>
#include <set>
#include <stdexcept>

#include "Corrections.h"
#include "Readings.h"
#include "SkyGeometry.h"
#include "catalog/ConstellationTable.h"
#include "catalog/ShiftJis.h"

namespace tavik::skydata {

using nlohmann::json;

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

// d3-celestial writes some numbers as strings; "" or a missing value is NaN.
double Number(const json& j) {
    if (j.is_number()) return j.get<double>();
    if (j.is_string()) {
        const std::string s = j.get<std::string>();
        if (s.empty()) return std::nan("");
        try {
            return std::stod(s);
        } catch (...) {
            return std::nan("");
        }
    }
    return std::nan("");
}

std::string Text(const json& object, const char* key) {
    if (!object.is_object()) return {};
    auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

std::string IdText(const json& feature) {
    const json& id = feature.at("id");
    return id.is_string() ? id.get<std::string>() : std::to_string(id.get<long long>());
}

RaDec PointOf(const json& feature) {
    const json& c = feature.at("geometry").at("coordinates");
    return FromLonLat(c.at(0).get<double>(), c.at(1).get<double>());
}

std::vector<RaDec> RingOf(const json& coordinates) {
    std::vector<RaDec> ring;
    for (const auto& p : coordinates) ring.push_back(FromLonLat(p.at(0).get<double>(), p.at(1).get<double>()));
    return ring;
}

// A Japanese name in Shift-JIS, or nothing when the source has none or it
// does not convert cleanly.
std::optional<std::string> JapaneseName(const std::string& utf8) {
    if (utf8.empty()) return std::nullopt;
    bool ok = false;
    std::string sjis = Utf8ToSjis(utf8, &ok);
    if (!ok || sjis.size() < 2 || sjis.size() > kMaxNameBytes) return std::nullopt;
    return sjis;
}

class ConstellationFinder {
public:
    explicit ConstellationFinder(const json& bounds) {
        for (const auto& f : bounds.at("features")) {
            const std::string id = IdText(f);
            for (const auto& ring : f.at("geometry").at("coordinates")) {
                // Edges along parallels are split finely so that they do not bulge.
                polygons_.push_back({id, SphericalPolygon(DensifyClosedRing(RingOf(ring), 0.5))});
                break;  // the outer ring
            }
        }
    }
    std::string Find(const RaDec& p) const {
        for (const auto& [id, polygon] : polygons_) {
            if (polygon.Contains(p)) return id;
        }
        return {};
    }

private:
    std::vector<std::pair<std::string, SphericalPolygon>> polygons_;
};

void SetPosition(StarRecord& r, const RaDec& p) {
    r.ra = p.ra * kDeg;
    r.dec = p.dec * kDeg;
}

// designation: Flamsteed number right-aligned in characters 0-2, Bayer letter
// in 3-5, character 6 blank, constellation in 7-9.
void SetStarDesignation(StarRecord& r, const std::string& flamsteed, const std::string& bayer,
                        const std::string& constellation) {
    char d[10];
    std::fill(std::begin(d), std::end(d), ' ');
    if (!flamsteed.empty() && flamsteed.size() <= 3) {
        std::copy(flamsteed.begin(), flamsteed.end(), d + 3 - flamsteed.size());
    }
    std::string letter = BayerAbbreviation(bayer);
    if (letter.empty() && !bayer.empty() && std::isalpha(static_cast<unsigned char>(bayer[0]))) {
        letter = bayer.substr(0, 1);  // Latin-letter Bayer designations ("b", "A")
    }
    letter.resize(3, ' ');
    std::copy(letter.begin(), letter.end(), d + 3);
    for (std::size_t i = 0; i < 3 && i < constellation.size(); ++i) d[7 + i] = constellation[i];
    std::copy(std::begin(d), std::end(d), r.designation);
}

// The radius in arcminutes of the region a Messier object covers: half its
// larger dimension in the source ("66x60", "13"), at least the minimum.
double MessierRegionArcmin(const json& properties) {
    double larger = 0;
    std::string dim = Text(properties, "dim");
    for (std::size_t start = 0; start < dim.size();) {
        std::size_t end = dim.find('x', start);
        if (end == std::string::npos) end = dim.size();
        const double v = Number(json(dim.substr(start, end - start)));
        if (!std::isnan(v)) larger = std::max(larger, v);
        start = end + 1;
    }
    return std::max(larger / 2, kMinMessierRegionArcmin);
}

}  // namespace

std::string SpectralFromBv(double bv) {
    if (std::isnan(bv)) return {};
    // Main-sequence B-V of each class; the nearest one is taken.
    static const std::pair<const char*, double> kClasses[] = {
        {"O5", -0.33}, {"B0", -0.30}, {"B2", -0.24}, {"B5", -0.17}, {"B8", -0.11}, {"A0", -0.01},
        {"A2", 0.05},  {"A5", 0.15},  {"A7", 0.20},  {"F0", 0.30},  {"F2", 0.35},  {"F5", 0.44},
        {"F8", 0.52},  {"G0", 0.58},  {"G2", 0.63},  {"G5", 0.68},  {"G8", 0.74},  {"K0", 0.81},
        {"K2", 0.91},  {"K3", 0.96},  {"K5", 1.15},  {"K7", 1.33},  {"M0", 1.40},  {"M2", 1.49},
        {"M5", 1.64},
    };
    const auto* best = &kClasses[0];
    for (const auto& c : kClasses) {
        if (std::abs(c.second - bv) < std::abs(best->second - bv)) best = &c;
    }
    return std::string(best->first) + " (from B-V)";
}

std::string BayerAbbreviation(const std::string& greek) {
    static const std::map<std::string, std::string> kLetters = {
        {"α", "Alp"}, {"β", "Bet"}, {"γ", "Gam"}, {"δ", "Del"}, {"ε", "Eps"}, {"ζ", "Zet"},
        {"η", "Eta"}, {"θ", "The"}, {"ι", "Iot"}, {"κ", "Kap"}, {"λ", "Lam"}, {"μ", "Mu "},
        {"ν", "Nu "}, {"ξ", "Xi "}, {"ο", "Omi"}, {"π", "Pi "}, {"ρ", "Rho"}, {"σ", "Sig"},
        {"τ", "Tau"}, {"υ", "Ups"}, {"φ", "Phi"}, {"χ", "Chi"}, {"ψ", "PSi"}, {"ω", "Ome"},
    };
    if (greek.size() < 2) return {};
    auto it = kLetters.find(greek.substr(0, 2));  // every Greek small letter is two UTF-8 bytes
    return it == kLetters.end() ? std::string() : it->second;
}

int KindForDsoType(const std::string& type) {
    if (type == "gc") return kKindGlobularCluster;
    if (type == "oc" || type == "pos") return kKindOpenCluster;
    if (type == "pn") return kKindPlanetaryNebula;
    if (type == "en" || type == "bn" || type == "rn" || type == "sfr") return kKindDiffuseNebula;
    if (type == "snr") return kKindSupernovaRemnant;
    if (type == "g" || type == "s" || type == "s0" || type == "sd" || type == "i" || type == "e" || type == "gg") {
        return kKindGalaxy;
    }
    return 0;  // dark nebulae and anything unknown are left out
}

std::vector<StarRecord> BuildCatalogue(const Sources& s, BuildStats& stats, double starLimit,
                                       bool everyDeepSkyObject, DeepSkySizes* sizes, ExtraNames* names) {
    const ConstellationFinder finder(s.bounds);
    std::vector<StarRecord> anchors;
    std::vector<StarRecord> objects;

    // Constellation anchors: the n-th source entry of an abbreviation goes to
    // the n-th table row of it (Serpens has two of each).
    std::map<std::string, int> seen;
    for (const auto& f : s.constellations.at("features")) {
        const std::string id = IdText(f);
        const int nth = seen[id]++;
        int row = -1;
        int count = 0;
        for (std::size_t i = 0; i < kConstellationRows; ++i) {
            if (id == ConstellationTable()[i].abbreviation && count++ == nth) row = static_cast<int>(i);
        }
        if (row < 0) throw std::runtime_error("constellation " + id + " is not in the table");
        StarRecord r;
        r.kind = kKindConstellationAnchor;
        r.SetConstellation(id);
        SetPosition(r, PointOf(f));
        r.mag = kAnchorMagnitude;
        r.name = Utf8ToSjis(ConstellationTable()[static_cast<std::size_t>(row)].name);
        anchors.push_back(std::move(r));
    }
    stats.anchors = static_cast<int>(anchors.size());

    // A Japanese name the source gives to several stars stays with one of
    // them: the star StarNameOwner names, else the brightest.
    std::map<std::string, std::pair<std::string, double>> nameOwners;  // name -> (HIP, mag)
    for (const auto& f : s.stars.at("features")) {
        const std::string hip = IdText(f);
        if (!s.starNames.contains(hip)) continue;
        const std::string ja = Text(s.starNames.at(hip), "ja");
        if (ja.empty()) continue;
        const double mag = Number(f.at("properties").at("mag"));
        const std::string fixedOwner = StarNameOwner(ja);
        auto [it, inserted] = nameOwners.try_emplace(ja, hip, mag);
        if (!inserted && (fixedOwner.empty() ? mag < it->second.second : hip == fixedOwner)) it->second = {hip, mag};
    }

    // The same for the English proper names (Beemim, Propus, Terebellum ...).
    std::map<std::string, std::pair<std::string, double>> englishOwners;
    for (const auto& f : s.stars.at("features")) {
        const std::string hip = IdText(f);
        if (!s.starNames.contains(hip)) continue;
        const std::string name = Text(s.starNames.at(hip), "name");
        if (name.empty()) continue;
        const double mag = Number(f.at("properties").at("mag"));
        const std::string fixedOwner = StarNameOwner(name);
        auto [it, inserted] = englishOwners.try_emplace(name, hip, mag);
        if (!inserted && (fixedOwner.empty() ? mag < it->second.second : hip == fixedOwner)) it->second = {hip, mag};
    }
    std::vector<ExtraNames::Star> starNames;

    for (const auto& f : s.stars.at("features")) {
        const double mag = Number(f.at("properties").at("mag"));
        if (std::isnan(mag) || mag > starLimit) continue;
        const RaDec p = PointOf(f);
        const std::string hip = IdText(f);
        const json* names = s.starNames.contains(hip) ? &s.starNames.at(hip) : nullptr;
        std::string constellation = names ? Text(*names, "c") : std::string();
        if (constellation.empty()) {
            constellation = finder.Find(p);
        } else {
            ++stats.boundaryChecks;
            if (finder.Find(p) == constellation) ++stats.boundaryAgreements;
        }
        StarRecord r;
        r.kind = kKindStar;
        r.mag = mag;
        SetPosition(r, p);
        r.SetConstellation(constellation);
        SetStarDesignation(r, names ? Text(*names, "flam") : "",
                           names ? CorrectedBayer(hip, Text(*names, "bayer")) : "", constellation);
        // The names file: the English name where this star owns it, and the
        // Japanese one it owns when the record cannot hold it.
        ExtraNames::Star extra{static_cast<std::uint32_t>(std::stoul(hip)), r.ra, r.dec, {}};
        if (names) {
            const std::string ja = Text(*names, "ja");
            const bool ownsJa = !ja.empty() && nameOwners.at(ja).first == hip;
            if (!ja.empty() && !ownsJa) ++stats.sharedStarNamesLeftOut;
            else r.name = JapaneseName(ja);
            const std::string english = Text(*names, "name");
            const bool ownsEnglish = !english.empty() && englishOwners.at(english).first == hip;
            std::vector<std::string> further;
            if (ownsJa && !r.name) {
                further.push_back(ja);
                ++stats.starsWithExtraJapaneseName;
            }
            if (ownsJa) {
                if (std::string kana = KanaReading(ja); !kana.empty()) {
                    further.push_back(std::move(kana));
                    ++stats.readings;
                }
            }
            if (ownsEnglish || !further.empty()) extra.names.push_back(ownsEnglish ? english : "");
            extra.names.insert(extra.names.end(), further.begin(), further.end());
            if (ownsEnglish) ++stats.starsWithEnglishName;
            else if (!english.empty()) ++stats.sharedEnglishNamesLeftOut;
        }
        if (!extra.names.empty()) ++stats.namedStars;
        starNames.push_back(std::move(extra));
        if (r.name) ++stats.starsWithJapaneseName;
        r.SetSpectral(SpectralFromBv(Number(f.at("properties").value("bv", json("")))));
        objects.push_back(std::move(r));
        ++stats.stars;
    }

    auto dsoName = [&](const std::vector<std::string>& keys) -> std::optional<std::string> {
        for (const auto& k : keys) {
            if (s.dsoNames.contains(k)) {
                if (auto n = JapaneseName(Text(s.dsoNames.at(k), "ja"))) return n;
            }
        }
        return std::nullopt;
    };
    auto makeDso = [&](const RaDec& p, const std::string& designation, int kind, double mag,
                       const std::vector<std::string>& nameKeys) -> StarRecord& {
        StarRecord r;
        r.kind = static_cast<std::int16_t>(kind);
        r.mag = mag;
        SetPosition(r, p);
        r.SetConstellation(finder.Find(p));
        char d[10] = {' ', ' ', ' '};
        std::copy_n(designation.begin(), std::min<std::size_t>(designation.size(), 7), d + 3);
        std::copy(std::begin(d), std::end(d), r.designation);
        r.name = dsoName(nameKeys);
        if (const DsoCorrection* c = FindDsoCorrection(designation)) {
            if (c->name && !*c->name) r.name.reset();
            if (c->name && *c->name) {
                r.name = JapaneseName(c->name);
                if (!r.name) throw std::runtime_error(designation + ": corrected name without a Shift-JIS form");
            }
            if (c->kind) r.kind = static_cast<std::int16_t>(c->kind);
        }
        objects.push_back(std::move(r));
        return objects.back();
    };

    // The names file's deep-sky names, by designation (UTF-8): the English
    // common names of OpenNGC, of dsonames.json and messier.json's, and the
    // Japanese names of dsonames.json under every key of the object, as far
    // as SourceDsoNamesFor takes them.
    struct DsoNames {
        std::vector<std::string> openNgc, d3, messierAlt, japanese;
    };
    std::map<std::string, DsoNames> dsoNamesOf;
    auto addUnique = [](std::vector<std::string>& list, const std::string& name) {
        if (!name.empty() && std::find(list.begin(), list.end(), name) == list.end()) list.push_back(name);
    };
    auto collectDsoNames = [&](const std::string& designation, const std::vector<std::string>& keys) {
        const SourceDsoNames taken = SourceDsoNamesFor(designation);
        if (taken == SourceDsoNames::None) return;
        DsoNames& n = dsoNamesOf[designation];
        for (const auto& k : keys) {
            if (!s.dsoNames.contains(k) || DsoNamesOfAnotherObject(k)) continue;
            addUnique(n.d3, Text(s.dsoNames.at(k), "name"));
            if (taken == SourceDsoNames::All) addUnique(n.japanese, Text(s.dsoNames.at(k), "ja"));
        }
    };

    std::map<std::string, bool> messierDesignations;
    struct Region {
        RaDec centre;
        double radiusArcmin;
        double mag;
    };
    std::vector<Region> messierRegions;
    for (const auto& f : s.messier.at("features")) {
        const auto& pr = f.at("properties");
        const std::string id = IdText(f);  // "M31"
        const std::string desig = Text(pr, "desig");
        int kind = KindForDsoType(Text(pr, "type"));
        if (kind == 0) kind = kKindOpenCluster;
        double mag = Number(pr.at("mag"));
        if (std::isnan(mag) || mag >= 99) mag = 12.0;
        makeDso(PointOf(f), id, kind, mag, {desig, "M " + id.substr(1), id});
        collectDsoNames(id, {desig, "M " + id.substr(1), id});
        addUnique(dsoNamesOf[id].messierAlt, Text(pr, "alt"));
        if (!desig.empty()) messierDesignations[desig] = true;
        messierRegions.push_back({PointOf(f), MessierRegionArcmin(pr), mag});
        ++stats.messier;
    }

    // The brighter NGC/IC objects (and the few others of ExtraDsoDesignation)
    // that have a common name. An object inside a Messier object's region
    // duplicates it (the cluster of M42's nebula, the nebulae of M45's stars)
    // and would take its taps, so it is left out.
    auto insideMessierRegion = [&](const RaDec& p) {
        return std::any_of(messierRegions.begin(), messierRegions.end(), [&](const Region& m) {
            return AngularDistanceDeg(p, m.centre) * 60 < m.radiusArcmin;
        });
    };
    std::map<std::string, bool> taken;
    for (const json* list : {&s.dsosBright, &s.dsos6}) {
        for (const auto& f : list->at("features")) {
            const std::string id = IdText(f);  // "NGC 7000"
            const std::string extra = ExtraDsoDesignation(id);
            if (id.rfind("NGC ", 0) != 0 && id.rfind("IC ", 0) != 0 && extra.empty()) continue;
            if (messierDesignations.count(id) || taken.count(id) || !s.dsoNames.contains(id)) continue;
            const auto& pr = f.at("properties");
            const double mag = Number(pr.at("mag"));
            const int kind = KindForDsoType(Text(pr, "type"));
            if (std::isnan(mag) || mag >= 99 || kind == 0) continue;
            if (insideMessierRegion(PointOf(f))) {
                ++stats.dsosInMessierRegions;
                continue;
            }
            std::string compact = extra.empty() ? id : extra;
            compact.erase(std::remove(compact.begin(), compact.end(), ' '), compact.end());
            // Designation characters 3..9; a seven-character designation
            // ("NGC7000") fills the field to its end without a NUL.
            if (compact.size() > 7) continue;
            makeDso(PointOf(f), compact, kind, mag, {id});
            collectDsoNames(compact, {id});
            taken[id] = true;
            taken[compact] = true;
            ++stats.otherDsos;
        }
    }

    // The OpenNGC objects. A row of an object made above (a Messier object,
    // by its number or by messier.json's designation such as "NGC 5866" for
    // M102; one of the named NGC/IC objects) only gives that record its size.
    // In the default set an object within kMessierNeighbourDeg of a Messier
    // object and not fainter than it would take its taps at the wide scales.
    auto outshinesMessierNeighbour = [&](const RaDec& p, double mag) {
        return std::any_of(messierRegions.begin(), messierRegions.end(), [&](const Region& m) {
            return mag <= m.mag && AngularDistanceDeg(p, m.centre) < kMessierNeighbourDeg;
        });
    };
    struct PendingObject {
        std::string designation;
        int kind;
        RaDec position;
        double mag;
        std::vector<std::string> names;
    };
    std::vector<PendingObject> pending;
    std::map<std::string, DeepSkySize> sizeOf;
    std::map<std::string, std::string> messierOfDesignation;  // "NGC 5866" -> "M102"
    for (const auto& f : s.messier.at("features")) {
        const std::string desig = Text(f.at("properties"), "desig");
        if (!desig.empty()) messierOfDesignation[desig] = IdText(f);
    }
    for (const NgcRow& row : s.openNgc) {
        if (row.type == "Dup" || row.type == "NonEx") continue;
        const std::string overridden = NgcDesignationOverride(row.name);
        std::string designation = overridden.empty() ? NgcDesignation(row) : overridden;
        const auto twin = messierOfDesignation.find(NgcNameKeys(row).at(0));
        if (twin != messierOfDesignation.end()) designation = twin->second;
        const std::optional<DeepSkySize> size = NgcSize(row);
        for (const std::string& n : row.commonNames) addUnique(dsoNamesOf[designation].openNgc, n);
        collectDsoNames(designation, NgcNameKeys(row));
        if (row.messier != 0 || twin != messierOfDesignation.end() || taken.count(designation)) {
            if (size) sizeOf[designation] = *size;
            continue;
        }
        const int kind = KindForNgcType(row.type);
        if (kind == 0) {
            ++stats.ngcNotDeepSky;
            continue;
        }
        const RaDec p{row.raDeg, row.decDeg};
        const std::optional<double> mag = NgcMagnitude(row);
        // The names it may take: the Japanese one, then the English ones
        // (those Shift-JIS can hold).
        std::vector<std::string> names;
        if (auto ja = dsoName(NgcNameKeys(row))) names.push_back(std::move(*ja));
        for (const std::string& n : row.commonNames) {
            if (auto sjis = JapaneseName(n)) names.push_back(std::move(*sjis));
        }
        if (const DsoCorrection* c = FindDsoCorrection(designation); c && c->name) {
            names.clear();
            if (*c->name) names.push_back(*JapaneseName(c->name));
        }
        if (!everyDeepSkyObject) {
            if (!(mag && *mag <= kDefaultDeepSkyMagnitudeLimit) && names.empty()) {
                ++stats.ngcFaint;
                continue;
            }
            if (insideMessierRegion(p) || outshinesMessierNeighbour(p, mag ? *mag : kUnknownDeepSkyMagnitude)) {
                ++stats.dsosInMessierRegions;
                continue;
            }
        }
        if (!taken.emplace(designation, true).second) throw std::runtime_error(designation + " twice");
        if (size) sizeOf[designation] = *size;
        pending.push_back({designation, kind, p, mag ? *mag : kUnknownDeepSkyMagnitude, std::move(names)});
    }
    // A name the sources give to several objects (the members of a group,
    // the parts of a nebula) stays with one: a record made above keeps it,
    // else the brightest; the others take their next name or none.
    std::set<std::string> usedNames;
    for (const StarRecord& r : objects) {
        if (r.name) usedNames.insert(*r.name);
    }
    std::vector<std::size_t> byMagnitude(pending.size());
    for (std::size_t i = 0; i < pending.size(); ++i) byMagnitude[i] = i;
    std::stable_sort(byMagnitude.begin(), byMagnitude.end(),
                     [&](std::size_t a, std::size_t b) { return pending[a].mag < pending[b].mag; });
    std::vector<std::optional<std::string>> chosen(pending.size());
    for (const std::size_t i : byMagnitude) {
        for (const std::string& n : pending[i].names) {
            if (usedNames.insert(n).second) {
                chosen[i] = n;
                break;
            }
        }
        if (!chosen[i] && !pending[i].names.empty()) ++stats.sharedDsoNamesLeftOut;
    }
    for (std::size_t i = 0; i < pending.size(); ++i) {
        const PendingObject& o = pending[i];
        StarRecord& r = makeDso(o.position, o.designation, o.kind, o.mag, {});
        r.name = chosen[i];
        ++stats.ngcObjects;
    }
    if (sizes) {
        sizes->Clear();
        for (const StarRecord& r : objects) {
            const auto it = sizeOf.find(std::string(r.ShortDesignation()));
            if (IsDeepSkyKind(r.kind) && it != sizeOf.end()) sizes->Set(r.ShortDesignation(), it->second);
        }
        stats.sizes = static_cast<int>(sizes->Count());
    }

    if (names) {
        names->Clear();
        std::sort(starNames.begin(), starNames.end(),
                  [](const ExtraNames::Star& a, const ExtraNames::Star& b) { return a.hip < b.hip; });
        for (ExtraNames::Star& star : starNames) names->AddStar(std::move(star));
        std::vector<ExtraNames::Object> dsos;
        for (const StarRecord& r : objects) {
            if (!IsDeepSkyKind(r.kind)) continue;
            const std::string designation(r.ShortDesignation());
            const auto found = dsoNamesOf.find(designation);
            static const DsoNames kNone;
            const DsoNames& n = found == dsoNamesOf.end() ? kNone : found->second;
            // English: dsonames.json's (the usual name) first, then
            // messier.json's and OpenNGC's, each once (apostrophes written
            // plainly, case, blanks and punctuation aside); Japanese: those the
            // record does not carry.
            std::vector<std::string> english;
            std::set<std::string> seenEnglish;
            for (const auto* list : {&n.d3, &n.messierAlt, &n.openNgc}) {
                for (std::string e : *list) {
                    for (const char* quote : {"\u00B4", "\u2019"}) {
                        for (std::size_t at; (at = e.find(quote)) != std::string::npos;) e.replace(at, std::strlen(quote), "'");
                    }
                    std::string key;
                    for (const char c : e) {
                        if (std::isalnum(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80)
                            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                    }
                    if (seenEnglish.insert(key).second) english.push_back(e);
                }
            }
            const std::string own = r.name ? SjisToUtf8(*r.name) : std::string();
            std::vector<std::string> japanese;
            for (const std::string& j : n.japanese) {
                if (j != own) japanese.push_back(j);
            }
            // The kana readings of the Japanese names, the record's own too.
            std::vector<std::string> readings;
            std::vector<std::string> japaneseNames = japanese;
            if (!own.empty() && static_cast<unsigned char>(own[0]) >= 0x80) japaneseNames.insert(japaneseNames.begin(), own);
            for (const std::string& j : japaneseNames) {
                const std::string kana = KanaReading(j);
                if (!kana.empty() && std::find(readings.begin(), readings.end(), kana) == readings.end())
                    readings.push_back(kana);
            }
            if (english.empty() && japanese.empty() && readings.empty()) continue;
            ExtraNames::Object o{designation, {english.empty() ? std::string() : english.front()}};
            o.names.insert(o.names.end(), japanese.begin(), japanese.end());
            o.names.insert(o.names.end(), readings.begin(), readings.end());
            if (!english.empty()) o.names.insert(o.names.end(), english.begin() + 1, english.end());
            stats.readings += static_cast<int>(readings.size());
            ++stats.dsosWithExtraNames;
            if (!english.empty()) ++stats.dsosWithEnglishName;
            stats.extraDsoJapaneseNames += static_cast<int>(japanese.size());
            dsos.push_back(std::move(o));
        }
        std::sort(dsos.begin(), dsos.end(), [](const ExtraNames::Object& a, const ExtraNames::Object& b) {
            return a.designation < b.designation;
        });
        for (ExtraNames::Object& o : dsos) names->AddObject(std::move(o));
    }

    std::stable_sort(objects.begin(), objects.end(),
                     [](const StarRecord& a, const StarRecord& b) { return a.mag < b.mag; });
    std::vector<StarRecord> all = std::move(anchors);
    all.insert(all.end(), std::make_move_iterator(objects.begin()), std::make_move_iterator(objects.end()));
    // `number` is 16 bits wide: records past position 32767 carry 0.
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i].number = static_cast<std::int16_t>(i + 1 <= 32767 ? i + 1 : 0);
    return all;
}

namespace {

std::vector<LineFileSlot> SlotsInTableOrder(const json& features,
                                            void (*add)(const json& geometry, PolylineData& out)) {
    std::vector<LineFileSlot> slots;
    for (const auto& row : ConstellationTable()) {
        const std::string abbreviation = row.abbreviation;
        if (!slots.empty() && slots.back().abbreviation == abbreviation) continue;  // Serpens' second row
        LineFileSlot slot{abbreviation, {}};
        for (const auto& f : features.at("features")) {
            if (IdText(f) == abbreviation) add(f.at("geometry"), slot.points);
        }
        if (slot.points.size() > static_cast<std::size_t>(kMaxConstellationPoints)) {
            throw std::runtime_error(abbreviation + " has more than 400 points");
        }
        slots.push_back(std::move(slot));
    }
    return slots;
}

void AddStroke(const std::vector<RaDec>& points, PolylineData& out) {
    if (points.size() < 2) return;
    for (std::size_t i = 0; i < points.size(); ++i) {
        out.Add(points[i].ra * kDeg, points[i].dec * kDeg, i + 1 == points.size() ? kStrokeEnd : kStrokeContinue);
    }
}

void AddLines(const json& geometry, PolylineData& out) {
    for (const auto& line : geometry.at("coordinates")) AddStroke(RingOf(line), out);
}

void AddOutline(const json& geometry, PolylineData& out) {
    const json& c = geometry.at("coordinates");
    if (c.empty()) return;
    AddStroke(DensifyClosedRing(RingOf(c.at(0)), 2.5), out);
}

}  // namespace

std::vector<LineFileSlot> BuildStickFigures(const Sources& s) { return SlotsInTableOrder(s.lines, AddLines); }

std::vector<LineFileSlot> BuildBoundaryOutlines(const Sources& s) { return SlotsInTableOrder(s.bounds, AddOutline); }

PolylineData BuildMilkyWay(const Sources& s, int maxPoints) {
    std::vector<std::vector<RaDec>> rings;
    for (const auto& f : s.milkyWay.at("features")) {
        if (IdText(f) != "ol1") continue;
        for (const auto& polygon : f.at("geometry").at("coordinates")) {
            for (const auto& ring : polygon) rings.push_back(RingOf(ring));
        }
    }
    auto thin = [&](double minDeg) {
        PolylineData out;
        for (const auto& ring : rings) {
            const auto kept = ThinClosedRing(ring, minDeg);
            if (kept.size() >= 5) AddStroke(kept, out);
        }
        return out;
    };
    // The smallest spacing (to 0.01 degree) that fits.
    double low = 0.01, high = 30.0;
    for (int i = 0; i < 40; ++i) {
        const double mid = (low + high) / 2;
        if (static_cast<int>(thin(mid).size()) > maxPoints) low = mid;
        else high = mid;
    }
    return thin(high);
}

}  // namespace tavik::skydata
