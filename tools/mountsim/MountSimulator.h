#pragma once
// A simulated LX200 hand controller: takes the bytes a program sends, answers
// the way the controller does, and moves the mount (a goto slews towards its
// target over a few seconds; the move commands drive it until stopped). Time
// is passed in, so the logic is testable without waiting.
//
// What LX200 clients ask when they connect is answered too: the alignment
// query (ACK, 0x06: "P", polar), the product name and firmware (:GVP#, :GVN#,
// :GVD#, :GVT#), the date, local time and zone (:GC#, :GL#, :GG#), the site
// (:Gg#, :Gt#, as last set by :Sg#/:St#) and the target (:Gr#, :Gd#).
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
    double slewSeconds = 3.0;    // duration of a goto slew
    std::size_t burst = 0;       // garbage bytes sent before every reply
    // Reply for a command name ("MS", "Sd", "GR", ...): the text replaces the
    // normal reply; nullopt sends none. A goto is started only by "0".
    std::map<std::string, std::optional<std::string>> replies;
    double ra = 0.0;   // initial pointing, degrees
    double dec = 0.0;
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

    double Ra() const { return ra_; }    // degrees, 0..360
    double Dec() const { return dec_; }  // degrees
    double TargetRa() const { return targetRa_; }
    double TargetDec() const { return targetDec_; }
    bool Slewing() const { return slewing_; }
    bool HighPrecision() const { return highPrecision_; }
    int SlewRate() const { return slewRate_; }
    // The site as last set: west longitude and north latitude in minutes of arc.
    int LongitudeWestMinutes() const { return lonWestMinutes_; }
    int LatitudeMinutes() const { return latMinutes_; }
    // Every complete command received, as sent (":Sr 12:00:00#").
    const std::vector<std::string>& Commands() const { return commands_; }
    MountOptions& Options() { return options_; }

    // The name a command is known by in MountOptions::replies: "U", "Q", "Qn",
    // "Mn", "MS", "Sr", "GR", ...
    static std::string CommandName(std::string_view body);

    // Replies in the controller's formats.
    static std::string FormatRa(double degrees, bool high);
    static std::string FormatDec(double degrees, bool high);

private:
    std::string Execute(const std::string& body, double now);
    std::string Garbage(std::size_t n);

    MountOptions options_;
    std::string pending_;
    bool inCommand_ = false;
    std::vector<std::string> commands_;
    std::uint32_t seed_ = 12345;

    double ra_ = 0.0, dec_ = 0.0;
    double targetRa_ = 0.0, targetDec_ = 0.0;
    bool slewing_ = false;
    double slewStart_ = 0.0, slewFromRa_ = 0.0, slewFromDec_ = 0.0;
    bool highPrecision_ = false;
    int slewRate_ = 4;
    bool moving_[4] = {false, false, false, false};  // n, s, e, w
    double lastAdvance_ = -1.0;

    // Site, clock and calendar as the controller keeps them.
    int lonWestMinutes_ = 0;
    int latMinutes_ = 0;
    double localSecondsAtSet_ = 0.0;  // seconds of the day when the clock was set
    double clockSetAt_ = -1.0;        // `now` at that moment (-1: at the first command)
    int month_ = 1, day_ = 1, year_ = 26;
};

}  // namespace tavik::mountsim
