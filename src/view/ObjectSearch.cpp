#include "view/ObjectSearch.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

#include "astro/Angles.h"
#include "astro/MinorOrbit.h"
#include "astro/Planets.h"
#include "astro/Precession.h"
#include "astro/RiseSet.h"
#include "astro/TimeScales.h"
#include "astro/Transforms.h"
#include "catalog/ConstellationTable.h"
#include "catalog/StarCatalog.h"
#include "catalog/StarRecord.h"

namespace tavik {

namespace {

// How far ahead the Sun, the Moon and the planets are followed, and the step.
constexpr int kSolarSearchMinutes = 36 * 60;
constexpr int kSolarStepMinutes = 10;

// The local time `minutes` after `local`, seconds dropped.
DateTime MinutesAfter(const DateTime& local, long minutes) {
    DateTime t(local.Year(), local.Month(), local.Day(), local.Hour(), local.Minute(), 0);
    while (minutes > 0) {
        const long step = std::min(minutes, 20000L);
        t.AddOffset(DateOffset(0, 0, static_cast<int>(step), 0));
        minutes -= step;
    }
    return t;
}

struct SitePlace {
    int zone;
    int lonDegrees;
    int lonMinutes;
    double phi;
    double Lst(const DateTime& local) const { return LocalSiderealTime(local, zone, lonDegrees, lonMinutes); }
};

Spherical Horizontal(const Spherical& ofDate, double phi, double lst) {
    return EquatorialToHorizontal(ofDate.lon, ofDate.lat, phi, lst);
}

// x reduced into [0, 2pi).
double Turn(double x) {
    NormalizeAngle(x);
    return x;
}

// The next rise and set from the minutes after `local` at which they fall:
// each the first whole minute on the far side of its crossing, checked
// against the altitude that minute (`above`; the sidereal clock counts whole
// minutes).
template <class Above>
void RiseSetAt(const std::optional<double>& rise, const std::optional<double>& set, const DateTime& local,
               const Above& above, SearchResult& r) {
    const auto after = [&](double minutes, bool rising) {
        long m = std::lround(std::ceil(minutes));
        for (int i = 0; i < 3 && above(m) != rising; ++i) ++m;
        for (int i = 0; i < 3 && m > 0 && above(m - 1) == rising; ++i) --m;
        return MinutesAfter(local, m);
    };
    if (rise) r.nextRise = after(*rise, true);
    if (set) r.nextSet = after(*set, false);
}

// Whether a place of date that never crosses the horizon never sets or never rises.
bool NeverCrosses(const Spherical& ofDate, const SitePlace& site, SearchResult& r) {
    const DailyPath path = DailyPathOf(ofDate.lat, site.phi);
    r.neverSets = path == DailyPath::AlwaysAbove;
    r.neverRises = path == DailyPath::AlwaysBelow;
    return path != DailyPath::Crosses;
}

// Rise and set of a fixed place of date, from its hour angle.
void FixedRiseSet(const Spherical& ofDate, const DateTime& local, const SitePlace& site, SearchResult& r) {
    if (NeverCrosses(ofDate, site, r)) return;
    const double lst = site.Lst(local);
    RiseSetAt(FixedEventAfter(ofDate, site.phi, lst, HorizonEvent::Rise),
              FixedEventAfter(ofDate, site.phi, lst, HorizonEvent::Set), local,
              [&](long m) { return Horizontal(ofDate, site.phi, site.Lst(MinutesAfter(local, m))).lat >= 0.0; }, r);
}

// Rise and set of a comet or an asteroid, followed as it moves: whether it
// crosses the horizon at all is told from its place now.
void MinorRiseSet(const MinorBody& body, const Spherical& ofDate, const DateTime& local, const SitePlace& site,
                  SearchResult& r) {
    if (NeverCrosses(ofDate, site, r)) return;
    const MinorEventSite at{site.lonDegrees, site.lonMinutes, site.phi, site.zone};
    RiseSetAt(MinorEventAfter(body, local, at, HorizonEvent::Rise), MinorEventAfter(body, local, at, HorizonEvent::Set),
              local,
              [&](long m) {
                  const Spherical p = MinorBodyOfDate(body, local, site.zone, static_cast<double>(m));
                  return Horizontal(p, site.phi, site.Lst(MinutesAfter(local, m))).lat >= 0.0;
              },
              r);
}

// The Sun's, the Moon's or a planet's place of date at a local time.
Spherical SolarOfDate(int body, const DateTime& local, const SitePlace& site) {
    return SolarBodyOfDate(body, ToUniversalTime(local, site.zone), site.Lst(local), site.phi);
}

bool SolarAbove(int body, const DateTime& local, const SitePlace& site) {
    return Horizontal(SolarOfDate(body, local, site), site.phi, site.Lst(local)).lat >= 0.0;
}

// Rise and set of a solar body: the first crossings of the horizon in the
// next 36 hours, sampled and then narrowed down to the minute.
void SolarRiseSet(int body, const DateTime& local, bool aboveNow, const SitePlace& site, SearchResult& r) {
    bool was = aboveNow;
    bool changed = false;
    for (int m = kSolarStepMinutes; m <= kSolarSearchMinutes && !(r.nextRise && r.nextSet); m += kSolarStepMinutes) {
        const bool is = SolarAbove(body, MinutesAfter(local, m), site);
        if (is == was) continue;
        changed = true;
        // The first minute in (m - step, m] with the new state.
        int lo = m - kSolarStepMinutes, hi = m;
        while (hi - lo > 1) {
            const int mid = (lo + hi) / 2;
            (SolarAbove(body, MinutesAfter(local, mid), site) == is ? hi : lo) = mid;
        }
        auto& slot = is ? r.nextRise : r.nextSet;
        if (!slot) slot = MinutesAfter(local, hi);
        was = is;
    }
    if (!changed) (aboveNow ? r.neverSets : r.neverRises) = true;
}

std::string KindWordOf(const SearchObject& o, const StarCatalog* catalog) {
    switch (o.kind) {
    case SearchKind::SolarBody:
        return o.ref == static_cast<std::size_t>(kSolarSun)    ? "太陽"
               : o.ref == static_cast<std::size_t>(kSolarMoon) ? "月"
                                                                : "惑星";
    case SearchKind::Constellation: return "星座";
    case SearchKind::Star: return "恒星";
    case SearchKind::TapMark: return "タップマーク";
    case SearchKind::MinorBody: return "";
    case SearchKind::DeepSky:
        if (catalog && o.ref < catalog->Count()) {
            std::string word(KindWord(catalog->At(o.ref).kind));
            while (!word.empty() && word.back() == ' ') word.pop_back();
            if (!word.empty()) return word;
        }
        return "星雲・星団";
    }
    return "";
}

}  // namespace

std::string SearchMagnitudeText(double mag) {
    if (!std::isfinite(mag) || mag >= kUnknownDeepSkyMagnitude) return "";
    char buffer[32];
    // -0.01 is shown "0.0", not "-0.0".
    std::snprintf(buffer, sizeof buffer, "%.1f", std::abs(mag) < 0.05 ? 0.0 : mag);
    return buffer;
}

std::string SearchConstellationText(const std::string& abbreviation) {
    const std::string_view name = ConstellationNameUtf8(abbreviation);
    return name.empty() ? std::string() : std::string(name) + "座";
}

std::string SearchResult::ListText() const {
    std::string line = kindWord;
    const auto add = [&line](const std::string& part) {
        if (part.empty()) return;
        if (!line.empty()) line += ' ';
        line += part;
    };
    add(object.designation);
    // "月 月" and "太陽 太陽" say it once.
    if (object.name != object.designation && object.name != kindWord) add(object.name);
    if (const std::string mag = SearchMagnitudeText(object.mag); !mag.empty()) add(mag + "等");
    if (object.kind != SearchKind::Constellation) add(SearchConstellationText(object.constellation));
    if (aboveHorizon()) {
        add("高度 " + std::to_string(std::lround(std::floor(altitudeDeg))) + "°" + (neverSets ? " (沈みません)" : ""));
    } else if (neverRises) {
        add("地平線下 (昇りません)");
    } else if (nextRise) {
        char when[48];
        std::snprintf(when, sizeof when, "%d時%02d分に昇る", nextRise->Hour(), nextRise->Minute());
        add(std::string("地平線下 (") + when + ")");
    } else {
        add("地平線下");
    }
    return line;
}

std::vector<SearchResult> PlaceSearchHits(const NameIndex& index, const std::vector<SearchHit>& hits,
                                          const DateTime& local, const ObservationSite& site,
                                          const StarCatalog* catalog,
                                          const std::vector<MinorBody>* minorBodies) {
    const SitePlace place{site.zoneOffsetHours, site.longitudeDegrees, site.longitudeMinutes,
                          LatitudeRadians(site.latitudeDegrees, site.latitudeMinutes)};
    const DateTime ut = ToUniversalTime(local, site.zoneOffsetHours);
    const double lst = place.Lst(local);
    const double centuries = CenturiesForLocalTime(local, site.zoneOffsetHours);
    std::optional<MinorObserver> observer;
    std::vector<SearchResult> out;
    out.reserve(hits.size());
    for (const SearchHit& h : hits) {
        if (h.object >= index.ObjectCount()) continue;
        SearchResult r;
        r.hit = h;
        r.object = index.Object(h.object);
        r.kindWord = KindWordOf(r.object, catalog);
        const bool solar = r.object.kind == SearchKind::SolarBody;
        const MinorBody* minor = nullptr;
        const int body = static_cast<int>(std::min<std::size_t>(r.object.ref, kSolarBodies));
        Spherical ofDate{};
        if (solar) {
            // The index ranks the Sun and the Moon by the magnitude they are
            // drawn with, which is not theirs: the line shows none.
            r.object.mag = std::numeric_limits<double>::quiet_NaN();
            ofDate = SolarOfDate(body, local, place);
            const Spherical j2000 = DateToJ2000(ofDate, ut);
            r.object.ra = j2000.lon;
            r.object.dec = j2000.lat;
        } else {
            if (r.object.kind == SearchKind::MinorBody) {
                if (!minorBodies || r.object.ref >= minorBodies->size()) continue;
                const MinorBody& m = (*minorBodies)[r.object.ref];
                minor = &m;
                if (!observer) observer = ObserverAt(ut);
                const MinorPlace p = MinorBodyPlace(m, *observer);
                r.kindWord = m.kind == MinorKind::Comet ? "彗星" : "小惑星";
                r.object.ra = p.j2000.lon;
                r.object.dec = p.j2000.lat;
                r.object.mag = p.magnitude;
            }
            ofDate = J2000ToDate(r.object.ra, r.object.dec, centuries);
        }
        const Spherical horizontal = Horizontal(ofDate, place.phi, lst);
        r.altitudeDeg = horizontal.lat * kRadToDeg;
        r.azimuthDeg = Turn(horizontal.lon) * kRadToDeg;
        if (solar) {
            SolarRiseSet(body, local, r.aboveHorizon(), place, r);
        } else if (minor) {
            MinorRiseSet(*minor, ofDate, local, place, r);
        } else {
            FixedRiseSet(ofDate, local, place, r);
        }
        out.push_back(std::move(r));
    }
    return out;
}

}  // namespace tavik
