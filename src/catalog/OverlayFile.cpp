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

std::string CaptionedOverlayBytes(const CaptionedOverlay& overlay) {
    const PolylineData& p = overlay.points;
    const std::size_t n = p.size();
    if (n > static_cast<std::size_t>(kCaptionedOverlayPoints) || p.ra.size() != n || p.dec.size() != n ||
        overlay.caption.size() > 32767) {
        throw std::invalid_argument("a captioned overlay holds at most 50 points and 32767 caption characters");
    }
    std::string out;
    le::PutI32(out, static_cast<std::int32_t>(n));
    for (int i = 0; i < kCaptionedOverlayPoints; ++i) le::PutI32(out, i < static_cast<int>(n) ? p.codes[static_cast<std::size_t>(i)] : 0);
    for (int i = 0; i < kCaptionedOverlayPoints; ++i) le::PutF64(out, i < static_cast<int>(n) ? p.ra[static_cast<std::size_t>(i)] : 0.0);
    for (int i = 0; i < kCaptionedOverlayPoints; ++i) le::PutF64(out, i < static_cast<int>(n) ? p.dec[static_cast<std::size_t>(i)] : 0.0);
    le::PutI16(out, static_cast<std::int16_t>(overlay.caption.size()));
    for (char16_t c : overlay.caption) le::PutU16(out, static_cast<std::uint16_t>(c));
    return out;
}

OverlayReadResult ReadCaptionedOverlay(std::istream& in, CaptionedOverlay& out) {
    out = CaptionedOverlay{};
    OverlayReadResult result;
    constexpr std::size_t kFixed = 4 + 20 * kCaptionedOverlayPoints + 2;
    std::string bytes(kFixed, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(kFixed));
    if (in.gcount() != static_cast<std::streamsize>(kFixed)) {
        result.error = "file too short: " + std::to_string(in.gcount()) + " of " + std::to_string(kFixed) + " bytes";
        return result;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::int32_t n = le::GetI32(p);
    if (n < 0 || n > kCaptionedOverlayPoints) {
        result.error = "point count " + std::to_string(n) + " outside 0..50";
        return result;
    }
    const unsigned char* codes = p + 4;
    const unsigned char* ra = codes + 4 * kCaptionedOverlayPoints;
    const unsigned char* dec = ra + 8 * kCaptionedOverlayPoints;
    for (int i = 0; i < n; ++i) out.points.Add(le::GetF64(ra + 8 * i), le::GetF64(dec + 8 * i), le::GetI32(codes + 4 * i));
    const std::int16_t length = le::GetI16(dec + 8 * kCaptionedOverlayPoints);
    result.ok = true;
    if (length <= 0) return result;
    std::string caption(2 * static_cast<std::size_t>(length), '\0');
    in.read(caption.data(), static_cast<std::streamsize>(caption.size()));
    const auto got = static_cast<std::size_t>(in.gcount()) / 2;
    const auto* c = reinterpret_cast<const unsigned char*>(caption.data());
    for (std::size_t i = 0; i < got; ++i) out.caption.push_back(static_cast<char16_t>(le::GetU16(c + 2 * i)));
    if (got < static_cast<std::size_t>(length)) {
        result.ok = false;
        result.error = "caption cut short: " + std::to_string(got) + " of " + std::to_string(length) + " characters";
    }
    return result;
}

OverlayReadResult ReadCaptionedOverlay(const std::filesystem::path& path, CaptionedOverlay& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        out = CaptionedOverlay{};
        return {false, "cannot open for reading"};
    }
    return ReadCaptionedOverlay(in, out);
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
