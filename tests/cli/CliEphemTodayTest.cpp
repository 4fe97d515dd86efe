// tavik-cli ephem and today: the output contract and option handling.

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "astro/DateTime.h"
#include "astro/Planets.h"
#include "astro/SunMoon.h"
#include "astro/TimeScales.h"
#include "astro/TodayData.h"
#include "astro/Transforms.h"
#include "catalog/MinorBodies.h"
#include "CliRunner.h"

namespace {

std::vector<std::string> Split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    std::string part;
    while (std::getline(in, part, sep)) parts.push_back(part);
    return parts;
}

// Checks one body line against the engine's equatorial position.
void ExpectBody(const std::string& line, const char* name, const tavik::Spherical& eq, double phi, double theta) {
    const auto f = Split(line, '\t');
    ASSERT_EQ(f.size(), 5u) << line;
    EXPECT_EQ(f[0], name);
    const tavik::Spherical hz = tavik::EquatorialToHorizontal(eq.lon, eq.lat, phi, theta);
    // 17 significant digits read back to the very same doubles.
    EXPECT_EQ(std::stod(f[1]), eq.lon) << name;
    EXPECT_EQ(std::stod(f[2]), eq.lat) << name;
    EXPECT_EQ(std::stod(f[3]), hz.lon) << name;
    EXPECT_EQ(std::stod(f[4]), hz.lat) << name;
}

TEST(CliEphem, BodiesInOrderMatchTheEngineAtAWesternSite) {
    const CliRun r = RunCli("ephem --date 2010-07-04 --time 22:30:00 --lon -74:-0 --lat 40:43 --zone -5");
    ASSERT_EQ(r.status, 0);
    const auto lines = Split(r.out, '\n');
    ASSERT_EQ(lines.size(), 10u) << r.out;
    EXPECT_EQ(lines[0], "body\tra\tdec\tazimuth\taltitude");

    const tavik::DateTime local(2010, 7, 4, 22, 30, 0);
    const tavik::DateTime ut = tavik::ToUniversalTime(local, -5);
    const double theta = tavik::LocalSiderealTime(local, -5, -74, 0);
    const double phi = tavik::LatitudeRadians(40, 43);
    ExpectBody(lines[1], "Sun", tavik::SunEquatorial(ut), phi, theta);
    // The Moon as seen from the site, not from the Earth's centre.
    ExpectBody(lines[2], "Moon", tavik::MoonTopocentric(ut, theta, phi), phi, theta);
    EXPECT_NE(std::stod(Split(lines[2], '\t')[2]), tavik::MoonEquatorial(ut).lat);
    std::array<double, tavik::kPlanetCount> ra{}, dec{};
    tavik::PlanetsEquatorial(ut, ra, dec);
    const char* names[] = {"Mercury", "Venus", "Mars", "Jupiter", "Saturn"};
    for (int i = 0; i < tavik::kPlanetCount; ++i) ExpectBody(lines[3 + i], names[i], {ra[i], dec[i]}, phi, theta);
    EXPECT_EQ(lines[8], "lst\t" + std::string(Split(lines[8], '\t')[1]));
    EXPECT_EQ(std::stod(Split(lines[8], '\t')[1]), theta);
    // New moon 2010-06-12 11:15 UT: 22.68 days before 2010-07-05 03:30 UT.
    ASSERT_EQ(Split(lines[9], '\t')[0], "moon_age");
    EXPECT_EQ(std::stod(Split(lines[9], '\t')[1]), tavik::MoonAge(ut));
    EXPECT_NEAR(tavik::MoonAge(ut), 22.68, 0.1);
}

TEST(CliEphem, PrintsTheCometsAndAsteroidsOfAnElementFile) {
    const std::string ceres =
        "00001    3.34  0.15 K24AH 145.84905   73.27346   80.25230   10.58728  0.0795762  0.21420460   2.7660512  0 "
        "E2024-V47  7330 125 1801-2024 0.80 M-v 30k MPCLINUX   0000 (1) Ceres                   20241101";
    const std::string halley =
        "0001P         1986 02  9.4589  0.574716  0.967943  112.2578   59.1145  162.1879  19860219   5.5  8.0  "
        "1P/Halley                                                MPC 91502";
    const auto path = std::filesystem::temp_directory_path() / "tavik-cli-minor-test.txt";
    std::ofstream(path) << ceres << "\nnot an orbit\n" << halley << "\n";
    const std::string when = " --date 2026-12-10 --time 21:00:00 --lon 139:22 --lat 35:34 --zone 9";
    const CliRun all = RunCli("ephem --minor '" + path.string() + "'" + when);
    ASSERT_EQ(all.status, 0);
    const auto lines = Split(all.out, '\n');
    ASSERT_EQ(lines.size(), 4u) << all.out;  // Halley can reach 12 (q < 1); nothing is fainter
    EXPECT_EQ(lines[0], "body\tra\tdec\tazimuth\taltitude\tdelta\tr\tmagnitude");
    EXPECT_EQ(Split(lines[1], '\t')[0], "(1) Ceres");
    EXPECT_EQ(Split(lines[2], '\t')[0], "1P/Halley");
    // The J2000 place, distances and magnitude the engine gives for the moment.
    const tavik::DateTime ut = tavik::ToUniversalTime(tavik::DateTime(2026, 12, 10, 21, 0, 0), 9);
    const tavik::MinorPlace p = tavik::MinorBodyPlace(*tavik::ParseMinorBodyLine(ceres), tavik::ObserverAt(ut));
    const auto f = Split(lines[1], '\t');
    ASSERT_EQ(f.size(), 8u);
    EXPECT_EQ(std::stod(f[1]), p.j2000.lon);
    EXPECT_EQ(std::stod(f[2]), p.j2000.lat);
    EXPECT_EQ(std::stod(f[5]), p.delta);
    EXPECT_EQ(std::stod(f[7]), p.magnitude);

    const CliRun one = RunCli("ephem --minor '" + path.string() + "' --body halley" + when);
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(Split(one.out, '\n')[1], lines[2]);
    EXPECT_EQ(RunCli("ephem --minor '" + path.string() + "' --body Pluto" + when).status, 1);
    EXPECT_EQ(RunCli("ephem --minor '" + path.string() + "' --limit 2" + when).out,
              lines[0] + "\n" + lines[2] + "\n" + lines[3] + "\n");  // Ceres never reaches 2
    EXPECT_EQ(RunCli("ephem --minor /nonexistent/elements.txt").status, 1);
    EXPECT_EQ(RunCli("ephem --body Ceres").status, 2);
    std::filesystem::remove(path);
}

TEST(CliEphem, DefaultsToNowAtTheDefaultSite) {
    const CliRun r = RunCli("ephem");
    ASSERT_EQ(r.status, 0);
    const auto lines = Split(r.out, '\n');
    ASSERT_EQ(lines.size(), 10u) << r.out;
    EXPECT_EQ(Split(lines[1], '\t')[0], "Sun");
    EXPECT_EQ(Split(lines[9], '\t')[0], "moon_age");
    // A given date and time at the default site equal the explicit default site.
    EXPECT_EQ(RunCli("ephem --date 2004-03-10 --time 21:00:00").out,
              RunCli("ephem --date 2004-03-10 --time 21:00:00 --lon 139:22 --lat 35:34 --zone 9").out);
}

TEST(CliEphem, BadOptionsAreUsageErrors) {
    EXPECT_EQ(RunCli("ephem --date 2004-02-30 --time 21:00:00").status, 2);
    EXPECT_EQ(RunCli("ephem --date 2004-03-10 --time 25:00:00").status, 2);
    EXPECT_EQ(RunCli("ephem --date 2004-03-10 --time 21:00 --lat 91:0").status, 2);
    EXPECT_EQ(RunCli("ephem --date 2004-03-10 --time 21:00 --zone 30").status, 2);
    EXPECT_EQ(RunCli("ephem --date 2004-03-10 --time 21:00 extra").status, 2);
    EXPECT_EQ(RunCli("ephem --bogus 1").status, 2);
}

TEST(CliToday, DaysPrintHeaderThenLinesInSlotOrder) {
    const CliRun r = RunCli("today --date 2004-12-31 --lon -74:-0 --lat 40:43 --zone -5 --days 2");
    ASSERT_EQ(r.status, 0);
    std::string expected;
    tavik::DateTime clock(2004, 12, 31, 0, 0, 0);
    int days = 2;
    tavik::RunTodayData(clock, {-74, 0, 40, 43, -5}, [&](const tavik::DailyEvents& e) {
        expected += e.Header() + "\n";
        for (const auto& line : e.Lines()) expected += line + "\n";
        return --days > 0;
    });
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(r.out.rfind("2004年12月31日 月齢", 0), 0u);
    EXPECT_NE(r.out.find("\n2005年1月1日 月齢"), std::string::npos);
    EXPECT_NE(r.out.find("太陽 "), std::string::npos);
}

// --body adds a comet's rows, as the window lists a marked one.
TEST(CliToday, ChosenBodiesAddTheirRows) {
    const char* const neowise =
        "    CK20F030  2020 07  3.6790  0.294653  0.999178   37.2785   61.0103  128.9375  20200720   7.0  3.2  "
        "C/2020 F3 (NEOWISE)                                      MPEC 2020-P62";
    const auto path = std::filesystem::temp_directory_path() / "tavik-cli-today-minor.txt";
    std::ofstream(path) << neowise << "\n";
    const std::string minor = " --minor '" + path.string() + "'";
    const CliRun r = RunCli("today --date 2020-07-23" + minor + " --body neowise");
    ASSERT_EQ(r.status, 0);
    std::string expected;
    tavik::DateTime clock(2020, 7, 23, 0, 0, 0);
    tavik::RunTodayData(clock, {}, [&](const tavik::DailyEvents& e) {
        expected += e.Header() + "\n";
        for (const auto& line : e.Lines()) expected += line + "\n";
        EXPECT_EQ(e.Rows().size(), 3u);
        return false;
    }, {*tavik::ParseMinorBodyLine(neowise)});
    EXPECT_EQ(r.out, expected);
    EXPECT_NE(r.out.find(" C/2020 F3 (NEOWISE) 南中\n"), std::string::npos);
    EXPECT_EQ(RunCli("today --date 2020-07-23" + minor + " --body Pluto").status, 1);
    EXPECT_EQ(RunCli("today --date 2020-07-23 --minor /nonexistent/elements.txt").status, 1);
    std::filesystem::remove(path);
}

TEST(CliToday, BadOptionsAreUsageErrors) {
    EXPECT_EQ(RunCli("today").status, 2);
    EXPECT_EQ(RunCli("today --date 2005-02-29").status, 2);
    EXPECT_EQ(RunCli("today --date 2005-03-20 --days 0").status, 2);
    EXPECT_EQ(RunCli("today --date 2005-03-20 --days x").status, 2);
    EXPECT_EQ(RunCli("today --date 2005-03-20 --lon 200:0").status, 2);
    EXPECT_EQ(RunCli("today --date 2005-03-20 --time 10:00").status, 2);
    EXPECT_EQ(RunCli("today --date 2099-12-30 --days 3").status, 2);
    EXPECT_EQ(RunCli("today --date 2099-12-30 --days 2").status, 0);
}

}  // namespace
