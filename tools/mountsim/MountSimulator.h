#pragma once
// A simulated LX200 hand controller: takes the bytes a program sends, answers
// the way the controller does, and moves the mount (a goto slews towards its
// target over a few seconds; the move commands drive it at the chosen rate
// until stopped). Time is passed in, so the logic is testable without waiting.
//
// It answers the classic LX200 and Autostar commands that LX200 programs and
// drivers send: positions and targets in low and high precision (equatorial
// and alt-azimuth), goto, sync, distance bars, moves and their rates, the
// clock, calendar and UTC offset, four named sites, tracking rates, limits
// and the product queries. tools/mountsim/README.md has the table.
//
// Misbehaviour on request: no reply at all, garbage instead of replies, replies
// cut short, a chosen reply (or none) for one command, a burst of garbage
// before every reply, high precision from the start.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavik::mountsim {

struct MountOptions {
    bool noReply = false;        // never answer
    bool garbage = false;        // answer with bytes that are not a reply
    bool partial = false;        // send only the first half of each text reply
    bool highPrecision = false;  // start in high precision (":GR#" gives HH:MM:SS)
    // The degree sign in replies: '*' or the controller's own byte 0xDF.
    char degreeSign = '*';
    double slewSeconds = 3.0;    // duration of a goto slew
    std::size_t burst = 0;       // garbage bytes sent before every reply
    // Reply for a command name ("MS", "Sd", "GR", ...): the text replaces the
    // normal reply; nullopt sends none. A goto is started only by "0".
    std::map<std::string, std::optional<std::string>> replies;
    double ra = 0.0;   // initial pointing, degrees
    double dec = 0.0;
    // A mount badly aligned: the position it reports (:GR, :GD and what is
    // computed from it) is off from where it really points by this much, in
    // minutes of arc (right ascension as an angle: 15' to a minute of time),
    // until a sync tells it where it is.
    double pointingErrorRa = 0.0;
    double pointingErrorDec = 0.0;
    // The controller's clock at start: local civil time as seconds since
    // 1970-01-01 00:00 (counted like UTC), and the hours added to it to give
    // UTC (the LX200 sign: -9 for Japan).
    double localClock = 20454.0 * 86400.0;  // 2026-01-01 00:00:00
    double utcOffsetHours = 0.0;
};

// The product name and firmware number the simulator reports.
inline constexpr const char* kProductName = "Autostar";
inline constexpr const char* kFirmwareNumber = "43Eg";

class MountSimulator {
public:
    explicit MountSimulator(MountOptions options = {});

    // Feeds received bytes at time `now` (seconds); returns the bytes to send.
    std::string Receive(std::string_view bytes, double now);
    // Moves the mount to time `now`.
    void Advance(double now);

    // Where the mount really points, degrees (0..360, +-90): a goto takes it to
    // the target, whatever it reports.
    double Ra() const { return ra_; }
    double Dec() const { return dec_; }
    // Where it says it points: off by the pointing error until a sync.
    double ReportedRa() const;
    double ReportedDec() const;
    double TargetRa() const { return targetRa_; }
    double TargetDec() const { return targetDec_; }
    bool Slewing() const { return slewing_; }
    bool HighPrecision() const { return highPrecision_; }
    // The maximum slew rate set by :Sw (degrees per second, 2..8).
    int SlewRate() const { return maxSlewRate_; }
    // The speed of the move commands now, degrees per second (:RS/:RM/:RC/:RG).
    double MoveRate() const;
    // The site in use: west longitude (0..360°) and north latitude in minutes of arc.
    int LongitudeWestMinutes() const { return sites_[site_].lonWestMinutes; }
    int LatitudeMinutes() const { return sites_[site_].latMinutes; }
    // The controller's local clock at `now` (seconds since 1970, local) and its
    // UTC offset (hours added to local time to give UTC).
    double LocalClock(double now);
    double UtcOffsetHours() const { return utcOffsetHours_; }
    // Every complete command received, as sent (":Sr 12:00:00#").
    const std::vector<std::string>& Commands() const { return commands_; }
    // The commands it does not know (and so did not answer).
    const std::vector<std::string>& Unknown() const { return unknown_; }
    MountOptions& Options() { return options_; }

    // The name a command is known by in MountOptions::replies: "U", "Q", "Qn",
    // "Mn", "MS", "Sr", "GR", "D", "P", ...
    static std::string CommandName(std::string_view body);

    // Replies in the controller's formats.
    static std::string FormatRa(double degrees, bool high);
    static std::string FormatDec(double degrees, bool high, char degreeSign = '*');

private:
    struct Site {
        std::string name;
        int lonWestMinutes = 0;
        int latMinutes = 0;
    };

    std::string Execute(const std::string& body, double now);
    std::optional<std::string> Query(const std::string& name, std::string_view arg, double now);
    std::optional<std::string> Setting(const std::string& name, std::string_view arg, double now);
    std::optional<std::string> Motion(const std::string& name, std::string_view arg, double now);
    void StartSlew(double now);
    double SiderealDegrees(double now);  // local sidereal time
    void HorizonOf(double ra, double dec, double now, double* alt, double* az);
    std::string Angle(double degrees, int degreeDigits, bool sign, bool high) const;
    std::string Garbage(std::size_t n);

    MountOptions options_;
    std::string pending_;
    bool inCommand_ = false;
    std::vector<std::string> commands_;
    std::vector<std::string> unknown_;
    std::uint32_t seed_ = 12345;

    double ra_ = 0.0, dec_ = 0.0;
    double errorRa_ = 0.0, errorDec_ = 0.0;  // degrees, reported minus real
    double targetRa_ = 0.0, targetDec_ = 0.0;
    double targetAlt_ = 0.0, targetAz_ = 0.0;
    bool slewing_ = false;
    double slewStart_ = 0.0, slewFromRa_ = 0.0, slewFromDec_ = 0.0;
    bool highPrecision_ = false;
    bool highPointing_ = false;  // :P#
    char alignment_ = 'P';       // 'P' polar, 'A' alt-azimuth, 'L' land
    int maxSlewRate_ = 4;
    char moveRate_ = 'S';        // S slew, M find, C centre, G guide
    bool moving_[4] = {false, false, false, false};  // n, s, e, w
    double pulseUntil_[4] = {0, 0, 0, 0};            // guide pulses, n, s, e, w
    double lastAdvance_ = -1.0;

    // Sites, clock and calendar as the controller keeps them.
    Site sites_[4] = {{"Home", 0, 0}, {"Site 2", 0, 0}, {"Site 3", 0, 0}, {"Site 4", 0, 0}};
    int site_ = 0;
    double clockAtSet_ = 0.0;     // local seconds since 1970 when the clock was set
    double clockSetAt_ = -1.0;    // `now` at that moment (-1: at the first command)
    double utcOffsetHours_ = 0.0;
    double siderealShift_ = 0.0;  // degrees added by :SS
    bool hours24_ = true;
    double trackHz_ = 60.1;
    int lowestAltitude_ = 0;      // :Sh, degrees
    int highestAltitude_ = 90;    // :So
};

}  // namespace tavik::mountsim
