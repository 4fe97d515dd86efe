#pragma once
// One catalogue entry: a star, a deep-sky object, a constellation anchor, a
// run-time placeholder of the Sun, the Moon or a planet, or a user's tap mark.
// Records are read from and written to byte streams in the record layout of
// the catalogue file (versions 1000 and 1001; always written as 1001).

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace tavik {

// Record kinds.
inline constexpr int kKindStar = 1;
inline constexpr int kKindGlobularCluster = 2;
inline constexpr int kKindOpenCluster = 3;
inline constexpr int kKindPlanetaryNebula = 4;
inline constexpr int kKindDiffuseNebula = 5;
inline constexpr int kKindSupernovaRemnant = 6;
inline constexpr int kKindNebulaWithCluster = 7;
inline constexpr int kKindGalaxy = 8;
inline constexpr int kKindDarkNebula = 9;  // outlined, never filled
// Kinds 2..9 are deep-sky objects.
constexpr bool IsDeepSkyKind(int kind) { return kind >= kKindGlobularCluster && kind <= kKindDarkNebula; }
// The magnitude a deep-sky object without a known one carries (most nebulae):
// fainter than any catalogued object, so that it sorts after them (drawn
// first, underneath) and loses a tap to any object with a magnitude.
inline constexpr double kUnknownDeepSkyMagnitude = 30.0;
constexpr bool HasKnownMagnitude(int kind, double mag) {
    return !(IsDeepSkyKind(kind) && mag >= kUnknownDeepSkyMagnitude);
}
inline constexpr int kKindConstellationAnchor = 256;
// Solar-system placeholder i (0..9) has kind 8192 + 16 * i + 1.
inline constexpr int kKindSolarBase = 8192;
constexpr int SolarPlaceholderKind(int i) { return kKindSolarBase + 16 * i + 1; }
inline constexpr int kSolarMoon = 7;
inline constexpr int kSolarSun = 8;
inline constexpr int kSolarBodies = 10;
// A comet or asteroid drawn for the pass (a '#' record of the tap list whose
// name holds its whole tap text).
inline constexpr int kKindMinorBody = kKindSolarBase + 16 * kSolarBodies + 1;

inline constexpr std::int32_t kRecordVersion1000 = 1000;
inline constexpr std::int32_t kRecordVersion1001 = 1001;
inline constexpr std::size_t kMaxNameBytes = 255;
inline constexpr std::size_t kVersion1000NameBytes = 60;
inline constexpr char kTapMarkMarker[] = "!TP!";

struct StarRecord {
    std::int16_t number = 0;
    char designation[10] = {};
    char constellation[4] = {};
    double ra = 0.0;   // radians
    double dec = 0.0;  // radians
    double mag = 0.0;
    // Shift-JIS bytes; std::nullopt when the record has no name.
    std::optional<std::string> name;
    char spectral[21] = {};
    std::int16_t kind = kKindStar;

    enum class ReadStatus {
        Ok,
        Truncated,       // the stream ended inside the record
        UnknownVersion,  // the record's version word is neither 1000 nor 1001
    };

    // Reads one record. On Truncated the record is left as a new record; on
    // UnknownVersion only the 4 version bytes have been consumed and the
    // record is a new record. `versionOut`, when given, receives the version word.
    ReadStatus Load(std::istream& in, std::int32_t* versionOut = nullptr);

    // The version-1001 bytes of this record (see Store).
    std::string StoreBytes() const;
    // Writes the record as version 1001: a name longer than 4 bytes loses its
    // trailing blanks first, and a name longer than 255 bytes is cut to 255 at
    // a character boundary (the length is a single byte).
    void Store(std::ostream& out) const;

    // Field helpers: the text of a fixed field up to its first NUL.
    std::string_view DesignationText() const;
    std::string_view ConstellationText() const;
    std::string_view SpectralText() const;
    // Designation characters 3..9 up to the first NUL: a deep-sky object's
    // short designation ("M31", "NGC7000": seven characters fill the field
    // without a NUL) and the stem of its picture file. Never reads past the field.
    std::string_view ShortDesignation() const;
    void SetDesignation(std::string_view text);    // cut to 10 bytes, NUL-padded
    void SetConstellation(std::string_view text);  // cut to 3 bytes, NUL-padded
    void SetSpectral(std::string_view text);       // cut to 20 bytes, NUL-padded

    bool IsTapMark() const;
    bool IsSolarPlaceholder() const { return constellation[0] == '#'; }
};

// The two parts of the record layout that both versions share: bytes 4..43
// (dec, mag, ra, number, constellation, designation) and the 23 bytes after
// the name (kind, spectral). Used by Load and by the block reader of whole files.
void DecodeFixedPart(const unsigned char* bytes, StarRecord& r);
void DecodeTail(const unsigned char* bytes, StarRecord& r);

// Drop rule of catalogue loading: a record whose `mag` and `ra` are both
// exactly 0.0, or whose `kind` is 10000 or more, is not kept.
bool IsDroppedOnLoad(const StarRecord& r);

// The type word shown after a deep-sky object's name (UTF-8, with its
// trailing blank), or "" for kinds outside 2..9.
std::string_view KindWord(int kind);

// The Greek letter (Shift-JIS) for the Bayer abbreviation at designation
// characters 3..5, or "" when there is none.
std::string_view GreekLetterSjis(const StarRecord& r);
// The same matched against a three-byte abbreviation ("Alp", "PSi", "Mu ").
std::string_view GreekLetterSjis(std::string_view abbreviation);

}  // namespace tavik
