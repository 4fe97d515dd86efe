// "Now" is the site's time whatever zone the machine is set to: the view's
// clock and the telescope's clock both give UTC plus the site's zone offset.

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "telescope/TelescopeHost.h"
#include "view/TimeControl.h"

namespace tavik {
namespace {

constexpr std::time_t k0111Utc = 1796778660;      // 2026-12-09 01:11:00 UTC
constexpr std::time_t kNewYearsEve = 1798747200;  // 2026-12-31 20:00:00 UTC

// The machine's own zone must not enter: run with it set far from the site.
class SiteClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        if (tz) savedTz_ = tz;
        hadTz_ = tz != nullptr;
        setenv("TZ", "America/Los_Angeles", 1);
        tzset();
    }
    void TearDown() override {
        if (hadTz_) setenv("TZ", savedTz_.c_str(), 1); else unsetenv("TZ");
        tzset();
    }
    std::string savedTz_;
    bool hadTz_ = false;
};

TEST_F(SiteClockTest, ViewAndTelescopeAreToldUtcPlusTheSiteZone) {
    int zone = 9;
    const auto zoneFn = [&zone] { return zone; };
    const auto utc = [] { return k0111Utc; };
    SystemClock view(zoneFn, utc);
    SystemTelescopeClock scope(zoneFn, utc);
    EXPECT_EQ(view.Now(), DateTime(2026, 12, 9, 10, 11, 0)) << "10:11 at a Japanese site";
    EXPECT_EQ(scope.LocalNow(), view.Now()) << "the mount gets the same now (:SL, :SC)";

    zone = -5;  // a site chosen abroad, behind UTC: the previous day
    EXPECT_EQ(view.Now(), DateTime(2026, 12, 8, 20, 11, 0));
    EXPECT_EQ(scope.LocalNow(), view.Now());

    zone = 99;  // a hand-edited store is held to the widest zone
    EXPECT_EQ(view.Now(), DateTime(2026, 12, 9, 15, 11, 0));
    EXPECT_EQ(scope.LocalNow(), view.Now());

    EXPECT_EQ(SiteTimeAt(kNewYearsEve, 9), DateTime(2027, 1, 1, 5, 0, 0));
    EXPECT_EQ(SiteTimeAt(kNewYearsEve, 0), DateTime(2026, 12, 31, 20, 0, 0));
}

}  // namespace
}  // namespace tavik
