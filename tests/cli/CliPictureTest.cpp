// tavik-cli picture and the JPEG branch of tavik-cli render: the bytes of the
// capture writer, the decoded picture, and the codec's messages and exit codes.

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <fstream>
#include <random>

#include "CliRunner.h"
#include "image/Jpeg.h"

namespace fs = std::filesystem;

namespace {

std::string Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class CliPicture : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("tavik-cli-picture-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    // Exit status and standard error of tavik-cli with `args`.
    CliRun Run(const std::string& args) {
        return RunCommand("QT_QPA_PLATFORM=offscreen '" + std::string(TAVIK_CLI) + "' " + args + " 2>&1 >/dev/null");
    }
    std::string P(const char* name) const { return (dir_ / name).string(); }
    fs::path dir_;
};

}  // namespace

TEST_F(CliPicture, RenderWritesTheCaptureBytesAndPictureDecodesThem) {
    const std::string scene = " --mode zenith --size 97x61 --date 2004-03-10 --time 21:00:00";
    ASSERT_EQ(Run("render --out " + P("sky.png") + scene).status, 0);
    ASSERT_EQ(Run("render --out " + P("sky.jpg") + scene).status, 0);
    const QImage sky = QImage(QString::fromStdString(P("sky.png"))).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(sky.size(), QSize(97, 61));
    ASSERT_TRUE(tavik::WriteJpegFile(P("capture.jpg"), sky));
    EXPECT_EQ(Bytes(P("sky.jpg")), Bytes(P("capture.jpg")));

    const CliRun r = Run("picture " + P("sky.jpg") + " --out " + P("shown.png"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    const auto picture = tavik::LoadJpegPicture(P("sky.jpg"));
    ASSERT_TRUE(picture);
    EXPECT_EQ(QImage(QString::fromStdString(P("shown.png"))).convertToFormat(QImage::Format_RGB32),
              picture->ToImage().convertToFormat(QImage::Format_RGB32));
}

TEST_F(CliPicture, EmptyMissingAndTruncatedFiles) {
    std::ofstream(P("empty.jpg")).close();
    CliRun r = Run("picture " + P("empty.jpg") + " --out " + P("e.png"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Empty input file"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(P("e.png")));
    EXPECT_EQ(Run("picture " + P("none.jpg") + " --out " + P("n.png")).status, 1);
    EXPECT_EQ(Run("picture " + P("none.jpg")).status, 2);

    QImage image(80, 40, QImage::Format_RGB32);
    image.fill(qRgb(200, 30, 10));
    ASSERT_TRUE(tavik::WriteJpegFile(P("full.jpg"), image));
    const std::string bytes = Bytes(P("full.jpg"));
    std::ofstream(P("cut.jpg"), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size() - 40));
    r = Run("picture " + P("cut.jpg") + " --out " + P("cut.png"));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Premature end of JPEG file"), std::string::npos) << r.out;
    EXPECT_EQ(QImage(QString::fromStdString(P("cut.png"))).size(), QSize(80, 40));
}
