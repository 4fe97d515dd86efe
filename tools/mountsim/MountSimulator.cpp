#include "mountsim/MountSimulator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tavik::mountsim {

namespace {

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

// "sDD*MM", "sDD*MM*SS" or "sDD*MM:SS" (any non-digit separators) as degrees;
// `degreeDigits` is 2 for a declination or latitude, 3 for a longitude.
std::optional<double> ParseAngle(std::string_view s, std::size_t degreeDigits, bool signAllowed) {
    double sign = 1.0;
    if (signAllowed && !s.empty() && (s[0] == '+' || s[0] == '-')) {
        sign = s[0] == '-' ? -1.0 : 1.0;
        s.remove_prefix(1);
    }
    const auto d = Digits(s, 0, degreeDigits);
    const std::size_t i = degreeDigits;
    if (!d || s.size() < i + 3 || IsDigit(s[i])) return std::nullopt;
    const auto m = Digits(s, i + 1, 2);
    if (!m || *m > 59) return std::nullopt;
    if (s.size() == i + 3) return sign * (*d + *m / 60.0);
    const auto sec = Digits(s, i + 4, 2);
    if (IsDigit(s[i + 3]) || !sec || s.size() != i + 6 || *sec > 59) return std::nullopt;
    return sign * (*d + *m / 60.0 + *sec / 3600.0);
}

double Wrap360(double deg) {
    deg = std::fmod(deg, 360.0);
    return deg < 0 ? deg + 360.0 : deg;
}

}  // namespace

MountSimulator::MountSimulator(MountOptions options)
    : options_(std::move(options)),
      ra_(Wrap360(options_.ra)),
      dec_(std::clamp(options_.dec, -90.0, 90.0)),
      targetRa_(ra_),
      targetDec_(dec_),
      highPrecision_(options_.highPrecision) {}

std::string MountSimulator::CommandName(std::string_view body) {
    if (body.empty()) return "";
    if (body[0] == 'U') return "U";
    if (body[0] == 'Q') {
        if (body.size() >= 2 && std::string_view("nsew").find(body[1]) != std::string_view::npos) {
            return std::string(body.substr(0, 2));
        }
        return "Q";
    }
    return std::string(body.substr(0, std::min<std::size_t>(2, body.size())));
}

std::string MountSimulator::FormatRa(double degrees, bool high) {
    const double hours = Wrap360(degrees) / 15.0;
    char buf[32];
    if (high) {
        long total = std::lround(hours * 3600.0) % (24 * 3600);
        std::snprintf(buf, sizeof buf, "%02ld:%02ld:%02ld#", total / 3600, total / 60 % 60,
                      total % 60);
    } else {
        long tenths = std::lround(hours * 600.0) % (24 * 600);
        std::snprintf(buf, sizeof buf, "%02ld:%02ld.%ld#", tenths / 600, tenths / 10 % 60,
                      tenths % 10);
    }
    return buf;
}

std::string MountSimulator::FormatDec(double degrees, bool high) {
    const char sign = degrees < 0 ? '-' : '+';
    const double a = std::fabs(degrees);
    char buf[32];
    if (high) {
        const long total = std::lround(a * 3600.0);
        std::snprintf(buf, sizeof buf, "%c%02ld*%02ld:%02ld#", sign, total / 3600,
                      total / 60 % 60, total % 60);
    } else {
        const long total = std::lround(a * 60.0);
        std::snprintf(buf, sizeof buf, "%c%02ld*%02ld#", sign, total / 60, total % 60);
    }
    return buf;
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
            if (c == '\x06') out += 'P';  // alignment query: polar
            continue;                     // stray bytes between commands
        }
        if (c != '#') {
            if (pending_.size() < 64) pending_ += c;
            continue;
        }
        inCommand_ = false;
        commands_.push_back(":" + pending_ + "#");
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
    auto reply = [&](std::string normal) -> std::string {
        if (!overridden) return normal;
        return over->second.value_or("");
    };

    if (name == "U") {
        highPrecision_ = !highPrecision_;
        return reply("");
    }
    if (name == "Sr") {
        const auto h = ParseHours(arg);
        if (!h) return reply("0");
        targetRa_ = Wrap360(*h * 15.0);
        return reply("1");
    }
    if (name == "Sd") {
        const auto d = ParseAngle(arg, 2, true);
        if (!d || std::fabs(*d) > 90.0) return reply("0");
        targetDec_ = *d;
        return reply("1");
    }
    if (name == "MS") {
        const std::string r = reply("0");
        if (r == "0") {
            slewing_ = true;
            slewStart_ = now;
            slewFromRa_ = ra_;
            slewFromDec_ = dec_;
        }
        return r;
    }
    if (name == "GR") return reply(FormatRa(ra_, highPrecision_));
    if (name == "GD") return reply(FormatDec(dec_, highPrecision_));
    if (name == "Sw") {
        const auto n = Digits(arg, 0, 1);
        if (!n || *n < 2 || *n > 4 || arg.size() != 1) return reply("0");
        slewRate_ = *n;
        return reply("1");
    }
    if (name.size() == 2 && name[0] == 'M') {
        const auto pos = std::string_view("nsew").find(name[1]);
        if (pos != std::string_view::npos) moving_[pos] = true;
        return reply("");
    }
    if (name.size() == 2 && name[0] == 'Q') {
        moving_[std::string_view("nsew").find(name[1])] = false;
        return reply("");
    }
    if (name == "Q") {
        for (bool& m : moving_) m = false;
        slewing_ = false;
        return reply("");
    }
    if (name == "SL") {
        const auto h = ParseHours(arg);
        const bool ok = h && arg.size() == 8 && *h < 24.0;
        if (ok) {
            localSecondsAtSet_ = std::round(*h * 3600.0);
            clockSetAt_ = now;
        }
        return reply(ok ? "1" : "0");
    }
    if (name == "Sg") {
        const auto d = ParseAngle(arg, 3, false);
        const bool ok = d && *d < 360.0;
        if (ok) lonWestMinutes_ = static_cast<int>(std::lround(*d * 60.0));
        return reply(ok ? "1" : "0");
    }
    if (name == "St") {
        const auto d = ParseAngle(arg, 2, true);
        const bool ok = d && std::fabs(*d) <= 90.0;
        if (ok) latMinutes_ = static_cast<int>(std::lround(*d * 60.0));
        return reply(ok ? "1" : "0");
    }
    if (name == "SC") {
        const auto mo = Digits(arg, 0, 2);
        const auto dy = Digits(arg, 3, 2);
        const auto yr = Digits(arg, 6, 2);
        const bool ok = mo && dy && yr && arg.size() == 8 && arg[2] == '/' && arg[5] == '/' &&
                        *mo >= 1 && *mo <= 12 && *dy >= 1 && *dy <= 31;
        if (ok) {
            month_ = *mo;
            day_ = *dy;
            year_ = *yr;
        }
        return reply(ok ? "1Updating Planetary Data#                                #" : "0");
    }
    // What clients ask when they connect.
    char buf[48];
    if (name == "GV") {
        if (arg == "P") return reply(std::string(kProductName) + "#");
        if (arg == "N") return reply(std::string(kFirmwareNumber) + "#");
        if (arg == "D") return reply("Dec 01 2026#");
        if (arg == "T") return reply("12:00:00#");
        if (arg == "F") return reply(std::string(kProductName) + " " + kFirmwareNumber + "#");
        return reply("");
    }
    if (name == "GC") {
        std::snprintf(buf, sizeof buf, "%02d/%02d/%02d#", month_, day_, year_);
        return reply(buf);
    }
    if (name == "GL") {
        if (clockSetAt_ < 0) clockSetAt_ = now;
        const long t = static_cast<long>(localSecondsAtSet_ + (now - clockSetAt_)) % 86400;
        std::snprintf(buf, sizeof buf, "%02ld:%02ld:%02ld#", t / 3600, t / 60 % 60, t % 60);
        return reply(buf);
    }
    if (name == "GG") return reply("+00#");
    if (name == "Gg") {
        // West longitudes beyond 180 degrees are given as negative (east) ones.
        const int w = lonWestMinutes_ > 180 * 60 ? lonWestMinutes_ - 360 * 60 : lonWestMinutes_;
        const int a = std::abs(w);
        std::snprintf(buf, sizeof buf, "%c%03d*%02d#", w < 0 ? '-' : '+', a / 60, a % 60);
        return reply(buf);
    }
    if (name == "Gt") {
        const int a = std::abs(latMinutes_);
        std::snprintf(buf, sizeof buf, "%c%02d*%02d#", latMinutes_ < 0 ? '-' : '+', a / 60, a % 60);
        return reply(buf);
    }
    if (name == "Gr") return reply(FormatRa(targetRa_, highPrecision_));
    if (name == "Gd") return reply(FormatDec(targetDec_, highPrecision_));
    return reply("");  // unknown commands are ignored
}

void MountSimulator::Advance(double now) {
    const double dt = lastAdvance_ < 0 ? 0.0 : std::max(0.0, now - lastAdvance_);
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
    // Move rates in degrees per second for :Sw 4, 3, 2.
    const double rate = slewRate_ == 4 ? 2.0 : slewRate_ == 3 ? 0.5 : 0.05;
    if (moving_[0]) dec_ += rate * dt;
    if (moving_[1]) dec_ -= rate * dt;
    if (moving_[2]) ra_ = Wrap360(ra_ - rate * dt);
    if (moving_[3]) ra_ = Wrap360(ra_ + rate * dt);
    dec_ = std::clamp(dec_, -90.0, 90.0);
}

}  // namespace tavik::mountsim
