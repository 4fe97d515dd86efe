#include "view/TimeControl.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"
#include "view/ViewState.h"

namespace tavik {

DateTime SystemClock::Now() const {
    const std::time_t now = utcNow_ ? utcNow_() : std::time(nullptr);
    if (zone_) return SiteTimeAt(now, zone_());
    std::tm local{};
    localtime_r(&now, &local);
    return DateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                    local.tm_min, local.tm_sec);
}

const std::array<IntervalChoice, kIntervalChoiceCount>& IntervalChoices() {
    static const std::array<IntervalChoice, kIntervalChoiceCount> choices = {{
        {"30秒", {0, 0, 0, 30}},
        {"1分", {0, 0, 1, 0}},
        {"3分", {0, 0, 3, 0}},
        {"5分", {0, 0, 5, 0}},
        {"10分", {0, 0, 10, 0}},
        {"20分", {0, 0, 20, 0}},
        {"30分", {0, 0, 30, 0}},
        {"1時間", {0, 1, 0, 0}},
        {"２時間", {0, 2, 0, 0}},
        {"３時間", {0, 3, 0, 0}},
        {"４時間", {0, 4, 0, 0}},
        {"６時間", {0, 6, 0, 0}},
        {"１２時間", {0, 12, 0, 0}},
        {"1日", {1, 0, 0, 0}},
        {"3日", {3, 0, 0, 0}},
        {"5日", {5, 0, 0, 0}},
        {"7日", {7, 0, 0, 0}},
        {"15日", {15, 0, 0, 0}},
        {"30日", {30, 0, 0, 0}},
    }};
    return choices;
}

int FindIntervalChoice(const StepInterval& interval) {
    const auto& choices = IntervalChoices();
    for (int i = 0; i < kIntervalChoiceCount; ++i) {
        if (choices[static_cast<std::size_t>(i)].interval == interval) return i;
    }
    return -1;
}

std::string IntervalText(const StepInterval& interval) {
    // The last non-zero unit wins; with the list's choices only one is set.
    char buf[32] = "";
    if (interval.days != 0) std::snprintf(buf, sizeof buf, "%d日", interval.days);
    if (interval.hours != 0) std::snprintf(buf, sizeof buf, "%d時間", interval.hours);
    if (interval.minutes != 0) std::snprintf(buf, sizeof buf, "%d分", interval.minutes);
    if (interval.seconds != 0) std::snprintf(buf, sizeof buf, "%d秒", interval.seconds);
    return buf;
}

TimeControl::TimeControl(const Clock& clock, TimerHost& timers)
    : clock_(clock), timers_(timers), current_(clock.Now()) {}

void TimeControl::Load(const SettingsStore& store) {
    // Bounded where they are read: a stored step of any size stays drawable.
    interval_.days = ReadSettingInt(store, "ANIME", "DAY");
    interval_.hours = ReadSettingInt(store, "ANIME", "HOUR");
    interval_.minutes = ReadSettingInt(store, "ANIME", "MIN");
    interval_.seconds = ReadSettingInt(store, "ANIME", "SEC");
    autoUpdate_ = store.GetProfileInt("SETTING", "MOVING", 0) == 1;
    turnWithTime_ = store.GetProfileInt("ROTATE", "RIGHT", 0) == 1;
}

void TimeControl::SaveInterval(SettingsStore& store) const {
    store.WriteProfileInt("ANIME", "DAY", interval_.days);
    store.WriteProfileInt("ANIME", "HOUR", interval_.hours);
    store.WriteProfileInt("ANIME", "MIN", interval_.minutes);
    store.WriteProfileInt("ANIME", "SEC", interval_.seconds);
}

void TimeControl::Save(SettingsStore& store) const {
    SaveInterval(store);
    store.WriteProfileInt("SETTING", "MOVING", autoUpdate_ ? 1 : 0);
    store.WriteProfileInt("ROTATE", "RIGHT", turnWithTime_ ? 1 : 0);
}

void TimeControl::StartAfterLoad() {
    if (autoUpdate_) timers_.StartTimer(timer_id::kAutoUpdate, kAutoUpdatePeriodMs);
}

void TimeControl::StopStepping() {
    stepping_ = 0;
    timers_.KillTimer(timer_id::kStep);
    rearm_ = false;
}

TimeAction TimeControl::SetToNow() {
    if (stepping_ != 0) {
        StopStepping();
        return {};
    }
    current_ = clock_.Now();
    return {.refresh = true};
}

TimeAction TimeControl::ToggleAutoUpdate(SettingsStore& store) {
    TimeAction action;
    if (autoUpdate_) {
        autoUpdate_ = false;
        timers_.KillTimer(timer_id::kAutoUpdate);
    } else {
        if (stepping_ != 0) SetToNow();  // stops stepping only
        action = SetToNow();             // sets the clock
        autoUpdate_ = true;
        timers_.StartTimer(timer_id::kAutoUpdate, kAutoUpdatePeriodMs);
    }
    store.WriteProfileInt("SETTING", "MOVING", autoUpdate_ ? 1 : 0);
    return action;
}

TimeAction TimeControl::OnAutoUpdateTimer(bool shown, ViewState& view) {
    current_ = clock_.Now();
    if (!shown) return {};  // the clock moves on, the hidden window is not redrawn
    TimeAction action{.refresh = true};
    if (static_cast<int>(view.viewMode) > 20 && turnWithTime_) {
        view.turnDegrees += 10;
        if (view.turnDegrees >= 90) {
            view.facing = (view.facing + 1) % 4;
            view.turnDegrees %= 90;
        }
        action.recomputeFraming = true;
    }
    return action;
}

TimeAction TimeControl::ToggleStepping() {
    if (stepping_ != 0) {
        StopStepping();
    } else {
        timers_.StartTimer(timer_id::kStep, kFirstStepDelayMs);
        stepping_ = 3;
    }
    return {.saveSettings = true};
}

TimeAction TimeControl::OnStepTimer() {
    timers_.KillTimer(timer_id::kStep);
    if (stepping_ == 0) return {};  // a step that fires after stopping does nothing
    current_.AddOffset(interval_.Offset());
    rearm_ = true;
    return {.refresh = true};
}

void TimeControl::AfterRepaint() {
    if (rearm_ && stepping_ != 0) {
        rearm_ = false;
        timers_.StartTimer(timer_id::kStep, kNextStepDelayMs);
    }
}

TimeAction TimeControl::TurnOrStep() {
    if (autoUpdate_) {
        turnWithTime_ = !turnWithTime_;
        return {.saveSettings = true};
    }
    if (stepping_ != 0) return {};
    current_.AddOffset(interval_.Offset());
    return {.refresh = true};
}

TimeAction TimeControl::HourForward() {
    current_.AddOffset(DateOffset(0, 1, 0, 0));
    return {.refresh = true};
}

TimeAction TimeControl::HourBack() {
    current_.SubtractOffset(DateOffset(0, 1, 0, 0));
    return {.refresh = true};
}

TimeAction TimeControl::TenMinutesForward() {
    current_.AddOffset(DateOffset(0, 0, 10, 0));
    return {.refresh = true};
}

TimeAction TimeControl::TenMinutesBack() {
    current_.SubtractOffset(DateOffset(0, 0, 10, 0));
    return {.refresh = true};
}

void TimeControl::SetInterval(const StepInterval& interval, SettingsStore& store) {
    interval_ = interval;
    SaveInterval(store);
}

TimeAction TimeControl::SetDateTime(int year, int month, int day, int hour, int minute,
                                    int second) {
    current_ = DateTime(year, month, day, hour, minute, second);
    return {.refresh = true};
}

ItemState TimeControl::SetNowItem() const {
    ItemState s;
    s.text = stepping_ != 0 ? "「進む」を停止させる" : "現在時刻セット";
    return s;
}

ItemState TimeControl::DateTimeItem() const { return MakeItem(!autoUpdate_, false); }

ItemState TimeControl::AutoUpdateItem() const { return MakeItem(true, autoUpdate_); }

ItemState TimeControl::SteppingItem() const {
    return MakeItem(!autoUpdate_, stepping_ != 0, IntervalText(interval_) + "刻みで進める");
}

ItemState TimeControl::IntervalItem() const { return MakeItem(!autoUpdate_, false); }

ItemState TimeControl::TurnItem() const {
    if (autoUpdate_) return MakeItem(true, turnWithTime_, "回す(右)");
    if (stepping_ != 0) return MakeItem(false, false, "-----");
    return MakeItem(true, false, IntervalText(interval_) + "進める");
}

DateTimeFields FieldsOf(const DateTime& t) {
    return {t.Year(), t.Month(), t.Day(), t.Hour(), t.Minute(), t.Second()};
}

std::string RangeMessage(int low, int high) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%d から %d までの整数を入力してください。", low, high);
    return buf;
}

std::optional<FieldError> ValidateDateTimeFields(const DateTimeFields& f) {
    struct Check {
        int value, low, high, control;
    };
    const Check checks[] = {
        {f.day, 1, 31, 1028},  {f.hour, 0, 23, 1023},     {f.minute, 0, 59, 1024},
        {f.month, 1, 12, 1027}, {f.second, 0, 59, 1025}, {f.year, 1985, 2030, 1026},
    };
    for (const Check& c : checks) {
        if (c.value < c.low || c.value > c.high) {
            return FieldError{c.control, RangeMessage(c.low, c.high)};
        }
    }
    return std::nullopt;
}

}  // namespace tavik
