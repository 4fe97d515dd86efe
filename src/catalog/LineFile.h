#pragma once
// Constellation line and figure files ("tavikline.dat", "tavikconste.dat"):
// an index of 150 slots (abbreviation, point count, and the file offsets of
// each slot's stroke codes, right ascensions and declinations) followed by
// the arrays. All numbers little-endian; a code of 2 ends a stroke.
//
// A file whose first slot does not begin with "And" is rejected. Reading a
// constellation never trusts the index: a point count outside 0..400 or an
// array that does not lie wholly inside the file yields nothing for that
// constellation.

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

inline constexpr int kLineFileSlots = 150;
inline constexpr std::size_t kLineFileIndexBytes = 2700;
inline constexpr int kMaxConstellationPoints = 400;
inline constexpr std::int32_t kStrokeEnd = 2;       // this point ends a stroke
inline constexpr std::int32_t kStrokeContinue = 1;  // any other value continues it

// One constellation's polyline as handed to the drawing: fixed buffers, so
// that reading while drawing allocates nothing.
struct ConstellationPolyline {
    int count = 0;
    std::array<std::int32_t, kMaxConstellationPoints> codes{};
    std::array<double, kMaxConstellationPoints> ra{};   // radians
    std::array<double, kMaxConstellationPoints> dec{};  // radians
};

// A polyline being built (by the data tools and tests).
struct PolylineData {
    std::vector<std::int32_t> codes;
    std::vector<double> ra;
    std::vector<double> dec;
    std::size_t size() const { return codes.size(); }
    void Add(double raRad, double decRad, std::int32_t code) {
        ra.push_back(raRad);
        dec.push_back(decRad);
        codes.push_back(code);
    }
};

struct LineFileSlot {
    std::string abbreviation;  // at most 3 bytes
    PolylineData points;       // at most 400 points
};

// The bytes of a line/figure file. Throws std::invalid_argument when there
// are more than 150 slots, a slot has more than 400 points or mismatched
// arrays, or the first slot is not "And". Unused slots are left blank.
std::string LineFileBytes(const std::vector<LineFileSlot>& slots);

// Decodes constellation `abbreviation` (first three bytes compared, slots
// searched from 0, first match wins) from a whole file image. False when the
// image is rejected, the constellation is absent, or its entry is unsound.
bool ReadConstellationFromImage(std::string_view image, std::string_view abbreviation,
                                ConstellationPolyline& out);

// Abbreviations of the slots of an image whose point count is in 1..400
// (for checks and tools); empty when the image is rejected.
std::vector<std::string> LineFileAbbreviations(std::string_view image);

// Reads constellations from one file in either of two modes.
//  - memory mode: the whole file is read once and kept; if it cannot be
//    allocated, memory mode is switched off for good and per-draw mode is used;
//  - per-draw mode: the file stays open and each read takes the index and
//    the three arrays of one constellation.
// In both modes the file's existence is checked first; a file that is gone
// closes the handle and yields nothing. A rejected index frees the memory
// copy or closes the handle.
class LineFileReader {
public:
    LineFileReader() = default;
    LineFileReader(std::filesystem::path path, bool memoryMode);

    void SetPath(std::filesystem::path path);
    const std::filesystem::path& Path() const { return path_; }
    void SetMemoryMode(bool memoryMode);
    bool MemoryMode() const { return memoryMode_; }
    bool InMemory() const { return inMemory_; }
    bool HandleOpen() const { return handle_.is_open(); }
    bool FileExists() const;

    // The polyline of one constellation; false when nothing is to be drawn.
    bool Read(std::string_view abbreviation, ConstellationPolyline& out);

    // For tests: makes the next memory allocation fail as if memory ran out.
    void SimulateAllocationFailureForTesting() { failNextAllocation_ = true; }

private:
    bool ReadPerDraw(std::string_view abbreviation, ConstellationPolyline& out);
    void Close();

    std::filesystem::path path_;
    bool memoryMode_ = false;
    bool inMemory_ = false;
    bool failNextAllocation_ = false;
    std::string image_;
    std::ifstream handle_;
    std::array<unsigned char, 4 * kMaxConstellationPoints> codesBuffer_{};
    std::array<unsigned char, 8 * kMaxConstellationPoints> raBuffer_{};
    std::array<unsigned char, 8 * kMaxConstellationPoints> decBuffer_{};
};

}  // namespace tavik
