#pragma once
// The sky view's command set: every command identifier with its menu text (or
// toolbar tip), and the window-free part of the commands — display switches,
// colour schemes, star tuning, pop-up menu choices, the view mode and direction
// commands and the time commands — with their update handlers (check mark,
// enabled state, menu text). Commands that open a dialog or a window are run by
// the application shell; this class only reports their item state.
//
// Every command that changes a setting ends with the view's full save, so a
// crash loses nothing that was switched.

#include <optional>
#include <string>
#include <vector>

#include "settings/ViewSettings.h"
#include "view/TimeControl.h"
#include "view/ViewState.h"

namespace tavik {

class SettingsStore;

// Identifiers of the commands the shell hosts.
namespace cmd {
inline constexpr int SiteDialog = 32774;
inline constexpr int OptionDialogs = 32775;
inline constexpr int DateTimeDialog = 32776;
inline constexpr int SetNow = 32777;
inline constexpr int AutoUpdate = 32778;
inline constexpr int ShowPole = 32779;
inline constexpr int Daylight = 32780;
inline constexpr int ConstellationNames = 32789;
inline constexpr int SizeUp = 32790;
inline constexpr int ColorDisplay = 32791;
inline constexpr int WhiteOnBlack = 32807;
inline constexpr int GroundScale = 32808;
inline constexpr int GroundScaleButton = 32936;  // the same switch on the toolbar
inline constexpr int EquatorialGrid = 32811;
inline constexpr int Messier = 32812;
inline constexpr int BrightnessUp = 32813;
inline constexpr int BlueOn = 32814;
inline constexpr int AllConstellations = 32818;
inline constexpr int AllStars = 32819;
inline constexpr int OnlyConstellation = 32820;
inline constexpr int PopupDisplay = 32821;
inline constexpr int Figures = 32822;
inline constexpr int ColorDialog = 32823;
inline constexpr int PopupMagnitude = 32824;
inline constexpr int CloseMenu = 32825;
inline constexpr int TodaysData = 32826;
inline constexpr int MenuSwitch = 32830;
inline constexpr int SelectedFigure = 32835;
inline constexpr int ConstellationChoice = 32838;
inline constexpr int SelectedName = 32836;
inline constexpr int TurnWithTime = 32839;
inline constexpr int Lines = 32840;
inline constexpr int AddInList = 32850;
inline constexpr int TapRegister = 32852;
inline constexpr int TapChange = 32854;
inline constexpr int SelectedLines = 32841;
inline constexpr int TapNoTurn = 32842;
inline constexpr int PopupTapRegistration = 32851;
inline constexpr int TapMarks = 32856;
inline constexpr int RedMode = 32857;
inline constexpr int BlackOnWhite = 32858;
inline constexpr int EclipticGrid = 32863;
inline constexpr int FullScreen = 32865;
inline constexpr int ActionKeyMode = 32867;
inline constexpr int TelescopeControl = 32868;
inline constexpr int SyncHere = 32869;
inline constexpr int GotoHere = 32870;
inline constexpr int PopupTelescope = 32871;
inline constexpr int TelescopePosition = 32872;
inline constexpr int TelescopeSwitch = 32873;
inline constexpr int ScreenCapture = 32877;
inline constexpr int ScopeLeft = 32887;
inline constexpr int ScopeFast = 32888;
inline constexpr int ScopeSlow = 32889;
inline constexpr int ScopeRight = 32890;
inline constexpr int ScopeUp = 32891;
inline constexpr int ScopeDown = 32892;
inline constexpr int Overwrite = 32874;
inline constexpr int Stepping = 32875;
inline constexpr int StepInterval = 32876;
inline constexpr int ToolbarSwitch = 32878;
inline constexpr int StarShiftDown = 32911;
inline constexpr int StarShiftUp = 32912;
inline constexpr int FontUp = 32913;
inline constexpr int FontDown = 32914;
inline constexpr int MessierNumbers = 32917;
inline constexpr int StarNames = 32918;
inline constexpr int MagnitudeDown = 32919;
inline constexpr int MagnitudeUp = 32920;
inline constexpr int MessierJpeg = 32921;
inline constexpr int ZoomCentreMark = 32922;
inline constexpr int RealMoon = 32923;
inline constexpr int HideSunMoon = 32924;
inline constexpr int HidePlanets = 32925;
inline constexpr int PlanetNames = 32926;
inline constexpr int HourForward = 32929;
inline constexpr int HourBack = 32930;
inline constexpr int TenMinutesForward = 32931;
inline constexpr int TenMinutesBack = 32932;
inline constexpr int LightPollutionUp = 32941;
inline constexpr int Description = 32933;
inline constexpr int DescriptionEdit = 32960;
inline constexpr int MilkyWay = 32961;
inline constexpr int DescriptionSpeech = 32963;
inline constexpr int LightPollutionDown = 32942;
inline constexpr int ZoomHere = 32943;
inline constexpr int HorizonSearch = 32944;
inline constexpr int ObjectSearch = 32966;  // "天体検索" (Ctrl+F)
inline constexpr int LoadMinorBodies = 32982;  // "小天体データ読込"
inline constexpr int MinorBodyNames = 32983;   // "小天体を文字表示"
inline constexpr int MinorBodyToday = 32984;   // "今日のデータに表示": the tapped comet or asteroid
inline constexpr int SettingsMenuButton = 32908;  // opens the 設定 menu
inline constexpr int ColorMenu = 32962;           // opens the 色 menu
inline constexpr int PanelZoomIn = 32883;
inline constexpr int PanelZoomOut = 32884;
inline constexpr int KeyZoomIn = 32964;   // accelerator Y: the panel's zoom in
inline constexpr int KeyZoomOut = 32965;  // accelerator X: the panel's zoom out
inline constexpr int FieldOfViewDialog = 32980;  // "視野設定"
inline constexpr int FitFields = 32981;          // "視野に合わせる": the magnified view's zoom to the widest field
inline constexpr int About = 57664;
inline constexpr int Exit = 57665;
}  // namespace cmd

// One command as menus and toolbars show it.
struct CommandInfo {
    int id;
    const char* text;  // menu text, or the toolbar tip for toolbar-only commands (UTF-8)
    bool built;        // false: part of the program that is not available yet
};
// Every command the shell knows, in identifier order.
const std::vector<CommandInfo>& AllCommands();
// The entry for `id`, or nullptr.
const CommandInfo* FindCommand(int id);
// The mode, direction and turning commands, whose state the view state decides.
bool IsViewCommand(int id);

// What the shell must do after a command.
struct CommandResult {
    bool handled = false;
    bool refresh = false;      // RefreshView: recompute the framing and repaint
    bool saved = false;        // the view settings were written
    std::string notice;        // ShowNotice text (UTF-8), empty for none
    std::string error;         // error message-box text (UTF-8), empty for none
};

class CommandSet {
public:
    CommandSet(ViewState& view, ViewSettings& settings, TimeControl& time, SettingsStore& store);

    // Reads the view's settings, the view state and the time settings.
    void Load();
    // The view's save operation: the view state and the time flags are copied
    // into the settings, which are written in their fixed order.
    void SaveAll();

    // True for the commands Run handles (the ones without a dialog).
    bool Handles(int id) const;
    CommandResult Run(int id);
    // Update handler: enabled, checked and (when not empty) the item text.
    ItemState State(int id) const;

    // The magnified view at or above the zoom threshold: star tuning then acts
    // on the zoom values.
    bool ZoomedIn() const;

    // Where the constellation files are looked for (with a trailing '/').
    void SetDataDirectory(std::string dir) { dataDirectory_ = std::move(dir); }
    // The trail flag of "軌跡上書き": not persisted, off at start.
    bool Overwrite() const { return overwrite_; }

    ViewState& View() { return view_; }
    ViewSettings& Settings() { return settings_; }
    TimeControl& Time() { return time_; }

private:
    CommandResult Finish(bool refresh, std::string notice = {});
    CommandResult RunTime(const TimeAction& action);
    std::optional<CommandResult> RunSwitch(int id);
    std::optional<CommandResult> RunColor(int id);
    std::optional<CommandResult> RunTuning(int id);

    ViewState& view_;
    ViewSettings& settings_;
    TimeControl& time_;
    SettingsStore& store_;
    std::string dataDirectory_;
    bool overwrite_ = false;
};

}  // namespace tavik
