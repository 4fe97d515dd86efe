// tavik-cli render fed hostile numbers and files: every case must end in an
// ordinary exit (in the sanitizer build any undefined behaviour aborts).

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "astro/Angles.h"
#include "catalog/LineFile.h"
#include "catalog/OverlayFile.h"
#include "catalog/RecordFile.h"

namespace fs = std::filesystem;

namespace tavik {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kDeg = kPi / 180.0;

CliRun Render(const std::string& args) {
    return RunCommand("QT_QPA_PLATFORM=offscreen '" + std::string(TAVIK_CLI) + "' render --out " +
                      (fs::temp_directory_path() / "tavik-hostile.png").string() +
                      " --date 2026-01-15 --time 21:00:00 " + args + " 2>&1");
}

void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TEST(CliHostileInput, NumbersOutOfRangeAreUsageErrorsOrBounded) {
    const CliRun turn = Render("--mode direction --turn 2147483647 --set SCREEN/HALF=89");
    EXPECT_EQ(turn.status, 2);
    EXPECT_NE(turn.out.find("--turn must be between -1000000 and 1000000"), std::string::npos) << turn.out;
    EXPECT_EQ(Render("--mode direction --turn 99999999999999999999").status, 2);
    EXPECT_EQ(Render("--mode direction --turn -1000000 --set SCREEN/HALF=89").status, 0);
    // Settings at the ends of their ranges draw; past them they are refused (a
    // settings file's values out of range are bounded where they are read).
    EXPECT_EQ(Render("--set LOCATION/TOUKEI=-180 --set LOCATION/HOKUI=-90").status, 0);
    EXPECT_EQ(Render("--mode planisphere --set MAGN/SHIFT=-50 --set SETTING/BRIGHT=1").status, 0);
    // The largest font size, with grid labels at that size: fast.
    EXPECT_EQ(Render("--set FONT/SIZE=1000 --set SCREEN/SEKIDO_S=1 --mode zenith").status, 0);
    for (const char* past : {"LOCATION/TOUKEI=-2147483648", "MAGN/SHIFT=-2147483648", "FONT/SIZE=12345"})
        EXPECT_EQ(Render(std::string("--set ") + past).status, 2) << past;
}

// Line, figure and Milky Way files with non-finite points, and a star of
// magnitude -1e10, in the views that draw them.
TEST(CliHostileInput, NonFiniteFileValuesAreSkipped) {
    const fs::path dir = fs::temp_directory_path() / ("tavik-hostile-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    LineFileSlot lines{"And", {}};
    for (double dec : {kNaN, 40.0 * kDeg, kInf, 30.0 * kDeg, -kInf, 1e300})
        lines.points.Add(dec == 1e300 ? kNaN : 10.0 * kDeg, dec, 1);
    Write(dir / "tavikline.dat", LineFileBytes({lines}));
    Write(dir / "tavikconste.dat", LineFileBytes({lines}));
    PolylineData milky;
    for (double ra : {kNaN, 1.0, -kInf, 2.0, 1e300}) milky.Add(ra, 0.3, 1);
    Write(dir / "Milkey.p92", OverlayFileBytes(milky));
    StarRecord anchor;
    anchor.kind = kKindConstellationAnchor;
    anchor.SetConstellation("And");
    anchor.ra = 10.0 * kDeg;
    anchor.dec = 80.0 * kDeg;
    StarRecord bright = anchor, lost = anchor;
    bright.kind = lost.kind = kKindStar;
    bright.mag = -1e10;
    lost.mag = 1.0;
    lost.dec = kNaN;
    Write(dir / "tavik.dat", RecordFileBytes(std::vector<StarRecord>{anchor, bright, lost}));

    const std::string data = " --data " + dir.string() + " --set SEIZA/LINE=1 --set SEIZA/PICT=1 --set SHOW/MILKEY=1";
    for (const char* view : {"--mode planisphere", "--mode zenith", "--mode direction --facing N", "--mode polar"}) {
        for (const char* style : {"--set SETTING/BRIGHT=1", "--set SETTING/WB=1", "--set SETTING/BW=1"}) {
            const CliRun r = Render(std::string(view) + " " + style + data);
            EXPECT_EQ(r.status, 0) << view << " " << style << "\n" << r.out;
        }
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tavik
