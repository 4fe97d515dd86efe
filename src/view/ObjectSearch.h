#pragma once
// What the name index found, placed at a moment and a site: the line a
// result list shows (kind, designation, name, magnitude, constellation, and
// the altitude now or "地平線下" with the next rise), the object's J2000
// place (the Sun, the Moon and the planets computed for the moment) and its
// altitude. Shared by the search dialog and `tavik-cli find`.
//
// Rise and set are the moments the object's centre crosses the horizon
// (altitude 0, as the chart's horizon; no refraction). A fixed object's come
// from its hour angle at the latitude, a comet's or an asteroid's the same
// way with its place followed to the moment (MinorEventAfter); the Sun's,
// the Moon's (as seen from the site) and a planet's are searched over the
// next 36 hours, and one that stays below (above) the horizon all that time
// counts as never rising (never setting).

#include <optional>
#include <string>
#include <vector>

#include "astro/DateTime.h"
#include "catalog/NameIndex.h"
#include "settings/ObservationSite.h"

namespace tavik {

class StarCatalog;
struct MinorBody;

struct SearchResult {
    SearchHit hit;
    SearchObject object;   // a copy, with ra/dec filled in for solar bodies
    std::string kindWord;  // Japanese: "恒星", "星座", "惑星", "月", "太陽", "銀河", ... "タップマーク"
    double altitudeDeg = 0.0;  // now, at the site (the Moon topocentric)
    double azimuthDeg = 0.0;   // from north through east, 0..360
    bool aboveHorizon() const { return altitudeDeg >= 0.0; }
    // The next rise and set after the moment, local civil time to the
    // minute (seconds 0); none when the object never rises or never sets at
    // the site (then neverSets/neverRises).
    std::optional<DateTime> nextRise;
    std::optional<DateTime> nextSet;
    bool neverSets = false;
    bool neverRises = false;
    // The list line: kind, designation, name, magnitude ("1.5等"), the
    // constellation's Japanese name ("オリオン座"), then the altitude
    // ("高度 35°", "高度 35° (沈みません)") or "地平線下 (21時05分に昇る)" /
    // "地平線下 (昇りません)". Empty parts are left out.
    std::string ListText() const;
};

// The results for the hits, in their order, at the local civil time `local`
// and `site`. `catalog`, the catalogue the index was built from, gives each
// deep-sky object its own kind word ("銀河", "散開星団" ...); without it they
// are all "星雲・星団". `minorBodies`, the list the index was built with, gives
// a comet's or asteroid's place and magnitude at the moment ("彗星",
// "小惑星"; its rise and set followed with its motion).
std::vector<SearchResult> PlaceSearchHits(const NameIndex& index, const std::vector<SearchHit>& hits,
                                          const DateTime& local, const ObservationSite& site,
                                          const StarCatalog* catalog = nullptr,
                                          const std::vector<MinorBody>* minorBodies = nullptr);

// The magnitude as the result line shows it: "1.5", "-0.7"; "" when unknown.
std::string SearchMagnitudeText(double mag);
// The constellation of an abbreviation as the result line shows it
// ("オリオン座"); "" when unknown.
std::string SearchConstellationText(const std::string& abbreviation);

}  // namespace tavik
