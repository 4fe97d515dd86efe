#pragma once
// The moment the sky view shows, and how it moves: set to the clock, real-time
// auto update once a minute (optionally turning the direction view with time),
// stepping by a chosen interval, single steps and the hour / ten-minute
// buttons, plus the texts of the time menu items and the range checks of the
// date-and-time dialog.
//
// No window and no Qt: the clock and the timers are injected, and every
// operation returns what the view must do next (refresh, save its settings).

#include <array>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "astro/DateTime.h"

namespace tavik {

class SettingsStore;
struct ViewState;

// Timer identifiers of the sky view. One handler dispatches all of them.
namespace timer_id {
inline constexpr int kAutoUpdate = 165;      // 60000 ms, repeating
inline constexpr int kTrace = 899;           // telescope trace step
inline constexpr int kTraceEnd = 179;        // end of trace redraw
inline constexpr int kTapSave0 = 900;        // post 2050 with 0
inline constexpr int kTapSave1 = 901;        // post 2050 with 1
inline constexpr int kHorizonSearch = 902;   // post 2053
inline constexpr int kPost2052 = 903;
inline constexpr int kAddIn = 904;
inline constexpr int kPicture = 905;
inline constexpr int kDescriptionEdit = 906;
inline constexpr int kNothing = 997;
inline constexpr int kNoCatalogue = 998;     // 2000 ms after start
inline constexpr int kStep = 1003;           // 100 ms, then 1000 ms after each repaint
inline constexpr int kTapMenu = 1004;        // 500 ms hold
inline constexpr int kPost2056 = 1005;
inline constexpr int kTapInfo = 1006;         // 5000 ms: the tap text goes
inline constexpr int kDescriptionShow = 1007; // 1000 ms after a description command
inline constexpr int kTelescopeReminder = 207;  // 30000 ms after start
inline constexpr int kExit = 9999;           // 10000 ms
inline constexpr int kFirstPaint = 10002;    // 1000 ms after the first paint

inline constexpr std::array<int, 20> kAll = {
    kAutoUpdate, kTrace, kTraceEnd, kTapSave0, kTapSave1, kHorizonSearch,
    kPost2052, kAddIn, kPicture, kDescriptionEdit, kNothing, kNoCatalogue,
    kStep, kTapMenu, kPost2056, kTapInfo, kDescriptionShow, kTelescopeReminder, kExit, kFirstPaint};
}  // namespace timer_id

inline constexpr int kAutoUpdatePeriodMs = 60000;
inline constexpr int kFirstStepDelayMs = 100;
inline constexpr int kNextStepDelayMs = 1000;

// The platform's local clock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime Now() const = 0;
};

// The computer's clock read as the site's local time: the current UTC instant
// plus the zone offset of the site (SETTING/JISA with the site), whatever zone
// the machine itself is set to. Without a zone provider the machine's own zone
// is used.
class SystemClock final : public Clock {
public:
    using ZoneFn = std::function<int()>;          // the site's zone offset, hours
    using UtcFn = std::function<std::time_t()>;   // the current instant (tests)

    SystemClock() = default;
    explicit SystemClock(ZoneFn zoneOffsetHours, UtcFn utcNow = {})
        : zone_(std::move(zoneOffsetHours)), utcNow_(std::move(utcNow)) {}
    void SetZoneProvider(ZoneFn zoneOffsetHours) { zone_ = std::move(zoneOffsetHours); }

    DateTime Now() const override;

private:
    ZoneFn zone_;
    UtcFn utcNow_;
};

// SetTimer / KillTimer of the view window.
class TimerHost {
public:
    virtual ~TimerHost() = default;
    virtual void StartTimer(int id, int periodMs) = 0;
    virtual void KillTimer(int id) = 0;
};

// Days, hours, minutes and seconds of one step (section ANIME).
struct StepInterval {
    int days = 0;
    int hours = 0;
    int minutes = 3;
    int seconds = 0;

    DateOffset Offset() const { return DateOffset(days, hours, minutes, seconds); }
    bool operator==(const StepInterval&) const = default;
};

// One entry of the interval dialog's list.
struct IntervalChoice {
    const char* text;  // UTF-8
    StepInterval interval;
};
inline constexpr int kIntervalChoiceCount = 19;
const std::array<IntervalChoice, kIntervalChoiceCount>& IntervalChoices();
// The entry whose four values equal `interval`, or -1 when none does.
int FindIntervalChoice(const StepInterval& interval);

// "%d日", "%d時間", "%d分" or "%d秒" of the last non-zero unit (days, hours,
// minutes, seconds); empty when all four are zero.
std::string IntervalText(const StepInterval& interval);

// What the caller must do after a time operation.
struct TimeAction {
    bool refresh = false;       // recompute positions and repaint (RefreshView)
    bool recomputeFraming = false;  // the view state's facing or turn changed
    bool saveSettings = false;  // run the view's save operation

    bool operator==(const TimeAction&) const = default;
};

// Menu item state as an update handler sets it.
struct ItemState {
    bool enabled = true;
    bool checked = false;
    std::string text;  // empty: keep the item's own text
};
inline ItemState MakeItem(bool enabled, bool checked, std::string text = {}) {
    ItemState s;
    s.enabled = enabled;
    s.checked = checked;
    s.text = std::move(text);
    return s;
}

class TimeControl {
public:
    TimeControl(const Clock& clock, TimerHost& timers);

    // ANIME/DAY, HOUR, MIN, SEC, SETTING/MOVING and ROTATE/RIGHT. Does not start
    // any timer (see StartAfterLoad).
    void Load(const SettingsStore& store);
    // Writes the same entries (part of the view's save operation).
    void Save(SettingsStore& store) const;
    // After the catalogue has loaded: starts timer 165 when auto update was on.
    void StartAfterLoad();

    const Clock& GetClock() const { return clock_; }
    const DateTime& Current() const { return current_; }
    void SetCurrent(const DateTime& t) { current_ = t; }
    bool AutoUpdate() const { return autoUpdate_; }
    bool Stepping() const { return stepping_ != 0; }
    bool TurnWithTime() const { return turnWithTime_; }
    void SetTurnWithTime(bool on) { turnWithTime_ = on; }
    const StepInterval& Interval() const { return interval_; }
    bool RearmPending() const { return rearm_; }

    // 32777: stops stepping when it runs (nothing else), otherwise sets the
    // moment to the clock.
    TimeAction SetToNow();
    // 32778: auto update on/off. Writes SETTING/MOVING.
    TimeAction ToggleAutoUpdate(SettingsStore& store);
    // Timer 165. `shown`: the program's window can be seen (not minimised or
    // hidden); a window out of sight keeps the time but is not redrawn.
    TimeAction OnAutoUpdateTimer(bool shown, ViewState& view);
    // 32875: stepping on/off.
    TimeAction ToggleStepping();
    // Timer 1003: one step; the timer is re-armed by AfterRepaint.
    TimeAction OnStepTimer();
    // Called by the paint handler once the repaint is on the screen.
    void AfterRepaint();
    // 32839 "回す（右）".
    TimeAction TurnOrStep();
    // 32929..32932.
    TimeAction HourForward();
    TimeAction HourBack();
    TimeAction TenMinutesForward();
    TimeAction TenMinutesBack();
    // Interval dialog OK: stores the interval and writes ANIME.
    void SetInterval(const StepInterval& interval, SettingsStore& store);
    // Date-and-time dialog OK: the fields after their range check; the moment
    // is rebuilt with normalisation (31 April becomes 1 May).
    TimeAction SetDateTime(int year, int month, int day, int hour, int minute, int second);

    // Update handlers.
    ItemState SetNowItem() const;       // 32777
    ItemState DateTimeItem() const;     // 32776
    ItemState AutoUpdateItem() const;   // 32778
    ItemState SteppingItem() const;     // 32875
    ItemState IntervalItem() const;     // 32876
    ItemState TurnItem() const;         // 32839

private:
    void SaveInterval(SettingsStore& store) const;
    void StopStepping();

    const Clock& clock_;
    TimerHost& timers_;
    DateTime current_;
    bool autoUpdate_ = false;
    int stepping_ = 0;
    StepInterval interval_;
    bool turnWithTime_ = false;
    bool rearm_ = false;
};

// The six fields of the date-and-time dialog (dialog 134).
struct DateTimeFields {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
DateTimeFields FieldsOf(const DateTime& t);

// Range check of the dialog: day 1..31, hour 0..23, minute 0..59, month 1..12,
// second 0..59, year 1985..2030, checked in that order. Returns the first
// failing field with its message, or nothing when all are in range.
struct FieldError {
    int controlId;        // 1023 hour, 1024 minute, 1025 second, 1026 year, 1027 month, 1028 day
    std::string message;  // "%d から %d までの整数を入力してください。"
};
std::optional<FieldError> ValidateDateTimeFields(const DateTimeFields& fields);
// The range message shown for an integer field.
std::string RangeMessage(int low, int high);

}  // namespace tavik
