// The JPEG picture loader (deep-sky and planet pictures).

#include <cstdint>

#include "FuzzSupport.h"
#include "image/Jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto picture = tavik::LoadJpegPicture(tavik::fuzz::WriteInput("M42.jpg", data, size));
    if (picture && !picture->bits.empty()) (void)picture->TopRow(picture->height - 1)[0];
    return 0;
}
