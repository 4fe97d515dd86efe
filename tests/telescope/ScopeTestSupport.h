#pragma once
// Shared pieces of the telescope tests: clocks, and a controller wired to a
// simulated mount on a pseudo-terminal.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "mountsim/PtyMount.h"
#include "settings/SettingsStore.h"
#include "telescope/TelescopeController.h"

namespace tavik::test {

// Virtual time: Sleep advances it without waiting (a real yield lets the
// reader thread run), so time-outs take no real time. `settle`, when set, runs
// first in every Sleep: a rig uses it to let the bytes in flight arrive, so a
// reply that the mount does send is never outrun by virtual time on a busy
// machine.
class FakeClock final : public TelescopeClock {
public:
    explicit FakeClock(std::int64_t startMs = 10'300) : nowMs_(startMs) {}
    std::int64_t Seconds() override { return nowMs_ / 1000; }
    void Sleep(std::chrono::milliseconds d) override {
        if (settle) settle();
        nowMs_ += d.count();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        if (onSleep) onSleep();
    }
    DateTime LocalNow() override { return local; }
    std::int64_t NowMs() const { return nowMs_; }

    std::function<void()> onSleep;  // runs inside every wait
    std::function<void()> settle;

    DateTime local{2026, 12, 8, 21, 5, 9};

private:
    std::int64_t nowMs_;
};

// Real seconds (replies arrive in real time) but short sleeps, so a nudge does
// not hold the test for a whole second; the local time is fixed.
class QuickClock final : public TelescopeClock {
public:
    std::int64_t Seconds() override { return real_.Seconds(); }
    void Sleep(std::chrono::milliseconds d) override {
        real_.Sleep(std::min(d, std::chrono::milliseconds(20)));
    }
    DateTime LocalNow() override { return local; }

    DateTime local{2026, 12, 8, 21, 5, 9};

private:
    SystemTelescopeClock real_;
};

// Waits (polling) until `done` holds or a generous limit passes; the limit only
// guards against a hang, it is not a speed requirement.
template <class F>
bool WaitUntil(F done, std::chrono::seconds limit = std::chrono::seconds(30)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// A simulated mount and a controller connected to it: on a pseudo-terminal, or
// on a free loopback TCP port with `tcp`.
struct ScopeRig {
    explicit ScopeRig(mountsim::MountOptions options = {}, TelescopeClock* useClock = nullptr,
                      bool tcp = false)
        : mount(std::move(options)) {
        std::string error;
        started = tcp ? mount.StartTcp(0, &error) : mount.Start(&error);
        EXPECT_TRUE(started) << error;
        clock = useClock ? useClock : &quick;
        // The protocol cases speak in the mount's own frame; the coordinates of
        // date have cases of their own.
        store.WriteProfileInt("TS", "JNOW", 0);
        scope = std::make_unique<TelescopeController>(store, ui, *clock);
        scope->SetDevicePath(mount.Path());
        if (auto* fake = dynamic_cast<FakeClock*>(clock)) fake->settle = [this] { Settle(); };
    }
    // Waits until the mount has read what was written and every byte it sent
    // has reached the controller's reply buffer (not while the line is down).
    void Settle() {
        CommPort& link = scope->Link();
        WaitUntil(
            [&] {
                if (!mount.Running() || !link.IsOpen()) return true;
                const bool full = scope->ReplyText().size() >= TelescopeController::kReplySize;
                return mount.BytesReceived() == link.BytesSent() &&
                       mount.BytesSent() == link.BytesReceived() && (link.Waiting() == 0 || full);
            },
            std::chrono::seconds(5));
    }
    bool Connect() {
        const bool ok = scope->Connect();
        EXPECT_TRUE(ok) << "cannot open " << mount.Path();
        return ok;
    }
    // The commands the mount received, in order, joined.
    std::string Received() const {
        std::string all;
        for (const auto& c : mount.Commands()) all += c;
        return all;
    }
    bool HasError(const std::string& text) const {
        for (const auto& m : ui.messages)
            if (m.kind == RecordingTelescopeUi::Message::Kind::Error && m.text == text) return true;
        return false;
    }

    mountsim::PtyMount mount;
    bool started = false;
    MemorySettingsStore store;
    RecordingTelescopeUi ui;
    QuickClock quick;
    TelescopeClock* clock = nullptr;
    std::unique_ptr<TelescopeController> scope;
};


}  // namespace tavik::test
