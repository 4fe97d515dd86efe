#pragma once
// Where the source data is wrong or silent. The Japanese names and the object
// types of the deep-sky list were checked object by object against the common
// Japanese names and the objects' nature; the stars that share a Japanese name
// in the source were given back to the star the name belongs to.

#include <string>
#include <string_view>

namespace tavik::skydata {

struct DsoCorrection {
    const char* designation;  // as written in the record: "M11", "NGC6281"
    const char* name;         // UTF-8; nullptr keeps the source's name, "" removes it
    int kind;                 // 0 keeps the kind of the source's type
};

// The correction for a deep-sky designation, or nullptr.
const DsoCorrection* FindDsoCorrection(std::string_view designation);

// The designation for a bright deep-sky object outside the NGC and IC
// catalogues that is kept ("PGC 17223" is the Large Magellanic Cloud, "LMC"),
// "" for every other source id.
std::string ExtraDsoDesignation(std::string_view sourceId);

// The designation for an OpenNGC row that stands for an object the
// catalogue already knows by another one ("ESO056-115" is "LMC"), "" otherwise.
std::string NgcDesignationOverride(std::string_view ngcName);

// Which of dsonames.json's names of a deep-sky object the names file takes.
// Where a correction removes the source's name, its entry is another
// object's (M84's is the chain of galaxies), so none; where a correction
// replaces it, the English one, and the Japanese one only where it is
// another good name ("オリオン星雲" beside "オリオン大星雲"), not where it is
// wrong (M11's "わし星団") or a bare letter (NGC869's "h"); Mel111's
// "Ariadne's Hair" is an old name of the constellation, so none.
enum class SourceDsoNames { All, EnglishOnly, None };
SourceDsoNames SourceDsoNamesFor(std::string_view designation);

// Whether dsonames.json's entry under `key` ("NGC 300") is another object's
// (M83's names under NGC 300, NGC 3115's "Spindle Galaxy" under NGC 2686,
// NGC 4490's "Cocoon Galaxy" under NGC 4990): the names file leaves it out.
bool DsoNamesOfAnotherObject(std::string_view key);

// The katakana reading of a name that MeCab with IPAdic misreads ("雲" alone
// as クモ, "星" as ボシ, "五つ子" without its voicing), "" where we know no
// sure reading (no reading is written), or nullptr where MeCab reads it right.
const char* ReadingCorrection(std::string_view name);

// The Hipparcos number of the star that carries a Japanese (or English) name
// which the source gives to several stars, where that is not simply the brightest of
// them (the name the IAU gave to a fainter one); "" when the brightest keeps it.
std::string StarNameOwner(std::string_view japaneseName);

// A Bayer letter the source spells wrongly, corrected (HIP 20535 is υ3 Eri,
// written "undefined3"); otherwise the letter as given.
std::string CorrectedBayer(std::string_view hip, const std::string& bayer);

// The smallest region, in arcminutes, a Messier object is taken to cover
// when the source gives its size as smaller or not at all.
inline constexpr double kMinMessierRegionArcmin = 5.0;

}  // namespace tavik::skydata
