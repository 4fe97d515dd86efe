#include "telescope/TelescopeController.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <thread>

#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"

namespace tavik {

namespace {

using std::chrono::milliseconds;

template <class... Args>
std::string Format(const char* fmt, Args... args) {
    char buf[128];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Two decimal digits at text[i], i + 1.
std::optional<int> TwoDigits(const std::string& text, std::size_t i) {
    if (i + 1 >= text.size() || !IsDigit(text[i]) || !IsDigit(text[i + 1])) return std::nullopt;
    return (text[i] - '0') * 10 + (text[i + 1] - '0');
}

}  // namespace

// --- System clock ---------------------------------------------------------

std::int64_t SystemTelescopeClock::Seconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SystemTelescopeClock::Sleep(milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

DateTime SystemTelescopeClock::LocalNow() {
    const std::time_t t = utcNow_ ? utcNow_() : std::time(nullptr);
    if (zone_) return SiteTimeAt(t, zone_());
    std::tm local{};
    localtime_r(&t, &local);
    return DateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                    local.tm_min, local.tm_sec);
}

// --- Controller ------------------------------------------------------------

TelescopeController::TelescopeController(const SettingsStore& store, TelescopeUi& ui,
                                         TelescopeClock& clock)
    : Mount(store, ui, clock) {
    ClearReply();
}

TelescopeController::~TelescopeController() {
    // Stop the reader thread while the reply buffer and its lock still exist.
    link_.Open(false);
}

std::string TelescopeController::LinkName() const {
    return devicePathOverride_.empty() ? DevicePathForPort(store_, comPort) : devicePathOverride_;
}

bool TelescopeController::Connect() {
    link_.SetPort(comPort);
    link_.SetDevicePath(LinkName());
    link_.SetLine(9600, CommPort::kNoParity, 8, 1.0);
    link_.SetOwner(this);
    link_.Open(true);
    state_ = link_.IsOpen() ? kDone : kIdle;
    limitSent_ = false;
    return link_.IsOpen();
}

void TelescopeController::Disconnect() {
    link_.Open(false);  // also releases a line that died while open
    state_ = kIdle;
}

void TelescopeController::ClearReply() {
    std::lock_guard lock(replyLock_);
    replyCount_ = 0;
    reply_.fill(0);
    // Bytes still in the link belong to an earlier exchange.
    link_.Discard();
}

bool TelescopeController::Send(const std::string& command) {
    state_ = kSending;
    ClearReply();
    sendFailed_ = link_.Write(command) != command.size();
    if (sendFailed_) {
        ui_.Error(link_.IsOpen() ? scope_text::kWriteFailed : scope_text::kNotOpen);
        state_ = kNoReply;
        return false;
    }
    state_ = kWaiting;
    return true;
}

std::size_t TelescopeController::ReplyCount() const {
    std::lock_guard lock(replyLock_);
    return replyCount_;
}

char TelescopeController::FirstReplyByte() const {
    std::lock_guard lock(replyLock_);
    return replyCount_ > 0 ? reply_[0] : '\0';
}

std::string TelescopeController::ReplyText() const {
    std::lock_guard lock(replyLock_);
    return std::string(reply_.data(), replyCount_);
}

std::string TelescopeController::ReplyForMessage() const {
    constexpr std::size_t kShown = 64;
    const std::string raw = ReplyText();
    std::string out;
    for (std::size_t i = 0; i < raw.size() && i < kShown; ++i) {
        const auto c = static_cast<unsigned char>(raw[i]);
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else if (c == 0xDF) {
            out += '*';  // the controller's degree sign, written as in our own texts
        } else {
            out += Format("\\x%02X", c);
        }
    }
    if (raw.size() > kShown) out += "...";
    return out;
}

bool TelescopeController::AwaitAck(char expected, const std::string& errorText) {
    const std::int64_t s0 = clock_.Seconds();
    do {
        if (!link_.IsOpen()) {
            ui_.Error(scope_text::kNotOpen);
            state_ = kNoReply;
            return false;
        }
        clock_.Sleep(milliseconds(50));
        if (clock_.Seconds() > s0 + 4) {
            ui_.Error(scope_text::kAckTimeout);
            state_ = kNoReply;
            return false;
        }
    } while (ReplyCount() < 1);
    if (FirstReplyByte() == expected) {
        state_ = kDone;
        return true;
    }
    ui_.Error(errorText + ReplyForMessage());
    state_ = kBadReply;
    return false;
}

bool TelescopeController::AwaitLine(bool report) {
    const std::int64_t s0 = clock_.Seconds();
    auto lineComplete = [this] {
        std::lock_guard lock(replyLock_);
        return replyCount_ > 0 && reply_[replyCount_ - 1] == '#';
    };
    // Bytes came but never made a line: a wrong reply, not silence.
    auto badLine = [&] {
        if (report) ui_.Error(scope_text::kLineBad + ReplyForMessage());
        state_ = kBadReply;
        return false;
    };
    do {
        if (!link_.IsOpen()) {
            ui_.Error(scope_text::kNotOpen);
            state_ = kNoReply;
            return false;
        }
        clock_.Sleep(milliseconds(50));
        // A full reply buffer without its '#' can never become a line.
        if (ReplyCount() >= kReplySize && !lineComplete()) return badLine();
        if (clock_.Seconds() > s0 + 5) {
            if (ReplyCount() > 0) return badLine();
            if (report) ui_.Error(scope_text::kLineTimeout);
            state_ = kNoReply;
            return false;
        }
    } while (!lineComplete());
    state_ = kDone;
    return true;
}

void TelescopeController::SetAckFailureStatus(const std::string& step,
                                              const std::string& zeroText) {
    const char first = FirstReplyByte();
    if (sendFailed_) {
        statusText_ = link_.IsOpen() ? scope_text::kWriteFailed : scope_text::kNotOpen;
    } else if (ReplyCount() == 0) {
        statusText_ = "受信なし " + step;
    } else if (first == '0') {
        statusText_ = zeroText;
    } else {
        statusText_ = "異常応答 " + step + ":" + ReplyForMessage();
    }
}

bool TelescopeController::Goto() {
    if (!link_.IsOpen()) {
        statusText_ = scope_text::kNotOpen;
        state_ = kNoReply;
        return false;
    }
    ui_.PumpMessages();
    SendAltitudeLimit();
    if (!SendTarget()) return false;
    if (!Send(":MS#") || !AwaitAck('0', "MS Error")) {
        const std::string reply = ReplyForMessage();
        if (sendFailed_) {
            SetAckFailureStatus("MS", "");
        } else if (ReplyCount() == 0) {
            statusText_ = "受信なし MS:";
        } else if (FirstReplyByte() == '1') {
            statusText_ = "地平線下 MS:" + reply;
        } else if (FirstReplyByte() == '2') {
            statusText_ = "高すぎる MS:" + reply;
        } else {
            statusText_ = "異常応答 MS:" + reply;
        }
        return false;
    }
    state_ = kDone;
    LogGoto();
    return true;
}

void TelescopeController::SendAltitudeLimit() {
    if (limitSent_ || limitUnknown_) return;
    limitSent_ = true;
    // Whatever comes of it, the goto goes on: the question before a goto below
    // the limit is ours, the mount's own limit only a second guard.
    if (!Send(Format(":Sh%+03d#", ReadSettingInt(store_, "TS", "ALT_LIMIT")))) return;
    constexpr int kWaits = 20;  // about a second
    for (int i = 0; i < kWaits && ReplyCount() == 0 && link_.IsOpen(); ++i) clock_.Sleep(milliseconds(50));
    // A mount that does not know the command is not asked again.
    if (ReplyCount() == 0) limitUnknown_ = true;
    state_ = kDone;
}

bool TelescopeController::SendTarget() {
    if (!Send(":U#:Sr " + RaText() + "#:U#") || !AwaitAck('1', "Sr Error")) {
        SetAckFailureStatus("Sr", "現在位置確認要 Sr");
        return false;
    }
    if (!Send(":U#:Sd " + DecText() + "#:U#") || !AwaitAck('1', "Sd Error")) {
        SetAckFailureStatus("Sd", "コマンド不良 Sd");
        return false;
    }
    return true;
}

bool TelescopeController::Sync() {
    if (!link_.IsOpen()) {
        statusText_ = scope_text::kNotOpen;
        state_ = kNoReply;
        return false;
    }
    ui_.PumpMessages();
    if (!SendTarget()) return false;
    // The reply is a line of any text (controllers name the object there).
    if (!Send(":CM#") || !AwaitLine(true)) {
        if (sendFailed_) {
            SetAckFailureStatus("CM", "");
        } else if (state_ == kBadReply) {
            statusText_ = "異常応答 CM:" + ReplyForMessage();
        } else {
            statusText_ = "受信なし CM:";
        }
        return false;
    }
    state_ = kDone;
    LogGoto("Sync");
    return true;
}

bool TelescopeController::SetSlewRate(int n) {
    ui_.PumpMessages();
    if (!link_.IsOpen()) {
        statusText_ = scope_text::kNotOpen;
        state_ = kNoReply;
        return false;
    }
    if (n < 2 || n > 4) return false;
    if (!Send(Format(":Sw %d#", n)) || !AwaitAck('1', "Sw Error")) {
        SetAckFailureStatus("Sw", "コマンド不良 Sw");
        return false;
    }
    return true;
}

bool TelescopeController::Nudge(char d) {
    if (!link_.IsOpen()) return false;
    if (d != 'n' && d != 's' && d != 'e' && d != 'w') return false;
    ui_.PumpMessages();
    if (!Send(std::string(":M") + d + "#")) return false;
    state_ = kDone;
    clock_.Sleep(milliseconds(1000));
    if (!Send(std::string(":Q") + d + "#:Q#")) return false;
    state_ = kDone;
    return true;
}

bool TelescopeController::Stop() {
    ui_.PumpMessages();
    if (!link_.IsOpen()) {
        statusText_ = scope_text::kNotOpen;
        state_ = kNoReply;
        return false;
    }
    if (!Send(":Q#")) {
        statusText_ = link_.IsOpen() ? scope_text::kWriteFailed : scope_text::kNotOpen;
        return false;
    }
    state_ = kDone;
    return true;
}

std::optional<double> TelescopeController::ParseRaReply(const std::string& reply,
                                                        bool* highPrecision) {
    // "HH:MM.T#" (low precision) or "HH:MM:SS#" (high precision).
    const auto h = TwoDigits(reply, 0);
    const auto m = TwoDigits(reply, 3);
    if (!h || !m || reply.size() < 6 || reply[2] != ':' || *h > 23 || *m > 59) {
        return std::nullopt;
    }
    if (reply[5] == '.') {
        // Tenths of a minute: one or more digits, then '#'.
        std::size_t i = 6;
        double fraction = 0.0, scale = 0.1;
        while (i < reply.size() && IsDigit(reply[i])) {
            fraction += (reply[i] - '0') * scale;
            scale /= 10.0;
            ++i;
        }
        if (i == 6 || i + 1 != reply.size() || reply[i] != '#') return std::nullopt;
        if (highPrecision) *highPrecision = false;
        return *h * 15.0 + (*m + fraction) * 0.25;
    }
    const auto s = TwoDigits(reply, 6);
    if (reply[5] != ':' || !s || *s > 59 || reply.size() != 9 || reply[8] != '#') {
        return std::nullopt;
    }
    if (highPrecision) *highPrecision = true;
    return *h * 15.0 + *m * 0.25 + *s * (0.25 / 60.0);
}

std::optional<double> TelescopeController::ParseDecReply(const std::string& reply) {
    // "sDD*MM#" or "sDD*MM:SS#"; the degree mark may be any non-digit byte.
    std::size_t i = 0;
    double sign = 1.0;
    if (!reply.empty() && (reply[0] == '+' || reply[0] == '-')) {
        sign = reply[0] == '-' ? -1.0 : 1.0;
        i = 1;
    }
    const auto d = TwoDigits(reply, i);
    if (!d || i + 2 >= reply.size() || IsDigit(reply[i + 2]) || reply[i + 2] == '#') {
        return std::nullopt;
    }
    const auto m = TwoDigits(reply, i + 3);
    if (!m || *d > 90 || *m > 59) return std::nullopt;
    std::size_t end = i + 5;
    double seconds = 0.0;
    if (end < reply.size() && (reply[end] == ':' || reply[end] == '\'')) {
        const auto s = TwoDigits(reply, end + 1);
        if (!s || *s > 59) return std::nullopt;
        seconds = *s;
        end += 3;
    }
    if (end + 1 != reply.size() || reply[end] != '#') return std::nullopt;
    return sign * (*d + *m / 60.0 + seconds / 3600.0);
}

bool TelescopeController::ReadPosition(std::string& text, bool report) {
    ClearMountPosition();
    if (!Send(":GR#") || !AwaitLine(report)) {
        text += state_ == kBadReply ? scope_text::kRaMalformed + ReplyForMessage()
                                    : std::string(scope_text::kRaFailed);
        return false;
    }
    bool high = false;
    const std::optional<double> ra = ParseRaReply(ReplyText(), &high);
    const std::string raReply = ReplyForMessage();
    if (!ra) {
        text += scope_text::kRaMalformed + raReply;
        state_ = kBadReply;
        return false;
    }
    text += scope_text::kRaLabel + raReply;
    if (high) {
        ui_.Info(scope_text::kPrecisionWrong);
        if (!Send("#:U#")) {
            text += scope_text::kDecFailed;
            return false;
        }
        clock_.Sleep(milliseconds(300));
        ui_.PumpMessages();
    }
    if (!Send(":GD#") || !AwaitLine(report)) {
        text += state_ == kBadReply ? scope_text::kDecMalformed + ReplyForMessage()
                                    : std::string(scope_text::kDecFailed);
        return false;
    }
    const std::optional<double> dec = ParseDecReply(ReplyText());
    const std::string decReply = ReplyForMessage();
    if (!dec) {
        text += scope_text::kDecMalformed + decReply;
        state_ = kBadReply;
        return false;
    }
    SetMountPosition(*ra, *dec);
    text += scope_text::kDecLabel + decReply;
    state_ = kDone;
    return true;
}

std::optional<TelescopeController::WestLongitude> TelescopeController::ControllerLongitude(
    int degrees, int minutes) {
    // Bounded first: a stored -2147483648 must not be negated.
    if (degrees < -360 || degrees > 360 || minutes < -59 || minutes > 59) return std::nullopt;
    int d = 0, m = 0;
    if (degrees < 0 || minutes < 0) {
        d = -degrees;
        m = -minutes;
    } else if (minutes == 0) {
        d = 360 - degrees;
        m = 0;
    } else {
        d = 359 - degrees;
        m = 60 - minutes;
    }
    if (d < 0 || m < 0) return std::nullopt;
    if (d == 360 && m == 0) d = 0;  // the Greenwich meridian is 000*00, not 360*00
    return WestLongitude{d, m};
}

bool TelescopeController::SendSiteAndTime(const ObservationSite& site) {
    if (!link_.IsOpen()) {
        statusText_ = scope_text::kNotOpen;
        state_ = kNoReply;
        return false;
    }
    ui_.PumpMessages();
    const DateTime now = clock_.LocalNow();
    if (!Send(Format(":SL %02d:%02d:%02d#", now.Hour(), now.Minute(), now.Second())) ||
        !AwaitAck('1', "SL Error")) {
        SetAckFailureStatus("SL", "コマンド不良 SL");
        return false;
    }
    const auto lon = ControllerLongitude(site.longitudeDegrees, site.longitudeMinutes);
    if (!lon) {
        ui_.Error(scope_text::kLongitudeBad);
        statusText_ = scope_text::kLongitudeBad;
        state_ = kBadReply;
        return false;
    }
    if (!Send(Format(":Sg %03d*%02d#", lon->degrees, lon->minutes)) ||
        !AwaitAck('1', "Sg Error")) {
        SetAckFailureStatus("Sg", "コマンド不良 Sg");
        return false;
    }
    // South: both parts are stored negative; the magnitudes are sent after "-".
    // Bounded first: a stored -2147483648 has no magnitude in an int.
    const long long latDeg = std::abs(static_cast<long long>(site.latitudeDegrees));
    const long long latMin = std::abs(static_cast<long long>(site.latitudeMinutes));
    if (latDeg > 90 || latMin > 59 || latDeg * 60 + latMin > 90 * 60) {
        ui_.Error(scope_text::kLatitudeBad);
        statusText_ = scope_text::kLatitudeBad;
        state_ = kBadReply;
        return false;
    }
    const bool south = site.latitudeDegrees < 0 || site.latitudeMinutes < 0;
    if (!Send(Format(":St %c%02d*%02d#", south ? '-' : '+', std::abs(site.latitudeDegrees),
                     std::abs(site.latitudeMinutes))) ||
        !AwaitAck('1', "St Error")) {
        SetAckFailureStatus("St", "コマンド不良 St");
        return false;
    }
    if (!Send(Format(":SC %02d/%02d/%02d#", now.Month(), now.Day(), now.Year() % 100)) ||
        !AwaitAck('1', "SC Error")) {
        SetAckFailureStatus("SC", "コマンド不良 SC");
        return false;
    }
    // The controller follows the date with progress texts; drop them.
    clock_.Sleep(milliseconds(30));
    ClearReply();
    clock_.Sleep(milliseconds(30));
    ui_.PumpMessages();
    ClearReply();
    state_ = kDone;
    return true;
}

void TelescopeController::OnData() {
    std::lock_guard lock(replyLock_);
    if (replyCount_ >= kReplySize) return;  // full: the rest waits in the link
    replyCount_ += link_.Read(reply_.data() + replyCount_, kReplySize - replyCount_);
}

}  // namespace tavik
