#pragma once
// Names the catalogue record has no room for: the HIP numbers and English
// proper names of the stars, more Japanese names, and the English common
// names of the deep-sky objects. They live in a UTF-8 text file of its own
// beside the catalogue (kFileName, layout in data/README.md); the name index
// reads them. Stars are tied to their records by position, deep-sky objects
// by short designation ("M31", "NGC7000", as in the size file).
//
// A missing file means no extra names; a damaged one is refused whole.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

class ExtraNames {
public:
    static constexpr const char* kFileName = "taviknames.dat";

    struct Star {
        std::uint32_t hip = 0;  // 0 when none
        double ra = 0.0;        // J2000, radians, as the catalogue record holds it
        double dec = 0.0;
        std::vector<std::string> names;  // UTF-8: English proper name first, then other names
    };
    struct Object {
        std::string designation;         // short designation, 1..7 bytes
        std::vector<std::string> names;  // UTF-8: English common names, then other names
    };

    const std::vector<Star>& Stars() const { return stars_; }
    const std::vector<Object>& Objects() const { return objects_; }
    bool Empty() const { return stars_.empty() && objects_.empty(); }
    void Clear() { stars_.clear(); objects_.clear(); }
    void AddStar(Star star) { stars_.push_back(std::move(star)); }
    void AddObject(Object object) { objects_.push_back(std::move(object)); }

    // The file's bytes, and their reading. A damaged image leaves the table
    // empty and gives false with `error` naming the problem.
    std::string Bytes() const;
    bool Parse(std::string_view bytes, std::string* error = nullptr);
    // A missing file leaves the table empty and is not an error.
    bool LoadFile(const std::filesystem::path& path, std::string* error = nullptr);
    bool SaveFile(const std::filesystem::path& path) const;

private:
    std::vector<Star> stars_;
    std::vector<Object> objects_;
};

}  // namespace tavik
