// The fixed-array add-in overlays: ".p92"/".p99" polylines and ".p90"
// captioned polylines.

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "catalog/OverlayFile.h"

using namespace tavik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    {
        std::istringstream in(bytes);
        PolylineData points;
        const OverlayReadResult r = ReadOverlayFile(in, points);
        if (points.size() > static_cast<std::size_t>(kOverlayPoints) || (!r.ok && points.size() != 0)) std::abort();
    }
    {
        std::istringstream in(bytes);
        CaptionedOverlay overlay;
        ReadCaptionedOverlay(in, overlay);
        if (overlay.points.size() > static_cast<std::size_t>(kCaptionedOverlayPoints) || overlay.caption.size() > 32767)
            std::abort();
    }
    (void)AddInType(bytes.substr(0, 64));
    return 0;
}
