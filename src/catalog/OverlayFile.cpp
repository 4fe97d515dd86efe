#include "catalog/OverlayFile.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <stdexcept>

#include "catalog/ByteOrder.h"

namespace tavik {

std::string OverlayFileBytes(const PolylineData& points) {
    const std::size_t n = points.size();
    if (n > static_cast<std::size_t>(kOverlayPoints) || points.ra.size() != n || points.dec.size() != n) {
        throw std::invalid_argument("an overlay holds at most 1000 points in even arrays");
    }
    std::string out;
    out.reserve(kOverlayFileBytes);
    le::PutI32(out, static_cast<std::int32_t>(n));
    for (int i = 0; i < kOverlayPoints; ++i) le::PutI32(out, i < static_cast<int>(n) ? points.codes[static_cast<std::size_t>(i)] : 0);
    for (int i = 0; i < kOverlayPoints; ++i) le::PutF64(out, i < static_cast<int>(n) ? points.ra[static_cast<std::size_t>(i)] : 0.0);
    for (int i = 0; i < kOverlayPoints; ++i) le::PutF64(out, i < static_cast<int>(n) ? points.dec[static_cast<std::size_t>(i)] : 0.0);
    return out;
}

OverlayReadResult ReadOverlayFile(std::istream& in, PolylineData& out) {
    out = PolylineData{};
    OverlayReadResult result;
    std::string bytes(kOverlayFileBytes, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.gcount() != static_cast<std::streamsize>(bytes.size())) {
        result.error = "file too short: " + std::to_string(in.gcount()) + " of " +
                       std::to_string(kOverlayFileBytes) + " bytes";
        return result;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::int32_t n = le::GetI32(p);
    if (n < 0 || n > kOverlayPoints) {
        result.error = "point count " + std::to_string(n) + " outside 0..1000";
        return result;
    }
    const unsigned char* codes = p + 4;
    const unsigned char* ra = codes + 4 * kOverlayPoints;
    const unsigned char* dec = ra + 8 * kOverlayPoints;
    for (int i = 0; i < n; ++i) out.Add(le::GetF64(ra + 8 * i), le::GetF64(dec + 8 * i), le::GetI32(codes + 4 * i));
    result.ok = true;
    return result;
}

OverlayReadResult ReadOverlayFile(const std::filesystem::path& path, PolylineData& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        out = PolylineData{};
        return {false, "cannot open for reading"};
    }
    return ReadOverlayFile(in, out);
}

int AddInType(const std::string& path) {
    std::string lower = path;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (int type = 99; type >= 91; --type) {
        if (lower.find(".p" + std::to_string(type)) != std::string::npos) return type;
    }
    return 90;
}

}  // namespace tavik
