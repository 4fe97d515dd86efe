#include "mountsim/MountSimulator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

namespace tavik::mountsim {

namespace {

constexpr double kRad = std::numbers::pi / 180.0;
constexpr double kSidereal = 360.0 / 86164.0905;  // the sky's turn, degrees per second

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads an unsigned number of exactly `n` digits at text[i].
std::optional<int> Digits(std::string_view text, std::size_t i, std::size_t n) {
    if (i + n > text.size()) return std::nullopt;
    int v = 0;
    for (std::size_t k = 0; k < n; ++k) {
        if (!IsDigit(text[i + k])) return std::nullopt;
        v = v * 10 + (text[i + k] - '0');
    }
    return v;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    return s;
}

// An optional sign, then digits with at most one decimal point, and nothing
// else ("-9.0", "+05", "60.16427").
std::optional<double> Decimal(std::string_view s) {
    double sign = 1.0;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        sign = s[0] == '-' ? -1.0 : 1.0;
        s.remove_prefix(1);
    }
    double v = 0.0, scale = 0.0;
    std::size_t digits = 0;
    for (const char c : s) {
        if (c == '.' && scale == 0.0) {
            scale = 1.0;
        } else if (IsDigit(c)) {
            ++digits;
            if (scale > 0.0) {
                scale /= 10.0;
                v += (c - '0') * scale;
            } else {
                v = v * 10.0 + (c - '0');
            }
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || digits > 9) return std::nullopt;
    return sign * v;
}

// "HH:MM:SS" or "HH:MM.T" as hours.
std::optional<double> ParseHours(std::string_view s) {
    const auto h = Digits(s, 0, 2);
    const auto m = Digits(s, 3, 2);
    if (!h || !m || s.size() < 5 || s[2] != ':' || *h > 24 || *m > 59) return std::nullopt;
    if (s.size() == 5) return *h + *m / 60.0;
    if (s[5] == ':') {
        const auto sec = Digits(s, 6, 2);
        if (!sec || s.size() != 8 || *sec > 59) return std::nullopt;
        return *h + *m / 60.0 + *sec / 3600.0;
    }
    if (s[5] == '.') {
        const auto t = Digits(s, 6, 1);
        if (!t || s.size() != 7) return std::nullopt;
        return *h + (*m + *t / 10.0) / 60.0;
    }
    return std::nullopt;
}

// "sDD*MM", "sDD*MM*SS" or "sDD*MM:SS" (any non-digit separators, the degree
// byte 0xDF too) as degrees; one to `degreeDigits` digits of degrees.
std::optional<double> ParseAngle(std::string_view s, std::size_t degreeDigits, bool signAllowed) {
    double sign = 1.0;
    if (signAllowed && !s.empty() && (s[0] == '+' || s[0] == '-')) {
        sign = s[0] == '-' ? -1.0 : 1.0;
        s.remove_prefix(1);
    }
    std::size_t i = 0;
    while (i < s.size() && IsDigit(s[i])) ++i;
    if (i == 0 || i > degreeDigits) return std::nullopt;
    const int d = *Digits(s, 0, i);
    const auto m = Digits(s, i + 1, 2);
    if (s.size() < i + 3 || !m || *m > 59) return std::nullopt;
    if (s.size() == i + 3) return sign * (d + *m / 60.0);
    const auto sec = Digits(s, i + 4, 2);
    if (IsDigit(s[i + 3]) || !sec || s.size() != i + 6 || *sec > 59) return std::nullopt;
    return sign * (d + *m / 60.0 + *sec / 3600.0);
}

double Wrap360(double deg) {
    deg = std::fmod(deg, 360.0);
    return deg < 0 ? deg + 360.0 : deg;
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}
void CivilFromDays(long z, int* y, int* m, int* d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    *y = static_cast<int>(yoe + era * 400 + (*m <= 2));
}
int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : days[m - 1];
}

// The direction letters of the move, stop and guide commands.
int Direction(char c) {
    const auto pos = std::string_view("nsew").find(c);
    return pos == std::string_view::npos ? -1 : static_cast<int>(pos);
}

std::string Printf(const char* fmt, auto... args) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

}  // namespace

MountSimulator::MountSimulator(MountOptions options)
    : options_(std::move(options)),
      ra_(Wrap360(options_.ra)),
      dec_(std::clamp(options_.dec, -90.0, 90.0)),
      errorRa_(options_.pointingErrorRa / 60.0),
      errorDec_(options_.pointingErrorDec / 60.0),
      targetRa_(ra_),
      targetDec_(dec_),
      highPrecision_(options_.highPrecision),
      clockAtSet_(options_.localClock),
      utcOffsetHours_(options_.utcOffsetHours) {}

std::string MountSimulator::CommandName(std::string_view body) {
    if (body.empty()) return "";
    if (std::string_view("UDPHQ").find(body[0]) != std::string_view::npos) {
        if (body[0] == 'Q' && body.size() >= 2 && Direction(body[1]) >= 0) {
            return std::string(body.substr(0, 2));
        }
        return std::string(1, body[0]);
    }
    return std::string(body.substr(0, std::min<std::size_t>(2, body.size())));
}

std::string MountSimulator::FormatRa(double degrees, bool high) {
    const double hours = Wrap360(degrees) / 15.0;
    if (high) {
        const long total = std::lround(hours * 3600.0) % (24 * 3600);
        return Printf("%02ld:%02ld:%02ld#", total / 3600, total / 60 % 60, total % 60);
    }
    const long tenths = std::lround(hours * 600.0) % (24 * 600);
    return Printf("%02ld:%02ld.%ld#", tenths / 600, tenths / 10 % 60, tenths % 10);
}

std::string MountSimulator::FormatDec(double degrees, bool high, char degreeSign) {
    const char sign = degrees < 0 ? '-' : '+';
    const double a = std::fabs(degrees);
    if (high) {
        const long total = std::lround(a * 3600.0);
        return Printf("%c%02ld%c%02ld:%02ld#", sign, total / 3600, degreeSign, total / 60 % 60,
                      total % 60);
    }
    const long total = std::lround(a * 60.0);
    return Printf("%c%02ld%c%02ld#", sign, total / 60, degreeSign, total % 60);
}

std::string MountSimulator::Angle(double degrees, int degreeDigits, bool sign, bool high) const {
    std::string text;
    if (sign) text += degrees < 0 ? '-' : '+';
    const long total = std::lround(std::fabs(degrees) * (high ? 3600.0 : 60.0));
    const long d = high ? total / 3600 : total / 60;
    const long m = high ? total / 60 % 60 : total % 60;
    text += Printf("%0*ld%c%02ld", degreeDigits, d, options_.degreeSign, m);
    if (high) text += Printf(":%02ld", total % 60);
    return text + "#";
}

std::string MountSimulator::Garbage(std::size_t n) {
    std::string out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        seed_ = seed_ * 1103515245u + 12345u;
        unsigned c = (seed_ >> 16) & 0xFF;
        // Never a digit or '#': garbage must not pass for a reply.
        if ((c >= '0' && c <= '9') || c == '#') c += 0x40;
        out += static_cast<char>(c);
    }
    return out;
}

std::string MountSimulator::Receive(std::string_view bytes, double now) {
    Advance(now);
    std::string out;
    for (const char c : bytes) {
        if (!inCommand_ && c == ':') {  // a command starts; ':' inside one is an argument
            inCommand_ = true;
            pending_.clear();
            continue;
        }
        if (!inCommand_) {
            if (c == '\x06') out += alignment_;  // the alignment query
            continue;                            // stray bytes between commands
        }
        if (c != '#') {
            if (pending_.size() < 64) pending_ += c;
            continue;
        }
        inCommand_ = false;
        commands_.push_back(":" + pending_ + "#");
        Advance(now);  // (a goto of no duration has arrived before the next command)
        std::string reply = Execute(pending_, now);
        pending_.clear();
        if (options_.noReply || reply.empty()) continue;
        if (options_.garbage) reply = Garbage(reply.size() + 5);
        if (options_.partial && reply.size() > 1) reply.resize(reply.size() / 2);
        if (options_.burst > 0) out += Garbage(options_.burst);
        out += reply;
    }
    return out;
}

std::string MountSimulator::Execute(const std::string& body, double now) {
    const std::string name = CommandName(body);
    const std::string_view arg = TrimLeft(std::string_view(body).substr(name.size()));
    const auto over = options_.replies.find(name);
    const bool overridden = over != options_.replies.end();

    std::optional<std::string> normal;
    if (name == "MS" || name == "MA") {
        // The slew starts only when the reply says so.
        const std::string r = overridden ? over->second.value_or("") : "0";
        if (r == "0") {
            if (name == "MA") {
                // The alt-azimuth target as right ascension and declination now.
                const double phi = LatitudeMinutes() / 60.0 * kRad;
                const double alt = targetAlt_ * kRad, az = targetAz_ * kRad;
                const double dec = std::asin(std::sin(phi) * std::sin(alt) +
                                             std::cos(phi) * std::cos(alt) * std::cos(az));
                const double ha = std::atan2(-std::sin(az) * std::cos(alt),
                                             std::sin(alt) * std::cos(phi) -
                                                 std::cos(alt) * std::sin(phi) * std::cos(az));
                targetRa_ = Wrap360(SiderealDegrees(now) - ha / kRad);
                targetDec_ = dec / kRad;
            }
            StartSlew(now);
        }
        return r;
    }
    if (body.size() >= 1 && body[0] == 'G') {
        normal = Query(name, arg, now);
    } else if (body.size() >= 1 && body[0] == 'S') {
        normal = Setting(name, arg, now);
    } else {
        normal = Motion(name, arg, now);
    }
    if (!normal) unknown_.push_back(":" + body + "#");
    if (overridden) return over->second.value_or("");
    return normal.value_or("");  // unknown commands are ignored
}

// The G commands: every one is answered with a text ending in '#'.
std::optional<std::string> MountSimulator::Query(const std::string& name, std::string_view arg,
                                                 double now) {
    const bool high = highPrecision_;
    if (name == "GR") return FormatRa(ReportedRa(), high);
    if (name == "GD") return FormatDec(ReportedDec(), high, options_.degreeSign);
    if (name == "Gr") return FormatRa(targetRa_, high);
    if (name == "Gd") return FormatDec(targetDec_, high, options_.degreeSign);
    if (name == "GA" || name == "GZ") {
        double alt = 0, az = 0;
        HorizonOf(ReportedRa(), ReportedDec(), now, &alt, &az);
        return name == "GA" ? Angle(alt, 2, true, high) : Angle(az, 3, false, high);
    }
    if (name == "GS") {
        const long s = std::lround(SiderealDegrees(now) * 240.0) % 86400;
        return Printf("%02ld:%02ld:%02ld#", s / 3600, s / 60 % 60, s % 60);
    }
    if (name == "GL" || name == "Ga") {
        const long t = static_cast<long>(std::floor(std::fmod(LocalClock(now), 86400.0)));
        long h = t / 3600;
        if (name == "Ga") h = h % 12 == 0 ? 12 : h % 12;
        return Printf("%02ld:%02ld:%02ld#", h, t / 60 % 60, t % 60);
    }
    if (name == "GC") {
        int y = 0, m = 0, d = 0;
        CivilFromDays(static_cast<long>(std::floor(LocalClock(now) / 86400.0)), &y, &m, &d);
        return Printf("%02d/%02d/%02d#", m, d, y % 100);
    }
    if (name == "Gc") return hours24_ ? "24#" : "12#";
    if (name == "GG") {
        if (utcOffsetHours_ == std::round(utcOffsetHours_))
            return Printf("%+03d#", static_cast<int>(utcOffsetHours_));
        return Printf("%+05.1f#", utcOffsetHours_);
    }
    if (name == "Gg") {
        // West longitudes beyond 180 degrees are given as negative (east) ones.
        const int lon = LongitudeWestMinutes();
        const int w = lon > 180 * 60 ? lon - 360 * 60 : lon;
        return Angle(w / 60.0, 3, true, false);
    }
    if (name == "Gt") return Angle(LatitudeMinutes() / 60.0, 2, true, false);
    if (name == "GM" || name == "GN" || name == "GO" || name == "GP") {
        return sites_[std::string_view("MNOP").find(name[1])].name + "#";
    }
    if (name == "GT") return Printf("%04.1f#", trackHz_);
    if (name == "Gh") return Printf("%+03d%c#", lowestAltitude_, options_.degreeSign);
    if (name == "Go") return Printf("%02d%c#", highestAltitude_, options_.degreeSign);
    if (name == "GW") {
        const char mount = alignment_ == 'P' ? 'P' : 'A';
        return std::string{mount, alignment_ == 'L' ? 'N' : 'T', '1', '#'};
    }
    // The object browser's limits, fixed.
    if (name == "GF") return "015#";
    if (name == "Gb") return "-05.5#";
    if (name == "Gf") return "+20.0#";
    if (name == "Gl") return "200'#";
    if (name == "Gs") return "000'#";
    if (name == "Gq") return "SU#";
    if (name == "GV") {
        if (arg == "P") return std::string(kProductName) + "#";
        if (arg == "N") return std::string(kFirmwareNumber) + "#";
        if (arg == "D") return "Dec 01 2026#";
        if (arg == "T") return "12:00:00#";
        if (arg == "F") return std::string(kProductName) + " " + kFirmwareNumber + "#";
    }
    return std::nullopt;
}

// The S commands: "1" when the value is taken, "0" when it is refused.
std::optional<std::string> MountSimulator::Setting(const std::string& name, std::string_view arg,
                                                   double now) {
    auto answer = [](bool ok) { return std::string(ok ? "1" : "0"); };
    if (name == "Sr") {
        const auto h = ParseHours(arg);
        if (h) targetRa_ = Wrap360(*h * 15.0);
        return answer(h.has_value());
    }
    if (name == "Sd" || name == "Sa") {
        const auto d = ParseAngle(arg, 2, true);
        const bool ok = d && std::fabs(*d) <= 90.0;
        if (ok) (name == "Sd" ? targetDec_ : targetAlt_) = *d;
        return answer(ok);
    }
    if (name == "Sz") {
        const auto d = ParseAngle(arg, 3, false);
        const bool ok = d && *d < 360.0;
        if (ok) targetAz_ = *d;
        return answer(ok);
    }
    if (name == "Sw") {
        const auto n = Digits(arg, 0, 1);
        const bool ok = n && *n >= 2 && *n <= 8 && arg.size() == 1;
        if (ok) maxSlewRate_ = *n;
        return answer(ok);
    }
    if (name == "SL" || name == "SS") {
        const auto h = ParseHours(arg);
        const bool ok = h && arg.size() == 8 && *h < 24.0;
        if (ok && name == "SL") {
            clockAtSet_ = std::floor(LocalClock(now) / 86400.0) * 86400.0 + std::round(*h * 3600.0);
            clockSetAt_ = now;
        } else if (ok) {
            siderealShift_ = 0.0;
            siderealShift_ = *h * 15.0 - SiderealDegrees(now);
        }
        return answer(ok);
    }
    if (name == "SC") {
        const auto mo = Digits(arg, 0, 2);
        const auto dy = Digits(arg, 3, 2);
        const auto yr = Digits(arg, 6, 2);
        // Two-digit years: 92..99 are 1992..1999, the others 2000..2091.
        const int year = yr ? (*yr >= 92 ? 1900 : 2000) + *yr : 0;
        const bool ok = mo && dy && yr && arg.size() == 8 && arg[2] == '/' && arg[5] == '/' &&
                        *mo >= 1 && *mo <= 12 && *dy >= 1 && *dy <= DaysInMonth(year, *mo);
        if (!ok) return "0";
        const double timeOfDay = std::fmod(LocalClock(now), 86400.0);
        clockAtSet_ = DaysFromCivil(year, *mo, *dy) * 86400.0 + timeOfDay;
        clockSetAt_ = now;
        // The second line is the blank line of the handbox's display.
        return "1Updating Planetary Data#" + std::string(32, ' ') + "#";
    }
    if (name == "SG") {
        const auto h = Decimal(arg);
        const bool ok = h && std::fabs(*h) <= 24.0;
        if (ok) utcOffsetHours_ = *h;
        return answer(ok);
    }
    if (name == "Sg") {
        // West longitude; signed ones count east as negative.
        const auto d = ParseAngle(arg, 3, true);
        const bool ok = d && std::fabs(*d) < 360.0;
        if (ok) sites_[site_].lonWestMinutes = static_cast<int>(std::lround(Wrap360(*d) * 60.0)) % 21600;
        return answer(ok);
    }
    if (name == "St") {
        const auto d = ParseAngle(arg, 2, true);
        const bool ok = d && std::fabs(*d) <= 90.0;
        if (ok) sites_[site_].latMinutes = static_cast<int>(std::lround(*d * 60.0));
        return answer(ok);
    }
    if (name == "SM" || name == "SN" || name == "SO" || name == "SP") {
        const bool ok = !arg.empty() && arg.size() <= 15;
        if (ok) sites_[std::string_view("MNOP").find(name[1])].name = std::string(arg);
        return answer(ok);
    }
    if (name == "ST") {
        const auto hz = Decimal(arg);
        const bool ok = hz && *hz >= 56.4 && *hz <= 60.2;
        if (ok) trackHz_ = *hz;
        return answer(ok);
    }
    if (name == "Sh" || name == "So") {
        // The lowest altitude "sDD", the highest "DD*".
        std::string_view v = arg;
        if (name == "So" && !v.empty() && !IsDigit(v.back())) v.remove_suffix(1);
        const auto d = Decimal(v);
        const bool ok = d && *d == std::floor(*d) && v.find('.') == std::string_view::npos &&
                        (name == "Sh" ? *d >= -30 && *d < highestAltitude_
                                      : *d > lowestAltitude_ && *d <= 90);
        if (ok) (name == "Sh" ? lowestAltitude_ : highestAltitude_) = static_cast<int>(*d);
        return answer(ok);
    }
    return std::nullopt;
}

// Motion, sync, precision, rates, modes: no reply unless the table says one.
std::optional<std::string> MountSimulator::Motion(const std::string& name, std::string_view arg,
                                                  double now) {
    if (name == "U") {
        highPrecision_ = !highPrecision_;
        return "";
    }
    if (name == "P") {
        highPointing_ = !highPointing_;
        return highPointing_ ? "HIGH PRECISION" : "LOW PRECISION";  // no '#', as the controller
    }
    if (name == "D") {
        // Distance bars: one for every 10 degrees still to go while a goto runs.
        if (!slewing_) return "#";
        double dRa = std::fabs(Wrap360(targetRa_ - ra_));
        if (dRa > 180.0) dRa = 360.0 - dRa;
        const double far = std::max(dRa * std::cos(dec_ * kRad), std::fabs(targetDec_ - dec_));
        return std::string(static_cast<std::size_t>(std::clamp(far / 10.0 + 1.0, 1.0, 32.0)), '\x7F') + "#";
    }
    if (name == "CM" || name == "CL") {
        // Sync: the mount now points at the target and says so; a pointing
        // error is gone.
        slewing_ = false;
        ra_ = targetRa_;
        dec_ = targetDec_;
        errorRa_ = errorDec_ = 0.0;
        return " M31 EX GAL MAG 3.5 SZ178.0'#";
    }
    if (name.size() == 2 && name[0] == 'M' && Direction(name[1]) >= 0) {
        moving_[Direction(name[1])] = true;
        return "";
    }
    if (name == "Mg" && arg.size() == 5 && Direction(arg[0]) >= 0) {
        const auto ms = Digits(arg, 1, 4);
        if (!ms) return std::nullopt;
        pulseUntil_[Direction(arg[0])] = now + *ms / 1000.0;
        return "";
    }
    if (name.size() == 2 && name[0] == 'Q') {
        // Stops the one direction, and a goto under way.
        moving_[Direction(name[1])] = false;
        slewing_ = false;
        return "";
    }
    if (name == "Q") {
        for (bool& m : moving_) m = false;
        slewing_ = false;
        return "";
    }
    if (name == "RS" || name == "RM" || name == "RC" || name == "RG") {
        moveRate_ = name[1];
        return "";
    }
    if (name == "AP" || name == "AA" || name == "AL") {
        alignment_ = name[1];
        return "";
    }
    if (name == "TQ" || name == "TL" || name == "TS" || name == "TM" || name == "T+" || name == "T-") {
        if (name == "TQ") trackHz_ = 60.1;
        if (name == "TL") trackHz_ = 57.9;
        if (name == "TS") trackHz_ = 60.0;
        if (name == "T+") trackHz_ = std::min(60.2, trackHz_ + 0.1);
        if (name == "T-") trackHz_ = std::max(56.4, trackHz_ - 0.1);
        return "";
    }
    if (name == "W1" || name == "W2" || name == "W3" || name == "W4") {
        site_ = name[1] - '1';
        return "";
    }
    if (name == "H") {
        hours24_ = !hours24_;
        return "";
    }
    // Focuser and reticle: nothing to move here.
    if (!name.empty() && (name[0] == 'F' || name[0] == 'B')) return "";
    return std::nullopt;
}

void MountSimulator::StartSlew(double now) {
    slewing_ = true;
    slewStart_ = now;
    slewFromRa_ = ra_;
    slewFromDec_ = dec_;
}

double MountSimulator::ReportedRa() const { return Wrap360(ra_ + errorRa_); }

double MountSimulator::ReportedDec() const { return std::clamp(dec_ + errorDec_, -90.0, 90.0); }

double MountSimulator::MoveRate() const {
    switch (moveRate_) {
        case 'G': return 2.0 * kSidereal;
        case 'C': return 32.0 * kSidereal;
        case 'M': return 1.0;
        default: return maxSlewRate_;
    }
}

double MountSimulator::LocalClock(double now) {
    if (clockSetAt_ < 0) clockSetAt_ = now;
    return clockAtSet_ + (now - clockSetAt_);
}

double MountSimulator::SiderealDegrees(double now) {
    const double ut = LocalClock(now) + utcOffsetHours_ * 3600.0;
    const double daysSince2000 = ut / 86400.0 + 2440587.5 - 2451545.0;
    const double gmst = 280.46061837 + 360.98564736629 * daysSince2000;
    return Wrap360(gmst - LongitudeWestMinutes() / 60.0 + siderealShift_);
}

void MountSimulator::HorizonOf(double ra, double dec, double now, double* alt, double* az) {
    const double phi = LatitudeMinutes() / 60.0 * kRad;
    const double ha = (SiderealDegrees(now) - ra) * kRad;
    const double d = dec * kRad;
    *alt = std::asin(std::sin(phi) * std::sin(d) + std::cos(phi) * std::cos(d) * std::cos(ha)) / kRad;
    // Azimuth from the north through the east.
    *az = Wrap360(std::atan2(-std::cos(d) * std::sin(ha),
                             std::sin(d) * std::cos(phi) - std::cos(d) * std::sin(phi) * std::cos(ha)) /
                  kRad);
}

void MountSimulator::Advance(double now) {
    const double dt = lastAdvance_ < 0 ? 0.0 : std::max(0.0, now - lastAdvance_);
    const double before = lastAdvance_;
    lastAdvance_ = now;
    if (slewing_) {
        const double f =
            options_.slewSeconds <= 0 ? 1.0 : std::min(1.0, (now - slewStart_) / options_.slewSeconds);
        double dRa = Wrap360(targetRa_ - slewFromRa_);
        if (dRa > 180.0) dRa -= 360.0;  // the short way round
        ra_ = Wrap360(slewFromRa_ + dRa * f);
        dec_ = slewFromDec_ + (targetDec_ - slewFromDec_) * f;
        if (f >= 1.0) slewing_ = false;
        return;
    }
    // Moves at the chosen rate; guide pulses at the guide rate for their time.
    // East is towards rising right ascension.
    const double rate = MoveRate();
    const double sign[4] = {1.0, -1.0, 1.0, -1.0};
    for (int k = 0; k < 4; ++k) {
        double step = moving_[k] ? rate * dt : 0.0;
        if (pulseUntil_[k] > before && before >= 0) {
            step += 2.0 * kSidereal * std::max(0.0, std::min(now, pulseUntil_[k]) - before);
        }
        if (k < 2) {
            dec_ += sign[k] * step;
        } else {
            ra_ = Wrap360(ra_ + sign[k] * step);
        }
    }
    dec_ = std::clamp(dec_, -90.0, 90.0);
}

}  // namespace tavik::mountsim
