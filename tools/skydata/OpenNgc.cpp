#include "OpenNgc.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <stdexcept>

#include "catalog/StarRecord.h"

namespace tavik::skydata {

namespace {

constexpr char kHeader[] =
    "Name;Type;RA;Dec;Const;MajAx;MinAx;PosAng;B-Mag;V-Mag;J-Mag;H-Mag;K-Mag;SurfBr;Hubble;Pax;Pm-RA;Pm-Dec;"
    "RadVel;Redshift;Cstar U-Mag;Cstar B-Mag;Cstar V-Mag;M;NGC;IC;Cstar Names;Identifiers;Common names;"
    "NED notes;OpenNGC notes;Sources";
enum Column { kName = 0, kType = 1, kRa = 2, kDec = 3, kMajAx = 5, kMinAx = 6, kPosAng = 7, kBMag = 8, kVMag = 9,
              kMessier = 23, kIdentifiers = 27, kCommonNames = 28, kColumns = 32 };

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

double Number(const std::string& s) {
    if (s.empty()) return std::nan("");
    std::size_t used = 0;
    const double v = std::stod(s, &used);
    if (used != s.size()) throw std::runtime_error("not a number: " + s);
    return v;
}

// "hh:mm:ss.ss" or "+dd:mm:ss.s" in degrees (hours times 15 for `hours`).
double Sexagesimal(const std::string& s, bool hours) {
    const auto parts = Split(s, ':');
    if (parts.size() != 3) return std::nan("");
    const bool negative = !parts[0].empty() && parts[0][0] == '-';
    const double v = std::abs(Number(parts[0])) + Number(parts[1]) / 60 + Number(parts[2]) / 3600;
    return (negative ? -v : v) * (hours ? 15 : 1);
}

// "PGC 002557" -> "PGC 2557", "NGC0224" -> "NGC 224": the catalogue, a blank
// and the number without leading zeros, then anything after it.
std::string SpacedWithoutZeros(const std::string& id) {
    std::size_t digits = 0;
    while (digits < id.size() && !std::isdigit(static_cast<unsigned char>(id[digits]))) ++digits;
    std::string prefix = id.substr(0, digits);
    while (!prefix.empty() && prefix.back() == ' ') prefix.pop_back();
    std::size_t first = digits;
    while (first + 1 < id.size() && id[first] == '0' && std::isdigit(static_cast<unsigned char>(id[first + 1]))) ++first;
    return prefix + " " + id.substr(first);
}

std::string StripZeros(const std::string& digits) {
    const std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? "0" : digits.substr(first);
}

// One CSV line: fields separated by ';', a field in double quotes may hold
// the separator and writes a quote as two.
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c != '"') fields.back() += c;
            else if (i + 1 < line.size() && line[i + 1] == '"') fields.back() += line[++i];
            else quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ';') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

}  // namespace

std::vector<NgcRow> ReadOpenNgc(const std::filesystem::path& csv) {
    std::ifstream in(csv);
    if (!in) throw std::runtime_error("cannot open " + csv.string());
    std::string line;
    if (!std::getline(in, line) || line != kHeader) throw std::runtime_error(csv.string() + ": unknown header");
    std::vector<NgcRow> rows;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        const auto c = Fields(line);
        if (c.size() != kColumns) throw std::runtime_error(csv.string() + ": row with a wrong column count: " + line);
        NgcRow r;
        r.name = c[kName];
        r.type = c[kType];
        r.raDeg = Sexagesimal(c[kRa], true);
        r.decDeg = Sexagesimal(c[kDec], false);
        r.majorArcmin = Number(c[kMajAx]);
        r.minorArcmin = Number(c[kMinAx]);
        r.positionAngleDeg = Number(c[kPosAng]);
        r.bMag = Number(c[kBMag]);
        r.vMag = Number(c[kVMag]);
        r.messier = c[kMessier].empty() ? 0 : std::stoi(c[kMessier]);
        if (!c[kIdentifiers].empty()) r.identifiers = Split(c[kIdentifiers], ',');
        if (!c[kCommonNames].empty()) r.commonNames = Split(c[kCommonNames], ',');
        const bool sound = std::isfinite(r.raDeg) && std::isfinite(r.decDeg) && r.raDeg >= 0 && r.raDeg < 360 &&
                           std::abs(r.decDeg) <= 90;
        if (!sound && (KindForNgcType(r.type) != 0 || r.messier != 0))
            throw std::runtime_error(csv.string() + ": " + r.name + " has no sound position");
        rows.push_back(std::move(r));
    }
    return rows;
}

int KindForNgcType(const std::string& t) {
    if (t == "G" || t == "GPair" || t == "GTrpl" || t == "GGroup") return kKindGalaxy;
    if (t == "OCl" || t == "*Ass") return kKindOpenCluster;
    if (t == "GCl") return kKindGlobularCluster;
    if (t == "PN") return kKindPlanetaryNebula;
    // Kind 7's type word names a nebula with a globular cluster; the clusters
    // with nebulosity of OpenNGC (Cl+N) are open clusters in nebulae, so every
    // bright nebula is a diffuse nebula.
    if (t == "HII" || t == "EmN" || t == "Neb" || t == "RfN" || t == "Cl+N") return kKindDiffuseNebula;
    if (t == "SNR") return kKindSupernovaRemnant;
    if (t == "DrkN") return kKindDarkNebula;
    return 0;  // Dup, NonEx, *, **, Nova, Other
}

std::string NgcDesignation(const NgcRow& row) {
    if (row.messier != 0) return "M" + std::to_string(row.messier);
    std::size_t digits = 0;
    while (digits < row.name.size() && !std::isdigit(static_cast<unsigned char>(row.name[digits]))) ++digits;
    const std::string catalogue = row.name.substr(0, digits);
    std::size_t end = digits;
    while (end < row.name.size() && std::isdigit(static_cast<unsigned char>(row.name[end]))) ++end;
    const std::string number = StripZeros(row.name.substr(digits, end - digits));
    std::string rest = row.name.substr(end);
    if (rest.rfind(" NED", 0) == 0) rest = "-" + StripZeros(rest.substr(4));
    std::string out;
    if (catalogue == "NGC" || catalogue == "IC") {
        // Components (A, B, NW, NED01 ...) take the one-letter form so that they fit.
        out = (rest.empty() ? catalogue : catalogue.substr(0, 1)) + number + rest;
    } else if (catalogue == "ESO") {
        // "ESO056-115": both numbers without leading zeros.
        if (rest.size() < 2 || rest[0] != '-') throw std::runtime_error(row.name + ": unknown ESO form");
        out = "E" + number + "-" + StripZeros(rest.substr(1));
    } else if (catalogue == "PGC") {
        out = "P" + number + rest;
    } else if (catalogue == "MWSC") {
        out = "MW" + number + rest;
    } else {
        out = catalogue + number + rest;
    }
    if (digits == 0 || end == digits || out.size() > 7 || out.find(' ') != std::string::npos)
        throw std::runtime_error(row.name + ": no short designation (" + out + ")");
    return out;
}

std::vector<std::string> NgcNameKeys(const NgcRow& row) {
    std::vector<std::string> keys;
    if (row.messier != 0) keys.push_back("M " + std::to_string(row.messier));
    keys.push_back(SpacedWithoutZeros(row.name));
    for (const auto& id : row.identifiers) keys.push_back(SpacedWithoutZeros(id));
    return keys;
}

std::optional<double> NgcMagnitude(const NgcRow& row) {
    if (std::isfinite(row.vMag)) return row.vMag;
    if (std::isfinite(row.bMag)) return row.bMag;
    return std::nullopt;
}

std::optional<DeepSkySize> NgcSize(const NgcRow& row) {
    if (!(row.majorArcmin > 0)) return std::nullopt;
    DeepSkySize s;
    s.majorArcmin = static_cast<float>(row.majorArcmin);
    s.minorArcmin = static_cast<float>(std::isfinite(row.minorArcmin) && row.minorArcmin > 0 ? row.minorArcmin
                                                                                           : row.majorArcmin);
    s.positionAngleDeg = static_cast<float>(std::isfinite(row.positionAngleDeg) ? row.positionAngleDeg : 0.0);
    s.minorArcmin = std::min(s.minorArcmin, s.majorArcmin);
    return s;
}

}  // namespace tavik::skydata
