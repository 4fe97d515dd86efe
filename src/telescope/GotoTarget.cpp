#include "telescope/GotoTarget.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "astro/Angles.h"
#include "astro/Planets.h"
#include "astro/Precession.h"
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

GotoTarget SolarTarget(int body, std::string name, const DateTime& local, const ObservationSite& site) {
    const DateTime ut = ToUniversalTime(local, site.zoneOffsetHours);
    const double lst =
        LocalSiderealTime(local, site.zoneOffsetHours, site.longitudeDegrees, site.longitudeMinutes);
    const Spherical eq =
        SolarBodyOfDate(body, ut, lst, LatitudeRadians(site.latitudeDegrees, site.latitudeMinutes));
    // In the catalogue's frame, as the chart draws it: a mount that points in
    // coordinates of date gets the engine's place back from SetTarget.
    const Spherical j = DateToJ2000(eq, ut);
    return {std::move(name), j.lon, j.lat, TargetFrame::J2000};
}

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

GotoTarget TargetOfSearchObject(const SearchObject& object, const DateTime& local, const ObservationSite& site) {
    std::string name = object.name.empty() ? object.designation : object.name;
    if (object.kind == SearchKind::DeepSky && !object.designation.empty() && !object.name.empty())
        name = object.designation + " " + object.name;
    if (object.kind == SearchKind::SolarBody) return SolarTarget(static_cast<int>(object.ref), name, local, site);
    return {name, object.ra, object.dec, TargetFrame::J2000};
}

std::optional<GotoTarget> FindGotoTarget(const NameIndex& index, std::string_view text, const DateTime& local,
                                         const ObservationSite& site) {
    const std::vector<SearchHit> hits = index.Find(text, 1);
    if (hits.empty()) return std::nullopt;
    return TargetOfSearchObject(index.Object(hits.front().object), local, site);
}

std::optional<GotoTarget> FindGotoTarget(const StarCatalog& catalog, std::string_view text,
                                         const DateTime& local, const ObservationSite& site) {
    NameIndex index;
    index.Build(catalog);
    return FindGotoTarget(index, text, local, site);
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
