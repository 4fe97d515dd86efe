#include "catalog/StarRecord.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <ostream>

#include "catalog/ByteOrder.h"
#include "catalog/ShiftJis.h"

namespace tavik {

namespace {

bool ReadExact(std::istream& in, unsigned char* buffer, std::size_t n) {
    if (n == 0) return true;
    in.read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(n));
    return static_cast<std::size_t>(in.gcount()) == n;
}

std::string_view FieldText(const char* field, std::size_t size) {
    const void* nul = std::memchr(field, '\0', size);
    return {field, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : size};
}

void SetField(char* field, std::size_t size, std::string_view text, std::size_t maxText) {
    std::memset(field, 0, size);
    std::memcpy(field, text.data(), std::min(text.size(), maxText));
}

// Bytes 4..43 of a record, common to both versions.
constexpr std::size_t kFixedPart = 40;

}  // namespace

void DecodeFixedPart(const unsigned char* p, StarRecord& r) {
    r.dec = le::GetF64(p + 0);
    r.mag = le::GetF64(p + 8);
    r.ra = le::GetF64(p + 16);
    r.number = le::GetI16(p + 24);
    std::memcpy(r.constellation, p + 26, 4);
    std::memcpy(r.designation, p + 30, 10);
}

void DecodeTail(const unsigned char* p, StarRecord& r) {
    r.kind = le::GetI16(p);
    std::memcpy(r.spectral, p + 2, 21);
}

StarRecord::ReadStatus StarRecord::Load(std::istream& in, std::int32_t* versionOut) {
    *this = StarRecord{};
    unsigned char head[4];
    if (!ReadExact(in, head, 4)) return ReadStatus::Truncated;
    const std::int32_t version = le::GetI32(head);
    if (versionOut) *versionOut = version;

    StarRecord r;
    unsigned char fixed[kFixedPart];
    unsigned char tail[23];
    if (version == kRecordVersion1001) {
        unsigned char length = 0;
        if (!ReadExact(in, fixed, kFixedPart) || !ReadExact(in, &length, 1)) return ReadStatus::Truncated;
        unsigned char nameBytes[kMaxNameBytes];
        if (!ReadExact(in, nameBytes, length) || !ReadExact(in, tail, sizeof tail)) {
            return ReadStatus::Truncated;
        }
        DecodeFixedPart(fixed, r);
        if (length > 0) {
            r.name = std::string(FieldText(reinterpret_cast<const char*>(nameBytes), length));
        }
        DecodeTail(tail, r);
    } else if (version == kRecordVersion1000) {
        unsigned char nameBytes[kVersion1000NameBytes];
        if (!ReadExact(in, fixed, kFixedPart) || !ReadExact(in, nameBytes, sizeof nameBytes) ||
            !ReadExact(in, tail, sizeof tail)) {
            return ReadStatus::Truncated;
        }
        DecodeFixedPart(fixed, r);
        r.name = std::string(FieldText(reinterpret_cast<const char*>(nameBytes), sizeof nameBytes));
        DecodeTail(tail, r);
    } else {
        return ReadStatus::UnknownVersion;
    }
    *this = std::move(r);
    return ReadStatus::Ok;
}

std::string StarRecord::StoreBytes() const {
    std::string out;
    out.reserve(68 + kMaxNameBytes);
    le::PutI32(out, kRecordVersion1001);
    le::PutF64(out, dec);
    le::PutF64(out, mag);
    le::PutF64(out, ra);
    le::PutI16(out, number);
    out.append(constellation, 4);
    out.append(designation, 10);

    std::string_view text;
    if (name) text = FieldText(name->data(), name->size());
    if (text.size() > 4) {
        const auto last = text.find_last_not_of(' ');
        text = text.substr(0, last == std::string_view::npos ? 0 : last + 1);
    }
    if (text.size() > kMaxNameBytes) text = text.substr(0, SjisPrefixLength(text, kMaxNameBytes));
    out.push_back(static_cast<char>(static_cast<unsigned char>(text.size())));
    out.append(text);
    le::PutI16(out, kind);
    out.append(spectral, 21);
    return out;
}

void StarRecord::Store(std::ostream& out) const {
    const std::string bytes = StoreBytes();
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string_view StarRecord::DesignationText() const { return FieldText(designation, sizeof designation); }
std::string_view StarRecord::ConstellationText() const { return FieldText(constellation, sizeof constellation); }
std::string_view StarRecord::ShortDesignation() const { return FieldText(designation + 3, sizeof designation - 3); }
std::string_view StarRecord::SpectralText() const { return FieldText(spectral, sizeof spectral); }

void StarRecord::SetDesignation(std::string_view text) { SetField(designation, sizeof designation, text, 10); }
void StarRecord::SetConstellation(std::string_view text) { SetField(constellation, sizeof constellation, text, 3); }
void StarRecord::SetSpectral(std::string_view text) { SetField(spectral, sizeof spectral, text, 20); }

bool StarRecord::IsTapMark() const { return std::memcmp(spectral, kTapMarkMarker, 4) == 0; }

bool IsDroppedOnLoad(const StarRecord& r) {
    return (r.mag == 0.0 && r.ra == 0.0) || r.kind >= 10000;
}

std::string_view KindWord(int kind) {
    switch (kind) {
    case kKindGlobularCluster: return "球状星団 ";
    case kKindOpenCluster: return "散開星団 ";
    case kKindPlanetaryNebula: return "惑星状星雲 ";
    case kKindDiffuseNebula: return "散光星雲 ";
    case kKindSupernovaRemnant: return "超新星残骸 ";
    case kKindNebulaWithCluster: return "星雲＋球状星団 ";
    case kKindGalaxy: return "銀河 ";
    case kKindDarkNebula: return "暗黒星雲 ";
    default: return "";
    }
}

namespace {
struct GreekPair {
    const char* abbreviation;  // exactly three bytes
    const char* letter;        // Shift-JIS
};
// Matched in order, first match wins ("Sig" appears twice; the second is never reached).
constexpr GreekPair kGreek[25] = {
    {"Alp", "\x83\xBF"}, {"Bet", "\x83\xC0"}, {"Gam", "\x83\xC1"}, {"Del", "\x83\xC2"},
    {"Eps", "\x83\xC3"}, {"Zet", "\x83\xC4"}, {"Eta", "\x83\xC5"}, {"The", "\x83\xC6"},
    {"Iot", "\x83\xC7"}, {"Kap", "\x83\xC8"}, {"Lam", "\x83\xC9"}, {"Mu ", "\x83\xCA"},
    {"Nu ", "\x83\xCB"}, {"Xi ", "\x83\xCC"}, {"Omi", "\x83\xCD"}, {"Pi ", "\x83\xCE"},
    {"Rho", "\x83\xCF"}, {"Sig", "\x83\xD0"}, {"Tau", "\x83\xD1"}, {"Ups", "\x83\xD2"},
    {"Phi", "\x83\xD3"}, {"Chi", "\x83\xD4"}, {"PSi", "\x83\xD5"}, {"Ome", "\x83\xD6"},
    {"Sig", "\x83\xD0"},
};
}  // namespace

std::string_view GreekLetterSjis(std::string_view abbreviation) {
    if (abbreviation.size() < 3) return {};
    for (const auto& g : kGreek) {
        if (std::memcmp(abbreviation.data(), g.abbreviation, 3) == 0) return g.letter;
    }
    return {};
}

std::string_view GreekLetterSjis(const StarRecord& r) {
    return GreekLetterSjis(std::string_view(r.designation + 3, 3));
}

}  // namespace tavik
