// Today's data: the event tests, the line slots and their texts, the header,
// the day computation on a borrowed clock and the "next day" sequence.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "astro/Angles.h"
#include "astro/DateTime.h"
#include "astro/MinorOrbit.h"
#include "astro/Planets.h"
#include "astro/RiseSet.h"
#include "astro/SunMoon.h"
#include "astro/TimeScales.h"
#include "astro/TodayData.h"
#include "astro/Transforms.h"

namespace tavik {
namespace {

constexpr double kDeg = kDegToRad;

TEST(EventTest, RiseAndSetBandsOnEachSide) {
    // Rise: the 1.8 degree band below the horizon, eastern half.
    EXPECT_TRUE(EventTest(90 * kDeg, -1.0 * kDeg, kEventRise));
    EXPECT_TRUE(EventTest(90 * kDeg, -kPi / 100, kEventRise));
    EXPECT_FALSE(EventTest(90 * kDeg, -kPi / 100 - 1e-9, kEventRise));
    EXPECT_FALSE(EventTest(90 * kDeg, 0.0, kEventRise));
    EXPECT_FALSE(EventTest(270 * kDeg, -1.0 * kDeg, kEventRise));
    EXPECT_FALSE(EventTest(kPi, -1.0 * kDeg, kEventRise));
    // Set: the same band, western half (180 degrees included).
    EXPECT_TRUE(EventTest(270 * kDeg, -1.0 * kDeg, kEventSet));
    EXPECT_TRUE(EventTest(kPi, -1.0 * kDeg, kEventSet));
    EXPECT_FALSE(EventTest(90 * kDeg, -1.0 * kDeg, kEventSet));
    EXPECT_FALSE(EventTest(270 * kDeg, 0.0, kEventSet));
    EXPECT_FALSE(EventTest(270 * kDeg, -2.0 * kDeg, kEventSet));
}

TEST(EventTest, TransitWindows) {
    EXPECT_TRUE(EventTest(179 * kDeg, 30 * kDeg, kEventUpperTransit));
    EXPECT_TRUE(EventTest(kPi - kPi / 100, 0.0, kEventUpperTransit));
    EXPECT_FALSE(EventTest(178 * kDeg, 30 * kDeg, kEventUpperTransit));
    EXPECT_FALSE(EventTest(kPi, 30 * kDeg, kEventUpperTransit));
    EXPECT_FALSE(EventTest(179 * kDeg, -0.1 * kDeg, kEventUpperTransit));
    EXPECT_TRUE(EventTest(359 * kDeg, -30 * kDeg, kEventLowerTransit));
    EXPECT_FALSE(EventTest(358 * kDeg, -30 * kDeg, kEventLowerTransit));
    EXPECT_FALSE(EventTest(359 * kDeg, 10 * kDeg, kEventLowerTransit));
    EXPECT_FALSE(EventTest(179 * kDeg, 30 * kDeg, 4));
    EXPECT_FALSE(EventTest(179 * kDeg, 30 * kDeg, -1));
}

TEST(EventTest, ReducesAzimuthAndFoldsAltitude) {
    // atan2-style azimuths in (-pi, pi] and several turns both reduce.
    EXPECT_TRUE(EventTest(-1.0 * kDeg, -30 * kDeg, kEventLowerTransit));
    EXPECT_TRUE(EventTest(179 * kDeg + 3 * kTwoPi, 30 * kDeg, kEventUpperTransit));
    EXPECT_TRUE(EventTest(-90 * kDeg, -1.0 * kDeg, kEventSet));
    // An altitude past +90 degrees folds down by pi.
    EXPECT_TRUE(EventTest(90 * kDeg, kPi - 1.0 * kDeg, kEventRise));
    EXPECT_TRUE(EventTest(179 * kDeg, -kPi + 1.0 * kDeg, kEventUpperTransit));
    // Positions that are not numbers pass no test (and do not hang the loop).
    const double inf = std::numeric_limits<double>::infinity();
    for (int kind = 0; kind < 4; ++kind) {
        EXPECT_FALSE(EventTest(-inf, -1.0 * kDeg, kind));
        EXPECT_FALSE(EventTest(90 * kDeg, inf, kind));
        EXPECT_FALSE(EventTest(std::nan(""), -1.0 * kDeg, kind));
    }
}

TEST(DailyEvents, SlotsHoldShiftJisLinesShownAsUtf8) {
    DailyEvents e;
    e.Clear();
    const std::vector<std::pair<int, std::string>> expected = {
        {kSlotSunRise, "太陽 05時07分 日出"},        {kSlotSunTransit, "太陽 05時07分 南中"},
        {kSlotSunSet, "太陽 05時07分 日没"},         {kSlotSunLowerTransit, "太陽 05時07分 天底"},
        {kSlotMoonRise, "月 05時07分 月出"},         {kSlotMoonTransit, "月 05時07分 南中"},
        {kSlotMoonSet, "月 05時07分 月没"},          {kSlotMoonLowerTransit, "月 05時07分 天底"},
        {kSlotMarsTransit, "惑星 05時07分 火星南中"}, {kSlotJupiterTransit, "惑星 05時07分 木星南中"},
        {kSlotSaturnTransit, "惑星 05時07分 土星南中"},
    };
    for (const auto& [slot, text] : expected) {
        EXPECT_TRUE(e.Record(slot, 5, 7)) << slot;
        EXPECT_EQ(e.SlotText(slot), text) << slot;
        EXPECT_EQ(e.EventMinutes(slot), 5 * 60 + 7);
    }
    // The stored bytes are Shift-JIS: "太陽" is 91 BE 97 7A, digits stay ASCII.
    EXPECT_EQ(std::string(e.SlotBytes(kSlotSunRise)).substr(0, 7), std::string("\x91\xBE\x97z 05", 7));
    EXPECT_EQ(std::strlen(e.SlotBytes(kSlotSunRise)), std::strlen("\x91\xBE\x97z 05\x8E\x9E" "07\x95\xAA \x93\xFA\x8Fo"));
    EXPECT_TRUE(e.AllFound());
    ASSERT_EQ(e.Lines().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(e.Lines()[i], expected[i].second);
}

TEST(DailyEvents, EachEventWrittenOnceAndSlotEightNever) {
    DailyEvents e;
    e.Clear();
    EXPECT_EQ(e.EventMinutes(kSlotSunRise), -1);
    EXPECT_TRUE(e.Record(kSlotSunSet, 17, 54));
    EXPECT_FALSE(e.Record(kSlotSunSet, 18, 0));
    EXPECT_EQ(e.SlotText(kSlotSunSet), "太陽 17時54分 日没");
    EXPECT_FALSE(e.Record(8, 1, 2));
    EXPECT_FALSE(e.Record(12, 1, 2));
    EXPECT_FALSE(e.Record(-1, 1, 2));
    EXPECT_STREQ(e.SlotBytes(8), "");
    EXPECT_STREQ(e.SlotBytes(60), "");
    EXPECT_STREQ(e.SlotBytes(-1), "");
    EXPECT_FALSE(e.AllFound());
    ASSERT_EQ(e.Lines(), std::vector<std::string>{"太陽 17時54分 日没"});
    e.Clear();
    EXPECT_TRUE(e.Lines().empty());
    EXPECT_FALSE(e.Found(kSlotSunSet));
    EXPECT_EQ(e.Header(), "");
}

TEST(DailyEvents, HeaderCarriesDateAndTheMoonsAgeAtNoon) {
    // New moon 2026-12-09 00:52 UT: at noon in Japan the Moon is 0.09, 1.09
    // and 12.09 days old on the 9th, 10th and 21st; at noon in Hawaii (22:00
    // UT) on the 9th, 0.88.
    DailyEvents e;
    e.SetHeader(2026, 12, 9, 9);
    EXPECT_EQ(e.Header(), "2026年12月9日 月齢0日");
    e.SetHeader(2026, 12, 9, -10);
    EXPECT_EQ(e.Header(), "2026年12月9日 月齢1日");
    e.SetHeader(2026, 12, 10, 9);
    EXPECT_EQ(e.Header(), "2026年12月10日 月齢1日");
    e.SetHeader(2026, 12, 21, 9);
    EXPECT_EQ(e.Header(), "2026年12月21日 月齢12日");
}

const EventSite kTokyo{139, 45, 35, 41, 9};

TEST(ComputeDailyEvents, TokyoEquinoxDay) {
    DateTime clock(2005, 3, 20, 21, 13, 5);
    DailyEvents e;
    ComputeDailyEvents(clock, kTokyo, e);
    // The clock runs from 00:00 and ends at 00:00 of the next day.
    EXPECT_EQ(clock, DateTime(2005, 3, 21, 0, 0, 0));
    EXPECT_EQ(e.Header(), "2005年3月20日 月齢10日");  // new moon 2005-03-10 09:10 UT
    // Sunrise about 05:45, transit 11:48, sunset 17:53 (JST); the listing is a few
    // minutes early by design and on the two-minute grid.
    const int rise = e.EventMinutes(kSlotSunRise);
    const int transit = e.EventMinutes(kSlotSunTransit);
    const int set = e.EventMinutes(kSlotSunSet);
    EXPECT_GE(rise, 5 * 60 + 30);
    EXPECT_LE(rise, 5 * 60 + 46);
    EXPECT_GE(transit, 11 * 60 + 35);
    EXPECT_LE(transit, 11 * 60 + 49);
    EXPECT_GE(set, 17 * 60 + 40);
    EXPECT_LE(set, 17 * 60 + 54);
    EXPECT_EQ(rise % 2, 0);
    EXPECT_EQ(e.Found(kSlotSunLowerTransit), true);
    // Never written slots stay empty; every line is in the twelve event slots.
    for (int slot = DailyEvents::kEventSlots; slot < DailyEvents::kSlotCount; ++slot)
        EXPECT_STREQ(e.SlotBytes(slot), "");
    EXPECT_STREQ(e.SlotBytes(8), "");
}

TEST(ComputeDailyEvents, MidnightSunListsNoSunriseOrSunset) {
    const EventSite north{18, 57, 69, 39, 1};  // 69.7 N in late June
    DateTime clock(2010, 6, 21, 12, 0, 0);
    DailyEvents e;
    ComputeDailyEvents(clock, north, e);
    EXPECT_FALSE(e.Found(kSlotSunRise));
    EXPECT_FALSE(e.Found(kSlotSunSet));
    EXPECT_FALSE(e.Found(kSlotSunLowerTransit));  // the Sun stays above the horizon
    EXPECT_EQ(clock, DateTime(2010, 6, 22, 0, 0, 0));
}

// Topocentric altitude of the Moon at a local time at the site.
double MoonAltitudeAt(const DateTime& local, const EventSite& s, double* azimuth = nullptr) {
    const DateTime ut = ToUniversalTime(local, s.zoneOffsetHours);
    const double theta = LocalSiderealTime(local, s.zoneOffsetHours, s.longitudeDegrees, s.longitudeMinutes);
    const double phi = LatitudeRadians(s.latitudeDegrees, s.latitudeMinutes);
    const Spherical eq = MoonTopocentric(ut, theta, phi);
    const Spherical hz = EquatorialToHorizontal(eq.lon, eq.lat, phi, theta);
    if (azimuth) *azimuth = hz.lon;
    return hz.lat;
}

TEST(ComputeDailyEvents, ARiseOrSetPassingItsTestAtMidnightIsListedAtMidnight) {
    // 00:00 is the first sample of the day: a Moon inside the rise or set band
    // then is listed at 00:00, also when the event began before midnight.
    const EventSite defaultSite{139, 22, 35, 34, 9};
    DateTime clock(2026, 1, 11, 20, 0, 0);
    DailyEvents jan11;
    ComputeDailyEvents(clock, defaultSite, jan11);
    EXPECT_EQ(jan11.SlotText(kSlotMoonRise), "月 00時00分 月出");

    int listed[2] = {0, 0};
    DateTime day(2001, 1, 1, 0, 0, 0);
    for (int i = 0; i < 4000; ++i, day.AddOffset(DateOffset(1, 0, 0, 0))) {
        double azimuth = 0;
        const double h0 = MoonAltitudeAt(day, kTokyo, &azimuth);
        const bool rise = EventTest(azimuth, h0, kEventRise);
        if (!rise && !EventTest(azimuth, h0, kEventSet)) continue;
        DateTime at = day;
        DailyEvents e;
        ComputeDailyEvents(at, kTokyo, e);
        EXPECT_EQ(e.EventMinutes(rise ? kSlotMoonRise : kSlotMoonSet), 0)
            << day.Year() << "-" << day.Month() << "-" << day.Day();
        ++listed[rise ? 0 : 1];
    }
    EXPECT_GT(listed[0], 0);
    EXPECT_GT(listed[1], 0);
}

// Near the zenith (and the nadir) the azimuth moves more than the transit
// window in one sample; such a transit is listed at the first sample past the
// meridian.
TEST(ComputeDailyEvents, BodiesPassingHighStillHaveTheirTransits) {
    // The Moon culminates at about 79 degrees over Tokyo on 2026-12-21.
    DateTime clock(2026, 12, 21, 0, 0, 0);
    DailyEvents e;
    ComputeDailyEvents(clock, kTokyo, e);
    const int listed = e.EventMinutes(kSlotMoonTransit);
    ASSERT_GE(listed, 0) << "no 月 南中";
    const auto hourAngle = [](int minutes) {
        const DateTime t(2026, 12, 21, minutes / 60, minutes % 60, 0);
        const double theta = LocalSiderealTime(t, 9, 139, 45);
        const double phi = LatitudeRadians(35, 41);
        return std::remainder(theta - MoonTopocentric(ToUniversalTime(t, 9), theta, phi).lon, kTwoPi);
    };
    EXPECT_LT(hourAngle(listed - 2), 0.0);
    EXPECT_GE(hourAngle(listed), 0.0);
    EXPECT_GT(MoonAltitudeAt(DateTime(2026, 12, 21, listed / 60, listed % 60, 0), kTokyo), 77 * kDeg);

    // A year at Tokyo, where Jupiter culminates at up to 77 degrees and the
    // winter Sun passes 12 degrees from the nadir: every day has the Sun's two
    // transits and the three planets'; the Moon's come 24 h 50 min apart, so
    // each is missing on one day a lunation.
    int moonMissing[2] = {0, 0};
    DateTime day(2026, 1, 1, 0, 0, 0);
    for (int d = 0; d < 365; ++d) {
        DailyEvents events;
        const DateTime date = day;
        ComputeDailyEvents(day, kTokyo, events);
        for (const int slot :
             {kSlotSunTransit, kSlotSunLowerTransit, kSlotMarsTransit, kSlotJupiterTransit, kSlotSaturnTransit})
            EXPECT_TRUE(events.Found(slot)) << date.Month() << "-" << date.Day() << " slot " << slot;
        moonMissing[0] += !events.Found(kSlotMoonTransit);
        moonMissing[1] += !events.Found(kSlotMoonLowerTransit);
    }
    EXPECT_LE(moonMissing[0], 13);
    EXPECT_LE(moonMissing[1], 13);
}

TEST(ComputeDailyEvents, PlanetTransitsAreTheFirstSampleInTheWindow) {
    // Straight from the engine's PlanetsEquatorial: the first two-minute sample
    // of the day at which each planet passes the upper-transit test; failing
    // that (a planet high enough to sweep past the window), the first sample
    // past its meridian crossing south of the zenith.
    const EventSite sites[] = {kTokyo, {-74, 0, 40, 43, -5}, {18, 57, 69, 39, 1}, {-70, -40, -33, -27, -4},
                               {36, 49, -1, -17, 3}};
    const struct { Planet planet; int slot; } planets[] = {
        {Planet::Mars, kSlotMarsTransit}, {Planet::Jupiter, kSlotJupiterTransit}, {Planet::Saturn, kSlotSaturnTransit}};
    int listed = 0, crossings = 0;
    for (const EventSite& site : sites) {
        for (int i = 0; i < 8; ++i) {
            const DateTime date(1991 + 7 * i, 1 + (5 * i) % 12, 3 + (9 * i) % 26, 0, 0, 0);
            int window[3] = {-1, -1, -1}, crossed[3] = {-1, -1, -1};
            double hourAngleBefore[3] = {0, 0, 0};
            bool inWindowBefore[3] = {false, false, false};
            DateTime t = date;
            t.SubtractOffset(DateOffset(0, 0, 2, 0));  // from 23:58 of the day before
            for (int sample = -1; sample < 720; ++sample, t.AddOffset(DateOffset(0, 0, 2, 0))) {
                std::array<double, kPlanetCount> ra{}, dec{};
                PlanetsEquatorial(ToUniversalTime(t, site.zoneOffsetHours), ra, dec);
                const double theta =
                    LocalSiderealTime(t, site.zoneOffsetHours, site.longitudeDegrees, site.longitudeMinutes);
                const double phi = LatitudeRadians(site.latitudeDegrees, site.latitudeMinutes);
                for (int k = 0; k < 3; ++k) {
                    const int p = static_cast<int>(planets[k].planet);
                    const Spherical hz = EquatorialToHorizontal(ra[p], dec[p], phi, theta);
                    const double hourAngle = std::remainder(theta - ra[p], kTwoPi);
                    const bool inWindow = EventTest(hz.lon, hz.lat, kEventUpperTransit);
                    const int minutes = t.Hour() * 60 + t.Minute();
                    if (sample >= 0 && window[k] < 0 && inWindow) window[k] = minutes;
                    if (sample >= 0 && crossed[k] < 0 && hourAngleBefore[k] < 0 && hourAngle >= 0 &&
                        !inWindowBefore[k] && hz.lat >= 0 && std::cos(hz.lon) < 0)
                        crossed[k] = minutes;
                    hourAngleBefore[k] = hourAngle;
                    inWindowBefore[k] = inWindow;
                }
            }
            int expected[3];
            for (int k = 0; k < 3; ++k) {
                expected[k] = window[k] >= 0 ? window[k] : crossed[k];
                crossings += window[k] < 0 && crossed[k] >= 0;
            }
            DateTime clock = date;
            DailyEvents e;
            ComputeDailyEvents(clock, site, e);
            for (int k = 0; k < 3; ++k) {
                EXPECT_EQ(e.EventMinutes(planets[k].slot), expected[k]) << date.Year() << " slot " << planets[k].slot;
                if (expected[k] >= 0) ++listed;
            }
        }
    }
    EXPECT_GT(listed, 40);
    EXPECT_GT(crossings, 0);
}

TEST(RunTodayData, NextDayTwiceThenClockGivenBackExactly) {
    // A clock with every slot set, including the ones the calendar never uses.
    const DateTime original = DateTime::FromSlots({2004, 12, 5, 30, 21, 13, 47, 612});
    DateTime clock = original;
    std::vector<std::string> headers;
    const int shown = RunTodayData(clock, kTokyo, [&](const DailyEvents& e) {
        headers.push_back(e.Header());
        EXPECT_FALSE(e.Lines().empty());
        return headers.size() < 3;  // "明日へ" twice
    });
    EXPECT_EQ(shown, 3);
    ASSERT_EQ(headers.size(), 3u);
    EXPECT_EQ(headers[0].substr(0, headers[0].find(' ')), "2004年12月30日");
    EXPECT_EQ(headers[1].substr(0, headers[1].find(' ')), "2004年12月31日");
    EXPECT_EQ(headers[2].substr(0, headers[2].find(' ')), "2005年1月1日");
    EXPECT_EQ(clock.Slots(), original.Slots());
}

TEST(RunTodayData, ClockGivenBackWhenShowingFails) {
    const DateTime original(2010, 7, 7, 7, 7, 7);
    DateTime clock = original;
    EXPECT_THROW(RunTodayData(clock, kTokyo, [](const DailyEvents&) -> bool { throw std::runtime_error("closed"); }),
                 std::runtime_error);
    EXPECT_EQ(clock, original);
}

TEST(RunTodayData, NextDayGivesTheSameListingAsComputingThatDay) {
    const EventSite west{-74, -0, 40, 43, -5};
    DateTime clock(2012, 2, 28, 9, 0, 0);
    std::vector<std::vector<std::string>> days;
    RunTodayData(clock, west, [&](const DailyEvents& e) {
        days.push_back(e.Lines());
        return days.size() < 2;
    });
    DateTime direct(2012, 2, 29, 15, 0, 0);
    DailyEvents e;
    ComputeDailyEvents(direct, west, e);
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[1], e.Lines());
    EXPECT_EQ(e.Header().substr(0, e.Header().find(' ')), "2012年2月29日");
}


// A comet near the Earth moves a few degrees a day: its rows must follow it
// to the minute where its altitude (brute force, minute by minute) crosses 0
// and its hour angle 0, where its place at noon would be minutes off.
TEST(TodayMinorRowsTest, MovingCometMatchesItsAltitudeMinuteByMinute) {
    MinorBody neowise;
    neowise.kind = MinorKind::Comet;
    neowise.designation = "C/2020 F3";
    neowise.name = "NEOWISE";
    neowise.magnitude = 7.0;
    neowise.slope = 3.2;
    neowise.orbit = KeplerOrbit(
        OrbitalElements{2459034.179, 0.294653, 0.999178, 37.2785 * kDeg, 61.0103 * kDeg, 128.9375 * kDeg});
    const EventSite site;  // 139:22 E, 35:34 N, UT+9
    const double phi = LatitudeRadians(site.latitudeDegrees, site.latitudeMinutes);
    const DateTime midnight(2020, 7, 23, 0, 0, 0);
    DateTime clock(2020, 7, 23, 21, 30, 0);
    DailyEvents events;
    ComputeDailyEvents(clock, site, events, {neowise});
    ASSERT_EQ(events.Rows().size(), 3u);

    struct Sample { double altitude, hourAngle; };
    const auto at = [&](int minute) {
        const Spherical p = MinorBodyOfDate(neowise, midnight, site.zoneOffsetHours, minute);
        const double lst = LocalSiderealTime(DateTime(2020, 7, 23, 0, minute, 0), site.zoneOffsetHours,
                                             site.longitudeDegrees, site.longitudeMinutes);
        double h = std::remainder(lst - p.lon, kTwoPi);
        return Sample{EquatorialToHorizontal(p.lon, p.lat, phi, lst).lat, h};
    };
    double rise = -1, transit = -1, set = -1;
    Sample before = at(0);
    for (int m = 0; m < 1440; ++m) {
        const Sample next = at(m + 1);
        const auto cross = [&](double a, double b) { return m + a / (a - b); };
        if (before.altitude < 0 && next.altitude >= 0 && rise < 0) rise = cross(before.altitude, next.altitude);
        if (before.altitude >= 0 && next.altitude < 0 && set < 0) set = cross(before.altitude, next.altitude);
        if (before.hourAngle < 0 && next.hourAngle >= 0 && next.hourAngle < 1 && transit < 0)
            transit = cross(before.hourAngle, next.hourAngle);
        before = next;
    }
    const auto minutesOf = [&](std::size_t row, const char* word) {
        int hour = -1, minute = -1;
        const std::string& text = events.Rows()[row];
        EXPECT_EQ(std::sscanf(text.c_str(), "彗星 %d時%d分", &hour, &minute), 2) << text;
        const std::string tail = std::string("分 C/2020 F3 (NEOWISE) ") + word;
        EXPECT_EQ(text.rfind(tail), text.size() - tail.size()) << text;
        return hour * 60 + minute;
    };
    ASSERT_TRUE(rise > 0 && transit > 0 && set > 0);
    EXPECT_LE(std::abs(minutesOf(0, "出") - rise), 1.0);
    EXPECT_LE(std::abs(minutesOf(1, "南中") - transit), 1.0);
    EXPECT_LE(std::abs(minutesOf(2, "没") - set), 1.0);
    // Held at its place of noon, the comet would rise minutes away.
    const double lst0 = LocalSiderealTime(midnight, site.zoneOffsetHours, site.longitudeDegrees, site.longitudeMinutes);
    const auto fixedRise = FixedEventAfter(MinorBodyOfDate(neowise, midnight, site.zoneOffsetHours, 720), phi, lst0,
                                           HorizonEvent::Rise);
    ASSERT_TRUE(fixedRise);
    EXPECT_GT(std::abs(*fixedRise - rise), 3.0);
    // The rows follow the fixed slots in the listing and go with the next day.
    EXPECT_EQ(events.Lines().back(), events.Rows().back());
    ComputeDailyEvents(clock, site, events);
    EXPECT_TRUE(events.Rows().empty());
}

}  // namespace
}  // namespace tavik
