#pragma once
// Turns the d3-celestial data files into Tavik's records, constellation
// polylines and the Milky Way outline.

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "OpenNgc.h"
#include "catalog/DeepSkySizes.h"
#include "catalog/ExtraNames.h"
#include "catalog/LineFile.h"
#include "catalog/StarRecord.h"

namespace tavik::skydata {

struct Sources {
    nlohmann::json stars;           // stars.8.json (stars.14.json for the deep set)
    nlohmann::json starNames;       // starnames.json
    nlohmann::json constellations;  // constellations.json
    nlohmann::json lines;           // constellations.lines.json
    nlohmann::json bounds;          // constellations.bounds.json
    nlohmann::json messier;         // messier.json
    nlohmann::json dsosBright;      // dsos.bright.json
    nlohmann::json dsos6;           // dsos.6.json
    nlohmann::json dsoNames;        // dsonames.json
    nlohmann::json milkyWay;        // mw.json
    std::vector<NgcRow> openNgc;    // OpenNGC's NGC.csv, then addendum.csv
};

struct BuildStats {
    int stars = 0;
    int starsWithJapaneseName = 0;
    int anchors = 0;
    int messier = 0;
    int otherDsos = 0;
    // Left out: deep-sky objects inside a Messier object's region, and the
    // Japanese names of stars that share them with the star they belong to.
    int dsosInMessierRegions = 0;
    // OpenNGC rows made into records, rows that are not deep-sky objects of
    // their own, rows left out of the default set for being faint and
    // nameless, and the sizes written.
    int ngcObjects = 0;
    int ngcNotDeepSky = 0;
    int ngcFaint = 0;
    int sizes = 0;
    int sharedDsoNamesLeftOut = 0;
    int sharedStarNamesLeftOut = 0;
    // The names file: stars listed (every star record), with an English
    // name, with a Japanese name the record could not hold; deep-sky objects
    // with extra names, and how many of them have an English name.
    int namedStars = 0;
    int starsWithEnglishName = 0;
    int sharedEnglishNamesLeftOut = 0;
    int starsWithExtraJapaneseName = 0;
    int dsosWithExtraNames = 0;
    int dsosWithEnglishName = 0;
    int extraDsoJapaneseNames = 0;
    int readings = 0;  // kana readings of names with kanji
    // Stars whose constellation the source names, and how many of them the
    // boundary polygons place in that same constellation (a self-check).
    int boundaryChecks = 0;
    int boundaryAgreements = 0;
};

inline constexpr double kStarMagnitudeLimit = 6.5;
// The deep set keeps every star the view can ever draw: the faintest limit is
// magnitude 11 ("all stars"), and a star is drawn up to half a magnitude past it.
inline constexpr double kDeepStarMagnitudeLimit = 11.5;
inline constexpr double kAnchorMagnitude = 9.0;
// The default set keeps the OpenNGC objects to this magnitude (V, else B) and
// those with a common name; the deep set keeps them all.
inline constexpr double kDefaultDeepSkyMagnitudeLimit = 10.0;
// The default set also leaves out an object this close to a Messier object
// (degrees) unless it is fainter: it would take the Messier object's taps.
inline constexpr double kMessierNeighbourDeg = 0.5;

// The catalogue records: constellation anchors first, then stars and deep-sky
// objects from the brightest to the faintest (the view draws from the last
// record to the first, so bright objects end up on top); `number` is the
// position counted from 1 while it fits 16 bits, 0 beyond. Stars fainter than
// `starLimit` are left out. With `everyDeepSkyObject` every deep-sky object
// of OpenNGC is kept (the deep set), else only the Messier objects, the
// brighter ones and the named ones outside the Messier objects' regions.
// `sizes`, when given, receives the size of every deep-sky record that has one.
// `names`, when given, receives the names file: every star record with its
// HIP number, position, English proper name and a Japanese name the record
// could not hold, sorted by HIP number; every deep-sky record with English
// common names or Japanese names beyond its own, sorted by designation.
std::vector<StarRecord> BuildCatalogue(const Sources& s, BuildStats& stats,
                                       double starLimit = kStarMagnitudeLimit, bool everyDeepSkyObject = false,
                                       DeepSkySizes* sizes = nullptr, ExtraNames* names = nullptr);

// The spectral class for a B-V colour index ("" when there is none).
std::string SpectralFromBv(double bv);
// The three-letter Bayer abbreviation for a Greek letter (UTF-8, superscript
// digits ignored), "" when the text is not a Greek letter.
std::string BayerAbbreviation(const std::string& greek);
// Record kind for a d3-celestial object type, 0 when the type is left out.
int KindForDsoType(const std::string& type);

// One slot per table abbreviation (Serpens' two parts share the slot "Ser").
std::vector<LineFileSlot> BuildStickFigures(const Sources& s);
std::vector<LineFileSlot> BuildBoundaryOutlines(const Sources& s);

// The faintest Milky Way outline, thinned to at most `maxPoints` points.
PolylineData BuildMilkyWay(const Sources& s, int maxPoints);

}  // namespace tavik::skydata
