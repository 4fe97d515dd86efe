// tavik-cli ephem and today: the output contract and option handling.

#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <vector>

#include "astro/DateTime.h"
#include "astro/Planets.h"
#include "astro/SunMoon.h"
#include "astro/TimeScales.h"
#include "astro/TodayData.h"
#include "astro/Transforms.h"
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
