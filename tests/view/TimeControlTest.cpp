// Time control: set to now, auto update with turning, stepping that waits for
// the repaint, hour and ten-minute buttons, menu texts, interval list and the
// date-and-time range checks.

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "settings/SettingsStore.h"
#include "view/TimeControl.h"
#include "view/ViewState.h"

namespace tavik {
namespace {

class FakeClock final : public Clock {
public:
    DateTime Now() const override { return now; }
    DateTime now{2026, 3, 10, 21, 0, 0};
};

class FakeTimers final : public TimerHost {
public:
    void StartTimer(int id, int periodMs) override { active[id] = periodMs; starts.push_back(id); }
    void KillTimer(int id) override { active.erase(id); }
    bool Active(int id) const { return active.count(id) != 0; }
    std::map<int, int> active;
    std::vector<int> starts;
};

class TimeControlTest : public ::testing::Test {
protected:
    FakeClock clock;
    FakeTimers timers;
    MemorySettingsStore store;
    TimeControl time{clock, timers};
};

TEST_F(TimeControlTest, SetToNowWhileSteppingOnlyStopsStepping) {
    time.SetCurrent(DateTime(2000, 1, 1, 0, 0, 0));
    time.ToggleStepping();
    ASSERT_TRUE(time.Stepping());
    EXPECT_EQ(timers.active[timer_id::kStep], kFirstStepDelayMs);

    const TimeAction a = time.SetToNow();
    EXPECT_FALSE(time.Stepping());
    EXPECT_FALSE(timers.Active(timer_id::kStep));
    EXPECT_FALSE(a.refresh);
    EXPECT_EQ(time.Current(), DateTime(2000, 1, 1, 0, 0, 0));

    EXPECT_TRUE(time.SetToNow().refresh);
    EXPECT_EQ(time.Current(), clock.now);
}

TEST_F(TimeControlTest, AutoUpdateWhileSteppingStopsItAndSetsTheClockInOneAction) {
    time.SetCurrent(DateTime(2000, 1, 1, 0, 0, 0));
    time.ToggleStepping();
    const TimeAction a = time.ToggleAutoUpdate(store);
    EXPECT_TRUE(a.refresh);
    EXPECT_FALSE(time.Stepping());
    EXPECT_TRUE(time.AutoUpdate());
    EXPECT_EQ(time.Current(), clock.now);
    EXPECT_EQ(timers.active[timer_id::kAutoUpdate], kAutoUpdatePeriodMs);
    EXPECT_EQ(store.GetProfileInt("SETTING", "MOVING", -1), 1);
    // While it runs, stepping and the dialogs are disabled.
    EXPECT_FALSE(time.SteppingItem().enabled);
    EXPECT_FALSE(time.DateTimeItem().enabled);
    EXPECT_FALSE(time.IntervalItem().enabled);
    EXPECT_TRUE(time.AutoUpdateItem().checked);

    time.ToggleAutoUpdate(store);
    EXPECT_FALSE(timers.Active(timer_id::kAutoUpdate));
    EXPECT_EQ(store.GetProfileInt("SETTING", "MOVING", -1), 0);
}

TEST_F(TimeControlTest, AutoUpdateTurnsTheDirectionViewWithTime) {
    ViewState view;
    view.viewMode = ViewMode::Direction;
    view.facing = Facing::South;
    view.turnDegrees = 0;
    time.ToggleAutoUpdate(store);
    time.SetTurnWithTime(true);
    for (int minute = 1; minute <= 6; ++minute) time.OnAutoUpdateTimer(true, view);
    EXPECT_EQ(view.turnDegrees, 60);
    EXPECT_EQ(view.facing, Facing::South);
    time.OnAutoUpdateTimer(true, view);
    time.OnAutoUpdateTimer(true, view);
    const TimeAction ninth = time.OnAutoUpdateTimer(true, view);
    EXPECT_TRUE(ninth.recomputeFraming);
    EXPECT_EQ(view.facing, Facing::West);  // South + 1 wraps to West
    EXPECT_EQ(view.turnDegrees, 0);

    view.turnDegrees = 5;
    for (int i = 0; i < 9; ++i) time.OnAutoUpdateTimer(true, view);
    EXPECT_EQ(view.facing, Facing::North);
    EXPECT_EQ(view.turnDegrees, 5);  // the carry came at 95
}

TEST_F(TimeControlTest, AutoUpdateInTheBackgroundSetsTheClockButDoesNotRedraw) {
    ViewState view;
    view.viewMode = ViewMode::Direction;
    time.SetTurnWithTime(true);
    time.SetCurrent(DateTime(2000, 1, 1, 0, 0, 0));
    const TimeAction a = time.OnAutoUpdateTimer(false, view);
    EXPECT_EQ(time.Current(), clock.now);
    EXPECT_FALSE(a.refresh);
    EXPECT_EQ(view.turnDegrees, 0);
    // The planisphere never turns with time.
    view.viewMode = ViewMode::Planisphere;
    EXPECT_TRUE(time.OnAutoUpdateTimer(true, view).refresh);
    EXPECT_EQ(view.turnDegrees, 0);
}

TEST_F(TimeControlTest, SteppingIsReArmedOnlyAfterTheRepaint) {
    time.SetCurrent(DateTime(2026, 3, 10, 21, 0, 0));
    time.ToggleStepping();
    ASSERT_TRUE(timers.Active(timer_id::kStep));

    EXPECT_TRUE(time.OnStepTimer().refresh);
    EXPECT_EQ(time.Current(), DateTime(2026, 3, 10, 21, 3, 0));
    EXPECT_FALSE(timers.Active(timer_id::kStep)) << "no next step before the picture is shown";
    EXPECT_TRUE(time.RearmPending());

    time.AfterRepaint();
    EXPECT_EQ(timers.active[timer_id::kStep], kNextStepDelayMs);
    // A further repaint (an expose, say) does not arm a second timer.
    timers.starts.clear();
    time.AfterRepaint();
    EXPECT_TRUE(timers.starts.empty());

    // Stopping clears the re-arm flag: the next repaint starts nothing.
    time.OnStepTimer();
    time.ToggleStepping();
    time.AfterRepaint();
    EXPECT_FALSE(timers.Active(timer_id::kStep));
    // A step timer that still fires after stopping does nothing.
    const DateTime before = time.Current();
    EXPECT_FALSE(time.OnStepTimer().refresh);
    EXPECT_EQ(time.Current(), before);
}

TEST_F(TimeControlTest, HourAndTenMinuteButtonsCrossMidnight) {
    time.SetCurrent(DateTime(2026, 1, 1, 0, 5, 0));
    time.TenMinutesBack();
    EXPECT_EQ(time.Current(), DateTime(2025, 12, 31, 23, 55, 0));
    time.SetCurrent(DateTime(2026, 3, 1, 0, 30, 0));
    time.HourBack();
    EXPECT_EQ(time.Current(), DateTime(2026, 2, 28, 23, 30, 0));
    time.HourForward();
    time.TenMinutesForward();
    EXPECT_EQ(time.Current(), DateTime(2026, 3, 1, 0, 40, 0));
}

TEST_F(TimeControlTest, MenuTextsFollowTheIntervalAndTheState) {
    EXPECT_EQ(time.SteppingItem().text, "3分刻みで進める");
    EXPECT_EQ(time.TurnItem().text, "3分進める");
    EXPECT_EQ(time.SetNowItem().text, "現在時刻セット");
    time.ToggleStepping();
    EXPECT_TRUE(time.SteppingItem().checked);
    EXPECT_EQ(time.SetNowItem().text, "「進む」を停止させる");
    EXPECT_EQ(time.TurnItem().text, "-----");
    EXPECT_FALSE(time.TurnItem().enabled);
    time.ToggleStepping();
    time.ToggleAutoUpdate(store);
    EXPECT_EQ(time.TurnItem().text, "回す(右)");
    EXPECT_FALSE(time.TurnItem().checked);
    time.TurnOrStep();
    EXPECT_TRUE(time.TurnItem().checked);

    time.SetInterval({0, 12, 0, 0}, store);
    EXPECT_EQ(time.SteppingItem().text, "12時間刻みで進める");
    EXPECT_EQ(store.GetProfileInt("ANIME", "HOUR", -1), 12);
    EXPECT_EQ(store.GetProfileInt("ANIME", "MIN", -1), 0);
}

TEST_F(TimeControlTest, TurnOrStepStepsOnceWhenTimeStands) {
    time.SetCurrent(DateTime(2026, 3, 10, 23, 59, 0));
    EXPECT_TRUE(time.TurnOrStep().refresh);
    EXPECT_EQ(time.Current(), DateTime(2026, 3, 11, 0, 2, 0));
}

TEST(IntervalChoices, ListAndTexts) {
    ASSERT_EQ(IntervalChoices().size(), 19u);
    for (const IntervalChoice& c : IntervalChoices()) {
        const StepInterval& i = c.interval;
        EXPECT_EQ((i.days != 0) + (i.hours != 0) + (i.minutes != 0) + (i.seconds != 0), 1) << c.text;
    }
    EXPECT_EQ(FindIntervalChoice({0, 0, 3, 0}), 2);
    EXPECT_EQ(FindIntervalChoice({30, 0, 0, 0}), 18);
    EXPECT_EQ(FindIntervalChoice({0, 0, 2, 0}), -1) << "a hand-written interval selects nothing";
    EXPECT_EQ(IntervalText({0, 0, 0, 30}), "30秒");
    EXPECT_EQ(IntervalText({7, 0, 0, 0}), "7日");
    EXPECT_EQ(IntervalText({1, 2, 0, 0}), "2時間") << "the last non-zero unit wins";
}

TEST(DateTimeFieldsTest, RangeChecksInTheDialogOrder) {
    DateTimeFields ok{2030, 12, 31, 23, 59, 59};
    EXPECT_FALSE(ValidateDateTimeFields(ok));
    DateTimeFields f = ok;
    f.year = 2031;
    auto e = ValidateDateTimeFields(f);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->controlId, 1026);
    EXPECT_EQ(e->message, "1985 から 2030 までの整数を入力してください。");
    f = ok;
    f.month = 0;
    f.day = 32;  // the day is checked first
    e = ValidateDateTimeFields(f);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->controlId, 1028);
    f = ok;
    f.year = 1985;
    f.hour = 0;
    f.second = 60;
    e = ValidateDateTimeFields(f);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->controlId, 1025);
}

TEST_F(TimeControlTest, DateTimeFromTheDialogIsNormalised) {
    time.SetDateTime(2026, 4, 31, 20, 0, 0);
    EXPECT_EQ(time.Current(), DateTime(2026, 5, 1, 20, 0, 0));
}

TEST_F(TimeControlTest, LoadReadsTheStoredIntervalAndFlags) {
    store.WriteProfileInt("ANIME", "MIN", 2);
    store.WriteProfileInt("SETTING", "MOVING", 1);
    store.WriteProfileInt("ROTATE", "RIGHT", 2);  // a flag is on only when exactly 1
    time.Load(store);
    EXPECT_EQ(time.Interval(), (StepInterval{0, 0, 2, 0}));
    EXPECT_TRUE(time.AutoUpdate());
    EXPECT_FALSE(time.TurnWithTime());
    EXPECT_FALSE(timers.Active(timer_id::kAutoUpdate));
    time.StartAfterLoad();
    EXPECT_TRUE(timers.Active(timer_id::kAutoUpdate));

    // A damaged store: a step of two billion days is cut to a century.
    store.WriteProfileInt("ANIME", "DAY", 2147483647);
    time.Load(store);
    EXPECT_EQ(time.Interval().days, 36525);
}

}  // namespace
}  // namespace tavik
