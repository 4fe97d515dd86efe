#include "catalog/ExtraNames.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <numbers>
#include <system_error>

#include "catalog/RecordFile.h"

namespace tavik {

namespace {

constexpr double kDegPerRad = 180.0 / std::numbers::pi;
// At most six decimals of a degree (0.0036"), so that a position ties back
// to its record well within 0.01".
constexpr int kDecimals = 6;

bool Fail(std::string* error, std::size_t line, const char* text) {
    // Line 0: the file as a whole.
    if (error) *error = line == 0 ? std::string(text) : "line " + std::to_string(line) + ": " + text;
    return false;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Clean UTF-8 (shortest forms, no surrogates, at most U+10FFFF) without
// control characters (but tabs where `tabs`).
bool CleanUtf8(std::string_view s, bool tabs = false) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* end = p + s.size();
    while (p < end) {
        const unsigned c = *p;
        if (c < 0x80) {
            if ((c < 0x20 && !(tabs && c == '\t')) || c == 0x7F) return false;
            ++p;
            continue;
        }
        std::size_t n;
        unsigned cp;
        if (c >= 0xC2 && c <= 0xDF) n = 1, cp = c & 0x1F;
        else if (c >= 0xE0 && c <= 0xEF) n = 2, cp = c & 0x0F;
        else if (c >= 0xF0 && c <= 0xF4) n = 3, cp = c & 0x07;
        else return false;
        if (static_cast<std::size_t>(end - p) <= n) return false;
        for (std::size_t i = 1; i <= n; ++i) {
            if ((p[i] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if ((n == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        // C1 control characters (U+0080..U+009F).
        if (cp < 0xA0) return false;
        p += n + 1;
    }
    return true;
}

bool SoundName(std::string_view name) { return name.size() <= ExtraNames::kMaxNameBytes && CleanUtf8(name); }

// A designation: 1..7 printable ASCII characters, no blank, not starting with
// a digit (a line that starts with a digit is a star) or "#" (a comment).
bool SoundDesignation(std::string_view d) {
    if (d.empty() || d.size() > ExtraNames::kMaxDesignationBytes || IsDigit(d[0]) || d[0] == '#') return false;
    for (const char c : d) {
        if (c <= ' ' || c > '~') return false;
    }
    return true;
}

// The names as written after the fixed fields: the first (English) may be
// empty, the others not; at most kMaxNames.
bool SoundNames(const std::vector<std::string>& names) {
    if (names.size() > ExtraNames::kMaxNames) return false;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if ((i > 0 && names[i].empty()) || !SoundName(names[i])) return false;
    }
    return true;
}

// "-12.345678": an optional minus, one to three digits, optionally a point
// and one to nine decimals.
bool ReadDegrees(std::string_view s, double& out) {
    std::size_t i = 0;
    const bool negative = i < s.size() && s[i] == '-';
    if (negative) ++i;
    const std::size_t intStart = i;
    unsigned whole = 0;
    while (i < s.size() && IsDigit(s[i]) && i - intStart < 3) whole = whole * 10 + unsigned(s[i++] - '0');
    if (i == intStart) return false;
    std::uint64_t frac = 0;
    std::uint64_t scale = 1;
    if (i < s.size() && s[i] == '.') {
        ++i;
        const std::size_t fracStart = i;
        while (i < s.size() && IsDigit(s[i]) && i - fracStart < 9) {
            frac = frac * 10 + unsigned(s[i++] - '0');
            scale *= 10;
        }
        if (i == fracStart) return false;
    }
    if (i != s.size()) return false;
    const double v = whole + static_cast<double>(frac) / static_cast<double>(scale);
    out = negative ? -v : v;
    return true;
}

bool ReadHip(std::string_view s, std::uint32_t& out) {
    if (s.empty() || s.size() > 9) return false;
    std::uint32_t v = 0;
    for (const char c : s) {
        if (!IsDigit(c)) return false;
        v = v * 10 + std::uint32_t(c - '0');
    }
    out = v;
    return true;
}

void PutDegrees(std::string& out, double radians) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, radians * kDegPerRad, std::chars_format::fixed, kDecimals);
    std::string_view text(buf, static_cast<std::size_t>(r.ptr - buf));
    // Trailing zeros say nothing: "37.9545", "90".
    while (text.back() == '0') text.remove_suffix(1);
    if (text.back() == '.') text.remove_suffix(1);
    if (text == "-0") text = "0";
    out += text;
}

bool SoundStar(const ExtraNames::Star& s) {
    // A hair of slack for the round trip through radians; the text is rounded.
    return std::isfinite(s.ra) && std::isfinite(s.dec) && s.ra >= 0 && s.ra * kDegPerRad <= 360.0 + 1e-9 &&
           std::abs(s.dec * kDegPerRad) <= 90.0 + 1e-9;
}

void PutNames(std::string& out, const std::vector<std::string>& names) {
    // A name that could not be read back is left out; the English field
    // keeps its place.
    std::size_t written = 0;
    for (std::size_t i = 0; i < names.size() && written < ExtraNames::kMaxNames; ++i) {
        const bool english = i == 0;
        if (!SoundName(names[i]) || (!english && names[i].empty())) {
            if (!english) continue;
            out += '\t';
            ++written;
            continue;
        }
        out += '\t';
        out += names[i];
        ++written;
    }
}

// Splits `line` at tabs into `fields` (views into it).
void SplitTabs(std::string_view line, std::vector<std::string_view>& fields) {
    fields.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return;
        }
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

}  // namespace

std::string ExtraNames::Bytes() const {
    std::string out = kHeader;
    out += '\n';
    out.reserve(stars_.size() * 30 + objects_.size() * 40);
    for (const Star& s : stars_) {
        if (!SoundStar(s)) continue;
        char buf[16];
        out.append(buf, static_cast<std::size_t>(std::to_chars(buf, buf + sizeof buf, s.hip).ptr - buf));
        out += '\t';
        PutDegrees(out, s.ra);
        out += '\t';
        PutDegrees(out, s.dec);
        PutNames(out, s.names);
        out += '\n';
    }
    for (const Object& o : objects_) {
        if (!SoundDesignation(o.designation) || o.names.empty()) continue;
        out += o.designation;
        PutNames(out, o.names);
        out += '\n';
    }
    return out;
}

bool ExtraNames::Parse(std::string_view bytes, std::string* error) {
    Clear();
    if (bytes.size() > kMaxFileBytes) return Fail(error, 0, "names file too large");
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);  // a mark an editor may add
    StarList stars;
    std::vector<Object> objects;
    stars.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    std::vector<std::string_view> fields;
    std::size_t lineNumber = 0;
    std::size_t at = 0;
    while (at < bytes.size()) {
        ++lineNumber;
        const char* start = bytes.data() + at;
        const void* nl = std::memchr(start, '\n', bytes.size() - at);
        const std::size_t length = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - start) : bytes.size() - at;
        std::string_view line(start, length);
        at += length + 1;
        if (line.size() > kMaxLineBytes) return Fail(error, lineNumber, "line too long");
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (lineNumber == 1) {
            if (line != kHeader) return Fail(error, 1, "not a names file (unknown header)");
            continue;
        }
        if (line.empty()) continue;
        if (line[0] == '#') {
            if (!CleanUtf8(line, true)) return Fail(error, lineNumber, "comment that is not UTF-8 text");
            continue;
        }
        SplitTabs(line, fields);
        if (IsDigit(line[0])) {
            if (fields.size() < 3) return Fail(error, lineNumber, "star line without HIP number, RA and Dec");
            Star s;
            double raDeg = 0, decDeg = 0;
            if (!ReadHip(fields[0], s.hip)) return Fail(error, lineNumber, "bad HIP number");
            if (!ReadDegrees(fields[1], raDeg) || raDeg < 0 || raDeg > 360)
                return Fail(error, lineNumber, "bad right ascension");
            if (!ReadDegrees(fields[2], decDeg) || decDeg < -90 || decDeg > 90)
                return Fail(error, lineNumber, "bad declination");
            s.ra = raDeg / kDegPerRad;
            s.dec = decDeg / kDegPerRad;
            if (fields.size() > 3) s.names.assign(fields.begin() + 3, fields.end());
            if (!SoundNames(s.names)) return Fail(error, lineNumber, "bad name (empty, too long or not UTF-8 text)");
            stars.push_back(std::move(s));
        } else {
            if (!SoundDesignation(fields[0])) return Fail(error, lineNumber, "bad designation");
            if (fields.size() < 2) return Fail(error, lineNumber, "deep-sky line without names");
            Object o;
            o.designation = fields[0];
            o.names.assign(fields.begin() + 1, fields.end());
            if (!SoundNames(o.names)) return Fail(error, lineNumber, "bad name (empty, too long or not UTF-8 text)");
            objects.push_back(std::move(o));
        }
    }
    if (lineNumber == 0) return Fail(error, 0, "not a names file (empty)");
    stars_ = std::move(stars);
    objects_ = std::move(objects);
    return true;
}

bool ExtraNames::LoadFile(const std::filesystem::path& path, std::string* error) {
    Clear();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return true;  // no file: no extra names
    if (!std::filesystem::is_regular_file(path, ec)) return Fail(error, 0, "names file is not a file");
    const auto length = std::filesystem::file_size(path, ec);
    if (ec) return Fail(error, 0, "names file cannot be read");
    if (length > kMaxFileBytes) return Fail(error, 0, "names file too large");
    std::ifstream in(path, std::ios::binary);
    std::vector<char, LargePageAllocator<char>> bytes(static_cast<std::size_t>(length));
    if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())) ||
        in.peek() != std::char_traits<char>::eof())
        return Fail(error, 0, "names file cannot be read");
    return Parse(std::string_view(bytes.data(), bytes.size()), error);
}

bool ExtraNames::SaveFile(const std::filesystem::path& path) const { return WriteFileReplacing(path, Bytes()); }

}  // namespace tavik
