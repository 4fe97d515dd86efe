#pragma once
// "地平線上検索": what stands above the horizon at the view's moment and site
// (bright named stars, constellations, named deep-sky objects, the user's text
// tap marks, the planets and the Moon, the comets and asteroids loaded), each
// as the line the search list shows,
// and the jump of the magnified view to a chosen line. Pure functions of the
// catalogue, the sidereal time and the latitude; the dialog that lists the
// lines lives in the application shell.

#include <optional>
#include <string>
#include <vector>

#include "astro/DateTime.h"
#include "view/MagnifierPanelModel.h"

namespace tavik {

class StarCatalog;
struct StarRecord;
struct MinorBody;

// A loaded comet or asteroid at the search's moment: the list's text for it
// and its apparent place of date.
struct HorizonMinorBody {
    std::string label;  // "彗星 C/2020 F3 (NEOWISE)", "小惑星 (1) Ceres"
    double ra = 0.0;
    double dec = 0.0;
    double mag = 0.0;
};

// The bodies' places at the local civil time `local` (zone in hours), in
// the list's order; a body without a place (no magnitude) is left out.
std::vector<HorizonMinorBody> MinorBodiesOfDate(const std::vector<MinorBody>& bodies, const DateTime& local,
                                               int zoneHours);

// sin h = cos(theta - ra) cos dec cos phi + sin dec sin phi for the record at
// sidereal time theta and latitude phi; true when sin h >= 0. sinAltitude,
// when given, receives sin h.
bool AboveHorizonTest(const StarRecord& record, double theta, double sinPhi, double cosPhi,
                      double* sinAltitude = nullptr);

// One line of the search list.
struct HorizonEntry {
    std::string text;  // UTF-8, exactly as the list shows it
    // The record reference of the list: the catalogue position (0 or more)
    // for catalogue records and the solar-system placeholders, 0, -1, -2, ...
    // (the negated position in the tap list) for the tap marks.
    int reference = 0;
    // Which list the record is in: a tap mark's reference 0 is also the
    // first catalogue record's, so the jump goes by this, not by the sign.
    bool tapMark = false;
    // A comet or asteroid: reference is its position in the
    // HorizonMinorBody list the search was given.
    bool minorBody = false;
};

// The search in its own order: the text tap marks (when `includeTapMarks`:
// OPTION3/USR_TAP_TEXT), then the catalogue in catalogue order, then the
// placeholders of Jupiter, Mars, Saturn, Venus, Mercury and the Moon that exist
// in the catalogue, then the comets and asteroids of `minorBodies` ("  彗星
// C/2020 F3 (NEOWISE)  3.8等 45度", listed with the planets). Stars,
// constellations, tap marks and the solar system need an altitude above 5
// degrees, deep-sky objects 6 or more.
std::vector<HorizonEntry> SearchAboveHorizon(const StarCatalog& catalog, double siderealTime,
                                             double latitude, bool includeTapMarks,
                                             const std::vector<HorizonMinorBody>* minorBodies = nullptr);

// The list's order: the list box sorts its lines, so the planet and Moon lines
// (two leading blanks) and the constellation lines (one) come first. Lines
// are compared by character code, ASCII letters without regard to case;
// equal lines keep the search order.
void SortLikeTheList(std::vector<HorizonEntry>& entries);

// The search with its result sorted, as the dialog shows it.
std::vector<HorizonEntry> HorizonSearchList(const StarCatalog& catalog, double siderealTime,
                                            double latitude, bool includeTapMarks,
                                            const std::vector<HorizonMinorBody>* minorBodies = nullptr);

// The lines a filter text leaves in the list: those that contain it,
// ASCII letters without regard to case, and blanks in the filter ignored at
// both ends (an empty filter leaves every line). Used by the dialog's filter
// field; the order stays.
bool EntryMatches(const HorizonEntry& entry, const std::string& filter);

// The question before the jump: the line's text followed by "へ移動しますか？".
std::string JumpQuestion(const HorizonEntry& entry);

// The jump's view direction from an azimuth (degrees from north through
// east, as EquatorialToHorizontal gives it: -180..180): H = 90 + trunc(A),
// plus 360 when negative; facing H / 90, turn H mod 90.
MagnifierTarget JumpTarget(double azimuthRadians, double altitudeRadians);

// The target of an entry's record at the given sidereal time and latitude
// (a comet's or asteroid's from the list the search was given); nothing when
// the record no longer exists.
std::optional<MagnifierTarget> JumpTargetOf(const StarCatalog& catalog, const HorizonEntry& entry,
                                            double siderealTime, double latitude,
                                            const std::vector<HorizonMinorBody>* minorBodies = nullptr);

// Brings the Jupiter, Mars, Saturn, Venus, Mercury, Moon and Sun placeholders
// of the catalogue up to the moment: made when missing (a catalogue of fewer
// than 100 records has none, see StarCatalog::SolarPlaceholder), with their
// names, apparent positions (the Moon topocentric) and magnitudes. The caller
// holds whatever lock guards the catalogue against a running render pass.
void UpdateSolarPlaceholders(StarCatalog& catalog, const DateTime& localTime, int zoneHours,
                             double siderealTime, double latitude);

}  // namespace tavik
