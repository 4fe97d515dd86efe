#pragma once
// The telescope's exchanges off the window thread. A mount that does not
// answer keeps an exchange waiting for seconds (the 4 and 5 s time-outs, the
// one-second nudge); run on the window thread, that froze the chart and lost
// the clicks made meanwhile. Here one exchange at a time runs on a thread of
// its own and its result is handed back to the window thread, so the window
// paints and takes input throughout and nothing re-enters a half-done exchange:
//
//   exchange.Start([&] { ok = scope.Connect() && scope.Goto(); },   // exchange thread
//                  [&] { ShowNotice(ok ? ... : ...); });              // window thread
//
// While an exchange runs, the window touches the mount only through Running()
// and waits with WhenIdle(). The protocol's message boxes are shown on the
// window thread while the exchange waits for them (WindowTelescopeUi), and
// Cancel() (the window closing) ends every wait at once (WindowTelescopeClock).

#include <QObject>

#include <atomic>
#include <functional>
#include <thread>

#include "telescope/TelescopeHost.h"

namespace tavik {

class Prompts;

class ScopeExchange final : public QObject {
    Q_OBJECT
public:
    explicit ScopeExchange(QObject* parent = nullptr);
    // Cancels a running exchange and waits for its thread.
    ~ScopeExchange() override;

    bool Running() const { return running_; }
    // Runs `work` on the exchange thread; `done` follows on the window thread
    // (not after Cancel). False, and nothing started, while one runs.
    bool Start(std::function<void()> work, std::function<void()> done = {});
    // Runs `action` on the window thread as soon as no exchange runs: at once,
    // or after the running one's `done`. A later call replaces one still waiting.
    void WhenIdle(std::function<void()> action);
    // Ends the waits of the running exchange at once; its questions answer no
    // and its messages are not shown.
    void Cancel();
    // Cancel, and wait for the exchange thread to end (before the mount goes).
    void Shutdown();
    bool Cancelled() const { return cancelled_; }

signals:
    void runningChanged(bool running);

private:
    void Finish();

    std::thread thread_;
    std::function<void()> done_;
    std::function<void()> whenIdle_;
    bool running_ = false;
    std::atomic<bool> cancelled_{false};
};

// The protocol's message boxes through the shell's prompts, shown on the
// window thread whichever thread asks. Nothing is pumped: exchanges never run
// on the window thread.
class WindowTelescopeUi final : public TelescopeUi {
public:
    WindowTelescopeUi(Prompts& prompts, ScopeExchange& exchange) : prompts_(prompts), exchange_(exchange) {}
    void Error(const std::string& text) override;
    void Info(const std::string& text) override;
    bool Ask(const std::string& text) override;
    void PumpMessages() override {}

private:
    // Runs `show` on the window thread and waits for it; false when cancelled.
    bool OnWindowThread(std::function<bool()> show);

    Prompts& prompts_;
    ScopeExchange& exchange_;
};

// The system clock whose waits end at once when the exchange is cancelled:
// its seconds leap ahead, so every time-out has passed, and sleeps return.
class WindowTelescopeClock final : public TelescopeClock {
public:
    WindowTelescopeClock(const ScopeExchange& exchange, SystemTelescopeClock::ZoneFn zoneOffsetHours)
        : exchange_(exchange), system_(std::move(zoneOffsetHours)) {}
    std::int64_t Seconds() override;
    void Sleep(std::chrono::milliseconds duration) override;
    DateTime LocalNow() override { return system_.LocalNow(); }

private:
    const ScopeExchange& exchange_;
    SystemTelescopeClock system_;
};

}  // namespace tavik
