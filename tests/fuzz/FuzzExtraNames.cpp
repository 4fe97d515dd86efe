// The names file: the path reader agrees with the byte reader, a refused
// file leaves nothing, and what is read is written so that it reads back to
// the same table (and the same bytes again).

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "catalog/ExtraNames.h"

using namespace tavik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ExtraNames fromBytes, fromFile;
    std::string error;
    const bool ok = fromBytes.Parse(bytes, &error);
    const bool fileOk = fromFile.LoadFile(tavik::fuzz::WriteInput(ExtraNames::kFileName, data, size));
    if (ok != fileOk || fromBytes.Stars().size() != fromFile.Stars().size() ||
        fromBytes.Objects().size() != fromFile.Objects().size())
        std::abort();
    if (!ok) {
        if (!fromBytes.Empty() || error.empty()) std::abort();  // refused whole, and said why
        return 0;
    }
    const std::string written = fromBytes.Bytes();
    ExtraNames again;
    if (!again.Parse(written)) std::abort();
    if (again.Stars().size() != fromBytes.Stars().size() || again.Objects().size() != fromBytes.Objects().size())
        std::abort();
    for (std::size_t i = 0; i < again.Objects().size(); ++i) {
        if (again.Objects()[i].names != fromBytes.Objects()[i].names) std::abort();
    }
    if (again.Bytes() != written) std::abort();
    return 0;
}
