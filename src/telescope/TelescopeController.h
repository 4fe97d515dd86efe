#pragma once
// The telescope controller: speaks the LX200 command set over a CommPort.
// Every exchange runs on the user-interface thread: clear the reply buffer,
// write the command, poll for the reply with a whole-second time-out, judge
// the reply. The link's reader thread only appends received bytes to the
// reply buffer (OnData), under the controller's lock.
//
// The telescope dialogs and view commands drive it through the public calls
// below; they decide when to connect and disconnect.

#include <array>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>

#include "settings/ObservationSite.h"
#include "telescope/CommPort.h"
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
}  // namespace scope_text

// The two entries of the telescope type list.
inline constexpr std::array<const char*, 2> kTelescopeTypeNames = {"Meade ETX70",
                                                                   "Meade AutoStar"};

class TelescopeController final : public CommOwner {
public:
    // Exchange states; an odd state means an exchange is under way.
    static constexpr int kIdle = 0;
    static constexpr int kDone = 10;
    static constexpr int kSending = 11;
    static constexpr int kWaiting = 13;
    static constexpr int kNoReply = 16;
    static constexpr int kBadReply = 18;

    static constexpr std::size_t kReplySize = 2048;

    // Create: reads TS TYPE, COMPORT, TRACE, TRACE_TIME and the device path of
    // the chosen port (TS/DEVICEn) from the store; the store is also where
    // SendSiteAndTime reads the site. The store, ui and clock must outlive the
    // controller.
    TelescopeController(const SettingsStore& store, TelescopeUi& ui, TelescopeClock& clock);
    ~TelescopeController() override;

    // Re-reads the TS settings (after the telescope settings dialog).
    void LoadSettings();
    // Writes TS TYPE, COMPORT, TRACE and TRACE_TIME (the settings dialog's OK).
    void SaveSettings(SettingsStore& store) const;

    // Opens the link on the configured port at 9600 baud, 8 data bits, no
    // parity, one stop bit. True when open (state 10); a port that cannot be
    // opened leaves state 0, so the next attempt connects again.
    bool Connect();
    // Closes the link when open; state 0.
    void Disconnect();
    bool IsConnected() const { return link_.IsOpen(); }

    // Fills raText ("HH:MM:SS") and decText ("sDD*MM*SS") from radians.
    void SetTarget(double ra, double dec);
    // Sends the target and starts the slew. On failure statusText says why.
    bool Goto();
    // n = 4 fast, 3 medium, 2 slow.
    bool SetSlewRate(int n);
    // d one of 'n', 's', 'e', 'w': moves for one second, then stops.
    bool Nudge(char d);
    void Stop();
    // Reads the pointing into telescopeRa/telescopeDec (degrees) and appends a
    // readable text; with `report`, a time-out is announced in a message box.
    bool ReadPosition(std::string& text, bool report);
    // Sends the local time, the site and the date. The site is the current site
    // of the settings store unless one is given.
    bool SendSiteAndTime();
    bool SendSiteAndTime(const ObservationSite& site);

    // Ends a running trace and waits (dispatching messages) for a position
    // read of the trace to finish. The chosen trace interval is kept.
    void StopTrace();
    // One step of the trace after a goto: reads the position into ra, dec
    // (radians). False ends the trace (the link is then closed).
    bool TraceStep(double& ra, double& dec);
    // Trace period in milliseconds: 500 for interval 0, 1000 for 1, else 3000.
    int TracePeriodMs() const;

    // Reader-thread notification: moves the link's waiting bytes into the reply
    // buffer, never beyond its 2048 bytes.
    void OnData() override;

    // --- State the dialogs read and set ---
    int State() const { return state_; }
    const std::string& StatusText() const { return statusText_; }
    const std::string& RaText() const { return raText_; }
    const std::string& DecText() const { return decText_; }
    double TelescopeRa() const { return telescopeRa_; }    // degrees
    double TelescopeDec() const { return telescopeDec_; }  // degrees
    bool Busy() const { return busy_; }
    void SetBusy(bool busy) { busy_ = busy; }
    bool Reading() const { return reading_; }
    int TraceRemaining() const { return traceRemaining_; }
    void SetTraceRemaining(int ms) { traceRemaining_ = ms; }

    int telescopeType = 0;  // TS/TYPE
    int comPort = 1;        // TS/COMPORT, 1..4
    int traceEnabled = 0;   // TS/TRACE
    int traceInterval = 2;  // TS/TRACE_TIME

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
    // signed degrees and minutes; nullopt when it cannot be formed.
    struct WestLongitude { int degrees, minutes; };
    static std::optional<WestLongitude> ControllerLongitude(int degrees, int minutes);

private:
    void ClearReply();
    void Send(const std::string& command);
    bool AwaitAck(char expected, const std::string& errorText);
    bool AwaitLine(bool report);
    std::size_t ReplyCount() const;
    char FirstReplyByte() const;  // 0 when nothing came
    std::string ReplyForMessage() const;
    // The status text for a failed acknowledged command: "受信なし <step>"
    // without a reply, `zeroText` for "0", "異常応答 <step>:" + reply otherwise.
    void SetAckFailureStatus(const std::string& step, const std::string& zeroText);

    const SettingsStore& store_;
    TelescopeUi& ui_;
    TelescopeClock& clock_;
    CommPort link_;
    std::string devicePathOverride_;

    int state_ = kIdle;
    bool busy_ = false;
    bool reading_ = false;
    int traceRemaining_ = 0;
    std::string statusText_;
    std::string raText_ = "00:00:00";
    std::string decText_ = "+00*00*00";
    double telescopeRa_ = 0.0;
    double telescopeDec_ = 0.0;

    mutable std::mutex replyLock_;
    std::array<char, kReplySize> reply_{};
    std::size_t replyCount_ = 0;
};

}  // namespace tavik
