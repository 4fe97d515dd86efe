// The deep-sky size file: a file the reader takes is written back to the same
// bytes, the path reader agrees with the byte reader, and the sizes matched to
// a catalogue are the sound ones that were read.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <sstream>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "catalog/DeepSkySizes.h"
#include "catalog/StarCatalog.h"

using namespace tavik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    DeepSkySizes fromBytes, fromFile;
    const bool ok = fromBytes.Parse(bytes);
    const bool fileOk = fromFile.LoadFile(tavik::fuzz::WriteInput(DeepSkySizes::kFileName, data, size));
    if (ok != fileOk || fromBytes.Count() != fromFile.Count()) std::abort();
    if (!ok) {
        if (!fromBytes.Empty()) std::abort();  // refused whole
        return 0;
    }
    if (fromBytes.Bytes() != bytes) std::abort();  // the layout has one spelling per table

    static StarCatalog catalog = [] {
        StarCatalog c;
        std::vector<StarRecord> records(3);
        const char* names[] = {"   M31", "   NGC7000", "   IC434"};
        for (int i = 0; i < 3; ++i) {
            records[static_cast<std::size_t>(i)].kind = kKindGalaxy;
            records[static_cast<std::size_t>(i)].SetDesignation(names[i]);
        }
        std::istringstream in(RecordFileBytes(records));
        c.Load(in);
        return c;
    }();
    catalog.SetSizes(fromBytes);
    for (const StarRecord& r : catalog.Records()) {
        const DeepSkySize* s = catalog.SizeOf(r);
        if (s && !(std::isfinite(s->majorArcmin) && s->minorArcmin > 0 && s->minorArcmin <= s->majorArcmin))
            std::abort();
    }
    return 0;
}
