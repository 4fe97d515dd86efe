// Element files of comets and asteroids: any bytes are read without undefined
// behaviour, the counts add up, and every body kept has a place, a magnitude
// and a label at a fixed moment.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "catalog/MinorBodies.h"

using namespace tavik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::istringstream in(bytes);
    const MinorBodyList list = ReadMinorBodies(in, 30.0);
    static const MinorObserver observer = ObserverAt(DateTime(2026, 12, 10, 12, 0, 0));
    for (const MinorBody& body : list.bodies) {
        const MinorPlace p = MinorBodyPlace(body, observer);
        if (!std::isfinite(p.j2000.lon) || !std::isfinite(p.j2000.lat) || !std::isfinite(p.delta) ||
            !(p.delta > 0) || std::isnan(p.magnitude))
            std::abort();
        (void)FindMinorBody(list.bodies, body.Label());
    }
    return 0;
}
