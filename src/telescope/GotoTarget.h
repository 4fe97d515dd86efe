#pragma once
// Goto targets from what a user names or taps: a catalogue record, or the Sun,
// the Moon or a planet computed by the astronomy engine for a moment and site.
// Free of any window, so the sky view's goto, the horizon search and tavik-cli
// share one lookup. The result says in which frame its coordinates are, which
// is what TelescopeController::SetTarget wants:
//
//   if (auto t = FindGotoTarget(catalog, "M42", local, site))
//       scope.SetTarget(t->ra, t->dec, t->frame, t->name);

#include <optional>
#include <string>
#include <string_view>

#include "astro/DateTime.h"
#include "catalog/NameIndex.h"
#include "catalog/StarCatalog.h"
#include "settings/ObservationSite.h"
#include "telescope/TelescopeController.h"

namespace tavik {

struct GotoTarget {
    std::string name;  // UTF-8, for the control dialog and the history line
    double ra = 0.0;   // radians
    double dec = 0.0;  // radians
    TargetFrame frame = TargetFrame::J2000;
};

// The target of a catalogue record (a tapped object, the Sun, the Moon and
// the planets included): J2000, as the chart keeps every record. The name is the record's name, with a deep-sky object's short designation in
// front ("M42 オリオン星雲"), or the designation alone when it has no name.
GotoTarget TargetOfRecord(const StarRecord& record);

// The target of what the name index found, by its name (a deep-sky object's
// designation in front: "M42 オリオン大星雲", "NGC 7000 北アメリカ星雲"; the
// designation alone when it has no name): J2000 at the index's place, the
// Sun, the Moon (as seen from the site) and the planets computed for the
// local civil time `local` at `site` as the chart draws them.
GotoTarget TargetOfSearchObject(const SearchObject& object, const DateTime& local, const ObservationSite& site);

// The first thing the name index finds for `text` (see NameIndex::Find: any
// name, designation or number a person may type, "m 42", "木星", "ベテ"), as
// TargetOfSearchObject gives it. nullopt when nothing matches.
std::optional<GotoTarget> FindGotoTarget(const NameIndex& index, std::string_view text, const DateTime& local,
                                         const ObservationSite& site);
// The same through an index built here over `catalog`.
std::optional<GotoTarget> FindGotoTarget(const StarCatalog& catalog, std::string_view text,
                                         const DateTime& local, const ObservationSite& site);

// The altitude (radians, no refraction) of a target at the local civil time
// `local` at `site`: a J2000 target is taken to the equinox of that moment.
double TargetAltitude(const GotoTarget& target, const DateTime& local, const ObservationSite& site);

// True when a goto to `target` at `local` would point below TS/ALT_LIMIT: the
// goto then asks first ("地平線下です。導入しますか？").
inline constexpr const char* kBelowLimitQuestion = "地平線下です。導入しますか？";
bool BelowAltitudeLimit(const GotoTarget& target, const DateTime& local, const ObservationSite& site,
                        int limitDegrees);

}  // namespace tavik
