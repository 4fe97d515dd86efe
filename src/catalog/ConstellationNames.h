#pragma once
// The Latin and English names of the 88 constellations, for the name index:
// "Orion", genitive "Orionis" (as in "Alpha Orionis"), English "Orion".
// Serpens is one row; the Japanese names are in ConstellationTable.

#include <array>
#include <cstddef>
#include <string_view>

namespace tavik {

struct ConstellationNames {
    const char* abbreviation;  // three letters, as in ConstellationTable
    const char* latin;         // ASCII ("Bootes")
    const char* genitive;      // Latin genitive, ASCII
    const char* english;
};

inline constexpr std::size_t kConstellationCount = 88;
const std::array<ConstellationNames, kConstellationCount>& ConstellationNameTable();

// The row for a three-letter abbreviation (case-sensitive), or nullptr.
const ConstellationNames* FindConstellationNames(std::string_view abbreviation);

}  // namespace tavik
