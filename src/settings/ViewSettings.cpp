#include "settings/ViewSettings.h"

#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>

#include "settings/SettingsStore.h"

namespace tavik {

namespace {

// Which member of ViewSettings holds a setting. The section and entry, the
// encoding and the default come from the schema; this table only binds.
using IntRef = int& (*)(ViewSettings&);
using BoolRef = bool& (*)(ViewSettings&);
using TextRef = std::string& (*)(ViewSettings&);
struct ColorSlot { int index; };
struct AlwaysOne {};
using Target = std::variant<IntRef, BoolRef, TextRef, ColorSlot, AlwaysOne>;

#define TAVIK_INT(field) IntRef([](ViewSettings& v) -> int& { return v.field; })
#define TAVIK_BOOL(field) BoolRef([](ViewSettings& v) -> bool& { return v.field; })
#define TAVIK_TEXT(field) TextRef([](ViewSettings& v) -> std::string& { return v.field; })

using Key = std::pair<std::string, std::string>;

std::map<Key, Target> BuildBindings() {
    std::map<Key, Target> b = {
        {{"ZOOMINVIEW", "THISPOINT"}, TAVIK_INT(zoomInPoint)},
        {{"ZOOMINVIEW", "MAG"}, TAVIK_INT(zoomLimitMagnitude)},
        {{"ZOOMINVIEW", "SHIFT"}, TAVIK_INT(zoomStarShift)},
        {{"ZOOMINVIEW", "UPTO"}, TAVIK_INT(zoomThreshold)},
        {{"KOUGAI", "REDUCE"}, TAVIK_INT(lightPollution)},
        {{"BACKPAINT", "GRADATION"}, TAVIK_INT(gradation)},
        {{"SHOW", "MILKEY"}, TAVIK_INT(milkyWay)},
        {{"MEMORY", "SEIZE_FILES"}, TAVIK_BOOL(constellationFilesInMemory)},
        {{"REDSCR", "NO_REDBACK"}, TAVIK_INT(redKeepsBackground)},
        {{"TAPFONT", "ENLARGE"}, TAVIK_INT(tapFontLarge)},
        {{"ANIME", "DAY"}, TAVIK_INT(stepDays)},
        {{"ANIME", "HOUR"}, TAVIK_INT(stepHours)},
        {{"ANIME", "MIN"}, TAVIK_INT(stepMinutes)},
        {{"ANIME", "SEC"}, TAVIK_INT(stepSeconds)},
        {{"SUPERZOOMSAVE", "DIRECT"}, TAVIK_INT(savedFacing)},
        {{"SUPERZOOMSAVE", "DIRECTS"}, TAVIK_INT(savedTurn)},
        {{"SUPERZOOMSAVE", "ZOOMING"}, TAVIK_INT(savedZoom)},
        {{"SUPERZOOMSAVE", "HEIGHT"}, TAVIK_INT(savedAltitude)},
        {{"SETTING", "POPUPTS"}, TAVIK_BOOL(popupTelescope)},
        {{"OPTION3", "USR_TAP_TEXT"}, TAVIK_INT(userTapText)},
        {{"OPTION3", "TS_CTRL"}, TAVIK_INT(telescopeControl)},
        {{"CUR_SET", "ACTION_FUNC"}, TAVIK_INT(actionFunction)},
        {{"OPTION3", "MIGORO_NOA"}, TAVIK_INT(noQuestionAfterSearch)},
        {{"OPTION3", "FULL_SCREEN"}, TAVIK_INT(fullScreen)},
        {{"OPTION3", "QUICK_MOON_COLOR"}, TAVIK_INT(quickMoonColor)},
        {{"OPTION2", "ZOOM_TAP_FOCUS"}, TAVIK_INT(zoomTapFocus)},
        {{"OPTION2", "AUTO_ENTER"}, TAVIK_INT(autoEnter)},
        {{"OPTION2", "PLANET_JPEG"}, TAVIK_INT(planetJpeg)},
        {{"OPTION2", "REAL_MOON"}, TAVIK_INT(realMoon)},
        {{"OPTION2", "NO_PLANET"}, TAVIK_INT(noPlanet)},
        {{"OPTION2", "NO_SUN"}, TAVIK_INT(noSun)},
        {{"OPTION2", "NO_KANSOKU"}, TAVIK_INT(noSiteName)},
        {{"OPTION2", "QUICK_MAG2"}, TAVIK_INT(quickMag2)},
        {{"OPTION2", "SEIZAE_NOT_QUICK"}, TAVIK_INT(noFiguresInPlanisphere)},
        {{"BRSTAR", "NAME"}, TAVIK_INT(starNames)},
        {{"MESSIE", "NUMBER"}, TAVIK_INT(messierNumbers)},
        {{"ZOOM", "MARK"}, TAVIK_INT(zoomCentreMark)},
        {{"TOUEI", "SUIHEI"}, TAVIK_INT(horizonFraming)},
        {{"CURSOR", "HANTEN"}, TAVIK_INT(cursorReversed)},
        {{"FONT", "SIZE"}, TAVIK_INT(fontSize)},
        {{"COLOR", "ALLRED"}, TAVIK_BOOL(allRed)},
        {{"DC", "STRETCHBLT"}, TAVIK_BOOL(stretchJpeg)},
        {{"MESSIE", "ENABLE_JPEG"}, TAVIK_BOOL(messierJpeg)},
        {{"ADIN", "ENABLE"}, TAVIK_BOOL(addInsEnabled)},
        {{"TAPREG", "ENABLE"}, TAVIK_BOOL(tapMarksEnabled)},
        {{"ZOOM", "NONORMAL"}, TAVIK_BOOL(noWholeBand)},
        {{"TAP", "NODIR"}, TAVIK_BOOL(tapNoTurn)},
        {{"SCREEN", "END"}, TAVIK_BOOL(rememberScreen)},
        {{"VIEW", "STATUS"}, TAVIK_INT(viewMode)},
        {{"SCREEN", "PLA_NAME"}, TAVIK_BOOL(planetNames)},
        {{"SCREEN", "SEKIDO_S"}, TAVIK_BOOL(equatorialGrid)},
        {{"SCREEN", "KOUDOU_S"}, TAVIK_INT(eclipticGrid)},
        {{"SCREEN", "GRAND_S"}, TAVIK_BOOL(groundScale)},
        {{"SCREEN", "POLER2"}, TAVIK_BOOL(polarFine)},
        {{"SCREEN", "ZOOM_H"}, TAVIK_INT(heightBand)},
        {{"SCREEN", "HALF"}, TAVIK_INT(turnDegrees)},
        {{"SETTING", "DIRECT"}, TAVIK_INT(facing)},
        {{"SEIZA", "LINE"}, TAVIK_BOOL(constellationLines)},
        {{"SEIZA", "LINES"}, TAVIK_BOOL(selectedLines)},
        {{"ROTATE", "RIGHT"}, TAVIK_BOOL(rotateRight)},
        {{"PROC", "SANDCLOCK"}, TAVIK_BOOL(noWaitCursor)},
        {{"DIREC", "WIDE"}, TAVIK_INT(wideTenths)},
        {{"MAGN", "SHIFT"}, TAVIK_INT(starShift)},
        {{"SEIZA", "PICT"}, TAVIK_BOOL(constellationFigures)},
        {{"SEIZA", "PICT_SMART"}, TAVIK_BOOL(selectedFigure)},
        {{"SEIZA", "NAME_SMART"}, TAVIK_BOOL(selectedName)},
        {{"SETTING", "POPUP"}, TAVIK_BOOL(popupDisplay)},
        {{"SETTING", "POPUP2"}, TAVIK_BOOL(popupTapRegistration)},
        {{"SETTING", "MESIE"}, TAVIK_BOOL(messier)},
        {{"SETTING", "BW"}, TAVIK_BOOL(whiteOnBlack)},
        {{"SETTING", "WB"}, TAVIK_BOOL(blackOnWhite)},
        {{"SETTING", "JISA"}, TAVIK_INT(site.zoneOffsetHours)},
        {{"SETTING", "NOCOLOR"}, TAVIK_BOOL(noColor)},
        {{"SETTING", "SUN"}, TAVIK_BOOL(daylight)},
        {{"SETTING", "MAGNIT"}, TAVIK_INT(limitingMagnitude)},
        {{"SETTING", "BRIGHT"}, TAVIK_BOOL(sizeUp)},
        {{"SETTING", "BRIGHT1"}, TAVIK_BOOL(brightnessUp)},
        {{"SETTING", "BRIGHT2"}, TAVIK_BOOL(blueOn)},
        {{"SETTING", "SEIZA"}, TAVIK_BOOL(constellationNames)},
        {{"SETTING", "REALTIME"}, TAVIK_BOOL(realtime)},
        {{"SETTING", "MOVING"}, TAVIK_BOOL(autoUpdate)},
        {{"LOCATION", "TOUKEI"}, TAVIK_INT(site.longitudeDegrees)},
        {{"LOCATION", "TOUKEIF"}, TAVIK_INT(site.longitudeMinutes)},
        {{"LOCATION", "HOKUI"}, TAVIK_INT(site.latitudeDegrees)},
        {{"LOCATION", "HOKUIF"}, TAVIK_INT(site.latitudeMinutes)},
        {{"LOCATION", "NAME"}, TAVIK_TEXT(site.name)},
        {{"SETTING", "SHOW_POLER"}, TAVIK_BOOL(showPole)},
        {{"ACTION", "MENU"}, AlwaysOne{}},
        {{"SETTING", "SELECT"}, TAVIK_BOOL(constellationSelection)},
        {{"MACHINE", "CURSORKEY"}, TAVIK_BOOL(cursorKeys)},
    };
    for (int i = 0; i < kColorCount; ++i) b[{"USR_CLR", ColorEntryName(i)}] = ColorSlot{i};
    return b;
}

#undef TAVIK_INT
#undef TAVIK_BOOL
#undef TAVIK_TEXT

const Target& BindingOf(std::string_view section, std::string_view entry) {
    static const std::map<Key, Target> bindings = BuildBindings();
    auto it = bindings.find({std::string(section), std::string(entry)});
    if (it == bindings.end()) {
        throw std::logic_error("view setting without a field: " + std::string(section) + "/" +
                               std::string(entry));
    }
    return it->second;
}

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

void RequireType(const SettingDef& d, bool matches) {
    if (!matches) {
        throw std::logic_error("view setting bound to a field of another type: " + d.section +
                               "/" + d.entry);
    }
}

// Sets the field of `d` from the store, or from `start` when given (the screen
// state while SCREEN/END is false).
void LoadOne(ViewSettings& v, const SettingsStore& store, const SettingDef& d, bool useStart) {
    const Target& t = BindingOf(d.section, d.entry);
    std::visit(Overloaded{
                   [&](IntRef r) {
                       RequireType(d, d.type == SettingType::Int);
                       r(v) = useStart ? d.Bounded(d.startValue)
                                       : ReadSettingInt(store, d.section, d.entry);
                   },
                   [&](BoolRef r) {
                       RequireType(d, d.type == SettingType::Flag ||
                                          d.type == SettingType::NonZero);
                       r(v) = useStart ? DecodeFlag(d.startValue)
                                       : ReadSettingBool(store, d.section, d.entry);
                   },
                   [&](TextRef r) {
                       RequireType(d, d.type == SettingType::String);
                       r(v) = ReadSettingString(store, d.section, d.entry);
                   },
                   [&](ColorSlot c) {
                       v.colors[c.index] = static_cast<std::uint32_t>(
                           ReadSettingInt(store, d.section, d.entry));
                   },
                   [](AlwaysOne) {},
               },
               t);
}

void SaveOne(const ViewSettings& cv, SettingsStore& store, std::string_view section,
             std::string_view entry) {
    // The reference getters take a mutable object; nothing is modified here.
    auto& v = const_cast<ViewSettings&>(cv);
    std::visit(Overloaded{
                   [&](IntRef r) { WriteSettingInt(store, section, entry, r(v)); },
                   [&](BoolRef r) { WriteSettingBool(store, section, entry, r(v)); },
                   [&](TextRef r) { WriteSettingString(store, section, entry, r(v)); },
                   [&](ColorSlot c) {
                       WriteSettingInt(store, section, entry,
                                       static_cast<int>(v.colors[c.index]));
                   },
                   [&](AlwaysOne) { WriteSettingInt(store, section, entry, 1); },
               },
               BindingOf(section, entry));
}

}  // namespace

ViewSettings::ViewSettings() {
    const MemorySettingsStore empty;
    Load(empty);
}

void ViewSettings::Load(const SettingsStore& store) {
    // The schema lists the view's entries in reading order, with the screen
    // state right after SCREEN/END, so rememberScreen is known when it is needed.
    for (const SettingDef& d : AllSettings()) {
        if (d.group == SettingGroup::View) {
            LoadOne(*this, store, d, false);
        } else if (d.group == SettingGroup::ViewScreen) {
            // A first start (nothing stored) opens as the start values give:
            // the planisphere facing south.
            LoadOne(*this, store, d, !rememberScreen || !store.Contains(d.section, d.entry));
        }
    }
}

void ViewSettings::Save(SettingsStore& store) const {
    for (const SettingKey& k : ViewSaveOrder()) SaveOne(*this, store, k.section, k.entry);
}

void ViewSettings::SaveTimeStep(SettingsStore& store) const {
    for (const char* e : {"DAY", "HOUR", "MIN", "SEC"}) SaveOne(*this, store, "ANIME", e);
}

void ViewSettings::SaveMagnifierState(SettingsStore& store) const {
    for (const char* e : {"DIRECT", "DIRECTS", "ZOOMING", "HEIGHT"}) {
        SaveOne(*this, store, "SUPERZOOMSAVE", e);
    }
}

void ViewSettings::SaveMilkyWay(SettingsStore& store) const {
    SaveOne(*this, store, "SHOW", "MILKEY");
}

}  // namespace tavik
