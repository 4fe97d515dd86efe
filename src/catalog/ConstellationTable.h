#pragma once
// The fixed constellation table: 89 rows in IAU order, each the three-letter
// abbreviation and the Japanese name (Serpens has two rows, both "Ser"), and
// the twelve zodiac constellations.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace tavik {

struct ConstellationRow {
    const char* abbreviation;  // three letters
    const char* name;          // Japanese name, UTF-8
};

inline constexpr std::size_t kConstellationRows = 89;
const std::array<ConstellationRow, kConstellationRows>& ConstellationTable();

inline constexpr std::size_t kZodiacCount = 12;
const std::array<const char*, kZodiacCount>& ZodiacAbbreviations();

// The name (UTF-8) for a record's `constellation` field: "" when the first
// byte is blank or NUL or no row's abbreviation equals its first three bytes
// (case-sensitive); otherwise the first matching row's name.
std::string_view ConstellationNameUtf8(std::string_view constellationField);
// The same name in Shift-JIS, as the catalogue stores it ("" for none).
std::string ConstellationNameSjis(std::string_view constellationField);
// Index of the first row whose abbreviation equals the first three bytes, or -1.
int ConstellationRowIndex(std::string_view constellationField);

bool IsZodiac(std::string_view abbreviation);

}  // namespace tavik
