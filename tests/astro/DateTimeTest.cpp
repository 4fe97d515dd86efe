#include "astro/DateTime.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

::testing::AssertionResult Is(const DateTime& t, int y, int mo, int d, int h, int mi, int s) {
    if (t.Year() == y && t.Month() == mo && t.Day() == d && t.Hour() == h && t.Minute() == mi &&
        t.Second() == s)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got " << t.Year() << "-" << t.Month() << "-" << t.Day() << " " << t.Hour() << ":"
           << t.Minute() << ":" << t.Second() << ", want " << y << "-" << mo << "-" << d << " " << h
           << ":" << mi << ":" << s;
}

TEST(DateTimeNormalize, MonthEndsAndLeapYears) {
    EXPECT_TRUE(Is(DateTime(2004, 10, 31, 0, 0, 0), 2004, 10, 31, 0, 0, 0));
    EXPECT_TRUE(Is(DateTime(2004, 12, 31, 0, 0, 0), 2004, 12, 31, 0, 0, 0));
    EXPECT_TRUE(Is(DateTime(2004, 12, 32, 0, 0, 0), 2005, 1, 1, 0, 0, 0));
    EXPECT_TRUE(Is(DateTime(2004, 4, 31, 0, 0, 0), 2004, 5, 1, 0, 0, 0));
    EXPECT_TRUE(Is(DateTime(2004, 11, 31, 0, 0, 0), 2004, 12, 1, 0, 0, 0));
    EXPECT_TRUE(Is(DateTime(2003, 2, 29, 0, 0, 0), 2003, 3, 1, 0, 0, 0));
    EXPECT_TRUE(Is(DateTime(2004, 2, 29, 0, 0, 0), 2004, 2, 29, 0, 0, 0));
    EXPECT_TRUE(Is(DateTime(2004, 2, 30, 0, 0, 0), 2004, 3, 1, 0, 0, 0));
    EXPECT_TRUE(Is(DateTime(2100, 2, 29, 0, 0, 0), 2100, 2, 29, 0, 0, 0));  // every fourth year
}

TEST(DateTimeNormalize, ZeroDayAndMonthBorrow) {
    // Day 0 becomes day 1 of the previous month, month 0 December of the year before.
    EXPECT_TRUE(Is(DateTime(2004, 3, 0, 0, 0, 0), 2004, 2, 1, 0, 0, 0));
    EXPECT_TRUE(Is(DateTime(2004, 1, 0, 0, 0, 0), 2003, 12, 1, 0, 0, 0));
    EXPECT_TRUE(Is(DateTime(2004, 0, 15, 0, 0, 0), 2003, 12, 15, 0, 0, 0));
}

TEST(DateTimeNormalize, TimeCarries) {
    EXPECT_TRUE(Is(DateTime(2004, 12, 31, 23, 59, 60), 2005, 1, 1, 0, 0, 0));
    EXPECT_TRUE(Is(DateTime(2004, 6, 30, 47, 120, 3600), 2004, 7, 1, 2, 0, 0));
    // Day 62 of January: 31 days carry into February 31st, then 28 into March.
    EXPECT_TRUE(Is(DateTime(2003, 1, 62, 0, 0, 0), 2003, 3, 3, 0, 0, 0));
}

TEST(DateTimeNormalize, SixteenBitWrap) {
    // -1 second is 65535 in the slot: it carries as 1092 minutes 15 seconds.
    EXPECT_TRUE(Is(DateTime(2004, 1, 1, 0, 0, -1), 2004, 1, 1, 18, 12, 15));
    DateTime t(2004, 1, 1, 0, 0, 0);
    t.AddOffset(DateOffset(0, 0, 0, -1));
    EXPECT_TRUE(Is(t, 2004, 1, 1, 18, 12, 15));
    // The year slot wraps too.
    EXPECT_TRUE(Is(DateTime(65535, 12, 32, 0, 0, 0), 0, 1, 1, 0, 0, 0));
}

TEST(DateTimeNormalize, LeavesSpareSlotsAlone) {
    DateTime t = DateTime::FromSlots({2004, 2, 3, 30, 25, 61, 61, 999});
    t.Normalize();
    const auto s = t.Slots();
    EXPECT_EQ(s[2], 3);    // day of week
    EXPECT_EQ(s[7], 999);  // milliseconds
    EXPECT_TRUE(Is(t, 2004, 3, 2, 2, 2, 1));
}

TEST(DateTimeAddOffset, StepsAcrossBoundaries) {
    DateTime t(2004, 12, 31, 23, 59, 59);
    t.AddOffset(DateOffset(0, 0, 0, 1));
    EXPECT_TRUE(Is(t, 2005, 1, 1, 0, 0, 0));

    DateTime u(2003, 2, 28, 12, 0, 0);
    u.AddOffset(DateOffset(3, 0, 0, 0));
    EXPECT_TRUE(Is(u, 2003, 3, 3, 12, 0, 0));

    DateTime v(2004, 1, 31, 22, 50, 0);
    EXPECT_TRUE(Is(v.AddOffset(DateOffset(30, 1, 10, 0)), 2004, 3, 2, 0, 0, 0));
}

TEST(DateTimeSubtractOffset, ZoneOffsetsEast) {
    EXPECT_TRUE(Is(ToUniversalTime(DateTime(2004, 1, 1, 5, 0, 0), 9), 2003, 12, 31, 20, 0, 0));
    EXPECT_TRUE(Is(ToUniversalTime(DateTime(2004, 3, 1, 5, 0, 0), 9), 2004, 2, 29, 20, 0, 0));
    EXPECT_TRUE(Is(ToUniversalTime(DateTime(2003, 3, 1, 5, 0, 0), 9), 2003, 2, 28, 20, 0, 0));
    EXPECT_TRUE(Is(ToUniversalTime(DateTime(2004, 5, 1, 5, 0, 0), 9), 2004, 4, 30, 20, 0, 0));
    EXPECT_TRUE(Is(ToUniversalTime(DateTime(2004, 5, 10, 9, 0, 0), 9), 2004, 5, 10, 0, 0, 0));
    EXPECT_TRUE(Is(ToUniversalTime(DateTime(2004, 5, 10, 9, 0, 0), 0), 2004, 5, 10, 9, 0, 0));
}

TEST(DateTimeSubtractOffset, WestOfGreenwichLeavesHourAbove23) {
    const DateTime ut = ToUniversalTime(DateTime(2004, 3, 10, 10, 0, 0), -5);
    EXPECT_TRUE(Is(ut, 2004, 3, 9, 39, 0, 0));  // 2004-03-10 15:00 UT at face value
    const DateTime newYear = ToUniversalTime(DateTime(2004, 1, 1, 23, 30, 0), -10);
    EXPECT_TRUE(Is(newYear, 2003, 12, 31, 57, 30, 0));
}

TEST(DateTimeSubtractOffset, MinutesBorrowFromHours) {
    DateTime t(2004, 3, 1, 0, 5, 0);
    t.SubtractOffset(DateOffset(0, 0, 10, 0));
    EXPECT_TRUE(Is(t, 2004, 2, 29, 23, 55, 0));

    DateTime u(2004, 6, 15, 12, 0, 30);
    u.SubtractOffset(DateOffset(0, 1, 0, 0));
    EXPECT_TRUE(Is(u, 2004, 6, 15, 11, 0, 30));

    // Days and seconds of the offset are not used.
    DateTime w(2004, 6, 15, 12, 30, 30);
    w.SubtractOffset(DateOffset(5, 0, 10, 20));
    EXPECT_TRUE(Is(w, 2004, 6, 15, 12, 20, 30));
}

}  // namespace
}  // namespace tavik
