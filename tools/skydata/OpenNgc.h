#pragma once
// The OpenNGC database (tools/skydata/openngc, CC BY-SA 4.0): the NGC and IC
// objects and the addendum, one semicolon-separated row per object.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "catalog/DeepSkySizes.h"

namespace tavik::skydata {

struct NgcRow {
    std::string name;  // "NGC0224", "IC0080 NED01", "B033"
    std::string type;  // "G", "HII", "DrkN", "Dup" ...
    double raDeg = 0;
    double decDeg = 0;
    double majorArcmin = 0;  // NaN when unknown
    double minorArcmin = 0;
    double positionAngleDeg = 0;
    double bMag = 0;
    double vMag = 0;
    int messier = 0;                       // 0 when none
    std::vector<std::string> identifiers;  // "PGC 002557", "LBN 953"
    std::vector<std::string> commonNames;  // English
};

// Reads a CSV file of the database; throws when the header is not the known
// one or a row of a deep-sky type has no sound position.
std::vector<NgcRow> ReadOpenNgc(const std::filesystem::path& csv);

// Record kind for an OpenNGC type, 0 for the rows that are not deep-sky
// objects of their own (Dup, NonEx, *, **, Nova, Other) and unknown types.
int KindForNgcType(const std::string& type);

// The short designation of a row: "M42" for a Messier object, "NGC7000",
// "IC434" (no leading zeros), a component "N3690A" / "I80-1" (NED01 as -1),
// the addendum's catalogues as in OpenNGC without leading zeros ("B33",
// "C41", "Mel111", "HCG79", "UGC5470") except ESO as "E" and PGC as "P"
// ("E97-13", "P29653") and MWSC as "MW", so that all fit seven characters.
// Throws when it does not fit.
std::string NgcDesignation(const NgcRow& row);

// The keys under which d3-celestial's dsonames.json may list the row:
// "NGC 224", "M 31", "B 33", "PGC 2557" ...
std::vector<std::string> NgcNameKeys(const NgcRow& row);

// The row's magnitude: V, else B, else nullopt.
std::optional<double> NgcMagnitude(const NgcRow& row);

// The row's size: major axis, minor axis (the major one when unknown) and
// position angle (0 when unknown); nullopt without a major axis.
std::optional<DeepSkySize> NgcSize(const NgcRow& row);

}  // namespace tavik::skydata
