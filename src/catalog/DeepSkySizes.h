#pragma once
// Apparent sizes of deep-sky objects: major and minor axis in arcminutes and
// the position angle of the major axis (degrees from north through east).
// The catalogue record has no room for them, so they live in a file of their
// own beside the catalogue (kFileName, layout in data/README.md), keyed by the
// object's short designation ("M31", "NGC7000", "IC434").
//
// A missing file means no sizes; a damaged one is refused whole.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tavik {

struct DeepSkySize {
    float majorArcmin = 0.0f;
    float minorArcmin = 0.0f;     // equal to the major axis for a round object
    float positionAngleDeg = 0.0f;  // 0 when unknown
};

class DeepSkySizes {
public:
    static constexpr const char* kFileName = "taviksize.dat";

    std::size_t Count() const { return sizes_.size(); }
    bool Empty() const { return sizes_.empty(); }
    void Clear() { sizes_.clear(); }

    // Keeps the size for `designation` (a later one replaces an earlier one).
    void Set(std::string_view designation, DeepSkySize size);
    // The size kept for `designation`, or nullptr.
    const DeepSkySize* Find(std::string_view designation) const;

    // Reads the file at `path`. A missing file leaves the table empty and is
    // not an error; a damaged one leaves it empty and gives false with
    // `error` naming the problem.
    bool LoadFile(const std::filesystem::path& path, std::string* error = nullptr);
    // Writes the table (sorted by designation, so that the bytes are the same
    // for the same table); false when the file cannot be written.
    bool SaveFile(const std::filesystem::path& path) const;

private:
    std::unordered_map<std::string, DeepSkySize> sizes_;
};

}  // namespace tavik
