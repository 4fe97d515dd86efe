#pragma once
// A mount driven through an INDI server: Tavik is one INDI client among any
// others, the server (often on a small computer at the telescope) runs the
// driver of the mount. Built on the INDI client library (INDI::BaseClient).
//
// Properties used, all of the device named by TS/INDI_DEVICE (empty: the first
// telescope the server offers):
//   CONNECTION                     the device is connected when it is not yet
//   EQUATORIAL_EOD_COORD           goto (with ON_COORD_SET SLEW) and the position;
//                                  sync (with ON_COORD_SET SYNC, then TRACK again)
//   TELESCOPE_MOTION_NS / _WE      nudges: moves for one second, then stops
//   TELESCOPE_SLEW_RATE            the three speeds (slowest, middle, fastest entry)
//   TELESCOPE_ABORT_MOTION         stop
//   TIME_UTC, GEOGRAPHIC_COORD     "時刻、観測地"
// The coordinates sent and read are of date, converted as the LX200 path
// converts them (Mount.h).
//
// Threads: the client library reads the server on its own thread and calls
// back there. The callbacks only copy what they see into a snapshot under a
// lock; the operations run on the caller's thread, send, and wait for the
// driver's answer by polling the snapshot every 50 ms, dispatching window
// messages in between (TelescopeUi::PumpMessages), with the LX200 time-outs:
// an answer to a command within four seconds, the device and its properties
// within five. Disconnect leaves the device connected on the server for its
// other clients and only closes this client's connection.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "telescope/Mount.h"

namespace tavik {

class IndiClient;
struct IndiSnapshot;

namespace indi_text {
// The named device is not offered by the server (Connect's status text).
inline constexpr const char* kNoDevice = "INDIデバイスがありません ";
// The device offers no EQUATORIAL_EOD_COORD (not a mount, or not connected).
inline constexpr const char* kNoCoordinates = "赤道座標がありません ";
}  // namespace indi_text

class IndiMount final : public Mount {
public:
    static constexpr int kDefaultPort = 7624;

    // Reads the TS settings and TS/INDI_HOST, INDI_PORT, INDI_DEVICE.
    IndiMount(const SettingsStore& store, TelescopeUi& ui, TelescopeClock& clock);
    ~IndiMount() override;

    MountLink LinkKind() const override { return MountLink::Indi; }
    // "indi://HOST:PORT/DEVICE".
    std::string LinkName() const override;
    void LoadSettings() override;

    // Replace the configured server and device (tavik-cli --indi, --name).
    void SetServer(std::string host, int port);
    void SetDevice(std::string name) { device_ = std::move(name); }
    const std::string& Host() const { return host_; }
    int Port() const { return port_; }
    // The device in use: the configured name, or the telescope chosen when the
    // name is empty (after Connect).
    const std::string& Device() const { return device_.empty() ? chosen_ : device_; }

    // Reaches the server (within three seconds), waits for the device, connects
    // it when it is not yet connected and waits for its coordinates. False
    // leaves state 0 and StatusText saying what was missing.
    bool Connect() override;
    void Disconnect() override;
    // The server reached and the device connected.
    bool IsConnected() const override;

    bool Goto() override;
    bool Sync() override;
    bool SetSlewRate(int n) override;
    bool Nudge(char d) override;
    bool Stop() override;
    bool ReadPosition(std::string& text, bool report) override;
    using Mount::SendSiteAndTime;
    bool SendSiteAndTime(const ObservationSite& site) override;

    // "HOST", "HOST:PORT" or "[IPv6]:PORT" (port 1..65535, default 7624); false
    // for an empty host or a bad port.
    static bool ParseServer(const std::string& text, std::string* host, int* port);
    // The devices a server offers, sorted; empty when it cannot be reached.
    // Waits at most a few seconds, calling `pump` (when set) every 50 ms.
    static std::vector<std::string> DevicesOffered(const std::string& host, int port,
                                                   const std::function<void()>& pump = {});

private:
    enum class Wait { Done, Refused, TimedOut, Lost };
    // Polls the snapshot until `check` returns true (done) or false (refused),
    // the server goes away, or `limitSeconds` whole seconds pass.
    Wait WaitFor(int limitSeconds,
                 const std::function<std::optional<bool>(const IndiSnapshot&)>& check);
    // The updates counter of a property of the device and the device's count
    // of warnings and errors, taken before a command is sent.
    struct Mark { std::uint64_t updates = 0, warnings = 0; };
    Mark MarkOf(const std::string& property);
    // The driver's last message since `mark` (without its time stamp), or "".
    std::string MessageSince(const Mark& mark);
    // Waits for the driver's answer to a command on `property`: done on the
    // states in `accept` (a bit per IPState), refused on Alert or on a warning
    // or error message since `mark`. `matches` can demand element values. An
    // update that the driver sends on its own with an accepted state (a slew
    // still running, say) counts as the answer: INDI does not tie answers to
    // requests.
    Wait AwaitAnswer(const std::string& property, const Mark& mark, unsigned accept,
                     const std::function<bool(const IndiSnapshot&)>& matches = {});
    // The status text and message box of a failed command, LX200 style:
    // "受信なし <step>" on silence, the driver's message (or `refusedText`)
    // when refused, "開いていない" when the server went away.
    void Fail(Wait w, const std::string& step, const std::string& refusedText, const Mark& mark);
    bool RequireConnected();
    void PumpFor(int ms);

    std::string host_ = "localhost";
    int port_ = kDefaultPort;
    std::string device_;
    std::string chosen_;
    std::unique_ptr<IndiClient> client_;
};

}  // namespace tavik
