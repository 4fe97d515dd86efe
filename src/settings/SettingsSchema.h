#pragma once
// Every persistent setting of the program in one table: section, entry, how the
// value is encoded, its default, and where a stored value is out of the range the
// program can work with, the range it is brought back into when read.
//
// Encodings:
//   Int      a signed 32-bit integer used unchanged
//   Flag     true only when the stored value is exactly 1; written as 1 or 0
//   NonZero  true when the stored value is not 0; written as 1 or 0
//   String   UTF-8 text; an absent entry yields the default text
//
// Which owner reads and writes an entry is given by its group:
//   View         read once, in table order, when the sky view is built
//   ViewScreen   the screen state: read right after SCREEN/END, only when that
//                flag is true; otherwise `startValue` is taken
//   ViewWriteOnly written by the view's save operation, never read back
//   Other        entries of the main frame, the telescope, the about box,
//                the add-ins, the tap marks and the user sites

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

class SettingsStore;

enum class SettingType { Int, Flag, NonZero, String };

enum class SettingGroup { View, ViewScreen, ViewWriteOnly, Other };

// How a stored value outside [min, max] is brought back.
enum class OutOfRange {
    Keep,      // no bound: any value is usable
    Clamp,     // to the nearest end of the range
    Default,   // replaced by the default (enumerations, where no "nearest" exists)
};

struct SettingBound {
    OutOfRange action = OutOfRange::Keep;
    int min = 0;
    int max = 0;
    // For Default: the only values accepted (empty: every value in [min, max]).
    std::vector<int> allowed;
};

struct SettingDef {
    std::string section;
    std::string entry;
    SettingType type = SettingType::Int;
    SettingGroup group = SettingGroup::View;
    int intDefault = 0;               // Int, Flag, NonZero
    std::string stringDefault;        // String
    int startValue = 0;               // ViewScreen: value used when SCREEN/END is false
    SettingBound bound;

    // The bound applied to an integer as read from the store.
    int Bounded(int value) const;
    // True when the program takes `value` as it is: 0 or 1 for Flag and
    // NonZero, within the bound (and among its allowed values) for Int.
    bool Holds(int value) const;
    // Those values in words, for a message: "0 or 1", "30..1000",
    // "-1, 0, 1 or 2"; empty when every integer is held.
    std::string HeldValues() const;
};

// Every setting: the view's entries in the order the view reads them (with the
// screen-state entries right after SCREEN/END), then the write-only entries,
// then the entries of the other owners. The families of the other owners that
// are numbered at run time (ADIN f%d, USERLOC ...%02d) are listed with their
// first member only; FindSetting recognises every member.
const std::vector<SettingDef>& AllSettings();

// How many eyepieces, cameras and finder rings the FOV section holds.
inline constexpr int kEyepieceCount = 5;
inline constexpr int kCameraCount = 2;
inline constexpr int kFinderRingCount = 3;

// The schema row for (section, entry); nullptr when the entry is unknown.
const SettingDef* FindSetting(std::string_view section, std::string_view entry);

// The 48 factory colours of the user colour table (COLORREF 0x00BBGGRR),
// stored as USR_CLR/CLR00 .. CLR47.
inline constexpr int kColorCount = 48;
const std::array<std::uint32_t, kColorCount>& ColorTableDefaults();
std::string ColorEntryName(int index);  // "CLR%02d"

// The keys the view's save operation writes, in the order it writes them.
struct SettingKey {
    std::string_view section;
    std::string_view entry;
};
const std::vector<SettingKey>& ViewSaveOrder();

// Reading and writing one schema entry. Reads apply the encoding and the bound;
// writes apply the encoding. The setting must be of the matching kind (int for
// Int, bool for Flag / NonZero, text for String); an unknown key throws
// std::out_of_range, since that is a programming error.
int ReadSettingInt(const SettingsStore& store, std::string_view section, std::string_view entry);
bool ReadSettingBool(const SettingsStore& store, std::string_view section, std::string_view entry);
std::string ReadSettingString(const SettingsStore& store, std::string_view section,
                              std::string_view entry);
void WriteSettingInt(SettingsStore& store, std::string_view section, std::string_view entry,
                     int value);
void WriteSettingBool(SettingsStore& store, std::string_view section, std::string_view entry,
                      bool value);
void WriteSettingString(SettingsStore& store, std::string_view section, std::string_view entry,
                        const std::string& value);

// Decodings of a raw stored integer.
inline bool DecodeFlag(int stored) { return stored == 1; }
inline bool DecodeNonZero(int stored) { return stored != 0; }

}  // namespace tavik
