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

// The target of what the name index found: a catalogue record as
// TargetOfRecord gives it; the Sun, the Moon (as seen from the site) or a
// planet computed for the local civil time `local` at `site`, in J2000 as the
// chart draws them; a constellation or a tap mark at the index's place, by
// its name.
GotoTarget TargetOfSearchObject(const StarCatalog& catalog, const SearchObject& object, const DateTime& local,
                                const ObservationSite& site);

// The first thing the name index finds for `text` (see NameIndex::Find: any
// name, designation or number a person may type, "m 42", "木星", "ベテ"), as
// TargetOfSearchObject gives it. `index` is built from `catalog`. nullopt when
// nothing matches.
std::optional<GotoTarget> FindGotoTarget(const StarCatalog& catalog, const NameIndex& index, std::string_view text,
                                         const DateTime& local, const ObservationSite& site);
// The same through an index built here over `catalog`.
std::optional<GotoTarget> FindGotoTarget(const StarCatalog& catalog, std::string_view text,
                                         const DateTime& local, const ObservationSite& site);

}  // namespace tavik
