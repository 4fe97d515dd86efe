#pragma once
// The window-free parts of the screen capture and of showing a picture over
// the sky: the proposed capture file name and where a picture goes in the
// view's client area.

#include <QRect>
#include <QSize>

#include <cstdint>
#include <filesystem>
#include <string>

#include "astro/DateTime.h"

namespace tavik {

// The platform's millisecond tick count (time since an arbitrary start).
std::uint64_t TickCountMs();

// "TavikSCR_%d%d_%d%d%d_%d.jpg" with month, day, hour, minute, second and
// (tickMs / 100) mod 1000, all without leading zeros: 6 June 20:03:05 gives
// "TavikSCR_66_2035_" and the tick digits.
std::string CaptureFileName(const DateTime& moment, std::uint64_t tickMs);

// The name the capture proposes in `folder`: CaptureFileName, and when a file
// of that name is already there, the tick field counted on (mod 1000) until
// the name is free, so that two captures in the same second (or in the same
// tenth of a second) never propose the same file. After 1000 taken names the
// first one is proposed (the browser then asks before overwriting).
std::string ProposeCaptureFileName(const std::filesystem::path& folder, const DateTime& moment,
                                   std::uint64_t tickMs);

// Where a picture is drawn in a client area of `client` size: with the
// stretch setting (DC/STRETCHBLT) and a picture width different from the
// client's, the whole picture onto the whole client area; otherwise unscaled
// at the top-left corner, clipped to the client area (the part of the picture
// in `source` goes to `target`, both the same size).
struct PicturePlacement {
    QRect source;  // in picture pixels
    QRect target;  // in client pixels
    bool stretched = false;
};
PicturePlacement PlacePicture(QSize picture, QSize client, bool stretchSetting);

}  // namespace tavik
