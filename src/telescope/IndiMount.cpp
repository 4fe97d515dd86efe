#include "telescope/IndiMount.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <numbers>
#include <thread>
#include <utility>

#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"
#include "telescope/IndiClient.h"
#include "telescope/TelescopeController.h"

namespace tavik {

namespace {

using std::chrono::milliseconds;

constexpr const char* kConnection = "CONNECTION";
constexpr const char* kCoordinates = "EQUATORIAL_EOD_COORD";
constexpr const char* kCoordSet = "ON_COORD_SET";
constexpr const char* kSlewRate = "TELESCOPE_SLEW_RATE";
constexpr const char* kAbort = "TELESCOPE_ABORT_MOTION";
constexpr const char* kTime = "TIME_UTC";
constexpr const char* kLocation = "GEOGRAPHIC_COORD";
constexpr unsigned kTelescopeInterface = 1;  // INDI::BaseDevice::TELESCOPE_INTERFACE

constexpr unsigned Bit(IPState s) { return 1u << s; }

template <class... Args>
std::string Format(const char* fmt, Args... args) {
    char buf[128];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

// "2026-12-09T03:12:30: [WARNING] text " -> "text".
std::string DriverText(std::string text) {
    if (const auto stamp = text.find(": "); stamp != std::string::npos && stamp < 32 &&
                                             text.compare(0, 2, "20") == 0) {
        text.erase(0, stamp + 2);
    }
    if (!text.empty() && text[0] == '[') {
        if (const auto close = text.find("] "); close != std::string::npos) text.erase(0, close + 2);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n')) text.pop_back();
    return text;
}

// Hours as "HH:MM:SS", degrees as "sDD*MM:SS", to the rounded second.
std::string HoursText(double hours) {
    long s = std::lround(hours * 3600.0) % 86400;
    if (s < 0) s += 86400;
    return Format("%02ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
}
std::string DegreesText(double deg) {
    const long s = std::lround(std::fabs(deg) * 3600.0);
    return Format("%c%02ld*%02ld:%02ld", deg < 0 ? '-' : '+', s / 3600, s / 60 % 60, s % 60);
}


// Runs connectServer on a helper thread, calling `idle` while it blocks.
bool ConnectServer(IndiClient& client, const std::function<void()>& idle) {
    std::atomic<bool> done{false};
    bool ok = false;
    std::thread t([&] {
        ok = client.connectServer();
        done.store(true, std::memory_order_release);
    });
    while (!done.load(std::memory_order_acquire)) idle();
    t.join();
    if (ok) client.With([](IndiSnapshot& s) { s.up = true; });
    return ok;
}

}  // namespace

// --- Set-up -------------------------------------------------------------------

IndiMount::IndiMount(const SettingsStore& store, TelescopeUi& ui, TelescopeClock& clock)
    : Mount(store, ui, clock) {
    IndiMount::LoadSettings();
}

IndiMount::~IndiMount() { Disconnect(); }

void IndiMount::LoadSettings() {
    Mount::LoadSettings();
    host_ = ReadSettingString(store_, "TS", "INDI_HOST");
    port_ = ReadSettingInt(store_, "TS", "INDI_PORT");
    device_ = ReadSettingString(store_, "TS", "INDI_DEVICE");
}

void IndiMount::SetServer(std::string host, int port) {
    host_ = std::move(host);
    port_ = port;
}

std::string IndiMount::LinkName() const {
    return "indi://" + host_ + ":" + std::to_string(port_) + "/" + Device();
}

bool IndiMount::ParseServer(const std::string& text, std::string* host, int* port) {
    std::string h = text, p;
    if (!text.empty() && text[0] == '[') {
        const auto close = text.find(']');
        if (close == std::string::npos) return false;
        h = text.substr(1, close - 1);
        if (close + 1 < text.size()) {
            if (text[close + 1] != ':') return false;
            p = text.substr(close + 2);
            if (p.empty()) return false;
        }
    } else if (const auto colon = text.find(':');
               colon != std::string::npos && text.find(':', colon + 1) == std::string::npos) {
        h = text.substr(0, colon);
        p = text.substr(colon + 1);
        if (p.empty()) return false;
    }
    if (h.empty()) return false;
    int n = kDefaultPort;
    if (!p.empty()) {
        if (p.size() > 5 || p.find_first_not_of("0123456789") != std::string::npos) return false;
        n = std::atoi(p.c_str());
        if (n < 1 || n > 65535) return false;
    }
    if (host) *host = h;
    if (port) *port = n;
    return true;
}

std::vector<std::string> IndiMount::DevicesOffered(const std::string& host, int port,
                                                   const std::function<void()>& pump) {
    using Clock = std::chrono::steady_clock;
    auto idle = [&] {
        std::this_thread::sleep_for(milliseconds(50));
        if (pump) pump();
    };
    IndiClient client;
    client.setServer(host.c_str(), static_cast<unsigned>(port));
    client.setConnectionTimeout(3, 0);
    if (!ConnectServer(client, idle)) return {};
    // The server sends every definition at once; wait until no new device has
    // come for half a second (at most three seconds in all).
    const auto start = Clock::now();
    auto changed = start;
    std::size_t seen = 0;
    for (;;) {
        const std::size_t n = client.With([](IndiSnapshot& s) { return s.devices.size(); });
        const auto now = Clock::now();
        if (n != seen) {
            seen = n;
            changed = now;
        }
        if ((n > 0 && now - changed > milliseconds(500)) || now - start > std::chrono::seconds(3))
            break;
        idle();
    }
    std::vector<std::string> names = client.With([](IndiSnapshot& s) {
        std::vector<std::string> v;
        for (const auto& [name, d] : s.devices) v.push_back(name);
        return v;
    });
    client.disconnectServer();
    return names;
}

// --- Waiting --------------------------------------------------------------------

void IndiMount::PumpFor(int ms) {
    for (int waited = 0; waited < ms; waited += 50) {
        clock_.Sleep(milliseconds(50));
        ui_.PumpMessages();
    }
}

IndiMount::Wait IndiMount::WaitFor(
    int limitSeconds, const std::function<std::optional<bool>(const IndiSnapshot&)>& check) {
    const std::int64_t s0 = clock_.Seconds();
    for (;;) {
        // A message dispatched below may have closed the link.
        if (!client_) return Wait::Lost;
        bool up = false;
        std::optional<bool> result;
        client_->With([&](const IndiSnapshot& s) {
            up = s.up;
            if (up) result = check(s);
        });
        if (!up) return Wait::Lost;
        if (result) return *result ? Wait::Done : Wait::Refused;
        if (clock_.Seconds() > s0 + limitSeconds) return Wait::TimedOut;
        clock_.Sleep(milliseconds(50));
        ui_.PumpMessages();
    }
}

IndiMount::Mark IndiMount::MarkOf(const std::string& property) {
    Mark m;
    if (!client_) return m;
    client_->With([&](const IndiSnapshot& s) {
        if (const IndiDeviceSeen* d = s.Device(Device())) {
            m.warnings = d->warnings;
            if (const IndiProp* p = d->Find(property)) m.updates = p->updates;
        }
    });
    return m;
}

std::string IndiMount::MessageSince(const Mark& mark) {
    if (!client_) return {};
    return client_->With([&](const IndiSnapshot& s) -> std::string {
        const IndiDeviceSeen* d = s.Device(Device());
        return d && d->warnings > mark.warnings ? DriverText(d->warning) : std::string();
    });
}

IndiMount::Wait IndiMount::AwaitAnswer(const std::string& property, const Mark& mark,
                                       unsigned accept,
                                       const std::function<bool(const IndiSnapshot&)>& matches) {
    const std::string device = Device();
    return WaitFor(4, [&](const IndiSnapshot& s) -> std::optional<bool> {
        const IndiDeviceSeen* d = s.Device(device);
        if (!d) return false;
        // A rejection may come as a warning with an unchanged state.
        if (d->warnings > mark.warnings) return false;
        const IndiProp* p = d->Find(property);
        if (!p) return false;
        if (p->updates <= mark.updates) return std::nullopt;
        if (p->state == IPS_ALERT) return false;
        if ((accept & Bit(p->state)) && (!matches || matches(s))) return true;
        return std::nullopt;
    });
}

void IndiMount::Fail(Wait w, const std::string& step, const std::string& refusedText,
                     const Mark& mark) {
    if (w == Wait::Lost) {
        ui_.Error(scope_text::kNotOpen);
        statusText_ = scope_text::kNotOpen;
        state_ = kNoReply;
    } else if (w == Wait::TimedOut) {
        ui_.Error(scope_text::kAckTimeout);
        statusText_ = "受信なし " + step;
        state_ = kNoReply;
    } else {
        const std::string message = MessageSince(mark);
        statusText_ = message.empty() ? refusedText : message;
        ui_.Error(statusText_);
        state_ = kBadReply;
    }
}

bool IndiMount::RequireConnected() {
    if (IsConnected()) return true;
    statusText_ = scope_text::kNotOpen;
    state_ = kNoReply;
    return false;
}

// --- Link -------------------------------------------------------------------------

bool IndiMount::Connect() {
    if (IsConnected()) {
        state_ = kDone;
        return true;
    }
    Disconnect();
    statusText_.clear();
    chosen_.clear();
    auto client = std::make_unique<IndiClient>();
    client->setServer(host_.c_str(), static_cast<unsigned>(port_));
    client->setConnectionTimeout(3, 0);
    if (!device_.empty()) client->watchDevice(device_.c_str());
    if (!ConnectServer(*client, [this] {
            clock_.Sleep(milliseconds(50));
            ui_.PumpMessages();
        })) {
        state_ = kIdle;
        return false;
    }
    client_ = std::move(client);

    // The device, with its CONNECTION switch.
    Wait w = WaitFor(5, [this](const IndiSnapshot& s) -> std::optional<bool> {
        if (!device_.empty()) {
            const IndiDeviceSeen* d = s.Device(device_);
            return d && d->Find(kConnection) ? std::optional<bool>(true) : std::nullopt;
        }
        for (const auto& [name, d] : s.devices) {
            if ((d.interfaces & kTelescopeInterface) && d.Find(kConnection)) {
                chosen_ = name;
                return true;
            }
        }
        return std::nullopt;
    });
    if (w != Wait::Done) {
        const std::string text = indi_text::kNoDevice + device_;
        Disconnect();
        statusText_ = text;
        return false;
    }
    const std::string device = Device();
    const bool connected = client_->With([&](const IndiSnapshot& s) {
        const IndiProp* p = s.Find(device, kConnection);
        return p && p->On("CONNECT");
    });
    if (!connected) {
        const Mark mark = MarkOf(kConnection);
        SendSwitches(client_.get(), device, kConnection, {{"CONNECT", true}, {"DISCONNECT", false}});
        w = AwaitAnswer(kConnection, mark, Bit(IPS_OK), [&](const IndiSnapshot& s) {
            const IndiProp* p = s.Find(device, kConnection);
            return p && p->On("CONNECT");
        });
        if (w != Wait::Done) {
            const std::string message = MessageSince(mark);
            Disconnect();
            statusText_ = message;
            return false;
        }
    }
    // The coordinates come with the connected device's definitions; a device
    // connected just now defines them before it has read the mount, so its
    // first position is awaited too (without it the definition's values stand).
    w = WaitFor(5, [&](const IndiSnapshot& s) -> std::optional<bool> {
        const IndiProp* p = s.Find(device, kCoordinates);
        return p && p->type == INDI_NUMBER && (connected || p->updates > 1)
                   ? std::optional<bool>(true)
                   : std::nullopt;
    });
    const bool defined = client_ && client_->With([&](const IndiSnapshot& s) {
        return s.Find(device, kCoordinates) != nullptr;
    });
    if (w == Wait::Lost || !defined) {
        Disconnect();
        statusText_ = std::string(indi_text::kNoCoordinates) + device;
        return false;
    }
    state_ = kDone;
    return true;
}

void IndiMount::Disconnect() {
    if (client_) {
        client_->disconnectServer();
        client_.reset();
    }
    state_ = kIdle;
}

bool IndiMount::IsConnected() const {
    if (!client_) return false;
    const std::string device = Device();
    return client_->With([&](const IndiSnapshot& s) {
        const IndiProp* p = s.Find(device, kConnection);
        return s.up && p && p->On("CONNECT");
    });
}

// --- Operations -------------------------------------------------------------------

bool IndiMount::Goto() {
    if (!RequireConnected()) return false;
    ui_.PumpMessages();
    state_ = kWaiting;
    const std::string device = Device();
    const bool chooseSlew = client_->With([&](const IndiSnapshot& s) {
        const IndiProp* p = s.Find(device, kCoordSet);
        return p && p->switches.count("SLEW") && !p->On("SLEW");
    });
    if (chooseSlew) {
        const Mark mark = MarkOf(kCoordSet);
        SendSwitches(client_.get(), device, kCoordSet, {{"SLEW", true}});
        const Wait w = AwaitAnswer(kCoordSet, mark, Bit(IPS_OK) | Bit(IPS_IDLE) | Bit(IPS_BUSY),
                                   [&](const IndiSnapshot& s) {
                                       const IndiProp* p = s.Find(device, kCoordSet);
                                       return p && p->On("SLEW");
                                   });
        if (w != Wait::Done) {
            Fail(w, "MS:", "異常応答 MS:" + std::string(kCoordSet), mark);
            return false;
        }
    }
    const double raHours = TargetRaOfDate() * 12.0 / std::numbers::pi;
    const double decDeg = TargetDecOfDate() * 180.0 / std::numbers::pi;
    const Mark mark = MarkOf(kCoordinates);
    SendNumbers(client_.get(), device, kCoordinates, {{"RA", raHours}, {"DEC", decDeg}});
    // Accepted: the driver reports the slew (Busy), or a mount already there.
    const Wait w = AwaitAnswer(kCoordinates, mark, Bit(IPS_BUSY) | Bit(IPS_OK),
                               [&](const IndiSnapshot& s) {
                                   const IndiProp* p = s.Find(device, kCoordinates);
                                   if (!p) return false;
                                   if (p->state == IPS_BUSY) return true;
                                   double dra = std::fabs(p->Number("RA") - raHours) * 15.0;
                                   if (dra > 180.0) dra = 360.0 - dra;
                                   return dra < 1.0 / 60 && std::fabs(p->Number("DEC") - decDeg) < 1.0 / 60;
                               });
    if (w != Wait::Done) {
        Fail(w, "MS:", "異常応答 MS:" + std::string(kCoordinates), mark);
        return false;
    }
    state_ = kDone;
    LogGoto();
    return true;
}

bool IndiMount::Sync() {
    if (!RequireConnected()) return false;
    ui_.PumpMessages();
    state_ = kWaiting;
    const std::string device = Device();
    // What the coordinates are to mean: SYNC while they are sent, then TRACK
    // (a goto that follows the sky) for this and every other client; a driver
    // without TRACK gets back what it had.
    std::string restore;
    const bool offered = client_->With([&](const IndiSnapshot& s) {
        const IndiProp* p = s.Find(device, kCoordSet);
        if (!p || !p->switches.count("SYNC")) return false;
        if (p->switches.count("TRACK")) {
            restore = "TRACK";
        } else {
            for (const std::string& name : p->names)
                if (p->On(name)) restore = name;
        }
        return true;
    });
    auto choose = [&](const std::string& element) {
        const Mark mark = MarkOf(kCoordSet);
        SendSwitches(client_.get(), device, kCoordSet, {{element, true}});
        const Wait w = AwaitAnswer(kCoordSet, mark, Bit(IPS_OK) | Bit(IPS_IDLE) | Bit(IPS_BUSY),
                                   [&](const IndiSnapshot& s) {
                                       const IndiProp* p = s.Find(device, kCoordSet);
                                       return p && p->On(element);
                                   });
        if (w != Wait::Done) Fail(w, "CM:", "異常応答 CM:" + std::string(kCoordSet), mark);
        return w == Wait::Done;
    };
    if (!offered) {
        statusText_ = "異常応答 CM:" + std::string(kCoordSet);
        ui_.Error(statusText_);
        state_ = kBadReply;
        return false;
    }
    if (!choose("SYNC")) return false;
    const double raHours = TargetRaOfDate() * 12.0 / std::numbers::pi;
    const double decDeg = TargetDecOfDate() * 180.0 / std::numbers::pi;
    const Mark mark = MarkOf(kCoordinates);
    SendNumbers(client_.get(), device, kCoordinates, {{"RA", raHours}, {"DEC", decDeg}});
    // Accepted: the driver reports the synced coordinates as its position.
    const Wait w = AwaitAnswer(kCoordinates, mark, Bit(IPS_OK) | Bit(IPS_IDLE),
                               [&](const IndiSnapshot& s) {
                                   const IndiProp* p = s.Find(device, kCoordinates);
                                   if (!p) return false;
                                   double dra = std::fabs(p->Number("RA") - raHours) * 15.0;
                                   if (dra > 180.0) dra = 360.0 - dra;
                                   return dra < 1.0 / 60 && std::fabs(p->Number("DEC") - decDeg) < 1.0 / 60;
                               });
    if (w != Wait::Done) {
        Fail(w, "CM:", "異常応答 CM:" + std::string(kCoordinates), mark);
        // Put back without waiting: the failure is what is reported.
        if (w != Wait::Lost && client_ && !restore.empty())
            SendSwitches(client_.get(), device, kCoordSet, {{restore, true}});
        return false;
    }
    LogGoto("Sync");
    if (!restore.empty() && !choose(restore)) return false;
    state_ = kDone;
    return true;
}

bool IndiMount::SetSlewRate(int n) {
    ui_.PumpMessages();
    if (!RequireConnected()) return false;
    if (n < 2 || n > 4) return false;
    const std::string device = Device();
    const std::vector<std::string> names = client_->With([&](const IndiSnapshot& s) {
        const IndiProp* p = s.Find(device, kSlewRate);
        return p && p->type == INDI_SWITCH ? p->names : std::vector<std::string>();
    });
    if (names.empty()) {
        statusText_ = "コマンド不良 Sw";
        state_ = kBadReply;
        return false;
    }
    // Slow the first entry, fast the last, medium the one in the middle.
    const std::size_t pick = n == 4 ? names.size() - 1 : n == 3 ? names.size() / 2 : 0;
    const std::string chosen = names[pick];
    state_ = kWaiting;
    const Mark mark = MarkOf(kSlewRate);
    SendSwitches(client_.get(), device, kSlewRate, {{chosen, true}});
    const Wait w = AwaitAnswer(kSlewRate, mark, Bit(IPS_OK) | Bit(IPS_IDLE) | Bit(IPS_BUSY),
                               [&](const IndiSnapshot& s) {
                                   const IndiProp* p = s.Find(device, kSlewRate);
                                   return p && p->On(chosen);
                               });
    if (w != Wait::Done) {
        Fail(w, "Sw", "コマンド不良 Sw", mark);
        return false;
    }
    state_ = kDone;
    return true;
}

bool IndiMount::Nudge(char d) {
    if (!IsConnected()) return false;
    if (d != 'n' && d != 's' && d != 'e' && d != 'w') return false;
    ui_.PumpMessages();
    const std::string device = Device();
    const bool ns = d == 'n' || d == 's';
    const char* property = ns ? "TELESCOPE_MOTION_NS" : "TELESCOPE_MOTION_WE";
    const std::string element = d == 'n'   ? "MOTION_NORTH"
                                : d == 's' ? "MOTION_SOUTH"
                                : d == 'e' ? "MOTION_EAST"
                                           : "MOTION_WEST";
    const std::string step = std::string("M") + d;
    auto moving = [&](bool on) {
        return [&, on](const IndiSnapshot& s) {
            const IndiProp* p = s.Find(device, property);
            return p && p->On(element) == on;
        };
    };
    state_ = kWaiting;
    Mark mark = MarkOf(property);
    SendSwitches(client_.get(), device, property, {{element, true}});
    Wait w = AwaitAnswer(property, mark, Bit(IPS_BUSY) | Bit(IPS_OK), moving(true));
    if (w != Wait::Done) {
        Fail(w, step, "異常応答 " + step, mark);
        return false;
    }
    state_ = kDone;
    PumpFor(1000);  // held for a second, as the LX200 nudge
    state_ = kWaiting;
    mark = MarkOf(property);
    SendSwitches(client_.get(), device, property, {{element, false}});
    w = AwaitAnswer(property, mark, Bit(IPS_OK) | Bit(IPS_IDLE) | Bit(IPS_BUSY), moving(false));
    if (w != Wait::Done) {
        Fail(w, "Q" + std::string(1, d), "異常応答 Q" + std::string(1, d), mark);
        return false;
    }
    state_ = kDone;
    return true;
}

bool IndiMount::Stop() {
    ui_.PumpMessages();
    if (!RequireConnected()) return false;
    const std::string device = Device();
    state_ = kWaiting;
    const Mark mark = MarkOf(kAbort);
    SendSwitches(client_.get(), device, kAbort, {{"ABORT", true}});
    const Wait w = AwaitAnswer(kAbort, mark, Bit(IPS_OK) | Bit(IPS_IDLE) | Bit(IPS_BUSY));
    if (w != Wait::Done) {
        Fail(w, "Q", "異常応答 Q", mark);
        return false;
    }
    state_ = kDone;
    return true;
}

bool IndiMount::ReadPosition(std::string& text, bool report) {
    ClearMountPosition();
    if (!IsConnected()) {
        ui_.Error(scope_text::kNotOpen);
        state_ = kNoReply;
        text += scope_text::kRaFailed;
        return false;
    }
    const std::string device = Device();
    const auto position = client_->With([&](const IndiSnapshot& s) {
        const IndiProp* p = s.Find(device, kCoordinates);
        return p && p->numbers.count("RA") && p->numbers.count("DEC")
                   ? std::optional<std::pair<double, double>>({p->Number("RA"), p->Number("DEC")})
                   : std::nullopt;
    });
    if (!position || !std::isfinite(position->first) || !std::isfinite(position->second) ||
        std::fabs(position->second) > 90.0) {
        if (report) ui_.Error(indi_text::kNoCoordinates + device);
        state_ = kBadReply;
        text += scope_text::kRaMalformed;
        return false;
    }
    double raHours = std::fmod(position->first, 24.0);
    if (raHours < 0) raHours += 24.0;
    SetMountPosition(raHours * 15.0, position->second);
    text += scope_text::kRaLabel + HoursText(raHours) + scope_text::kDecLabel +
            DegreesText(position->second);
    state_ = kDone;
    return true;
}

bool IndiMount::SendSiteAndTime(const ObservationSite& site) {
    if (!RequireConnected()) return false;
    ui_.PumpMessages();
    // The same bounds as the LX200 path: nothing is sent for a site that
    // cannot be right.
    if (!TelescopeController::ControllerLongitude(site.longitudeDegrees, site.longitudeMinutes)) {
        ui_.Error(scope_text::kLongitudeBad);
        statusText_ = scope_text::kLongitudeBad;
        state_ = kBadReply;
        return false;
    }
    const long long latDeg = std::abs(static_cast<long long>(site.latitudeDegrees));
    const long long latMin = std::abs(static_cast<long long>(site.latitudeMinutes));
    if (latDeg > 90 || latMin > 59 || latDeg * 60 + latMin > 90 * 60) {
        ui_.Error(scope_text::kLatitudeBad);
        statusText_ = scope_text::kLatitudeBad;
        state_ = kBadReply;
        return false;
    }
    const std::string device = Device();
    const DateTime utc = ToUniversalTime(clock_.LocalNow(), site.zoneOffsetHours);
    state_ = kWaiting;
    Mark mark = MarkOf(kTime);
    SendTexts(client_.get(), device, kTime,
              {{"UTC", Format("%04d-%02d-%02dT%02d:%02d:%02d", utc.Year(), utc.Month(), utc.Day(),
                              utc.Hour(), utc.Minute(), utc.Second())},
               {"OFFSET", Format("%d", site.zoneOffsetHours)}});
    Wait w = AwaitAnswer(kTime, mark, Bit(IPS_OK) | Bit(IPS_IDLE));
    if (w != Wait::Done) {
        Fail(w, "SL", "コマンド不良 SL", mark);
        return false;
    }
    double east = std::fmod(site.LongitudeDegrees(), 360.0);
    if (east < 0) east += 360.0;
    const double elevation = client_ ? client_->With([&](const IndiSnapshot& s) {
        const IndiProp* p = s.Find(device, kLocation);
        return p ? p->Number("ELEV") : 0.0;
    }) : 0.0;
    mark = MarkOf(kLocation);
    SendNumbers(client_.get(), device, kLocation,
                {{"LAT", site.LatitudeDegrees()}, {"LONG", east}, {"ELEV", elevation}});
    w = AwaitAnswer(kLocation, mark, Bit(IPS_OK) | Bit(IPS_IDLE));
    if (w != Wait::Done) {
        Fail(w, "Sg", "コマンド不良 Sg", mark);
        return false;
    }
    state_ = kDone;
    return true;
}

}  // namespace tavik
