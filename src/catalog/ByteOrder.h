#pragma once
// Little-endian byte assembly for Tavik's binary files. Values are built from
// and split into single bytes, so the files read and write the same on any host.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

namespace tavik::le {

inline std::uint16_t GetU16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::int16_t GetI16(const unsigned char* p) { return static_cast<std::int16_t>(GetU16(p)); }
inline std::uint32_t GetU32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::int32_t GetI32(const unsigned char* p) { return static_cast<std::int32_t>(GetU32(p)); }
inline std::uint64_t GetU64(const unsigned char* p) {
    return static_cast<std::uint64_t>(GetU32(p)) | (static_cast<std::uint64_t>(GetU32(p + 4)) << 32);
}
inline double GetF64(const unsigned char* p) { return std::bit_cast<double>(GetU64(p)); }

inline void PutU16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
inline void PutI16(std::string& out, std::int16_t v) { PutU16(out, static_cast<std::uint16_t>(v)); }
inline void PutU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
inline void PutI32(std::string& out, std::int32_t v) { PutU32(out, static_cast<std::uint32_t>(v)); }
inline void PutU64(std::string& out, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
inline void PutF64(std::string& out, double v) { PutU64(out, std::bit_cast<std::uint64_t>(v)); }

// Writes into a fixed place of an existing buffer (`out` must be large enough).
inline void SetI16(std::string& out, std::size_t at, std::int16_t v) {
    const auto u = static_cast<std::uint16_t>(v);
    out[at] = static_cast<char>(u & 0xFF);
    out[at + 1] = static_cast<char>((u >> 8) & 0xFF);
}
inline void SetI32(std::string& out, std::size_t at, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((u >> (8 * i)) & 0xFF);
}

}  // namespace tavik::le
