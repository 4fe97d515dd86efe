#pragma once
// A telescope mount as the window, the dialogs and tavik-cli drive it: the same
// operations, results, states and status texts whatever the link. Two links
// implement it: TelescopeController (the LX200 command set over a serial line
// or TCP) and IndiMount (any mount an INDI server drives).
//
// The base keeps what does not depend on the link: the TS settings, the goto
// target and its texts, the exchange state, the busy and reading flags, the
// trace (StopTrace, TraceStep) and the position last read. A link supplies
// Connect, Disconnect and the exchanges.
//
//   std::unique_ptr<Mount> scope = MakeMount(store, ui, clock);  // by TS/LINK
//   scope->SetTarget(ra, dec, TargetFrame::J2000, "M42");
//   if (scope->Connect() && scope->Goto()) ...                   // history line logged
//   if (scope->Connect() && scope->Sync()) ...                   // "you are here"
//
// Frames: the chart and the catalogue are in J2000 coordinates, a mount points
// in coordinates of date. With TS/JNOW on (the default) a J2000 target is
// precessed to the equinox of the clock's present moment before it is sent,
// and a position read back is turned into J2000 before it is handed out
// (TelescopeRa/TelescopeDec, TraceStep). A target that is already of date (the
// Sun, the Moon and the planets of the astronomy engine) is sent as it is.

#include <functional>
#include <memory>
#include <string>

#include "settings/ObservationSite.h"
#include "telescope/TelescopeHost.h"

namespace tavik {

class SettingsStore;

// The frame of a goto target: the chart's (J2000) or already of date.
enum class TargetFrame { J2000, OfDate };

// How the mount is reached (setting TS/LINK).
enum class MountLink { Serial = 0, Indi = 1 };
MountLink ConfiguredLink(const SettingsStore& store);

class Mount {
public:
    // Exchange states; an odd state means an exchange is under way.
    static constexpr int kIdle = 0;
    static constexpr int kDone = 10;
    static constexpr int kSending = 11;
    static constexpr int kWaiting = 13;
    static constexpr int kNoReply = 16;
    static constexpr int kBadReply = 18;

    // Reads the TS settings. The store, ui and clock must outlive the mount.
    Mount(const SettingsStore& store, TelescopeUi& ui, TelescopeClock& clock);
    virtual ~Mount() = default;
    Mount(const Mount&) = delete;
    Mount& operator=(const Mount&) = delete;

    virtual MountLink LinkKind() const = 0;
    // What the link reaches, for messages: a device path, tcp://HOST:PORT, or
    // indi://HOST:PORT/DEVICE.
    virtual std::string LinkName() const = 0;

    // The settings the mount was made with (the site, TS/ALT_LIMIT).
    const SettingsStore& Settings() const { return store_; }
    // Re-reads the TS settings (after the telescope settings dialog).
    virtual void LoadSettings();
    // Writes TS TYPE, COMPORT, TRACE and TRACE_TIME (the settings dialog's OK).
    void SaveSettings(SettingsStore& store) const;

    // Opens the link; true when open (state 10). A failure leaves state 0, so
    // the next attempt connects again.
    virtual bool Connect() = 0;
    // Closes the link when open; state 0.
    virtual void Disconnect() = 0;
    virtual bool IsConnected() const = 0;

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
    // The same text for any position (radians), as it stands.
    static std::string CoordinatesText(double ra, double dec);
    // Receives the history line of every accepted Goto.
    void SetGotoLog(std::function<void(const std::string& line)> log) { gotoLog_ = std::move(log); }
    // "Slew %d/%d/%d %d:%d " (year, month, day, hour, minute) + name + " " + target text;
    // a sync's line starts with "Sync" instead.
    static std::string HistoryLine(const DateTime& local, const std::string& name,
                                   const std::string& targetText, const char* kind = "Slew");

    // Sends the target and starts the slew. On failure statusText says why.
    virtual bool Goto() = 0;
    // Tells the mount that it points at the target (the observer has centred
    // it): sent as a goto's coordinates are, the mount's position becomes
    // them and nothing moves. On failure statusText says why, in the goto's
    // words. An accepted sync is logged like a goto ("Sync ...").
    virtual bool Sync() = 0;
    // n = 4 fast, 3 medium, 2 slow.
    virtual bool SetSlewRate(int n) = 0;
    // d one of 'n', 's', 'e', 'w': moves for one second, then stops.
    virtual bool Nudge(char d) = 0;
    // Stops every motion. False when the stop could not be sent.
    virtual bool Stop() = 0;
    // Reads the pointing into telescopeRa/telescopeDec (degrees, J2000 while
    // coordinatesOfDate is on) and appends a readable text; with `report`, a
    // time-out or a wrong reply is announced in a message box.
    virtual bool ReadPosition(std::string& text, bool report) = 0;
    // Sends the local time, the site and the date. The site is the current site
    // of the settings store unless one is given.
    bool SendSiteAndTime();
    virtual bool SendSiteAndTime(const ObservationSite& site) = 0;

    // Ends a running trace and waits (dispatching messages) for a position
    // read of the trace to finish. The chosen trace interval is kept.
    void StopTrace();
    // One step of the trace after a goto: reads the position into ra, dec
    // (radians, in the chart's frame). False ends the trace (the link is then
    // closed).
    bool TraceStep(double& ra, double& dec);
    // Trace period in milliseconds: 500 for interval 0, 1000 for 1, else 3000.
    int TracePeriodMs() const;

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

protected:
    // Julian centuries of the clock's present moment (the mount's equinox).
    double EquinoxCenturies() const;
    // The target last set, in radians, in the mount's frame (what raText and
    // decText show, unrounded).
    double TargetRaOfDate() const { return targetRa_; }
    double TargetDecOfDate() const { return targetDec_; }
    // Stores a position the mount reported (degrees, of date while
    // coordinatesOfDate is on) and its chart-frame counterpart.
    void SetMountPosition(double raDeg, double decDeg);
    void ClearMountPosition();
    // Passes the history line of the accepted goto (or sync) to the log callback.
    void LogGoto(const char* kind = "Slew");

    const SettingsStore& store_;
    TelescopeUi& ui_;
    TelescopeClock& clock_;

    int state_ = kIdle;
    std::string statusText_;

private:
    std::function<void(const std::string&)> gotoLog_;
    std::string targetName_;
    bool busy_ = false;
    bool reading_ = false;
    int traceRemaining_ = 0;
    std::string raText_ = "00:00:00";
    std::string decText_ = "+00*00*00";
    double targetRa_ = 0.0;
    double targetDec_ = 0.0;
    double telescopeRa_ = 0.0;
    double telescopeDec_ = 0.0;
    double mountRa_ = 0.0;
    double mountDec_ = 0.0;
};

// The mount the settings choose: TS/LINK 1 an IndiMount (TS/INDI_HOST,
// INDI_PORT, INDI_DEVICE), else the LX200 TelescopeController on TS/COMPORT.
std::unique_ptr<Mount> MakeMount(const SettingsStore& store, TelescopeUi& ui,
                                 TelescopeClock& clock);

}  // namespace tavik
