#pragma once
// Colours of the sky view: the 48-slot user colour table, the display modes
// (normal, red, white-on-black, black-on-white, no colour) and the mapping of a
// user colour through them.
//
// A user colour is a ColorRef, 0x00BBGGRR (red in the low byte), the value kept
// in the settings store under USR_CLR/CLR00..CLR47.

#include <QColor>
#include <QRgb>

#include <array>
#include <cstdint>

namespace tavik {

class SettingsStore;

using ColorRef = std::uint32_t;

constexpr ColorRef MakeColorRef(int r, int g, int b) {
    return static_cast<ColorRef>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(ColorRef c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(ColorRef c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(ColorRef c) { return static_cast<int>((c >> 16) & 0xFF); }

inline constexpr ColorRef kWhite = 0xFFFFFF;
inline constexpr ColorRef kBlack = 0x000000;
inline constexpr ColorRef kPureRed = 0x0000FF;

// The same colour as a pixel word of the off-screen image (0xFFRRGGBB).
constexpr QRgb ToQRgb(ColorRef c) {
    return 0xFF000000u | (static_cast<QRgb>(RedOf(c)) << 16) | (static_cast<QRgb>(GreenOf(c)) << 8) |
           static_cast<QRgb>(BlueOf(c));
}
constexpr ColorRef FromQRgb(QRgb p) {
    return MakeColorRef(static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                        static_cast<int>(p & 0xFF));
}
inline QColor ToQColor(ColorRef c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

// 0.298912 R + 0.586611 G + 0.114478 B.
double Luminance(ColorRef c);
// The same for a pixel word of the image (inline: every star pixel asks it).
inline double PixelLuminance(QRgb p) { return 0.298912 * qRed(p) + 0.586611 * qGreen(p) + 0.114478 * qBlue(p); }

// The display-mode flags that decide how colours are mapped.
struct ColorModes {
    bool red = false;            // COLOR/ALLRED: night-vision red
    bool keepBackground = true;  // REDSCR/NO_REDBACK: red mode leaves the sky background alone
    bool whiteOnBlack = false;   // SETTING/BW
    bool blackOnWhite = false;   // SETTING/WB
    bool noColor = false;        // SETTING/NOCOLOR

    static ColorModes Load(const SettingsStore& store);
};

// The colour drawn for user colour c: white in white-on-black, else black in
// black-on-white, else in red mode a pure red whose intensity is the bitwise OR
// of c's three bytes, else c itself.
ColorRef MapColor(ColorRef c, const ColorModes& modes);

// The colour of a sky-background slot: white-on-black keeps it, black-on-white
// gives white, red mode maps it to red unless the background is to be kept.
ColorRef MapSkyColor(ColorRef c, const ColorModes& modes);

// The text colour of the render pass: white (white-on-black), black
// (black-on-white), pure red (red mode), otherwise white.
ColorRef TextColor(const ColorModes& modes);

inline constexpr int kColorSlots = 48;
inline constexpr int kUserColorSlots = 32;  // slots 32..47 are reserved

// Slot numbers used by the drawing code.
namespace slot {
inline constexpr int kFigure = 0;
inline constexpr int kDeepSky = 1;
inline constexpr int kDayNight = 2;
inline constexpr int kDayTwilight = 3;
inline constexpr int kDayLight = 4;
inline constexpr int kGeneralText = 5;
inline constexpr int kPlanetPositionText = 6;
inline constexpr int kSky1 = 7;  // highest sky band
inline constexpr int kSky2 = 8;
inline constexpr int kSky3 = 9;  // the reference luminance of star blending
inline constexpr int kSky4 = 10; // lowest sky band
inline constexpr int kEquatorial = 11;
inline constexpr int kGroundScale = 12;
inline constexpr int kConstellationName = 13;
inline constexpr int kStarNumber = 14;
inline constexpr int kCompass = 15;
inline constexpr int kPoleMark = 16;
inline constexpr int kBackground = 17;
inline constexpr int kSunText = 18;
inline constexpr int kPlanetText = 19;
inline constexpr int kConstellationLine = 20;
inline constexpr int kAddinLine = 21;
inline constexpr int kTapMark = 22;
inline constexpr int kAddinText = 23;
inline constexpr int kStarName = 24;
inline constexpr int kMoon = 25;
inline constexpr int kEcliptic = 26;
inline constexpr int kTelescopeTrace = 27;
inline constexpr int kUserTapText = 28;
inline constexpr int kNumberedMark = 29;
inline constexpr int kMilkyWay = 30;
inline constexpr int kNgcIc = 31;
}  // namespace slot

class ColorTable {
public:
    // The factory colours.
    ColorTable();

    ColorRef operator[](int index) const { return colors_[Index(index)]; }
    void Set(int index, ColorRef c) { colors_[Index(index)] = c & 0xFFFFFF; }

    // All 48 slots from USR_CLR/CLRnn, each defaulting to its factory colour.
    void Load(const SettingsStore& store);
    void Save(SettingsStore& store) const;
    void ResetToDefaults();

    static ColorRef DefaultColor(int index);
    // The name of slots 0..31 in the colour dialog (UTF-8); empty for 32..47.
    static const char* SlotName(int index);

    bool operator==(const ColorTable&) const = default;

private:
    static int Index(int index) { return index < 0 ? 0 : (index >= kColorSlots ? kColorSlots - 1 : index); }
    std::array<ColorRef, kColorSlots> colors_{};
};

// The colour dialog (dialog 139 "色の指定"): three scroll bars "赤", "緑", "青"
// with positions 0..16. Position p stands for the byte 0 when p is 0 and
// p x 16 - 1 otherwise; a slot's byte b puts its bar at (b + 1) / 16.
inline constexpr int kColorScrollMax = 16;
int ColorScrollToByte(int position);
int ColorByteToScroll(int byte);
ColorRef ColorFromScrolls(int red, int green, int blue);

// How the colour dialog was closed: OK saves all 48 slots, Cancel reloads them
// from the store, "全て初期" (result 7) resets them to their defaults and saves.
// In every case the caller recreates the background brush and requests a render.
enum class ColorDialogResult { Ok, Cancel, ResetAll };
void ApplyColorDialogResult(ColorDialogResult result, ColorTable& table, SettingsStore& store);

}  // namespace tavik
