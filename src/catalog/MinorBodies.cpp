#include "catalog/MinorBodies.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <string>

#include "astro/Angles.h"

namespace tavik {

namespace {

// Columns first..last (1-based, inclusive) of a line, trimmed of blanks; empty
// when the line is shorter.
std::string_view Field(std::string_view line, std::size_t first, std::size_t last) {
    if (line.size() < first) return {};
    std::string_view f = line.substr(first - 1, last - first + 1);
    while (!f.empty() && f.front() == ' ') f.remove_prefix(1);
    while (!f.empty() && f.back() == ' ') f.remove_suffix(1);
    return f;
}

// A number filling the whole field, finite.
std::optional<double> Number(std::string_view f) {
    if (f.empty()) return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(f.data(), f.data() + f.size(), value);
    if (ec != std::errc() || end != f.data() + f.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<int> Integer(std::string_view f) {
    if (f.empty()) return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(f.data(), f.data() + f.size(), value);
    if (ec != std::errc() || end != f.data() + f.size()) return std::nullopt;
    return value;
}

// Julian date of a Gregorian calendar date with a fractional day (0h TT of
// day 1 is day = 1.0); nothing for a date that does not exist or lies outside
// the years 1000..3000.
std::optional<double> CalendarJd(int year, int month, double day) {
    if (year < 1000 || year > 3000 || month < 1 || month > 12 || !(day >= 0 && day < 32)) return std::nullopt;
    int y = year, m = month;
    if (m <= 2) {
        y -= 1;
        m += 12;
    }
    const int a = y / 100;
    const int b = 2 - a + a / 4;
    return std::floor(365.25 * (y + 4716)) + std::floor(30.6001 * (m + 1)) + day + b - 1524.5;
}

// An angle in degrees, any finite value, to radians in [0, 2pi).
std::optional<double> Angle(std::string_view f) {
    const auto d = Number(f);
    if (!d || std::fabs(*d) > 1e6) return std::nullopt;
    return std::fmod(*d + 360.0 * 3000.0, 360.0) * kDegToRad;
}

// One packed digit: 0-9, then A-Z for 10-35.
int PackedDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return -1;
}

// A packed epoch "K24AH" (2024 October 17.0 TT).
std::optional<double> PackedEpoch(std::string_view f) {
    if (f.size() != 5) return std::nullopt;
    const int century = f[0] - 'I' + 18;  // I 1800, J 1900, K 2000, L 2100
    const int tens = PackedDigit(f[1]), units = PackedDigit(f[2]);
    const int month = PackedDigit(f[3]), day = PackedDigit(f[4]);
    if (century < 18 || century > 21 || tens < 0 || tens > 9 || units < 0 || units > 9 || month < 1 || month > 12 ||
        day < 1 || day > 31)
        return std::nullopt;
    return CalendarJd(century * 100 + tens * 10 + units, month, day);
}

std::string ValidText(std::string_view f) {
    // Keep printable ASCII and the bytes of UTF-8 names; drop control bytes.
    std::string s;
    s.reserve(f.size());
    for (char c : f)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) s.push_back(c);
    return s;
}

bool Digits(std::string_view f) {
    return !f.empty() && std::all_of(f.begin(), f.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::optional<MinorBody> ParseCometLine(std::string_view line) {
    // Perihelion time "YYYY MM DD.dddd" in columns 15-29.
    if (line.size() < 100 || line[18] != ' ' || line[21] != ' ') return std::nullopt;
    const auto year = Integer(Field(line, 15, 18));
    const auto month = Integer(Field(line, 20, 21));
    const auto day = Number(Field(line, 23, 29));
    const auto q = Number(Field(line, 31, 39));
    const auto e = Number(Field(line, 42, 49));
    const auto w = Angle(Field(line, 52, 59));
    const auto node = Angle(Field(line, 62, 69));
    const auto incl = Number(Field(line, 72, 79));
    const auto g = Number(Field(line, 92, 95));
    const auto k = Number(Field(line, 97, 100));
    if (!year || !month || !day || !q || !e || !w || !node || !incl || !g || !k) return std::nullopt;
    const auto t = CalendarJd(*year, *month, *day);
    if (!t || !(*q > 0 && *q < 1e4) || !(*e >= 0 && *e < 100) || !(*incl >= 0 && *incl <= 180) ||
        std::fabs(*g) > 50 || std::fabs(*k) > 100)
        return std::nullopt;

    MinorBody body;
    body.kind = MinorKind::Comet;
    const std::string_view epoch = Field(line, 82, 89);
    if (Digits(epoch) && epoch.size() == 8) {
        const auto jd = CalendarJd(*Integer(epoch.substr(0, 4)), *Integer(epoch.substr(4, 2)),
                                   *Integer(epoch.substr(6, 2)));
        if (jd) body.epochJd = *jd;
    } else if (!epoch.empty()) {
        return std::nullopt;
    }
    // "1P/Halley", "C/2020 F3 (NEOWISE)", "P/2019 LD2 (ATLAS)", "C/2023 A3".
    std::string text = ValidText(Field(line, 103, 158));
    const std::size_t open = text.find(" (");
    if (open != std::string::npos && text.back() == ')') {
        body.designation = text.substr(0, open);
        body.name = text.substr(open + 2, text.size() - open - 3);
    } else if (const std::size_t slash = text.find('/');
               slash != std::string::npos && slash > 1 && Digits(std::string_view(text).substr(0, slash - 1))) {
        body.designation = text.substr(0, slash);
        body.name = text.substr(slash + 1);
    } else {
        body.designation = text;
    }
    if (body.designation.empty()) body.designation = ValidText(Field(line, 1, 12));
    body.magnitude = *g;
    body.slope = *k;
    OrbitalElements el;
    el.perihelionJd = *t;
    el.q = *q;
    el.e = *e;
    el.argPerihelion = *w;
    el.node = *node;
    el.inclination = *incl * kDegToRad;
    body.orbit = KeplerOrbit(el);
    return body;
}

std::optional<MinorBody> ParseAsteroidLine(std::string_view line) {
    if (line.size() < 103) return std::nullopt;
    const auto h = Number(Field(line, 9, 13));
    const std::string_view slopeField = Field(line, 15, 19);
    const auto slope = slopeField.empty() ? std::optional<double>(0.15) : Number(slopeField);
    const auto epoch = PackedEpoch(Field(line, 21, 25));
    const auto m = Angle(Field(line, 27, 35));
    const auto w = Angle(Field(line, 38, 46));
    const auto node = Angle(Field(line, 49, 57));
    const auto incl = Number(Field(line, 60, 68));
    const auto e = Number(Field(line, 71, 79));
    const auto a = Number(Field(line, 93, 103));
    if (!h || !slope || !epoch || !m || !w || !node || !incl || !e || !a) return std::nullopt;
    if (!(*a > 0 && *a < 1e4) || !(*e >= 0 && *e < 1) || !(*incl >= 0 && *incl <= 180) || std::fabs(*h) > 50 ||
        std::fabs(*slope) > 10)
        return std::nullopt;

    MinorBody body;
    body.kind = MinorKind::Asteroid;
    body.epochJd = *epoch;
    body.magnitude = *h;
    body.slope = *slope;
    // "(1) Ceres", "(433) Eros", "2004 MN4"; without it the packed designation.
    const std::string text = ValidText(Field(line, 167, 194));
    if (!text.empty() && text.front() == '(' && text.find(')') != std::string::npos) {
        const std::size_t close = text.find(')');
        body.designation = text.substr(0, close + 1);
        const std::size_t start = text.find_first_not_of(' ', close + 1);
        if (start != std::string::npos) body.name = text.substr(start);
    } else {
        body.designation = text.empty() ? ValidText(Field(line, 1, 7)) : text;
    }
    OrbitalElements el;
    el.q = *a * (1.0 - *e);
    el.e = *e;
    el.argPerihelion = *w;
    el.node = *node;
    el.inclination = *incl * kDegToRad;
    // The perihelion nearest the epoch, at the mean motion of a.
    const double meanMotion = kGaussK / (*a * std::sqrt(*a));
    el.perihelionJd = *epoch - std::remainder(*m, kTwoPi) / meanMotion;
    body.orbit = KeplerOrbit(el);
    return body;
}

std::optional<MinorBody> ParseMinorBodyLine(std::string_view line) {
    if (line.size() >= 29 && line[18] == ' ' && line[21] == ' ' && line[14] != ' ') return ParseCometLine(line);
    return ParseAsteroidLine(line);
}

double BrightestPossibleMagnitude(const MinorBody& body) {
    const double q = body.orbit.Elements().q;
    const double nearest = std::max(q - 1.017, 0.01);
    if (body.kind == MinorKind::Comet) {
        if (body.slope < 0) return -100.0;
        return body.magnitude + 5.0 * std::log10(nearest) + 2.5 * body.slope * std::log10(q);
    }
    return body.magnitude + 5.0 * std::log10(q * nearest);
}

MinorBodyList ReadMinorBodies(std::istream& in, double magnitudeLimit) {
    MinorBodyList list;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(' ') == std::string::npos) continue;
        if (line.compare(0, 10, "----------") == 0) {
            list.unreadable = 0;  // the header of an MPCORB file ends here
            continue;
        }
        std::optional<MinorBody> body = ParseMinorBodyLine(line);
        if (!body) {
            ++list.unreadable;
        } else if (BrightestPossibleMagnitude(*body) > magnitudeLimit) {
            ++list.fainter;
        } else {
            list.bodies.push_back(std::move(*body));
        }
    }
    return list;
}

std::optional<MinorBodyList> ReadMinorBodyFile(const std::filesystem::path& path, double magnitudeLimit) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return ReadMinorBodies(in, magnitudeLimit);
}

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

const MinorBody* FindMinorBody(const std::vector<MinorBody>& bodies, std::string_view name) {
    for (const MinorBody& b : bodies)
        if (SameIgnoringCase(b.Label(), name) || SameIgnoringCase(b.designation, name) ||
            (!b.name.empty() && SameIgnoringCase(b.name, name)))
            return &b;
    return nullptr;
}

}  // namespace tavik
