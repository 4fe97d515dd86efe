// The capture's proposed names and the stretch rule of pictures.

#include "image/ScreenPictures.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

using namespace tavik;
namespace fs = std::filesystem;

TEST(ScreenPictures, CaptureNamesOfOneSecondDoNotCollide) {
    const DateTime moment(2026, 6, 6, 20, 3, 5);
    EXPECT_EQ(CaptureFileName(moment, 123456789), "TavikSCR_66_2035_567.jpg");
    EXPECT_EQ(CaptureFileName(DateTime(2026, 12, 31, 0, 0, 0), 99), "TavikSCR_1231_000_0.jpg");
    // Two captures in the same second, different tenths.
    EXPECT_NE(CaptureFileName(moment, 5000), CaptureFileName(moment, 5300));

    std::random_device rd;
    const fs::path dir = fs::temp_directory_path() / ("tavik-capname-" + std::to_string(rd()));
    fs::create_directories(dir);
    // Same tenth of a second: the first name is taken, so the next is proposed.
    const std::string first = ProposeCaptureFileName(dir, moment, 999950);
    EXPECT_EQ(first, "TavikSCR_66_2035_999.jpg");
    std::ofstream(dir / first).close();
    EXPECT_EQ(ProposeCaptureFileName(dir, moment, 999950), "TavikSCR_66_2035_0.jpg");
    fs::remove_all(dir);
}

TEST(ScreenPictures, StretchRule) {
    const QSize client(240, 300);
    // Stretch setting and a different width: the whole picture onto the whole area.
    PicturePlacement p = PlacePicture(QSize(640, 480), client, true);
    EXPECT_TRUE(p.stretched);
    EXPECT_EQ(p.source, QRect(0, 0, 640, 480));
    EXPECT_EQ(p.target, QRect(0, 0, 240, 300));
    // Exactly as wide as the client area: copied unscaled even with the setting.
    p = PlacePicture(QSize(240, 100), client, true);
    EXPECT_FALSE(p.stretched);
    EXPECT_EQ(p.target, QRect(0, 0, 240, 100));
    // Without the setting a larger picture is clipped at the right and bottom.
    p = PlacePicture(QSize(640, 480), client, false);
    EXPECT_FALSE(p.stretched);
    EXPECT_EQ(p.source, QRect(0, 0, 240, 300));
    EXPECT_EQ(p.target, p.source);
}
