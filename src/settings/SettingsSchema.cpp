#include "settings/SettingsSchema.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <stdexcept>

#include "settings/ObservationSite.h"
#include "settings/SettingsStore.h"

namespace tavik {

namespace {

using T = SettingType;
using G = SettingGroup;

SettingBound Clamp(int lo, int hi) { return {OutOfRange::Clamp, lo, hi, {}}; }
SettingBound DefaultUnless(int lo, int hi) { return {OutOfRange::Default, lo, hi, {}}; }
SettingBound DefaultUnlessOneOf(std::vector<int> allowed) {
    const auto [lo, hi] = std::minmax_element(allowed.begin(), allowed.end());
    return {OutOfRange::Default, *lo, *hi, std::move(allowed)};
}

SettingDef Row(const char* section, const char* entry, SettingType type, SettingGroup group,
               int def, SettingBound bound = {}) {
    SettingDef d;
    d.section = section;
    d.entry = entry;
    d.type = type;
    d.group = group;
    d.intDefault = def;
    d.bound = std::move(bound);
    return d;
}

SettingDef Screen(const char* section, const char* entry, SettingType type, int def, int start,
                  SettingBound bound = {}) {
    SettingDef d = Row(section, entry, type, G::ViewScreen, def, std::move(bound));
    d.startValue = start;
    return d;
}

SettingDef Text(const char* section, const char* entry, SettingGroup group, std::string def) {
    SettingDef d;
    d.section = section;
    d.entry = entry;
    d.type = T::String;
    d.group = group;
    d.stringDefault = std::move(def);
    return d;
}

constexpr std::uint32_t Rgb(unsigned r, unsigned g, unsigned b) {
    return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
           (static_cast<std::uint32_t>(b) << 16);
}

// Every value of `facing`: West 0, North 1, East 2, South 3.
constexpr int kFacingMin = 0, kFacingMax = 3;

std::vector<SettingDef> BuildSchema() {
    std::vector<SettingDef> s;
    auto v = [&](const char* sec, const char* ent, SettingType t, int def, SettingBound b = {}) {
        s.push_back(Row(sec, ent, t, G::View, def, std::move(b)));
    };

    // --- The sky view, in the order it reads them ---------------------------
    // Zoom factor of "zoom in here", tenths; a zoom of 0 would divide by zero.
    v("ZOOMINVIEW", "THISPOINT", T::Int, 500, Clamp(30, 900));
    v("ZOOMINVIEW", "MAG", T::Int, 6, Clamp(1, 7));
    // Star-size shift, tenths of a magnitude: drives a halving loop per star.
    v("ZOOMINVIEW", "SHIFT", T::Int, -40, Clamp(-99, 99));
    v("ZOOMINVIEW", "UPTO", T::Int, 400, Clamp(100, 901));
    // Light pollution 0..20: larger levels multiply the sky gradient steps.
    v("KOUGAI", "REDUCE", T::Int, 0, Clamp(0, 20));
    v("BACKPAINT", "GRADATION", T::Int, 1);
    v("SHOW", "MILKEY", T::Int, 0);
    v("MEMORY", "SEIZE_FILES", T::NonZero, 0);
    v("REDSCR", "NO_REDBACK", T::Int, 1);
    v("TAPFONT", "ENLARGE", T::Int, 0);
    // The time step is added to the clock at every step: a century at most.
    v("ANIME", "DAY", T::Int, 0, Clamp(-36525, 36525));
    v("ANIME", "HOUR", T::Int, 0, Clamp(-876600, 876600));
    v("ANIME", "MIN", T::Int, 3, Clamp(-1000000, 1000000));
    v("ANIME", "SEC", T::Int, 0, Clamp(-1000000, 1000000));
    v("SUPERZOOMSAVE", "DIRECT", T::Int, 3, DefaultUnless(kFacingMin, kFacingMax));
    v("SUPERZOOMSAVE", "DIRECTS", T::Int, 3, DefaultUnless(0, 89));
    v("SUPERZOOMSAVE", "ZOOMING", T::Int, 50, Clamp(30, 900));
    v("SUPERZOOMSAVE", "HEIGHT", T::Int, 45, Clamp(4, 86));
    v("SETTING", "POPUPTS", T::Flag, 0);
    v("OPTION3", "USR_TAP_TEXT", T::Int, 1);
    v("OPTION3", "TS_CTRL", T::Int, 0);
    v("CUR_SET", "ACTION_FUNC", T::Int, 0, DefaultUnless(0, 2));
    v("OPTION3", "MIGORO_NOA", T::Int, 0);
    v("OPTION3", "FULL_SCREEN", T::Int, 0);
    v("OPTION3", "QUICK_MOON_COLOR", T::Int, 0);
    v("OPTION2", "ZOOM_TAP_FOCUS", T::Int, 0);
    v("OPTION2", "AUTO_ENTER", T::Int, 1);
    v("OPTION2", "PLANET_JPEG", T::Int, 1);
    v("OPTION2", "REAL_MOON", T::Int, 1);
    v("OPTION2", "NO_PLANET", T::Int, 0);
    v("OPTION2", "NO_SUN", T::Int, 0);
    v("OPTION2", "NO_KANSOKU", T::Int, 0);
    v("OPTION2", "QUICK_MAG2", T::Int, 0);
    v("OPTION2", "SEIZAE_NOT_QUICK", T::Int, 0);
    v("BRSTAR", "NAME", T::Int, 0);
    v("MESSIE", "NUMBER", T::Int, 0);
    v("ZOOM", "MARK", T::Int, 1);
    v("TOUEI", "SUIHEI", T::Int, 0);
    v("CURSOR", "HANTEN", T::Int, 1);
    // Label font size in tenths of a point: 0 or below gives no usable font, a
    // huge size stalls text layout.
    v("FONT", "SIZE", T::Int, 75, Clamp(30, 1000));
    v("COLOR", "ALLRED", T::Flag, 0);
    v("DC", "STRETCHBLT", T::Flag, 0);
    v("MESSIE", "ENABLE_JPEG", T::Flag, 1);
    v("ADIN", "ENABLE", T::Flag, 0);
    v("TAPREG", "ENABLE", T::Flag, 0);
    v("ZOOM", "NONORMAL", T::Flag, 0);
    v("TAP", "NODIR", T::Flag, 1);
    v("SCREEN", "END", T::Flag, 1);

    // --- The screen state, read right after SCREEN/END ------------------------
    s.push_back(Screen("VIEW", "STATUS", T::Int, 1, 0, DefaultUnlessOneOf({0, 1, 2, 11, 21, 22})));
    s.push_back(Screen("SCREEN", "PLA_NAME", T::Flag, 0, 0));
    s.push_back(Screen("SCREEN", "SEKIDO_S", T::Flag, 0, 0));
    s.push_back(Screen("SCREEN", "KOUDOU_S", T::Int, 0, 0));
    s.push_back(Screen("SCREEN", "GRAND_S", T::Flag, 0, 0));
    s.push_back(Screen("SCREEN", "POLER2", T::Flag, 0, 0));
    // Height band: Whole 0, High 1, Middle 2, Low -1; the framing has no row for
    // any other value.
    s.push_back(Screen("SCREEN", "ZOOM_H", T::Int, 0, 0, DefaultUnlessOneOf({-1, 0, 1, 2})));
    s.push_back(Screen("SCREEN", "HALF", T::Int, 0, 0, DefaultUnless(0, 89)));
    s.push_back(Screen("SETTING", "DIRECT", T::Int, 3, 3, DefaultUnless(kFacingMin, kFacingMax)));

    // --- The rest of the view's entries ---------------------------------------
    v("SEIZA", "LINE", T::Flag, 0);
    v("SEIZA", "LINES", T::Flag, 1);
    v("ROTATE", "RIGHT", T::Flag, 0);
    const auto& colors = ColorTableDefaults();
    for (int i = 0; i < kColorCount; ++i) {
        s.push_back(Row("USR_CLR", "", T::Int, G::View, static_cast<int>(colors[i])));
        s.back().entry = ColorEntryName(i);
    }
    v("PROC", "SANDCLOCK", T::Flag, 1);
    // Horizontal stretch in tenths: the direction view divides by it.
    v("DIREC", "WIDE", T::Int, 13, Clamp(1, 20));
    // Star-size shift: drives a halving loop per star.
    v("MAGN", "SHIFT", T::Int, 0, Clamp(-50, 20));
    v("SEIZA", "PICT", T::Flag, 0);
    v("SEIZA", "PICT_SMART", T::Flag, 1);
    v("SEIZA", "NAME_SMART", T::Flag, 1);
    v("SETTING", "POPUP", T::Flag, 1);
    v("SETTING", "POPUP2", T::Flag, 0);
    v("SETTING", "MESIE", T::Flag, 1);
    v("SETTING", "BW", T::Flag, 0);
    v("SETTING", "WB", T::Flag, 0);
    // Zone offset in whole hours; the site dialog offers -12..12.
    v("SETTING", "JISA", T::Int, kDefaultZoneOffsetHours, Clamp(-12, 14));
    v("SETTING", "NOCOLOR", T::Flag, 0);
    v("SETTING", "SUN", T::Flag, 0);
    // Limiting magnitude index 1..7 (7: all stars).
    v("SETTING", "MAGNIT", T::Int, 4, Clamp(1, 7));
    v("SETTING", "BRIGHT", T::Flag, 0);
    v("SETTING", "BRIGHT1", T::Flag, 0);
    v("SETTING", "BRIGHT2", T::Flag, 0);
    v("SETTING", "SEIZA", T::Flag, 0);
    v("SETTING", "REALTIME", T::Flag, 1);
    v("SETTING", "MOVING", T::Flag, 0);
    // The site, east and north positive in both parts: the texts negate them and
    // the mount is sent them in its own formats.
    v("LOCATION", "TOUKEI", T::Int, kDefaultLongitudeDegrees, Clamp(-180, 180));
    v("LOCATION", "TOUKEIF", T::Int, kDefaultLongitudeMinutes, Clamp(-59, 59));
    v("LOCATION", "HOKUI", T::Int, kDefaultLatitudeDegrees, Clamp(-90, 90));
    v("LOCATION", "HOKUIF", T::Int, kDefaultLatitudeMinutes, Clamp(-59, 59));
    s.push_back(Text("LOCATION", "NAME", G::View, std::string(kDefaultSiteName)));
    v("SETTING", "SHOW_POLER", T::Flag, 0);

    // --- Written by the view's save operation, never read ---------------------
    s.push_back(Row("ACTION", "MENU", T::Int, G::ViewWriteOnly, 1));
    s.push_back(Row("SETTING", "SELECT", T::Flag, G::ViewWriteOnly, 0));
    s.push_back(Row("MACHINE", "CURSORKEY", T::Flag, G::ViewWriteOnly, 1));

    // --- Other owners ----------------------------------------------------------
    auto o = [&](const char* sec, const char* ent, SettingType t, int def, SettingBound b = {}) {
        s.push_back(Row(sec, ent, t, G::Other, def, std::move(b)));
    };
    o("CMD_BAR", "MENU", T::Int, 1);
    o("CMD_BAR", "MENU_TOOL", T::Int, 1);
    o("CMD_BAR", "STS", T::Flag, 0);
    // Toolbar indices select from fixed lists.
    o("CMD_BAR", "TYPE", T::Int, 0, DefaultUnless(0, 11));
    o("CMD_BAR", "TYPEA", T::Int, 0, DefaultUnless(0, 1));
    o("TS", "TYPE", T::Int, 0);
    o("TS", "COMPORT", T::Int, 1, DefaultUnless(1, 4));
    o("TS", "TRACE", T::Int, 0);
    o("TS", "TRACE_TIME", T::Int, 2);
    // 1: targets go to the mount in coordinates of date and positions read back
    // are turned into J2000; 0 for a mount set to J2000.
    o("TS", "JNOW", T::Flag, 1);
    // Device path of serial port n (1..4); empty means the built-in default.
    for (const char* dev : {"DEVICE1", "DEVICE2", "DEVICE3", "DEVICE4"}) {
        s.push_back(Text("TS", dev, G::Other, ""));
    }
    // How the mount is reached: 0 the serial port TS/COMPORT, 1 an INDI server
    // (TS/INDI_HOST and INDI_PORT) driving the device TS/INDI_DEVICE (empty:
    // the first telescope the server offers).
    o("TS", "LINK", T::Int, 0, DefaultUnless(0, 1));
    s.push_back(Text("TS", "INDI_HOST", G::Other, "localhost"));
    o("TS", "INDI_PORT", T::Int, 7624, DefaultUnless(1, 65535));
    s.push_back(Text("TS", "INDI_DEVICE", G::Other, ""));
    // The lowest altitude of a goto, whole degrees: below it a goto asks first,
    // and an LX200 mount that takes a slew limit is told it; -90 never asks.
    o("TS", "ALT_LIMIT", T::Int, 0, Clamp(-90, 89));
    // The fields of view the magnified view draws (FieldOfViewSettings.h):
    // the telescope, five eyepieces, two cameras and three finder rings.
    o("FOV", "FOCAL", T::Int, 600, Clamp(10, 20000));
    o("FOV", "APERTURE", T::Int, 80, Clamp(5, 2000));
    for (int i = 1; i <= kEyepieceCount; ++i) {
        const std::string n = "EP" + std::to_string(i) + "_";
        s.push_back(Text("FOV", (n + "NAME").c_str(), G::Other, i == 1 ? "25mm" : ""));
        o("FOV", (n + "FOCAL").c_str(), T::Int, i == 1 ? 250 : 0, Clamp(0, 1000));
        o("FOV", (n + "FIELD").c_str(), T::Int, i == 1 ? 52 : 0, Clamp(0, 150));
        o("FOV", (n + "SHOW").c_str(), T::Flag, 0);
    }
    for (int i = 1; i <= kCameraCount; ++i) {
        const std::string n = "CAM" + std::to_string(i) + "_";
        s.push_back(Text("FOV", (n + "NAME").c_str(), G::Other, i == 1 ? "APS-C" : ""));
        o("FOV", (n + "WIDTH").c_str(), T::Int, i == 1 ? 2350 : 0, Clamp(0, 10000));
        o("FOV", (n + "HEIGHT").c_str(), T::Int, i == 1 ? 1560 : 0, Clamp(0, 10000));
        o("FOV", (n + "ROTATE").c_str(), T::Int, 0, Clamp(-360, 360));
        o("FOV", (n + "SHOW").c_str(), T::Flag, 0);
    }
    for (int i = 1; i <= kFinderRingCount; ++i) {
        const std::string n = "FINDER" + std::to_string(i);
        o("FOV", n.c_str(), T::Int, i == 1 ? 5 : i == 2 ? 20 : 40, Clamp(0, 900));
        o("FOV", (n + "_SHOW").c_str(), T::Flag, 0);
    }
    // The catalogue path when the document opens the catalogue; callers that only
    // want the data folder pass "\tavik.dat" themselves.
    s.push_back(Text("TAVIK", "TAVIK_DATA", G::Other,
                     "\\MultiMedia Card\\My Documents\\tavik\\tavik.dat"));
    s.push_back(Text("SEIZAE", "FILE", G::Other, ""));
    s.push_back(Text("SEIZALINE", "FILE", G::Other, ""));
    // The speech program that reads descriptions aloud: program and arguments,
    // the text on its standard input.
    s.push_back(Text("SPEECH", "COMMAND", G::Other, "espeak-ng -v ja --stdin"));
    // The last ten texts of "天体検索", newest in HISTORY1.
    s.push_back(Text("SEARCH", "HISTORY%d", G::Other, ""));
    o("MEMORY", "CARD", T::NonZero, 0);
    o("POPUPMENU", "MAG", T::Int, 4, Clamp(1, 7));
    o("TAP", "ZOOM_DLG", T::Int, 0);
    // Running number of new tap marks, increased by one for each: never past int.
    o("TAPREG", "CNT", T::Int, 1, Clamp(1, 2147483646));
    // The add-in pass loops over f1..fCOUNT at every paint.
    o("ADIN", "COUNT", T::Int, 0, Clamp(0, 1000));
    s.push_back(Text("ADIN", "f%d", G::Other, ""));
    s.push_back(Text("USERLOC", "LOC%02d", G::Other, ""));
    o("USERLOC", "LOC_IDOH%02d", T::Int, 0, Clamp(-90, 90));
    o("USERLOC", "LOC_IDOF%02d", T::Int, 0, Clamp(-59, 59));
    o("USERLOC", "LOC_KEIDOH%02d", T::Int, 0, Clamp(-180, 180));
    o("USERLOC", "LOC_KEIDOF%02d", T::Int, 0, Clamp(-59, 59));
    o("USERLOC", "LOC_NANBOKU%02d", T::Int, 0);
    o("USERLOC", "LOC_TOUZAI%02d", T::Int, 0);
    o("USERLOC", "LOC_JISA%02d", T::Int, 9, Clamp(0, 12));
    o("USERLOC", "LOC_JISAM%02d", T::Int, 0);
    return s;
}

// Matches an entry against a schema name that may end in a number pattern
// ("f%d" or "LOC%02d"). Exact names match only themselves.
bool EntryMatches(std::string_view pattern, std::string_view entry) {
    const auto pct = pattern.find('%');
    if (pct == std::string_view::npos) return pattern == entry;
    const std::string_view prefix = pattern.substr(0, pct);
    if (entry.substr(0, prefix.size()) != prefix) return false;
    const std::string_view digits = entry.substr(prefix.size());
    if (digits.empty()) return false;
    if (pattern.substr(pct) == "%02d" && digits.size() != 2) return false;
    return std::all_of(digits.begin(), digits.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

const SettingDef& Require(std::string_view section, std::string_view entry) {
    const SettingDef* d = FindSetting(section, entry);
    if (!d) {
        throw std::out_of_range("unknown setting " + std::string(section) + "/" +
                                std::string(entry));
    }
    return *d;
}

}  // namespace

int SettingDef::Bounded(int value) const {
    switch (bound.action) {
        case OutOfRange::Keep:
            return value;
        case OutOfRange::Clamp:
            return std::clamp(value, bound.min, bound.max);
        case OutOfRange::Default:
            if (value < bound.min || value > bound.max) return intDefault;
            if (!bound.allowed.empty() &&
                std::find(bound.allowed.begin(), bound.allowed.end(), value) ==
                    bound.allowed.end()) {
                return intDefault;
            }
            return value;
    }
    return value;
}

bool SettingDef::Holds(int value) const {
    if (type == SettingType::Flag || type == SettingType::NonZero) return value == 0 || value == 1;
    if (bound.action == OutOfRange::Keep) return true;
    if (value < bound.min || value > bound.max) return false;
    return bound.allowed.empty() ||
           std::find(bound.allowed.begin(), bound.allowed.end(), value) != bound.allowed.end();
}

std::string SettingDef::HeldValues() const {
    if (type == SettingType::Flag || type == SettingType::NonZero) return "0 or 1";
    if (bound.action == OutOfRange::Keep) return {};
    if (bound.allowed.empty()) return std::to_string(bound.min) + ".." + std::to_string(bound.max);
    std::string text;
    for (std::size_t i = 0; i < bound.allowed.size(); ++i) {
        if (i > 0) text += i + 1 == bound.allowed.size() ? " or " : ", ";
        text += std::to_string(bound.allowed[i]);
    }
    return text;
}

const std::vector<SettingDef>& AllSettings() {
    static const std::vector<SettingDef> schema = BuildSchema();
    return schema;
}

const SettingDef* FindSetting(std::string_view section, std::string_view entry) {
    for (const SettingDef& d : AllSettings()) {
        if (d.section == section && EntryMatches(d.entry, entry)) return &d;
    }
    return nullptr;
}

const std::array<std::uint32_t, kColorCount>& ColorTableDefaults() {
    static const std::array<std::uint32_t, kColorCount> table = {
        Rgb(255, 255, 0),    // 0  constellation figures
        Rgb(0, 255, 0),      // 1  Messier marks
        Rgb(0, 0, 0),        // 2  daylight sky, night
        Rgb(64, 64, 128),    // 3  daylight sky, twilight
        Rgb(192, 192, 255),  // 4  daylight sky, day
        Rgb(255, 0, 0),      // 5  general texts
        Rgb(255, 255, 0),    // 6  planet position texts
        Rgb(0, 0, 0),        // 7  night sky, highest band
        Rgb(0, 0, 64),       // 8  night sky, second band
        Rgb(0, 0, 96),       // 9  night sky, third band
        Rgb(0, 0, 128),      // 10 night sky, lowest band
        Rgb(255, 96, 96),    // 11 equatorial grid
        Rgb(192, 192, 192),  // 12 ground scale
        Rgb(0, 255, 255),    // 13 constellation names
        Rgb(255, 255, 0),    // 14 star numbers
        Rgb(0, 255, 0),      // 15 compass texts
        Rgb(0, 255, 0),      // 16 celestial pole mark
        Rgb(96, 128, 64),    // 17 base background
        Rgb(255, 0, 0),      // 18 Sun text
        Rgb(0, 255, 0),      // 19 planet texts
        Rgb(0, 255, 255),    // 20 constellation lines
        Rgb(255, 0, 0),      // 21 add-in lines
        Rgb(0, 255, 0),      // 22 registered taps
        Rgb(0, 255, 0),      // 23 add-in texts
        Rgb(255, 255, 0),    // 24 star names
        Rgb(255, 255, 0),    // 25 Moon
        Rgb(255, 255, 0),    // 26 ecliptic scale
        Rgb(193, 193, 0),    // 27 telescope trace
        Rgb(0, 255, 0),      // 28 registered tap texts
        Rgb(0, 255, 255),    // 29 numbered marks
        Rgb(32, 64, 64),     // 30 Milky Way
        // 31 (NGC, IC) and the reserved slots 32..47 are black.
    };
    return table;
}

std::string ColorEntryName(int index) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "CLR%02d", index);
    return buf;
}

const std::vector<SettingKey>& ViewSaveOrder() {
    static const std::vector<SettingKey> order = [] {
        static const std::vector<std::string> colorNames = [] {
            std::vector<std::string> n;
            for (int i = 0; i < kColorCount; ++i) n.push_back(ColorEntryName(i));
            return n;
        }();
        std::vector<SettingKey> k = {
            {"ZOOMINVIEW", "THISPOINT"}, {"ZOOMINVIEW", "MAG"}, {"ZOOMINVIEW", "SHIFT"},
            {"ZOOMINVIEW", "UPTO"}, {"KOUGAI", "REDUCE"}, {"BACKPAINT", "GRADATION"},
            {"REDSCR", "NO_REDBACK"}, {"TAPFONT", "ENLARGE"}, {"MEMORY", "SEIZE_FILES"},
            {"CUR_SET", "ACTION_FUNC"}, {"SETTING", "POPUPTS"}, {"OPTION3", "USR_TAP_TEXT"},
            {"OPTION3", "TS_CTRL"}, {"OPTION3", "MIGORO_NOA"}, {"OPTION3", "FULL_SCREEN"},
            {"OPTION3", "QUICK_MOON_COLOR"}, {"OPTION2", "ZOOM_TAP_FOCUS"},
            {"OPTION2", "AUTO_ENTER"}, {"OPTION2", "PLANET_JPEG"}, {"OPTION2", "REAL_MOON"},
            {"OPTION2", "NO_PLANET"}, {"OPTION2", "NO_SUN"}, {"OPTION2", "NO_KANSOKU"},
            {"OPTION2", "QUICK_MAG2"}, {"OPTION2", "SEIZAE_NOT_QUICK"}, {"BRSTAR", "NAME"},
            {"MESSIE", "NUMBER"}, {"ZOOM", "MARK"}, {"TOUEI", "SUIHEI"}, {"CURSOR", "HANTEN"},
            {"FONT", "SIZE"}, {"COLOR", "ALLRED"}, {"DC", "STRETCHBLT"},
            {"MESSIE", "ENABLE_JPEG"}, {"TAPREG", "ENABLE"}, {"ADIN", "ENABLE"},
            {"ZOOM", "NONORMAL"}, {"ACTION", "MENU"}, {"TAP", "NODIR"}, {"SEIZA", "LINE"},
            {"SEIZA", "LINES"}, {"SCREEN", "END"}, {"VIEW", "STATUS"}, {"SCREEN", "PLA_NAME"},
            {"SCREEN", "SEKIDO_S"}, {"SCREEN", "KOUDOU_S"}, {"SCREEN", "GRAND_S"},
            {"SCREEN", "POLER2"}, {"SCREEN", "ZOOM_H"}, {"SCREEN", "HALF"}, {"ROTATE", "RIGHT"},
        };
        for (const std::string& n : colorNames) k.push_back({"USR_CLR", n});
        const std::vector<SettingKey> tail = {
            {"PROC", "SANDCLOCK"}, {"SEIZA", "PICT_SMART"}, {"SEIZA", "NAME_SMART"},
            {"SEIZA", "PICT"}, {"MAGN", "SHIFT"}, {"DIREC", "WIDE"}, {"SETTING", "POPUP"},
            {"SETTING", "POPUP2"}, {"SETTING", "JISA"}, {"SETTING", "NOCOLOR"},
            {"SETTING", "SUN"}, {"SETTING", "DIRECT"}, {"SETTING", "MAGNIT"},
            {"SETTING", "BRIGHT"}, {"SETTING", "BRIGHT1"}, {"SETTING", "BRIGHT2"},
            {"SETTING", "SEIZA"}, {"SETTING", "SELECT"}, {"SETTING", "REALTIME"},
            {"SETTING", "MOVING"}, {"LOCATION", "TOUKEI"}, {"LOCATION", "TOUKEIF"},
            {"LOCATION", "HOKUI"}, {"LOCATION", "HOKUIF"}, {"LOCATION", "NAME"},
            {"SETTING", "BW"}, {"SETTING", "WB"}, {"SETTING", "SHOW_POLER"},
            {"SETTING", "MESIE"}, {"MACHINE", "CURSORKEY"},
        };
        k.insert(k.end(), tail.begin(), tail.end());
        return k;
    }();
    return order;
}

int ReadSettingInt(const SettingsStore& store, std::string_view section, std::string_view entry) {
    const SettingDef& d = Require(section, entry);
    return d.Bounded(store.GetProfileInt(section, entry, d.intDefault));
}

bool ReadSettingBool(const SettingsStore& store, std::string_view section,
                     std::string_view entry) {
    const SettingDef& d = Require(section, entry);
    const int stored = store.GetProfileInt(section, entry, d.intDefault);
    return d.type == SettingType::NonZero ? DecodeNonZero(stored) : DecodeFlag(stored);
}

std::string ReadSettingString(const SettingsStore& store, std::string_view section,
                              std::string_view entry) {
    const SettingDef& d = Require(section, entry);
    return store.GetProfileString(section, entry, d.stringDefault);
}

void WriteSettingInt(SettingsStore& store, std::string_view section, std::string_view entry,
                     int value) {
    store.WriteProfileInt(section, entry, value);
}

void WriteSettingBool(SettingsStore& store, std::string_view section, std::string_view entry,
                      bool value) {
    store.WriteProfileInt(section, entry, value ? 1 : 0);
}

void WriteSettingString(SettingsStore& store, std::string_view section, std::string_view entry,
                        const std::string& value) {
    store.WriteProfileString(section, entry, value);
}

}  // namespace tavik
