#pragma once
// What the telescope protocol needs from its surroundings: message boxes, the
// message pump that keeps the window alive during an exchange, and a clock.
// The application passes Qt implementations; tests and tavik-cli pass
// recorders and fakes, so the protocol runs without a window.

#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "astro/DateTime.h"

namespace tavik {

class TelescopeUi {
public:
    virtual ~TelescopeUi() = default;
    virtual void Error(const std::string& text) = 0;  // error icon
    virtual void Info(const std::string& text) = 0;   // information icon
    virtual bool Ask(const std::string& text) = 0;    // yes / no question; true for yes
    // Dispatches every pending window message of the calling thread.
    virtual void PumpMessages() = 0;
};

class TelescopeClock {
public:
    virtual ~TelescopeClock() = default;
    // Whole seconds of a monotonic clock: reply time-outs count these ticks.
    virtual std::int64_t Seconds() = 0;
    virtual void Sleep(std::chrono::milliseconds duration) = 0;
    // The local civil date and time (sent to the controller).
    virtual DateTime LocalNow() = 0;
};

// The real clock: steady-clock seconds, thread sleep, and as local time the
// current UTC instant plus the site's zone offset (SETTING/JISA with the site),
// so that the controller is told the site's time whatever zone the machine is
// set to. Without a zone provider the machine's own zone is used.
class SystemTelescopeClock final : public TelescopeClock {
public:
    using ZoneFn = std::function<int()>;         // the site's zone offset, hours
    using UtcFn = std::function<std::time_t()>;  // the current instant (tests)

    SystemTelescopeClock() = default;
    explicit SystemTelescopeClock(ZoneFn zoneOffsetHours, UtcFn utcNow = {})
        : zone_(std::move(zoneOffsetHours)), utcNow_(std::move(utcNow)) {}

    std::int64_t Seconds() override;
    void Sleep(std::chrono::milliseconds duration) override;
    DateTime LocalNow() override;

private:
    ZoneFn zone_;
    UtcFn utcNow_;
};

// Records every message; answers questions with a fixed reply; pumps nothing.
class RecordingTelescopeUi final : public TelescopeUi {
public:
    struct Message {
        enum class Kind { Error, Info, Ask } kind;
        std::string text;
    };
    void Error(const std::string& text) override { messages.push_back({Message::Kind::Error, text}); }
    void Info(const std::string& text) override { messages.push_back({Message::Kind::Info, text}); }
    bool Ask(const std::string& text) override {
        messages.push_back({Message::Kind::Ask, text});
        return answer;
    }
    void PumpMessages() override { ++pumps; }

    std::vector<Message> messages;
    bool answer = true;
    int pumps = 0;
};

}  // namespace tavik
