#pragma once
// Add-in polyline files with fixed arrays: ".p92" (the Milky Way outline)
// and ".p99" (a plain polyline) both hold int32 n, then int32 codes[1000],
// double ra[1000] and double dec[1000] (little-endian; only the first n count;
// a code of 2 ends a stroke).

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>

#include "catalog/LineFile.h"

namespace tavik {

inline constexpr int kOverlayPoints = 1000;
inline constexpr std::size_t kOverlayFileBytes = 4 + 4 * kOverlayPoints + 16 * kOverlayPoints;

// The file bytes; throws std::invalid_argument for more than 1000 points or
// uneven arrays.
std::string OverlayFileBytes(const PolylineData& points);

struct OverlayReadResult {
    bool ok = false;
    std::string error;  // one line when not ok
};

// Reads the polyline. A count outside 0..1000 or a file too short for its
// fixed arrays is an error and yields no points.
OverlayReadResult ReadOverlayFile(std::istream& in, PolylineData& out);
OverlayReadResult ReadOverlayFile(const std::filesystem::path& path, PolylineData& out);

// ".p90": a polyline of at most 50 points with a caption: int32 n, int32
// codes[50], double ra[50], double dec[50], int16 L, then L UTF-16LE characters.
inline constexpr int kCaptionedOverlayPoints = 50;

struct CaptionedOverlay {
    PolylineData points;
    std::u16string caption;
};

// Throws std::invalid_argument for more than 50 points or a caption longer
// than 32767 characters.
std::string CaptionedOverlayBytes(const CaptionedOverlay& overlay);
// A count outside 0..50 or a file too short for the fixed arrays yields
// nothing; a negative caption length means no caption; a caption cut short by
// the end of the file keeps the characters that are there and reports an error.
OverlayReadResult ReadCaptionedOverlay(std::istream& in, CaptionedOverlay& out);
OverlayReadResult ReadCaptionedOverlay(const std::filesystem::path& path, CaptionedOverlay& out);

// Add-in type of a path: the first of ".p99", ".p98", ... ".p91" found in the
// lower-cased path gives 99 ... 91; anything else is 90.
int AddInType(const std::string& path);

}  // namespace tavik
