#pragma once
// JPEG files through libjpeg's own interface (API version 62): the screen
// capture writer and the picture loader. Every codec object lives for one call;
// nothing survives between calls.
//
// Fatal codec errors never return into the codec: the error manager formats the
// codec's message, leaves the codec with longjmp back to the call that created
// it, the codec object is destroyed and the file closed, and only then is the
// message handed to the caller's JpegReporter (the window shows it in a box
// captioned "JPEG Library Error").

#include <QImage>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tavik {

// Where the codec's messages go. Fatal errors end the call; warnings (such as
// "Premature end of JPEG file") do not stop decoding. Only the first warning of
// a call is passed on, as the codec's own message routine does.
class JpegReporter {
public:
    virtual ~JpegReporter() = default;
    virtual void JpegError(const std::string& message) = 0;
    virtual void JpegWarning(const std::string& /*message*/) {}
};

// Size of the file transfer buffers of the source and destination managers.
inline constexpr std::size_t kJpegFileBufferBytes = 4096;

// Writes `image` as a baseline JPEG of quality 100, all tables written. The
// image is the view's off-screen image (Format_RGB32, or the ARGB32 forms with
// the same byte layout): its rows go to the encoder one at a time, unchanged.
// Any other format is converted to Format_RGB32 first.
// Returns false when the file cannot be created (nothing is reported) or a
// fatal codec error ended the writing (reported; a partly written regular file
// is removed).
bool WriteJpegFile(const std::filesystem::path& path, const QImage& image, JpegReporter* reporter = nullptr);

// A decoded picture: a 24-bit device-independent bitmap, bottom-up (memory row
// 0 is the bottom row of the picture), rows of `stride` bytes, pixels in the
// order blue, green, red.
struct JpegPicture {
    int width = 0;
    int height = 0;
    int stride = 0;  // ((width * 24 + 31) / 8) rounded down to a multiple of 4
    std::vector<std::uint8_t> bits;

    // Row k of the picture counted from the top.
    const std::uint8_t* TopRow(int k) const { return bits.data() + static_cast<std::size_t>(height - 1 - k) * stride; }
    // The picture as a top-down image (Format_RGB888) for drawing or saving.
    QImage ToImage() const;
};

// Bytes per row of a 24-bit bitmap `width` pixels wide.
constexpr int Bitmap24Stride(int width) { return ((width * 24 + 31) / 8) & ~3; }

// Decodes a JPEG file. Nothing when the file cannot be opened (nothing is
// reported) or a fatal codec error ended decoding (reported): an empty file
// raises the codec's "empty input" error. A file that ends early yields the
// part decoded so far, the rest as the codec fills it after a supplied
// end-of-image marker, with the codec's "Premature end of JPEG file" warning.
// Grey-scale files come out grey in the same 24-bit form.
std::optional<JpegPicture> LoadJpegPicture(const std::filesystem::path& path, JpegReporter* reporter = nullptr);

}  // namespace tavik
