// Constellation line and figure files, in memory mode and in per-draw mode:
// both must yield the same polyline for every constellation.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "catalog/LineFile.h"

using namespace tavik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view image(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> names = LineFileAbbreviations(image);
    for (const char* n : {"And", "Ori", "UMa", "Cas", "\0\0\0"}) names.emplace_back(n, 3);
    const auto path = tavik::fuzz::WriteInput("tavikline.dat", data, size);
    LineFileReader memory(path, true), perDraw(path, false);
    static ConstellationPolyline a, b, c;
    for (const std::string& name : names) {
        const bool fromImage = ReadConstellationFromImage(image, name, a);
        const bool fromMemory = memory.Read(name, b);
        const bool fromFile = perDraw.Read(name, c);
        if (fromImage != fromMemory || fromImage != fromFile || a.count != b.count || a.count != c.count) std::abort();
        const auto n = static_cast<std::size_t>(a.count);
        if (std::memcmp(a.codes.data(), c.codes.data(), n * sizeof a.codes[0]) != 0 ||
            std::memcmp(a.ra.data(), c.ra.data(), n * sizeof a.ra[0]) != 0 ||
            std::memcmp(a.dec.data(), c.dec.data(), n * sizeof a.dec[0]) != 0)
            std::abort();
    }
    return 0;
}
