#include "view/HorizonSearch.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "astro/Angles.h"
#include "astro/MinorOrbit.h"
#include "astro/Precession.h"
#include "astro/TimeScales.h"
#include "astro/Transforms.h"
#include "catalog/ConstellationTable.h"
#include "catalog/ShiftJis.h"
#include "catalog/StarCatalog.h"
#include "catalog/StarRecord.h"
#include "view/RenderContext.h"
#include "view/SolarSystemPainter.h"

namespace tavik {

namespace {

constexpr const char* kLow = "低";
constexpr const char* kBest = "◎";
constexpr const char* kPoor = "×";
constexpr const char* kFair = "○";
constexpr int kTapMarkText = 3;  // the tap-mark kind that shows a text

// The solar-system lines in the order they are added: placeholder index and
// the line's text before the altitude.
struct SolarLine {
    int index;
    const char* prefix;
};
constexpr SolarLine kSolarLines[] = {
    {3, "  木星  "}, {2, "  火星  "}, {4, "  土星  "}, {1, "  金星  "}, {0, "  水星  "}, {kSolarMoon, "  月  "},
};

const char* LowMark(int altitude) { return altitude < 20 ? kLow : " "; }

std::string NameOf(const StarRecord& r) { return r.name ? SjisToUtf8(*r.name) : std::string(); }

bool HasName(const StarRecord& r) { return r.name && !r.name->empty(); }

std::string Degrees(int altitude) { return std::to_string(altitude) + "度"; }

// The magnitude as the list shows it: the integer part (toward zero), a
// point and the first decimal. A magnitude between -1 and 0 keeps its sign
// ("-0.5"), which the integer part alone would lose.
std::string MagnitudeText(double mag) {
    const int whole = static_cast<int>(std::trunc(mag));
    // The first decimal of |mag|: a stored 4.1 is 4.0999999... and still shows 4.1.
    const int tenth = static_cast<int>(std::trunc(std::abs(mag) * 10.0 + 1e-9)) % 10;
    std::string s = (mag < 0.0 && whole == 0) ? "-0" : std::to_string(whole);
    return s + "." + std::to_string(tenth);
}

std::string DeepSkyLine(const StarRecord& r, int altitude) {
    const int magWhole = static_cast<int>(std::trunc(r.mag));
    const char* quality = (magWhole < 8 && altitude > 45) ? kBest : altitude < 15 ? kPoor : kFair;
    // An object without a known magnitude (most nebulae) shows none.
    const std::string mag = HasKnownMagnitude(r.kind, r.mag) ? MagnitudeText(r.mag) + "等 " : std::string();
    return SjisToUtf8(r.ShortDesignation()) + " " + quality + " " + NameOf(r) + "  " + mag + LowMark(altitude) +
           Degrees(altitude);
}

// Altitude in whole degrees, when the record is above the horizon.
std::optional<int> AltitudeOf(const StarRecord& r, double theta, double sinPhi, double cosPhi) {
    double s = 0.0;
    if (!AboveHorizonTest(r, theta, sinPhi, cosPhi, &s)) return std::nullopt;
    return WholeDegrees(std::asin(std::clamp(s, -1.0, 1.0)));
}

int Lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

bool LessLikeTheList(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return Lower(static_cast<unsigned char>(x)) < Lower(static_cast<unsigned char>(y));
    });
}

std::string Trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

}  // namespace

std::vector<HorizonMinorBody> MinorBodiesOfDate(const std::vector<MinorBody>& bodies, const DateTime& local,
                                               int zoneHours) {
    std::vector<HorizonMinorBody> out;
    if (bodies.empty()) return out;
    out.reserve(bodies.size());
    const MinorObserver observer = ObserverAt(ToUniversalTime(local, zoneHours));
    const double centuries = CenturiesForLocalTime(local, zoneHours);
    for (const MinorBody& b : bodies) {
        const MinorPlace p = MinorBodyPlace(b, observer);
        if (!std::isfinite(p.magnitude)) continue;
        const Spherical ofDate = J2000ToDate(p.j2000.lon, p.j2000.lat, centuries);
        out.push_back({std::string(b.kind == MinorKind::Comet ? "彗星 " : "小惑星 ") + b.Label(), ofDate.lon,
                       ofDate.lat, p.magnitude});
    }
    return out;
}

bool AboveHorizonTest(const StarRecord& r, double theta, double sinPhi, double cosPhi, double* sinAltitude) {
    const double s = std::cos(theta - r.ra) * std::cos(r.dec) * cosPhi + std::sin(r.dec) * sinPhi;
    if (sinAltitude) *sinAltitude = s;
    return s >= 0.0;
}

std::vector<HorizonEntry> SearchAboveHorizon(const StarCatalog& catalog, double theta, double latitude,
                                             bool includeTapMarks, const std::vector<HorizonMinorBody>* minorBodies) {
    const double sinPhi = std::sin(latitude), cosPhi = std::cos(latitude);
    std::vector<HorizonEntry> entries;
    entries.reserve(500);

    if (includeTapMarks) {
        for (std::size_t i = 0; i < catalog.TapMarkCount(); ++i) {
            const StarRecord& m = catalog.TapMark(i);
            if (m.kind != kTapMarkText) continue;
            const auto alt = AltitudeOf(m, theta, sinPhi, cosPhi);
            if (!alt || *alt <= 5) continue;
            entries.push_back({"R:" + NameOf(m) + " " + Degrees(*alt), -static_cast<int>(i), true});
        }
    }

    for (std::size_t i = 0; i < catalog.Count(); ++i) {
        const StarRecord& r = catalog.At(i);
        if (r.IsSolarPlaceholder()) continue;  // listed after the catalogue, by name
        const int ref = static_cast<int>(i);
        if (r.kind == kKindConstellationAnchor) {
            const auto alt = AltitudeOf(r, theta, sinPhi, cosPhi);
            if (alt && *alt > 5)
                entries.push_back({" " + NameOf(r) + "座 " + LowMark(*alt) + Degrees(*alt), ref, false});
        } else if (r.kind == kKindStar) {
            if (!(r.mag < 2.0) || !HasName(r)) continue;
            const auto alt = AltitudeOf(r, theta, sinPhi, cosPhi);
            if (alt && *alt > 5)
                entries.push_back({"恒:" + NameOf(r) + " " + LowMark(*alt) + Degrees(*alt) + " " +
                                       std::string(ConstellationNameUtf8(r.ConstellationText())),
                                   ref, false});
        } else if (HasName(r)) {
            const auto alt = AltitudeOf(r, theta, sinPhi, cosPhi);
            if (alt && *alt >= 6) entries.push_back({DeepSkyLine(r, *alt), ref, false});
        }
    }

    for (const SolarLine& line : kSolarLines) {
        const std::size_t pos = catalog.SolarPlaceholderPosition(line.index);
        if (pos == 0 || pos >= catalog.Count()) continue;
        const auto alt = AltitudeOf(catalog.At(pos), theta, sinPhi, cosPhi);
        if (alt && *alt > 5)
            entries.push_back({line.prefix + Degrees(*alt), static_cast<int>(pos), false});
    }

    if (minorBodies) {
        for (std::size_t i = 0; i < minorBodies->size(); ++i) {
            const HorizonMinorBody& b = (*minorBodies)[i];
            const double s = std::cos(theta - b.ra) * std::cos(b.dec) * cosPhi + std::sin(b.dec) * sinPhi;
            const int alt = WholeDegrees(std::asin(std::clamp(s, -1.0, 1.0)));
            if (s < 0.0 || alt <= 5) continue;
            HorizonEntry e{"  " + b.label + "  " + MagnitudeText(b.mag) + "等 " + Degrees(alt), static_cast<int>(i),
                           false};
            e.minorBody = true;
            entries.push_back(std::move(e));
        }
    }
    return entries;
}

void SortLikeTheList(std::vector<HorizonEntry>& entries) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const HorizonEntry& a, const HorizonEntry& b) { return LessLikeTheList(a.text, b.text); });
}

std::vector<HorizonEntry> HorizonSearchList(const StarCatalog& catalog, double theta, double latitude,
                                            bool includeTapMarks, const std::vector<HorizonMinorBody>* minorBodies) {
    std::vector<HorizonEntry> entries = SearchAboveHorizon(catalog, theta, latitude, includeTapMarks, minorBodies);
    SortLikeTheList(entries);
    return entries;
}

bool EntryMatches(const HorizonEntry& entry, const std::string& filter) {
    const std::string wanted = Trimmed(filter);
    if (wanted.empty()) return true;
    const auto it = std::search(entry.text.begin(), entry.text.end(), wanted.begin(), wanted.end(),
                                [](char x, char y) {
                                    return Lower(static_cast<unsigned char>(x)) ==
                                           Lower(static_cast<unsigned char>(y));
                                });
    return it != entry.text.end();
}

std::string JumpQuestion(const HorizonEntry& entry) { return entry.text + "へ移動しますか？"; }

MagnifierTarget JumpTarget(double azimuth, double altitude) {
    int h = 90 + WholeDegrees(azimuth);
    if (h < 0) h += 360;
    h %= 360;
    MagnifierTarget t;
    t.facing = h / 90;
    t.turn = h % 90;
    t.altitude = WholeDegrees(altitude);
    return t;
}

std::optional<MagnifierTarget> JumpTargetOf(const StarCatalog& catalog, const HorizonEntry& entry, double theta,
                                            double latitude, const std::vector<HorizonMinorBody>* minorBodies) {
    if (entry.minorBody) {
        if (!minorBodies || entry.reference < 0 || static_cast<std::size_t>(entry.reference) >= minorBodies->size())
            return std::nullopt;
        const HorizonMinorBody& b = (*minorBodies)[static_cast<std::size_t>(entry.reference)];
        const Spherical h = EquatorialToHorizontal(b.ra, b.dec, latitude, theta);
        return JumpTarget(h.lon, h.lat);
    }
    const StarRecord* r = nullptr;
    if (entry.tapMark) {
        const long long i = -static_cast<long long>(entry.reference);
        if (i >= 0 && static_cast<std::size_t>(i) < catalog.TapMarkCount()) r = &catalog.TapMark(i);
    } else if (entry.reference >= 0 && static_cast<std::size_t>(entry.reference) < catalog.Count()) {
        r = &catalog.At(static_cast<std::size_t>(entry.reference));
    }
    if (!r) return std::nullopt;
    const Spherical h = EquatorialToHorizontal(r->ra, r->dec, latitude, theta);
    return JumpTarget(h.lon, h.lat);
}

void UpdateSolarPlaceholders(StarCatalog& catalog, const DateTime& localTime, int zoneHours, double theta,
                             double latitude) {
    RenderContext ctx;
    ctx.localTime = localTime;
    ctx.zoneHours = zoneHours;
    ctx.localSiderealTime = theta;
    ctx.latitude = latitude;
    ctx.sinLatitude = std::sin(latitude);
    ctx.cosLatitude = std::cos(latitude);
    const SolarSystemState st = ComputeSolarSystem(ctx);
    static const char* const names[kSolarBodies] = {"水星", "金星", "火星", "木星", "土星", "", "", "月", "太陽", ""};
    auto fill = [&](int i, const SolarBodyPosition& b) {
        StarRecord& r = catalog.SolarPlaceholder(i);
        r.SetDesignation(Utf8ToSjis(names[i]));
        r.ra = b.ra;
        r.dec = b.dec;
        r.mag = b.magnitude;
    };
    for (int i = 0; i < kPlanetCount; ++i) fill(i, st.planets[static_cast<std::size_t>(i)]);
    fill(kSolarMoon, st.moon);
    fill(kSolarSun, st.sun);
}

}  // namespace tavik
