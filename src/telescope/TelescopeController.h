#pragma once
// The telescope controller: the Mount that speaks the LX200 command set over
// a CommPort.
// Every exchange runs on the user-interface thread: clear the reply buffer,
// write the command, poll for the reply with a whole-second time-out, judge
// the reply. The link's reader thread only appends received bytes to the
// reply buffer (OnData), under the controller's lock.
//
// The telescope dialogs and view commands drive it through the public calls
// below; they decide when to connect and disconnect.
//
// Frames, the target, the trace and the state are the Mount's (Mount.h).
//
// Typical goto from the window or tavik-cli:
//
//   scope.SetTarget(ra, dec, TargetFrame::J2000, "M42");   // or OfDate
//   if (scope.Connect() && scope.Goto()) ...               // history line logged
//
// An accepted Goto passes its history line ("Slew y/m/d h:m name 赤経 … 赤緯 … ")
// to the callback set with SetGotoLog (the document's GotoHistory::Add).

#include <array>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>

#include "settings/ObservationSite.h"
#include "telescope/CommPort.h"
#include "telescope/Mount.h"
#include "telescope/TelescopeHost.h"

namespace tavik {

class SettingsStore;

// Texts shown by the protocol (message boxes and status lines).
namespace scope_text {
inline constexpr const char* kNotOpen = "開いていない";
inline constexpr const char* kAckTimeout = "4秒間 応答なし";
inline constexpr const char* kLineTimeout = "5秒間 応答なし";
inline constexpr const char* kPrecisionWrong = "精度モードが違います。訂正します";
inline constexpr const char* kLongitudeBad = "経度計算不良";
inline constexpr const char* kRaFailed = "   GetRAを失敗した　接続不良 ";
inline constexpr const char* kDecFailed = "   GetDEを失敗した  接続不良";
inline constexpr const char* kRaLabel = "赤経：";
inline constexpr const char* kDecLabel = "  赤緯：";
// A position reply that is not in either of the controller's formats.
inline constexpr const char* kRaMalformed = "   赤経の応答が不正です ";
inline constexpr const char* kDecMalformed = "   赤緯の応答が不正です ";
// A line reply that came but never ended in '#' within the time-out (or
// overfilled the reply buffer): a wrong reply, not silence.
inline constexpr const char* kLineBad = "応答が不正です ";
// A command that could not be written on an open line (write time-out).
inline constexpr const char* kWriteFailed = "送信できません";
// A stored latitude that cannot be sent (beyond a pole, or beyond 59 minutes).
inline constexpr const char* kLatitudeBad = "緯度計算不良";
}  // namespace scope_text

// The two entries of the telescope type list.
inline constexpr std::array<const char*, 2> kTelescopeTypeNames = {"Meade ETX70",
                                                                   "Meade AutoStar"};

class TelescopeController final : public Mount, public CommOwner {
public:
    static constexpr std::size_t kReplySize = 2048;

    // Create: reads TS TYPE, COMPORT, TRACE, TRACE_TIME and the device path of
    // the chosen port (TS/DEVICEn) from the store; the store is also where
    // SendSiteAndTime reads the site. The store, ui and clock must outlive the
    // controller.
    TelescopeController(const SettingsStore& store, TelescopeUi& ui, TelescopeClock& clock);
    ~TelescopeController() override;

    MountLink LinkKind() const override { return MountLink::Serial; }
    // The device path Connect opens (a serial device or tcp://HOST:PORT).
    std::string LinkName() const override;

    // Opens the link on the configured port at 9600 baud, 8 data bits, no
    // parity, one stop bit. True when open (state 10); a port that cannot be
    // opened leaves state 0, so the next attempt connects again.
    bool Connect() override;
    // Closes the link when open; state 0.
    void Disconnect() override;
    bool IsConnected() const override { return link_.IsOpen(); }

    // Sends the target and starts the slew. On failure statusText says why.
    bool Goto() override;
    // The target as for a goto (":Sr", ":Sd"), then ":CM#"; its reply line is
    // taken whatever it says.
    bool Sync() override;
    // n = 4 fast, 3 medium, 2 slow.
    bool SetSlewRate(int n) override;
    // d one of 'n', 's', 'e', 'w': moves for one second, then stops. False when
    // a command could not be written.
    bool Nudge(char d) override;
    // False when the stop could not be written (a closed or dead line).
    bool Stop() override;
    bool ReadPosition(std::string& text, bool report) override;
    using Mount::SendSiteAndTime;
    bool SendSiteAndTime(const ObservationSite& site) override;

    // Reader-thread notification: moves the link's waiting bytes into the reply
    // buffer, never beyond its 2048 bytes.
    void OnData() override;

    // A device path that replaces the configured port (tavik-cli --device).
    void SetDevicePath(std::string path) { devicePathOverride_ = std::move(path); }
    CommPort& Link() { return link_; }

    // The reply received so far (a copy, taken under the lock).
    std::string ReplyText() const;

    // Right ascension in degrees from a ":GR#" reply "HH:MM.T#" or
    // "HH:MM:SS#"; nullopt for anything else. `highPrecision` tells which.
    static std::optional<double> ParseRaReply(const std::string& reply, bool* highPrecision);
    // Declination in degrees from a ":GD#" reply "sDD*MM#" or "sDD*MM:SS#"
    // (any single non-digit byte as the degree mark); nullopt for anything else.
    static std::optional<double> ParseDecReply(const std::string& reply);
    // The longitude the controller wants (counted westwards) from the stored
    // signed degrees and minutes; nullopt when it cannot be formed (also for
    // degrees beyond +-360 or minutes beyond +-59, whatever the store holds).
    struct WestLongitude { int degrees, minutes; };
    static std::optional<WestLongitude> ControllerLongitude(int degrees, int minutes);

private:
    void ClearReply();
    // False (with its message, state 16) when the command could not be written.
    bool Send(const std::string& command);
    bool AwaitAck(char expected, const std::string& errorText);
    // ":Sr" and ":Sd" of the target, each acknowledged, for a goto and a sync
    // alike; the goto's status texts.
    bool SendTarget();
    bool AwaitLine(bool report);
    std::size_t ReplyCount() const;
    char FirstReplyByte() const;  // 0 when nothing came
    // The reply as printable text: the degree byte 0xDF as '*', other
    // unprintable bytes as \xNN.
    std::string ReplyForMessage() const;
    // The status text for a failed acknowledged command: "受信なし <step>"
    // without a reply, `zeroText` for "0", "異常応答 <step>:" + reply otherwise.
    void SetAckFailureStatus(const std::string& step, const std::string& zeroText);
    // Before the first goto of a connection (a sync moves nothing and does
    // not need it): the lowest altitude of a slew
    // (TS/ALT_LIMIT) as ":Sh+00#". A mount that takes it answers '1' ('0' for
    // a value it refuses); one that stays silent for a second is not asked
    // again. The goto goes on in every case.
    void SendAltitudeLimit();

    CommPort link_;
    std::string devicePathOverride_;
    bool sendFailed_ = false;  // the last failed exchange failed in its write
    bool limitSent_ = false;     // this connection was told the altitude limit
    bool limitUnknown_ = false;  // the mount did not answer ":Sh"

    mutable std::mutex replyLock_;
    std::array<char, kReplySize> reply_{};
    std::size_t replyCount_ = 0;
};

}  // namespace tavik
