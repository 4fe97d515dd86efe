#include "telescope/GotoTarget.h"

#include <array>
#include <cmath>
#include <cctype>
#include <cstring>

#include "astro/Angles.h"
#include "astro/Planets.h"
#include "astro/Precession.h"
#include "astro/SunMoon.h"
#include "astro/TimeScales.h"
#include "astro/Transforms.h"
#include "catalog/ShiftJis.h"

namespace tavik {

namespace {

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";

std::string_view Trim(std::string_view s) {
    for (;;) {
        if (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
            s.remove_prefix(1);
        } else if (s.substr(0, 3) == kIdeographicSpace) {
            s.remove_prefix(3);
        } else {
            break;
        }
    }
    for (;;) {
        if (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
            s.remove_suffix(1);
        } else if (s.size() >= 3 && s.substr(s.size() - 3) == kIdeographicSpace) {
            s.remove_suffix(3);
        } else {
            break;
        }
    }
    return s;
}

// Lower-case ASCII without blanks: "NGC 7000" and "ngc7000" compare equal.
std::string Folded(std::string_view s) {
    std::string out;
    for (const char c : s) {
        if (c == ' ' || c == '\t') continue;
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

struct SolarName {
    const char* japanese;
    const char* english;
    int body;  // 0..4 planet index, kSolarMoon, kSolarSun
};
constexpr std::array<SolarName, 7> kSolarNames = {{{"太陽", "sun", kSolarSun},
                                                   {"月", "moon", kSolarMoon},
                                                   {"水星", "mercury", 0},
                                                   {"金星", "venus", 1},
                                                   {"火星", "mars", 2},
                                                   {"木星", "jupiter", 3},
                                                   {"土星", "saturn", 4}}};

GotoTarget SolarTarget(const SolarName& n, const DateTime& local, const ObservationSite& site) {
    const DateTime ut = ToUniversalTime(local, site.zoneOffsetHours);
    Spherical eq{};
    if (n.body == kSolarSun) {
        eq = SunEquatorial(ut);
    } else if (n.body == kSolarMoon) {
        const double lst = LocalSiderealTime(local, site.zoneOffsetHours, site.longitudeDegrees,
                                             site.longitudeMinutes);
        eq = MoonTopocentric(ut, lst, LatitudeRadians(site.latitudeDegrees, site.latitudeMinutes));
    } else {
        std::array<double, kPlanetCount> ra{}, dec{};
        PlanetsEquatorial(ut, ra, dec);
        eq = {ra[static_cast<std::size_t>(n.body)], dec[static_cast<std::size_t>(n.body)]};
    }
    // In the catalogue's frame, as the chart draws it: a mount that points in
    // coordinates of date gets the engine's place back from SetTarget.
    const Spherical j = DateToJ2000(eq, ut);
    return {n.japanese, j.lon, j.lat, TargetFrame::J2000};
}

bool Searchable(const StarRecord& r) { return !r.IsSolarPlaceholder() && !r.IsTapMark(); }

}  // namespace

GotoTarget TargetOfRecord(const StarRecord& record) {
    GotoTarget t;
    t.ra = record.ra;
    t.dec = record.dec;
    if (record.IsSolarPlaceholder()) {
        // A placeholder's display name starts at the designation's first byte.
        t.name = SjisToUtf8(
            std::string_view(record.designation, strnlen(record.designation, sizeof record.designation)));
        return t;
    }
    const std::string designation(Trim(record.ShortDesignation()));
    const std::string name = record.name ? std::string(Trim(SjisToUtf8(*record.name))) : std::string();
    const bool deepSky = IsDeepSkyKind(record.kind);
    if (name.empty()) {
        t.name = designation;
    } else if (deepSky && !designation.empty()) {
        t.name = designation + " " + name;
    } else {
        t.name = name;
    }
    return t;
}

std::optional<GotoTarget> FindGotoTarget(const StarCatalog& catalog, std::string_view text,
                                         const DateTime& local, const ObservationSite& site) {
    const std::string_view wanted = Trim(text);
    if (wanted.empty()) return std::nullopt;
    const std::string folded = Folded(wanted);
    for (const SolarName& n : kSolarNames) {
        if (wanted == n.japanese || folded == n.english) return SolarTarget(n, local, site);
    }
    for (const StarRecord& r : catalog.Records()) {
        if (Searchable(r) && !r.ShortDesignation().empty() && Folded(r.ShortDesignation()) == folded)
            return TargetOfRecord(r);
    }
    for (const StarRecord& r : catalog.Records()) {
        if (Searchable(r) && r.name && Trim(SjisToUtf8(*r.name)) == wanted) return TargetOfRecord(r);
    }
    return std::nullopt;
}

double TargetAltitude(const GotoTarget& target, const DateTime& local, const ObservationSite& site) {
    Spherical ofDate{target.ra, target.dec};
    if (target.frame == TargetFrame::J2000)
        ofDate = J2000ToDate(target.ra, target.dec, CenturiesForLocalTime(local, site.zoneOffsetHours));
    const double lst = LocalSiderealTime(local, site.zoneOffsetHours, site.longitudeDegrees, site.longitudeMinutes);
    return EquatorialToHorizontal(ofDate.lon, ofDate.lat, LatitudeRadians(site.latitudeDegrees, site.latitudeMinutes),
                                  lst)
        .lat;
}

bool BelowAltitudeLimit(const GotoTarget& target, const DateTime& local, const ObservationSite& site,
                        int limitDegrees) {
    return TargetAltitude(target, local, site) < limitDegrees * kDegToRad;
}

}  // namespace tavik
