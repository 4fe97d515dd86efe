#pragma once
// Helpers for the catalogue tests: temporary folders and byte files.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "catalog/StarRecord.h"

namespace tavik::test {

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("tavik-catalog-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline StarRecord MakeStar(int number, double ra, double mag, const char* con = "Ori") {
    StarRecord r;
    r.number = static_cast<std::int16_t>(number);
    r.ra = ra;
    r.dec = 0.25;
    r.mag = mag;
    r.SetConstellation(con);
    r.SetDesignation("  9Alp");
    return r;
}

}  // namespace tavik::test
