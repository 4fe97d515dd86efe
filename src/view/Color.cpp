#include "view/Color.h"

#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"

namespace tavik {

namespace {

const char* const kSlotNames[kUserColorSlots] = {
    "星座絵の色",           "メシエのマーク",   "昼光（夜）",       "昼光（薄明）",
    "昼光（昼）",           "一般文字など",     "惑星位置の文字",   "夜空の上から１つ目",
    "夜空の上から２つ目",   "夜空の上から３つ目", "夜空の上から４つ目", "赤道経緯度",
    "地上スケール",         "星座名",           "星番号の色",       "方角の文字色",
    "天の北極のマーク",     "基本背景",         "太陽の文字色",     "惑星の文字色",
    "星座線の色",           "アドイン線の色",   "タップ登録の色",   "アドイン文字色",
    "星の名前（通常）",     "月の色(表示）",    "黄道スケール",     "望遠鏡トレース",
    "ユーザタップ文字表示", "①②③の色",         "天の川 p92",       "NGC,IC",
};

bool StoredFlag(const SettingsStore& store, const char* section, const char* entry, int def) {
    return store.GetProfileInt(section, entry, def) == 1;
}

}  // namespace

double Luminance(ColorRef c) {
    return 0.298912 * RedOf(c) + 0.586611 * GreenOf(c) + 0.114478 * BlueOf(c);
}

ColorModes ColorModes::Load(const SettingsStore& store) {
    ColorModes m;
    m.red = StoredFlag(store, "COLOR", "ALLRED", 0);
    m.keepBackground = StoredFlag(store, "REDSCR", "NO_REDBACK", 1);
    m.whiteOnBlack = StoredFlag(store, "SETTING", "BW", 0);
    m.blackOnWhite = StoredFlag(store, "SETTING", "WB", 0);
    m.noColor = StoredFlag(store, "SETTING", "NOCOLOR", 0);
    return m;
}

ColorRef MapColor(ColorRef c, const ColorModes& modes) {
    if (modes.whiteOnBlack) return kWhite;
    if (modes.blackOnWhite) return kBlack;
    if (modes.red) return MakeColorRef(RedOf(c) | GreenOf(c) | BlueOf(c), 0, 0);
    return c & 0xFFFFFF;
}

ColorRef MapSkyColor(ColorRef c, const ColorModes& modes) {
    if (modes.whiteOnBlack) return c & 0xFFFFFF;
    if (modes.blackOnWhite) return kWhite;
    if (modes.red && !modes.keepBackground) return MapColor(c, ColorModes{.red = true});
    return c & 0xFFFFFF;
}

ColorRef TextColor(const ColorModes& modes) {
    if (modes.whiteOnBlack) return kWhite;
    if (modes.blackOnWhite) return kBlack;
    if (modes.red) return kPureRed;
    return kWhite;
}

ColorTable::ColorTable() { ResetToDefaults(); }

ColorRef ColorTable::DefaultColor(int index) {
    if (index < 0 || index >= kColorSlots) return kBlack;
    return ColorTableDefaults()[static_cast<std::size_t>(index)] & 0xFFFFFF;
}

const char* ColorTable::SlotName(int index) {
    if (index < 0 || index >= kUserColorSlots) return "";
    return kSlotNames[index];
}

void ColorTable::ResetToDefaults() {
    for (int i = 0; i < kColorSlots; ++i) colors_[static_cast<std::size_t>(i)] = DefaultColor(i);
}

void ColorTable::Load(const SettingsStore& store) {
    for (int i = 0; i < kColorSlots; ++i) {
        const int stored =
            store.GetProfileInt("USR_CLR", ColorEntryName(i), static_cast<int>(DefaultColor(i)));
        colors_[static_cast<std::size_t>(i)] = static_cast<ColorRef>(stored) & 0xFFFFFF;
    }
}

void ColorTable::Save(SettingsStore& store) const {
    for (int i = 0; i < kColorSlots; ++i)
        store.WriteProfileInt("USR_CLR", ColorEntryName(i),
                              static_cast<int>(colors_[static_cast<std::size_t>(i)]));
}

int ColorScrollToByte(int p) {
    if (p <= 0) return 0;
    if (p > kColorScrollMax) p = kColorScrollMax;
    return p * 16 - 1;
}

int ColorByteToScroll(int b) {
    if (b < 0) b = 0;
    if (b > 255) b = 255;
    return (b + 1) / 16;
}

ColorRef ColorFromScrolls(int red, int green, int blue) {
    return MakeColorRef(ColorScrollToByte(red), ColorScrollToByte(green), ColorScrollToByte(blue));
}

void ApplyColorDialogResult(ColorDialogResult result, ColorTable& table, SettingsStore& store) {
    switch (result) {
        case ColorDialogResult::Ok: table.Save(store); break;
        case ColorDialogResult::Cancel: table.Load(store); break;
        case ColorDialogResult::ResetAll:
            table.ResetToDefaults();
            table.Save(store);
            break;
    }
}

}  // namespace tavik
