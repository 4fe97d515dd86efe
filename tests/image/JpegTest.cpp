// The JPEG writer and loader: colours and pixel order, the bitmap layout, and
// the codec's errors and warnings for empty, truncated and unwritable files.

#include "image/Jpeg.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>

#include <filesystem>
#include <fstream>
#include <random>

using namespace tavik;
namespace fs = std::filesystem;

namespace {

struct Recorder : JpegReporter {
    void JpegError(const std::string& m) override { errors.push_back(m); }
    void JpegWarning(const std::string& m) override { warnings.push_back(m); }
    std::vector<std::string> errors, warnings;
};

class Jpeg : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("tavik-jpeg-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path dir_;
};

// Four flat quadrants: red, green, blue, white, as the view's off-screen image.
QImage Quadrants(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, y < h / 2 ? (x < w / 2 ? 0xFFFF0000 : 0xFF00FF00) : (x < w / 2 ? 0xFF0000FF : 0xFFFFFFFF));
    return image;
}

bool Near(int a, int b) { return std::abs(a - b) <= 6; }

}  // namespace

TEST_F(Jpeg, CaptureKeepsTheScreensColoursAndTheLoaderFillsABottomUpBitmap) {
    const QImage screen = Quadrants(37, 24);  // odd width: padded rows
    const fs::path path = dir_ / "cap.jpg";
    Recorder r;
    ASSERT_TRUE(WriteJpegFile(path, screen, &r));
    EXPECT_TRUE(r.errors.empty());

    // Another decoder reads true colours from the file: red stays red.
    QImage other(QString::fromStdString(path.string()));
    ASSERT_EQ(other.size(), screen.size());
    for (QPoint p : {QPoint(4, 4), QPoint(30, 4), QPoint(4, 20), QPoint(30, 20)}) {
        const QRgb want = screen.pixel(p), got = other.pixel(p);
        EXPECT_TRUE(Near(qRed(got), qRed(want)) && Near(qGreen(got), qGreen(want)) && Near(qBlue(got), qBlue(want)))
            << p.x() << "," << p.y() << " " << std::hex << got;
    }

    const auto picture = LoadJpegPicture(path, &r);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 37);
    EXPECT_EQ(picture->height, 24);
    EXPECT_EQ(picture->stride, 112);  // 111 bytes rounded up to a multiple of 4
    EXPECT_EQ(picture->bits.size(), 112u * 24u);
    // Memory row 0 is the bottom of the picture (blue, then white); pixels are B, G, R.
    const std::uint8_t* bottom = picture->bits.data();
    EXPECT_TRUE(Near(bottom[0], 255) && Near(bottom[1], 0) && Near(bottom[2], 0));
    const std::uint8_t* top = picture->TopRow(0);
    EXPECT_TRUE(Near(top[0], 0) && Near(top[1], 0) && Near(top[2], 255));
    EXPECT_EQ(picture->ToImage().pixel(2, 2) & 0xFFF0F0F0u, 0xFFF00000u);
    EXPECT_TRUE(r.errors.empty());
    EXPECT_TRUE(r.warnings.empty());
}

TEST_F(Jpeg, EmptyTruncatedAndMissingFiles) {
    Recorder r;
    EXPECT_FALSE(LoadJpegPicture(dir_ / "none.jpg", &r));
    EXPECT_TRUE(r.errors.empty());  // cannot open: nothing shown, nothing said

    std::ofstream(dir_ / "empty.jpg").close();
    EXPECT_FALSE(LoadJpegPicture(dir_ / "empty.jpg", &r));
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0], "Empty input file");

    // A picture with a different colour in every row band, cut in the middle.
    QImage bands(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) bands.setPixel(x, y, qRgb(y * 4, 255 - y * 4, (x * 4) & 0xFF));
    const fs::path full = dir_ / "full.jpg";
    ASSERT_TRUE(WriteJpegFile(full, bands));
    const auto whole = LoadJpegPicture(full);
    ASSERT_TRUE(whole);
    std::string bytes;
    {
        std::ifstream in(full, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    const fs::path cut = dir_ / "cut.jpg";
    std::ofstream(cut, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 2));

    r = Recorder();
    const auto part = LoadJpegPicture(cut, &r);
    ASSERT_TRUE(part);
    EXPECT_TRUE(r.errors.empty());
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(r.warnings[0], "Premature end of JPEG file");
    ASSERT_EQ(part->width, 64);
    ASSERT_EQ(part->height, 64);
    // The upper rows are the picture; the last row is not.
    EXPECT_EQ(0, std::memcmp(part->TopRow(0), whole->TopRow(0), 64 * 3));
    EXPECT_EQ(0, std::memcmp(part->TopRow(8), whole->TopRow(8), 64 * 3));
    EXPECT_NE(0, std::memcmp(part->TopRow(63), whole->TopRow(63), 64 * 3));

    // Not a JPEG at all: the codec's own text.
    std::ofstream(dir_ / "text.jpg") << "hello";
    r = Recorder();
    EXPECT_FALSE(LoadJpegPicture(dir_ / "text.jpg", &r));
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_NE(r.errors[0].find("Not a JPEG file"), std::string::npos);
}

TEST_F(Jpeg, GreyFilesShowGreyAndWriteFailuresAreReported) {
    QImage grey(16, 8, QImage::Format_Grayscale8);
    for (int y = 0; y < 8; ++y) std::memset(grey.scanLine(y), 40 + y * 20, 16);
    const fs::path path = dir_ / "grey.jpg";
    ASSERT_TRUE(grey.save(QString::fromStdString(path.string()), "JPG", 100));
    const auto picture = LoadJpegPicture(path);
    ASSERT_TRUE(picture);
    for (int k : {0, 7}) {
        const std::uint8_t* px = picture->TopRow(k) + 3 * 5;
        EXPECT_EQ(px[0], px[1]);
        EXPECT_EQ(px[1], px[2]);
        EXPECT_TRUE(Near(px[0], 40 + k * 20)) << int(px[0]);
    }

    Recorder r;
    EXPECT_FALSE(WriteJpegFile(dir_ / "no" / "such.jpg", Quadrants(8, 8), &r));
    EXPECT_TRUE(r.errors.empty());  // cannot create: silent
    if (fs::exists("/dev/full")) {
        EXPECT_FALSE(WriteJpegFile("/dev/full", Quadrants(64, 64), &r));
        ASSERT_EQ(r.errors.size(), 1u);
        EXPECT_EQ(r.errors[0], "Output file write error --- out of disk space?");
        EXPECT_TRUE(fs::exists("/dev/full"));
    }
}
