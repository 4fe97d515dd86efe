#pragma once
// The sky view's persistent settings. `Load` reads them once, in the order the
// view has always read them (the screen state right after SCREEN/END, and only
// when that flag is set); `Save` writes the view's whole set in one pass. The
// view runs Save once after Load at construction, so that every entry exists
// after the first run, and again after every command that changes a setting.
//
// A default-constructed ViewSettings holds the defaults, i.e. what Load gives
// for an empty store.

#include <array>
#include <cstdint>
#include <string>

#include "settings/ObservationSite.h"
#include "settings/SettingsSchema.h"

namespace tavik {

class SettingsStore;

struct ViewSettings {
    ViewSettings();

    // ZOOMINVIEW: the magnified view's zoom settings.
    int zoomInPoint{};          // THISPOINT, tenths, 30..900
    int zoomLimitMagnitude{};   // MAG, 1..7 (7: all stars)
    int zoomStarShift{};        // SHIFT
    int zoomThreshold{};        // UPTO, tenths, 100..901
    int lightPollution{};       // KOUGAI/REDUCE, 0..20
    int gradation{};            // BACKPAINT/GRADATION
    int milkyWay{};             // SHOW/MILKEY (saved only by its own command)
    bool constellationFilesInMemory{};  // MEMORY/SEIZE_FILES
    int redKeepsBackground{};   // REDSCR/NO_REDBACK
    int tapFontLarge{};         // TAPFONT/ENLARGE
    // ANIME: the time step (saved only by the time-step dialog).
    int stepDays{}, stepHours{}, stepMinutes{}, stepSeconds{};
    // SUPERZOOMSAVE: the magnified view at its last exit (saved when the view
    // is destroyed).
    int savedFacing{}, savedTurn{}, savedZoom{}, savedAltitude{};
    bool popupTelescope{};      // SETTING/POPUPTS
    int userTapText{};          // OPTION3/USR_TAP_TEXT
    int telescopeControl{};     // OPTION3/TS_CTRL
    int actionFunction{};       // CUR_SET/ACTION_FUNC, 0..2
    int noQuestionAfterSearch{};  // OPTION3/MIGORO_NOA
    int fullScreen{};           // OPTION3/FULL_SCREEN
    int quickMoonColor{};       // OPTION3/QUICK_MOON_COLOR
    int zoomTapFocus{};         // OPTION2/ZOOM_TAP_FOCUS
    int autoEnter{};            // OPTION2/AUTO_ENTER
    int planetJpeg{};           // OPTION2/PLANET_JPEG
    int realMoon{};             // OPTION2/REAL_MOON
    int noPlanet{};             // OPTION2/NO_PLANET
    int noSun{};                // OPTION2/NO_SUN
    int noSiteName{};           // OPTION2/NO_KANSOKU
    int quickMag2;            // OPTION2/QUICK_MAG2
    int noFiguresInPlanisphere{};  // OPTION2/SEIZAE_NOT_QUICK
    int starNames{};            // BRSTAR/NAME
    int messierNumbers{};       // MESSIE/NUMBER
    int zoomCentreMark{};       // ZOOM/MARK
    int horizonFraming{};       // TOUEI/SUIHEI
    int cursorReversed{};       // CURSOR/HANTEN
    int fontSize{};             // FONT/SIZE, tenths of a point, 30..1000
    bool allRed{};              // COLOR/ALLRED
    bool stretchJpeg{};         // DC/STRETCHBLT
    bool messierJpeg{};         // MESSIE/ENABLE_JPEG
    bool addInsEnabled{};       // ADIN/ENABLE
    bool tapMarksEnabled{};     // TAPREG/ENABLE
    bool noWholeBand{};         // ZOOM/NONORMAL
    bool tapNoTurn{};           // TAP/NODIR
    bool rememberScreen{};      // SCREEN/END

    // The screen state.
    int viewMode{};             // VIEW/STATUS: 0, 1, 2, 11, 21, 22
    bool planetNames{};         // SCREEN/PLA_NAME
    bool equatorialGrid{};      // SCREEN/SEKIDO_S
    int eclipticGrid{};         // SCREEN/KOUDOU_S
    bool groundScale{};         // SCREEN/GRAND_S
    bool polarFine{};           // SCREEN/POLER2
    int heightBand{};           // SCREEN/ZOOM_H: Whole 0, High 1, Middle 2, Low -1
    int turnDegrees{};          // SCREEN/HALF, 0..89
    int facing{};               // SETTING/DIRECT: West 0, North 1, East 2, South 3

    bool constellationLines{};  // SEIZA/LINE
    bool selectedLines{};       // SEIZA/LINES
    bool rotateRight{};         // ROTATE/RIGHT
    std::array<std::uint32_t, kColorCount> colors{};  // USR_CLR/CLR00..47, 0x00BBGGRR
    bool noWaitCursor{};        // PROC/SANDCLOCK
    int wideTenths{};           // DIREC/WIDE, 1..20
    int starShift{};            // MAGN/SHIFT, -50..20
    bool constellationFigures{};  // SEIZA/PICT
    bool selectedFigure{};      // SEIZA/PICT_SMART
    bool selectedName{};        // SEIZA/NAME_SMART
    bool popupDisplay{};        // SETTING/POPUP
    bool popupTapRegistration{};  // SETTING/POPUP2
    bool messier{};             // SETTING/MESIE
    bool whiteOnBlack{};        // SETTING/BW
    bool blackOnWhite{};        // SETTING/WB
    bool noColor{};             // SETTING/NOCOLOR
    bool daylight{};            // SETTING/SUN
    int limitingMagnitude{};    // SETTING/MAGNIT, 1..7 (7: all stars)
    bool sizeUp{};              // SETTING/BRIGHT
    bool brightnessUp{};        // SETTING/BRIGHT1
    bool blueOn{};              // SETTING/BRIGHT2
    bool constellationNames{};  // SETTING/SEIZA
    bool realtime{};            // SETTING/REALTIME (kept and written back only)
    bool autoUpdate{};          // SETTING/MOVING
    ObservationSite site{};     // LOCATION/* and SETTING/JISA
    bool showPole{};            // SETTING/SHOW_POLER

    // Written by Save, never read back: these start the same at every start.
    bool constellationSelection = false;  // SETTING/SELECT
    bool cursorKeys = true;               // MACHINE/CURSORKEY
    // ACTION/MENU is always written as 1.

    void Load(const SettingsStore& store);
    // The view's save operation: every entry of the view except ANIME,
    // SUPERZOOMSAVE and SHOW/MILKEY, in its fixed order.
    void Save(SettingsStore& store) const;
    void SaveTimeStep(SettingsStore& store) const;       // ANIME
    void SaveMagnifierState(SettingsStore& store) const; // SUPERZOOMSAVE
    void SaveMilkyWay(SettingsStore& store) const;       // SHOW/MILKEY
};

}  // namespace tavik
