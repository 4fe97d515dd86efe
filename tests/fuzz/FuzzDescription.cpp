// Constellation description files: UTF-16 with its mark, or Shift-JIS.

#include <cstdint>

#include "FuzzSupport.h"
#include "catalog/Description.h"
#include "catalog/ShiftJis.h"

using namespace tavik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Description d = ReadDescription(tavik::fuzz::WriteInput("Ori.p91", data, size));
    // What the description dialog does with the text: shown, and written back.
    if (!d.unicode) (void)Utf16ToSjis(d.text);
    return 0;
}
