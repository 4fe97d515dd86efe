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

// Looks `text` up, trimmed of blanks (ASCII and ideographic):
//  1. "太陽", "月", "水星", "金星", "火星", "木星", "土星" (or Sun, Moon, Mercury,
//     Venus, Mars, Jupiter, Saturn in any case): computed for the local civil
//     time `local` at `site` and given in J2000 as the chart draws them; the
//     Moon as seen from the site;
//  2. the short designation of a catalogue record (designation from its
//     fourth character: "M42", "NGC7000", "Alp CMa"), case and blanks ignored;
//  3. the name of a catalogue record ("シリウス"), exactly.
// The first record in catalogue order wins; tap marks and the placeholders of
// the catalogue are not searched. nullopt when nothing matches.
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
