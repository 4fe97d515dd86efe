#pragma once
// Names the catalogue record has no room for: the HIP numbers and English
// proper names of the stars, more Japanese names, and the English common
// names of the deep-sky objects. They live in a UTF-8 text file of its own
// beside the catalogue (kFileName, layout in data/README.md); the name index
// reads them. Stars are tied to their records by position, deep-sky objects
// by short designation ("M31", "NGC7000", as in the size file).
//
// A missing file means no extra names; a damaged one is refused whole.
//
// In `names` the first entry is the English name, "" when there is none; the
// rest are further names (Japanese ones the record has no room for, more
// English names of a deep-sky object). An entry without any name has an
// empty `names`.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/LargePageAllocator.h"

namespace tavik {

class ExtraNames {
public:
    static constexpr const char* kFileName = "taviknames.dat";
    // The first line of the file.
    static constexpr const char* kHeader = "TAVIKNAMES\t1";
    // Sane maxima: anything beyond is damage, not data.
    static constexpr std::size_t kMaxFileBytes = 16u << 20;
    static constexpr std::size_t kMaxLineBytes = 2048;
    static constexpr std::size_t kMaxNameBytes = 255;
    static constexpr std::size_t kMaxNames = 32;
    static constexpr std::size_t kMaxDesignationBytes = 7;

    struct Star {
        std::uint32_t hip = 0;  // 0 when none
        double ra = 0.0;        // J2000, radians, as the catalogue record holds it
        double dec = 0.0;
        std::vector<std::string> names;  // UTF-8: English proper name ("" for none), then other names
    };
    struct Object {
        std::string designation;         // short designation, 1..7 bytes
        std::vector<std::string> names;  // UTF-8: English common name ("" for none), then other names
    };

    // The stars live in large pages, as the catalogue's records do: the deep
    // set's 117,000 would otherwise cost thousands of page faults to fill.
    using StarList = std::vector<Star, LargePageAllocator<Star>>;
    const StarList& Stars() const { return stars_; }
    const std::vector<Object>& Objects() const { return objects_; }
    bool Empty() const { return stars_.empty() && objects_.empty(); }
    void Clear() { stars_.clear(); objects_.clear(); }
    void AddStar(Star star) { stars_.push_back(std::move(star)); }
    void AddObject(Object object) { objects_.push_back(std::move(object)); }

    // The file's bytes, and their reading. A damaged image (bad header, a
    // number or designation that does not read, a line over kMaxLineBytes,
    // a name that is not clean UTF-8, more than kMaxFileBytes) leaves the
    // table empty and gives false with `error` naming the line. Bytes()
    // leaves out what could not be read back (an unsound position or
    // designation, a name with a control character or over kMaxNameBytes).
    std::string Bytes() const;
    bool Parse(std::string_view bytes, std::string* error = nullptr);
    // A missing file leaves the table empty and is not an error.
    bool LoadFile(const std::filesystem::path& path, std::string* error = nullptr);
    bool SaveFile(const std::filesystem::path& path) const;

private:
    StarList stars_;
    std::vector<Object> objects_;
};

}  // namespace tavik
