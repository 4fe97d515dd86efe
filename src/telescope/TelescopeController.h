#pragma once
// The telescope controller: speaks the LX200 command set over a CommPort.
// Every exchange runs on the user-interface thread: clear the reply buffer,
// write the command, poll for the reply with a whole-second time-out, judge
// the reply. The link's reader thread only appends received bytes to the
// reply buffer (OnData), under the controller's lock.
//
// The telescope dialogs and view commands drive it through the public calls
// below; they decide when to connect and disconnect.
//
// Frames: the chart and the catalogue are in J2000 coordinates, a hand
// controller points in coordinates of date. With TS/JNOW on (the default) a
// J2000 target is precessed to the equinox of the clock's present moment before
// it is sent, and a position read back is turned into J2000 before it is handed
// out (TelescopeRa/TelescopeDec, TraceStep). A target that is already of date
// (the Sun, the Moon and the planets of the astronomy engine) is sent as it is.
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
#include <functional>
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

// The frame of a goto target: the chart's (J2000) or already of date.
enum class TargetFrame { J2000, OfDate };

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

    // The target of the next Goto, ra and dec in radians: fills raText
    // ("HH:MM:SS") and decText ("sDD*MM*SS") with the coordinates that will be
    // sent (precessed to the present equinox for a J2000 target while
    // coordinatesOfDate is on). `name` goes into the history line. False, and
    // nothing changed, for a non-finite value or a declination beyond +-90 deg.
    bool SetTarget(double ra, double dec, TargetFrame frame = TargetFrame::J2000,
                   std::string name = {});
    const std::string& TargetName() const { return targetName_; }
    // "赤経 %s 赤緯 %s " with raText and decText (the control dialog's target line).
    std::string TargetText() const;
    // Receives the history line of every accepted Goto.
    void SetGotoLog(std::function<void(const std::string& line)> log) { gotoLog_ = std::move(log); }
    // "Slew %d/%d/%d %d:%d " (year, month, day, hour, minute) + name + " " + target text.
    static std::string HistoryLine(const DateTime& local, const std::string& name,
                                   const std::string& targetText);
    // Sends the target and starts the slew. On failure statusText says why.
    bool Goto();
    // n = 4 fast, 3 medium, 2 slow.
    bool SetSlewRate(int n);
    // d one of 'n', 's', 'e', 'w': moves for one second, then stops. False when
    // a command could not be written.
    bool Nudge(char d);
    // False when the stop could not be written (a closed or dead line).
    bool Stop();
    // Reads the pointing into telescopeRa/telescopeDec (degrees, J2000 while
    // coordinatesOfDate is on) and appends a readable text; with `report`, a
    // time-out or a wrong reply is announced in a message box.
    bool ReadPosition(std::string& text, bool report);
    // Sends the local time, the site and the date. The site is the current site
    // of the settings store unless one is given.
    bool SendSiteAndTime();
    bool SendSiteAndTime(const ObservationSite& site);

    // Ends a running trace and waits (dispatching messages) for a position
    // read of the trace to finish. The chosen trace interval is kept.
    void StopTrace();
    // One step of the trace after a goto: reads the position into ra, dec
    // (radians, in the chart's frame). False ends the trace (the link is then
    // closed).
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
    double TelescopeRa() const { return telescopeRa_; }    // degrees, chart frame
    double TelescopeDec() const { return telescopeDec_; }  // degrees, chart frame
    double MountRa() const { return mountRa_; }            // degrees, as the mount said
    double MountDec() const { return mountDec_; }
    bool Busy() const { return busy_; }
    void SetBusy(bool busy) { busy_ = busy; }
    bool Reading() const { return reading_; }
    int TraceRemaining() const { return traceRemaining_; }
    void SetTraceRemaining(int ms) { traceRemaining_ = ms; }

    int telescopeType = 0;  // TS/TYPE
    int comPort = 1;        // TS/COMPORT, 1..4
    int traceEnabled = 0;   // TS/TRACE
    int traceInterval = 2;  // TS/TRACE_TIME
    bool coordinatesOfDate = true;  // TS/JNOW

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
    // Julian centuries of the clock's present moment (the mount's equinox).
    double EquinoxCenturies() const;
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
    std::function<void(const std::string&)> gotoLog_;
    std::string targetName_;
    bool sendFailed_ = false;  // the last failed exchange failed in its write

    int state_ = kIdle;
    bool busy_ = false;
    bool reading_ = false;
    int traceRemaining_ = 0;
    std::string statusText_;
    std::string raText_ = "00:00:00";
    std::string decText_ = "+00*00*00";
    double telescopeRa_ = 0.0;
    double telescopeDec_ = 0.0;
    double mountRa_ = 0.0;
    double mountDec_ = 0.0;

    mutable std::mutex replyLock_;
    std::array<char, kReplySize> reply_{};
    std::size_t replyCount_ = 0;
};

}  // namespace tavik
