#pragma once
// The bundled constellation descriptions (abbreviation + ".p91"): a few plain
// Japanese sentences per constellation, made from what the catalogue holds —
// the name, the time of year it stands highest at 21:00, its brightest stars
// with their magnitudes and the deep-sky objects inside it.

#include <map>
#include <string>

#include "catalog/StarCatalog.h"

namespace tavik::skydata {

// The time of year (month 1..12 and its third: 0 上旬, 1 中旬, 2 下旬) at which
// a point of right ascension `ra` (radians) crosses the meridian at 21:00
// local mean time: the Sun's right ascension then is ra - 9h, and the Sun
// moves 2h a month from 0h on 21 March.
struct Culmination {
    int month = 1;
    int third = 0;
};
Culmination CulminationAt21(double ra);

// One text (UTF-8, lines ending in CR LF) per constellation abbreviation of
// the table, Serpens' two parts as one.
std::map<std::string, std::string> BuildDescriptions(const StarCatalog& catalog);

}  // namespace tavik::skydata
