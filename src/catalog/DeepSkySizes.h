#pragma once
// Apparent sizes of deep-sky objects: major and minor axis in arcminutes and
// the position angle of the major axis (degrees from north through east).
// The catalogue record has no room for them, so they live in a file of their
// own beside the catalogue (kFileName, layout in data/README.md), keyed by the
// object's short designation ("M31", "NGC7000", "IC434").
//
// A missing file means no sizes; a damaged one is refused whole.

#include <cstddef>
#include <cstdint>
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
    // File layout: the magic, a version word, the entry count, then the
    // entries sorted by designation (all little-endian).
    static constexpr char kMagic[4] = {'T', 'V', 'S', 'Z'};
    static constexpr std::uint32_t kVersion = 1;
    static constexpr std::size_t kHeaderBytes = 12;
    static constexpr std::size_t kDesignationBytes = 8;  // at most 7 characters, NUL-padded
    static constexpr std::size_t kEntryBytes = kDesignationBytes + 3 * 4;
    // Sizes beyond half the sky are not sound.
    static constexpr float kMaxArcmin = 10800.0f;
    // A file is never larger than this (about 1.6 million entries).
    static constexpr std::size_t kMaxFileBytes = 32u << 20;

    std::size_t Count() const { return sizes_.size(); }
    bool Empty() const { return sizes_.empty(); }
    void Clear() { sizes_.clear(); }

    // Keeps the size for `designation` (a later one replaces an earlier one).
    void Set(std::string_view designation, DeepSkySize size);
    // The size kept for `designation`, or nullptr.
    const DeepSkySize* Find(std::string_view designation) const;

    // Whether a size can be stored: axes finite, 0 < minor <= major <=
    // kMaxArcmin, angle finite in [0, 360); and a designation of 1..7 bytes
    // without a NUL.
    static bool SoundSize(const DeepSkySize& size);
    static bool SoundDesignation(std::string_view designation);

    // The file's bytes (entries sorted by designation, so that the bytes are
    // the same for the same table); entries that cannot be stored are left out.
    std::string Bytes() const;
    // Reads the file's bytes. A damaged image (bad magic or version, a count
    // that disagrees with the length, an unsound or unsorted entry) leaves
    // the table empty and gives false with `error` naming the problem.
    bool Parse(std::string_view bytes, std::string* error = nullptr);

    // Reads the file at `path`. A missing file leaves the table empty and is
    // not an error; a damaged one leaves it empty and gives false with
    // `error` naming the problem.
    bool LoadFile(const std::filesystem::path& path, std::string* error = nullptr);
    // Writes Bytes(); false when the file cannot be written.
    bool SaveFile(const std::filesystem::path& path) const;

private:
    std::unordered_map<std::string, DeepSkySize> sizes_;
};

}  // namespace tavik
