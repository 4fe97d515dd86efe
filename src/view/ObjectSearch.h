#pragma once
// What the name index found, placed at a moment and a site: the line a
// result list shows (kind, designation, name, magnitude, constellation, and
// the altitude now or "地平線下" with the next rise), the object's J2000
// place (the Sun, the Moon and the planets computed for the moment) and its
// altitude. Shared by the search dialog and `tavik-cli find`.

#include <optional>
#include <string>
#include <vector>

#include "astro/DateTime.h"
#include "catalog/NameIndex.h"
#include "settings/ObservationSite.h"

namespace tavik {

class StarCatalog;

struct SearchResult {
    SearchHit hit;
    SearchObject object;   // a copy, with ra/dec filled in for solar bodies
    std::string kindWord;  // Japanese: "恒星", "星座", "惑星", "月", "太陽", "銀河", ... "タップマーク"
    double altitudeDeg = 0.0;  // now, at the site (the Moon topocentric)
    double azimuthDeg = 0.0;   // from north through east
    bool aboveHorizon() const { return altitudeDeg >= 0.0; }
    // The next rise and set after the moment, local civil time; none when the
    // object never rises or never sets at the site (then neverSets/neverRises).
    std::optional<DateTime> nextRise;
    std::optional<DateTime> nextSet;
    bool neverSets = false;
    bool neverRises = false;
    // The list line: kind, designation, name, magnitude, constellation, then
    // the altitude ("高度 35°") or "地平線下" with "HH時MM分に昇る" / "沈みません" / "昇りません".
    std::string ListText() const;
};

// The results for the hits, in their order, at the local civil time `local`
// and `site`.
std::vector<SearchResult> PlaceSearchHits(const NameIndex& index, const std::vector<SearchHit>& hits,
                                          const DateTime& local, const ObservationSite& site);

}  // namespace tavik
