// tavik-cli render: the files it writes, its defaults and overrides, and its
// usage errors.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

struct RunResult {
    int exitCode = -1;
    std::string err;
};

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Width and height from a PNG's header.
std::pair<int, int> PngSize(const std::string& bytes) {
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {-1, -1};
    auto be32 = [&](std::size_t at) {
        return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16) |
               (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
    };
    return {static_cast<int>(be32(16)), static_cast<int>(be32(20))};
}

class CliRender : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("tavik-cli-render-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    RunResult Run(const std::string& args) {
        const fs::path errPath = dir_ / "stderr.txt";
        const std::string command = "QT_QPA_PLATFORM=offscreen " + std::string(TAVIK_CLI) + " render " + args +
                                    " >/dev/null 2>" + errPath.string();
        RunResult r;
        const int status = std::system(command.c_str());
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.err = ReadFile(errPath);
        return r;
    }
    std::string Out(const char* name) const { return (dir_ / name).string(); }

    fs::path dir_;
    const std::string moment_ = " --date 2004-03-10 --time 21:00:00";
};

TEST_F(CliRender, WritesPngAndJpegOfTheRequestedSize) {
    ASSERT_EQ(Run("--out " + Out("a.png") + moment_).exitCode, 0);
    EXPECT_EQ(PngSize(ReadFile(Out("a.png"))), std::make_pair(240, 240));  // default size

    ASSERT_EQ(Run("--out " + Out("b.png") + " --size 320x200 --mode direction --facing N --band high" + moment_)
                  .exitCode,
              0);
    EXPECT_EQ(PngSize(ReadFile(Out("b.png"))), std::make_pair(320, 200));

    ASSERT_EQ(Run("--out " + Out("c.jpg") + " --mode zenith" + moment_).exitCode, 0);
    const std::string jpg = ReadFile(Out("c.jpg"));
    ASSERT_GE(jpg.size(), 4u);
    EXPECT_EQ(static_cast<unsigned char>(jpg[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(jpg[1]), 0xD8);
}

TEST_F(CliRender, SameInputsSamePictureAndOverridesChangeIt) {
    ASSERT_EQ(Run("--out " + Out("1.png") + moment_).exitCode, 0);
    ASSERT_EQ(Run("--out " + Out("2.png") + moment_).exitCode, 0);
    EXPECT_EQ(ReadFile(Out("1.png")), ReadFile(Out("2.png")));
    ASSERT_EQ(Run("--out " + Out("red.png") + " --set COLOR/ALLRED=1" + moment_).exitCode, 0);
    EXPECT_NE(ReadFile(Out("red.png")), ReadFile(Out("1.png")));
    ASSERT_EQ(Run("--out " + Out("site.png") + " --lon -74:0 --lat 40:45 --zone -5" + moment_).exitCode, 0);
    EXPECT_NE(ReadFile(Out("site.png")), ReadFile(Out("1.png")));
    for (const char* mode : {"planisphere", "polar", "helio", "zenith", "direction", "magnified"})
        EXPECT_EQ(Run("--out " + Out("m.png") + " --mode " + mode + " --turn 100" + moment_).exitCode, 0) << mode;
}

TEST_F(CliRender, UsageErrorsAndMissingData) {
    EXPECT_EQ(Run(moment_).exitCode, 2);  // no --out
    EXPECT_EQ(Run("--out " + Out("x.bmp") + moment_).exitCode, 2);
    EXPECT_EQ(Run("--out " + Out("x.png") + " --mode sideways").exitCode, 2);
    EXPECT_EQ(Run("--out " + Out("x.png") + " --facing Q").exitCode, 2);
    EXPECT_EQ(Run("--out " + Out("x.png") + " --band top").exitCode, 2);
    EXPECT_EQ(Run("--out " + Out("x.png") + " --size 0x10").exitCode, 2);
    EXPECT_EQ(Run("--out " + Out("x.png") + " --set NOEQUALS").exitCode, 2);
    EXPECT_EQ(Run("--out " + Out("x.png") + " --date 2004-02-30").exitCode, 2);
    EXPECT_FALSE(fs::exists(Out("x.png")));

    // An explicit data folder without a catalogue is an error, not an empty sky.
    const RunResult r = Run("--out " + Out("y.png") + " --data " + (dir_ / "nothing").string() + moment_);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("tavik.dat"), std::string::npos);
    // An unwritable output reports failure.
    EXPECT_EQ(Run("--out " + (dir_ / "no" / "such" / "dir.png").string() + moment_).exitCode, 1);
}

}  // namespace
