// tavik-cli time: output lines and option handling.

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "astro/DateTime.h"
#include "astro/TimeScales.h"
#include "CliRunner.h"

namespace {

std::map<std::string, std::string> Fields(const std::string& out) {
    std::map<std::string, std::string> f;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        const auto tab = line.find('\t');
        if (tab != std::string::npos) f[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return f;
}

TEST(CliTime, DefaultSiteMatchesEngine) {
    const CliRun r = RunCli("time --date 2004-03-10 --time 21:00:00");
    ASSERT_EQ(r.status, 0);
    auto f = Fields(r.out);
    EXPECT_EQ(f["ut"], "2004-03-10 12:00:00");
    EXPECT_EQ(f["day_number"], std::to_string(tavik::DayNumber(2004, 3, 10)));
    const tavik::DateTime ut(2004, 3, 10, 12, 0, 0);
    // 17 significant digits read back to the very same double.
    EXPECT_EQ(std::stod(f["ephemeris_years"]), tavik::EphemerisYears(ut));
    EXPECT_EQ(std::stod(f["julian_centuries"]), tavik::JulianCenturies(ut));
    EXPECT_EQ(std::stod(f["obliquity"]), tavik::Obliquity(2004, 3, 10));
    EXPECT_EQ(std::stod(f["sidereal_at_midnight"]), tavik::SiderealAtMidnight(2004, 3, 10));
    EXPECT_EQ(std::stod(f["local_sidereal_time"]),
              tavik::LocalSiderealTime(tavik::DateTime(2004, 3, 10, 21, 0, 0), 9, 139, 22));
    EXPECT_EQ(std::stod(f["latitude"]), tavik::LatitudeRadians(35, 34));
}

TEST(CliTime, WesternSiteKeepsHourAbove23) {
    const CliRun r = RunCli("time --date 2004-03-10 --time 10:00:00 --zone -5 --lon -74:30 --lat -0:30");
    ASSERT_EQ(r.status, 0);
    auto f = Fields(r.out);
    EXPECT_EQ(f["ut"], "2004-03-09 39:00:00");
    EXPECT_EQ(f["day_number"], std::to_string(tavik::DayNumber(2004, 3, 9)));
    EXPECT_EQ(std::stod(f["local_sidereal_time"]),
              tavik::LocalSiderealTime(tavik::DateTime(2004, 3, 10, 10, 0, 0), -5, -74, -30));
    EXPECT_EQ(std::stod(f["latitude"]), tavik::LatitudeRadians(0, -30));
}

TEST(CliTime, UsageErrorsExitWithTwo) {
    EXPECT_EQ(RunCli("time --date 2004-03-10").status, 2);
    EXPECT_EQ(RunCli("time --date 2004-13-10 --time 10:00:00").status, 2);
    EXPECT_EQ(RunCli("time --date 2004-03-10 --time 25:00:00").status, 2);
    EXPECT_EQ(RunCli("time --date 2004-03-10 --time 10:00:00 --lon 139").status, 2);
    EXPECT_EQ(RunCli("time --date 2004-03-10 --time 10:00:00 --zone x").status, 2);
    EXPECT_EQ(RunCli("time --date 2004-03-10 --time 10:00:00 --bogus 1").status, 2);
}

}  // namespace
