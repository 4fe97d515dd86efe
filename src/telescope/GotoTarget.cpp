#include "telescope/GotoTarget.h"

#include <cstring>
#include <vector>

#include "astro/Planets.h"
#include "astro/Precession.h"
#include "astro/TimeScales.h"
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

GotoTarget TargetOfSearchObject(const StarCatalog& catalog, const SearchObject& object, const DateTime& local,
                                const ObservationSite& site) {
    const std::string shown = object.name.empty() ? object.designation : object.name;
    switch (object.kind) {
    case SearchKind::SolarBody: return SolarTarget(static_cast<int>(object.ref), shown, local, site);
    case SearchKind::Star:
    case SearchKind::DeepSky:
        if (object.ref < catalog.Count()) {
            const StarRecord& record = catalog.At(object.ref);
            GotoTarget t = TargetOfRecord(record);
            // A name the catalogue lacks (an English one, a Bayer letter) from the index.
            const bool named = record.name && !Trim(*record.name).empty();
            if (object.kind == SearchKind::Star) {
                t.name = shown;
            } else if (!named && !object.name.empty()) {
                t.name += (t.name.empty() ? "" : " ") + object.name;
            }
            return t;
        }
        break;
    case SearchKind::Constellation:
    case SearchKind::TapMark: break;
    }
    return {shown, object.ra, object.dec, TargetFrame::J2000};
}

std::optional<GotoTarget> FindGotoTarget(const StarCatalog& catalog, const NameIndex& index, std::string_view text,
                                         const DateTime& local, const ObservationSite& site) {
    const std::vector<SearchHit> hits = index.Find(Trim(text), 1);
    if (hits.empty()) return std::nullopt;
    return TargetOfSearchObject(catalog, index.Object(hits.front().object), local, site);
}

std::optional<GotoTarget> FindGotoTarget(const StarCatalog& catalog, std::string_view text,
                                         const DateTime& local, const ObservationSite& site) {
    NameIndex index;
    index.Build(catalog);
    return FindGotoTarget(catalog, index, text, local, site);
}

}  // namespace tavik
