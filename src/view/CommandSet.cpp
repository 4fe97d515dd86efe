#include "view/CommandSet.h"

#include <algorithm>
#include <cstdio>

#include "settings/SettingsStore.h"
#include "view/ConstellationToggle.h"
#include "view/SkyRenderer.h"
#include "view/ViewCommands.h"

namespace tavik {

namespace {

std::string Format(const char* fmt, int value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, value);
    return buf;
}

// A display switch: a flag of the view settings with its notice and update rule.
struct SwitchDef {
    int id;
    bool ViewSettings::*flag;  // nullptr: an int field, see intFlag
    int ViewSettings::*intFlag;
    const char* noticeOn;   // nullptr: none
    const char* noticeOff;  // nullptr: none
    bool repaint;
    bool checkedWhenOff;    // "hide" switches are checked while the thing is shown
};

constexpr bool ViewSettings::*kNoBool = nullptr;
constexpr int ViewSettings::*kNoInt = nullptr;

const std::vector<SwitchDef>& Switches() {
    using V = ViewSettings;
    static const std::vector<SwitchDef> defs = {
        {cmd::ShowPole, &V::showPole, kNoInt, nullptr, nullptr, true, false},
        {cmd::Daylight, &V::daylight, kNoInt, nullptr, nullptr, true, false},
        {cmd::ConstellationNames, &V::constellationNames, kNoInt, "星座名表示", nullptr, true, false},
        {cmd::SizeUp, &V::sizeUp, kNoInt, "サイズ大", "サイズ小", true, false},
        {cmd::BrightnessUp, &V::brightnessUp, kNoInt, "明", "暗", true, false},
        {cmd::BlueOn, &V::blueOn, kNoInt, "青有", "青無", true, false},
        {cmd::GroundScale, &V::groundScale, kNoInt, nullptr, nullptr, true, false},
        {cmd::GroundScaleButton, &V::groundScale, kNoInt, nullptr, nullptr, true, false},
        {cmd::EquatorialGrid, &V::equatorialGrid, kNoInt, "赤道座標線", nullptr, true, false},
        {cmd::Messier, &V::messier, kNoInt, "メシエ", nullptr, true, false},
        {cmd::TapMarks, &V::tapMarksEnabled, kNoInt, nullptr, nullptr, true, false},
        {cmd::EclipticGrid, kNoBool, &V::eclipticGrid, nullptr, nullptr, true, false},
        {cmd::MessierNumbers, kNoBool, &V::messierNumbers, "メシエ番号表示", nullptr, true, false},
        {cmd::StarNames, kNoBool, &V::starNames, "星名表示", nullptr, true, false},
        {cmd::MessierJpeg, &V::messierJpeg, kNoInt, "メシエ画像表示", nullptr, true, false},
        {cmd::ZoomCentreMark, kNoBool, &V::zoomCentreMark, "ズーム中心表示", nullptr, true, false},
        {cmd::RealMoon, kNoBool, &V::realMoon, "月表示切替", nullptr, true, false},
        {cmd::HideSunMoon, kNoBool, &V::noSun, "月/太陽 非表示", nullptr, true, true},
        {cmd::HidePlanets, kNoBool, &V::noPlanet, "惑星 非表示", nullptr, true, true},
        {cmd::PlanetNames, &V::planetNames, kNoInt, "惑星を文字表示", nullptr, true, false},
        {cmd::SelectedFigure, &V::selectedFigure, kNoInt, nullptr, nullptr, false, false},
        {cmd::SelectedName, &V::selectedName, kNoInt, nullptr, nullptr, false, false},
        {cmd::SelectedLines, &V::selectedLines, kNoInt, nullptr, nullptr, false, false},
        {cmd::TapNoTurn, &V::tapNoTurn, kNoInt, nullptr, nullptr, false, false},
    };
    return defs;
}

const SwitchDef* FindSwitch(int id) {
    for (const SwitchDef& d : Switches()) {
        if (d.id == id) return &d;
    }
    return nullptr;
}

bool GetFlag(const ViewSettings& s, const SwitchDef& d) {
    return d.flag ? s.*(d.flag) : (s.*(d.intFlag)) != 0;
}

void SetFlag(ViewSettings& s, const SwitchDef& d, bool on) {
    if (d.flag) {
        s.*(d.flag) = on;
    } else {
        s.*(d.intFlag) = on ? 1 : 0;
    }
}

}  // namespace

const std::vector<CommandInfo>& AllCommands() {
    static const std::vector<CommandInfo> commands = [] {
        std::vector<CommandInfo> c = {
            {32774, "観測場所選択", true},
            {32775, "オプション１、２、３", true},
            {32776, "日付、時刻", true},
            {32777, "現在時刻セット", true},
            {32778, "自動更新", true},
            {32779, "天の北極を表示", true},
            {32780, "昼光を有効にする", true},
            {32789, "星座名表示", true},
            {32790, "サイズを上げる", true},
            {32791, "カラー表示", true},
            {32796, "東", true},
            {32797, "天頂画面", true},
            {32798, "南", true},
            {32799, "西", true},
            {32800, "北", true},
            {32801, "星座早見盤", true},
            {32805, "方角全体", true},
            {32806, "極軸調整用表示(誤差あり）", true},
            {32807, "白黒表示", true},
            {32808, "地上スケール表示", true},
            {32810, "惑星位置（日心経度）", true},
            {32811, "赤道座標表示", true},
            {32812, "メシエカタログを表示", true},
            {32813, "輝度を上げる", true},
            {32814, "青を有効にする", true},
            {32818, "全ての星座を表示", true},
            {32819, "全ての恒星を表示", true},
            {32820, "ｘｘｘ座のみ表示", true},
            {32821, "選択-表示設定ﾒﾆｭｰ", true},
            {32822, "星座絵を表示", true},
            {32823, "色指定を変更する", true},
            {32824, "4等星まで表示", true},
            {32825, "ﾒﾆｭｰを閉じる", true},
            {32826, "今日のデータ", true},
            {32830, "メニュー", true},
            {32835, "選択-星座絵", true},
            {32836, "選択-星座名", true},
            {32838, "星座複数選択", true},
            {32839, "回す（右）", true},
            {32840, "星座線を表示", true},
            {32841, "選択-星座線", true},
            {32842, "タップで方向を変えない", true},
            {32846, "高い空（仰角60度）", true},
            {32847, "中段の空（仰角45度）", true},
            {32848, "低い空（仰角30度）", true},
            {32850, "アドイン表示...", true},
            {32851, "選択-ﾀｯﾌﾟ登録ﾒﾆｭｰ", true},
            {32852, "タップを登録", true},
            {32854, "タップを変更、削除", true},
            {32856, "登録タップ位置", true},
            {32857, "赤色表示", true},
            {32858, "黒白表示", true},
            {32860, "拡大表示", true},
            {32862, "拡大ナビゲータを表示", true},
            {32863, "黄道座標表示", true},
            {32865, "フルスクリーン", true},
            {32867, "アクション上下左右移動", true},
            {32868, "望遠鏡制御を開く", true},
            {32869, "ここで同期", true},
            {32870, "ここを導入する", true},
            {32871, "選択-望遠鏡メニュー", true},
            {32872, "望遠鏡位置確認", true},
            {32873, "望遠鏡設定", true},
            {32874, "軌跡上書き", true},
            {32875, "xxx刻みで進ませる", true},
            {32876, "刻みを指定...", true},
            {32877, "現在画面をJPEG保存", true},
            {32878, "ツールバー切替", true},
            {32879, "左", true},
            {32880, "右", true},
            {32881, "上", true},
            {32882, "下", true},
            {32883, "拡大", true},
            {32884, "縮小", true},
            {32887, "左回転", true},
            {32888, "高速設定", true},
            {32889, "低速設定", true},
            {32890, "右回転", true},
            {32891, "高位置へ", true},
            {32892, "低位置へ", true},
            {32908, "設定", true},
            {32910, "次のツールバー", true},
            {32911, "ｼﾌﾄ-1", true},
            {32912, "ｼﾌﾄ+1", true},
            {32913, "ﾌｫﾝﾄ+5", true},
            {32914, "ﾌｫﾝﾄ-5", true},
            {32916, "前のツールバー", true},
            {32917, "メシエ番号表示", true},
            {32918, "星名表示", true},
            {32919, "等星-1", true},
            {32920, "等星+1", true},
            {32921, "メシエJPEG表示", true},
            {32922, "ズーム中心表示", true},
            {32923, "月表示切替", true},
            {32924, "月/太陽 非表示", true},
            {32925, "惑星 非表示", true},
            {32926, "惑星を文字表示", true},
            {32928, "地平線", true},
            {32929, "1時間進める", true},
            {32930, "1時間戻す", true},
            {32931, "10分進める", true},
            {32932, "10分戻す", true},
            {32933, "ｘｘｘ座の説明", true},
            {32934, "方角画面", true},
            {32936, "地上スケール表示", true},
            {32937, "①を設定", true},
            {32938, "②を設定", true},
            {32939, "③を設定", true},
            {32940, "①～削除", true},
            {32941, "光害+1", true},
            {32942, "光害-1", true},
            {32943, "ここをズームイン", true},
            {32944, "地平線上検索", true},
            {32960, "ｘｘｘ座の説明を編集", true},
            {32961, "天の川を表示する", true},
            {32962, "色　　　　　　　＞", true},
            {32963, "ｘｘｘ座の音声説明", true},
            {32964, "Y", true},
            {32965, "X", true},
            {32966, "天体検索", true},
            {32980, "視野設定", true},
            {32981, "視野に合わせる", true},
            {32982, "小天体データ読込", true},
            {32983, "小天体を文字表示", true},
            {32984, "今日のデータに表示", true},
            {57664, "Tavik のバージョン情報...", true},
            {57665, "プログラム終了", true},
        };
        std::sort(c.begin(), c.end(),
                  [](const CommandInfo& a, const CommandInfo& b) { return a.id < b.id; });
        return c;
    }();
    return commands;
}

const CommandInfo* FindCommand(int id) {
    const auto& all = AllCommands();
    auto it = std::lower_bound(all.begin(), all.end(), id,
                               [](const CommandInfo& c, int v) { return c.id < v; });
    return (it != all.end() && it->id == id) ? &*it : nullptr;
}

CommandSet::CommandSet(ViewState& view, ViewSettings& settings, TimeControl& time,
                       SettingsStore& store)
    : view_(view), settings_(settings), time_(time), store_(store) {}

void CommandSet::Load() {
    settings_.Load(store_);
    ApplyViewSettings(view_, settings_);
    time_.Load(store_);
    RefreshViewState(view_);
}

void CommandSet::SaveAll() {
    StoreViewSettings(view_, settings_);
    settings_.autoUpdate = time_.AutoUpdate();
    settings_.rotateRight = time_.TurnWithTime();
    settings_.Save(store_);
}

bool CommandSet::ZoomedIn() const {
    return view_.viewMode == ViewMode::Magnified && view_.magnifier.present &&
           view_.magnifier.zoom >= view_.zoomUpTo;
}

CommandResult CommandSet::Finish(bool refresh, std::string notice) {
    SaveAll();
    CommandResult r;
    r.handled = true;
    r.refresh = refresh;
    r.saved = true;
    r.notice = std::move(notice);
    return r;
}

CommandResult CommandSet::RunTime(const TimeAction& action) {
    if (action.recomputeFraming) RefreshViewState(view_);
    if (action.saveSettings) SaveAll();
    CommandResult r;
    r.handled = true;
    r.refresh = action.refresh;
    r.saved = action.saveSettings;
    return r;
}

bool IsViewCommand(int id) {
    switch (id) {
    case ViewCommand::East: case ViewCommand::Zenith: case ViewCommand::South:
    case ViewCommand::West: case ViewCommand::North: case ViewCommand::Planisphere:
    case ViewCommand::BandWhole: case ViewCommand::PolarAlignment:
    case ViewCommand::Heliocentric: case ViewCommand::BandHigh: case ViewCommand::BandMiddle:
    case ViewCommand::BandLow: case ViewCommand::TurnLeft: case ViewCommand::TurnRight:
    case ViewCommand::StepUp: case ViewCommand::StepDown: case ViewCommand::HorizonFraming:
    case ViewCommand::Direction: case ViewCommand::Magnified:
        return true;
    default:
        return false;
    }
}

bool CommandSet::Handles(int id) const {
    if (FindSwitch(id)) return true;
    switch (id) {
    case cmd::ColorDisplay: case cmd::RedMode: case cmd::BlackOnWhite: case cmd::WhiteOnBlack:
    case cmd::Lines: case cmd::Figures: case cmd::Overwrite: case cmd::MilkyWay:
    case cmd::AllStars: case cmd::PopupMagnitude: case cmd::PopupDisplay:
    case cmd::PopupTapRegistration: case cmd::PopupTelescope: case cmd::CloseMenu: case cmd::FullScreen:
    case cmd::ActionKeyMode:
    case cmd::StarShiftDown: case cmd::StarShiftUp: case cmd::FontUp: case cmd::FontDown:
    case cmd::MagnitudeDown: case cmd::MagnitudeUp: case cmd::LightPollutionUp:
    case cmd::LightPollutionDown:
    case cmd::SetNow: case cmd::AutoUpdate: case cmd::Stepping: case cmd::TurnWithTime:
    case cmd::HourForward: case cmd::HourBack: case cmd::TenMinutesForward:
    case cmd::TenMinutesBack:
        return true;
    default:
        return IsViewCommand(id);
    }
}

std::optional<CommandResult> CommandSet::RunSwitch(int id) {
    const SwitchDef* d = FindSwitch(id);
    if (!d) return std::nullopt;
    if (id == cmd::MessierNumbers && !settings_.messier) return CommandResult{};  // disabled
    const bool on = !GetFlag(settings_, *d);
    SetFlag(settings_, *d, on);
    const char* notice = on ? d->noticeOn : d->noticeOff;
    return Finish(d->repaint, notice ? notice : "");
}

std::optional<CommandResult> CommandSet::RunColor(int id) {
    ViewSettings& s = settings_;
    switch (id) {
    case cmd::RedMode:
        s.allRed = !s.allRed;
        if (!s.allRed) return Finish(true);
        s.whiteOnBlack = s.blackOnWhite = false;
        return Finish(true, "赤表示");
    case cmd::BlackOnWhite:
        s.blackOnWhite = !s.blackOnWhite;
        if (!s.blackOnWhite) return Finish(true);
        s.whiteOnBlack = s.allRed = false;
        return Finish(true, "白黒");
    case cmd::WhiteOnBlack:
        s.whiteOnBlack = !s.whiteOnBlack;
        if (!s.whiteOnBlack) return Finish(true);
        s.blackOnWhite = s.allRed = false;
        return Finish(true, "黒白");
    case cmd::ColorDisplay:
        s.noColor = !s.noColor;
        if (s.noColor) return Finish(true, "色なし");
        s.whiteOnBlack = s.blackOnWhite = s.allRed = false;
        return Finish(true);
    case cmd::Lines:
    case cmd::Figures: {
        // Switching a layer on first makes sure its file is there.
        bool& flag = id == cmd::Lines ? s.constellationLines : s.constellationFigures;
        const ConstellationToggle t = ToggleConstellationLayer(
            flag, id == cmd::Lines ? ConstellationLayer::Lines : ConstellationLayer::Figures,
            dataDirectory_);
        flag = t.on;
        CommandResult r = Finish(true, t.notice);
        r.error = t.errorMessage;
        return r;
    }
    case cmd::Overwrite:
        return Finish(true, ToggleOverwrite(overwrite_));
    case cmd::MilkyWay: {
        // Its own entry, written by this command only.
        s.milkyWay = s.milkyWay != 0 ? 0 : 1;
        s.SaveMilkyWay(store_);
        CommandResult r;
        r.handled = true;
        r.refresh = true;
        r.saved = true;
        return r;
    }
    case cmd::PopupDisplay:
        s.popupDisplay = !s.popupDisplay;
        if (s.popupDisplay) s.popupTapRegistration = s.popupTelescope = false;
        return Finish(false);
    case cmd::PopupTapRegistration:
        s.popupTapRegistration = !s.popupTapRegistration;
        if (s.popupTapRegistration) s.popupDisplay = s.popupTelescope = false;
        return Finish(false);
    case cmd::FullScreen:
        // The window without menus and toolbars; the chart keeps its size
        // while full screen lasts (the shell fits it to the screen first).
        view_.fullScreen = !view_.fullScreen;
        return Finish(true, view_.fullScreen ? "フルスクリーン" : "");
    case cmd::PopupTelescope:
        if (s.telescopeControl != 1) return CommandResult{};  // disabled
        s.popupTelescope = !s.popupTelescope;
        if (s.popupTelescope) s.popupDisplay = s.popupTapRegistration = false;
        return Finish(false);
    case cmd::ActionKeyMode:
        // What the hardware keys do: cursor keys, then the action key's modes in
        // turn (zooming the panel only while there is one).
        if (s.cursorKeys) {
            s.cursorKeys = false;
        } else if (s.actionFunction == 0) {
            s.actionFunction = 1;
        } else if (s.actionFunction == 1 && view_.magnifier.present) {
            s.actionFunction = 2;
        } else {
            s.actionFunction = 0;
        }
        return Finish(false);
    default:
        return std::nullopt;
    }
}

std::optional<CommandResult> CommandSet::RunTuning(int id) {
    ViewSettings& s = settings_;
    const bool zoomed = ZoomedIn();
    switch (id) {
    case cmd::StarShiftUp:
    case cmd::StarShiftDown: {
        const int delta = id == cmd::StarShiftUp ? 1 : -1;
        int& shift = zoomed ? s.zoomStarShift : s.starShift;
        shift += delta;
        return Finish(true, Format(zoomed ? "ｼﾌﾄ=%d(拡大用)" : "ｼﾌﾄ=%d", shift));
    }
    case cmd::FontUp:
        s.fontSize += 5;
        return Finish(true, Format("ﾌｫﾝﾄ=%d", s.fontSize));
    case cmd::FontDown:
        s.fontSize = std::max(30, s.fontSize - 5);
        return Finish(true, Format("ﾌｫﾝﾄ=%d", s.fontSize));
    case cmd::MagnitudeUp:
    case cmd::MagnitudeDown: {
        if (!State(id).enabled) return CommandResult{};
        const int delta = id == cmd::MagnitudeUp ? 1 : -1;
        int& limit = zoomed ? view_.zoomMagnitude : view_.limitMagnitude;
        limit = std::clamp(limit + delta, 1, 7);
        return Finish(true, Format(zoomed ? "%d等星(拡大用)" : "%d等星", limit));
    }
    case cmd::LightPollutionUp:
        s.lightPollution = std::min(20, s.lightPollution + 1);
        return Finish(true, Format("光害 %d", s.lightPollution));
    case cmd::LightPollutionDown:
        s.lightPollution = std::max(0, s.lightPollution - 1);
        return Finish(true, Format("光害 %d", s.lightPollution));
    case cmd::AllStars:
        view_.limitMagnitude = 7;
        return Finish(true);
    case cmd::PopupMagnitude:
        view_.limitMagnitude = std::clamp(store_.GetProfileInt("POPUPMENU", "MAG", 4), 1, 7);
        return Finish(true);
    default:
        return std::nullopt;
    }
}

CommandResult CommandSet::Run(int id) {
    if (auto r = RunSwitch(id)) return *r;
    if (auto r = RunColor(id)) return *r;
    if (auto r = RunTuning(id)) return *r;
    switch (id) {
    case cmd::SetNow: return RunTime(time_.SetToNow());
    case cmd::AutoUpdate: return RunTime(time_.ToggleAutoUpdate(store_));
    case cmd::Stepping:
        if (time_.AutoUpdate()) return {};
        return RunTime(time_.ToggleStepping());
    case cmd::TurnWithTime:
        if (!time_.TurnItem().enabled) return {};
        return RunTime(time_.TurnOrStep());
    case cmd::HourForward: return RunTime(time_.HourForward());
    case cmd::HourBack: return RunTime(time_.HourBack());
    case cmd::TenMinutesForward: return RunTime(time_.TenMinutesForward());
    case cmd::TenMinutesBack: return RunTime(time_.TenMinutesBack());
    default:
        break;
    }
    CommandOutcome o = RunViewCommand(view_, id);
    if (!o.handled) return {};
    if (o.save) SaveAll();
    CommandResult r;
    r.handled = true;
    r.refresh = true;
    r.saved = o.save;
    r.notice = o.notice;
    return r;
}

ItemState CommandSet::State(int id) const {
    if (const SwitchDef* d = FindSwitch(id)) {
        ItemState st;
        const bool on = GetFlag(settings_, *d);
        st.checked = d->checkedWhenOff ? !on : on;
        if (id == cmd::MessierNumbers) {
            st.enabled = settings_.messier;
            st.checked = st.enabled && on;
        }
        return st;
    }
    const ViewSettings& s = settings_;
    const bool zoomed = ZoomedIn();
    switch (id) {
    case cmd::RedMode:
        return MakeItem(true, s.allRed, s.allRed ? "赤表示中" : "赤で表示する");
    case cmd::BlackOnWhite:
        return MakeItem(true, s.blackOnWhite, s.blackOnWhite ? "黒白表示中" : "黒白表示する");
    case cmd::WhiteOnBlack:
        return MakeItem(true, s.whiteOnBlack, s.whiteOnBlack ? "白黒表示中" : "白黒表示する");
    case cmd::ColorDisplay:
        return MakeItem(true, !s.noColor, s.noColor ? "カラー表示する" : "カラー表示中");
    case cmd::Lines: return MakeItem(true, s.constellationLines);
    case cmd::Figures: return MakeItem(true, s.constellationFigures);
    case cmd::Overwrite: return MakeItem(true, overwrite_);
    case cmd::MilkyWay: return MakeItem(true, s.milkyWay != 0);
    case cmd::PopupDisplay: return MakeItem(true, s.popupDisplay);
    case cmd::PopupTapRegistration: return MakeItem(true, s.popupTapRegistration);
    case cmd::PopupTelescope: return MakeItem(s.telescopeControl == 1, s.popupTelescope);
    // The telescope commands need telescope control on.
    case cmd::TelescopeControl: case cmd::TelescopePosition:
    case 32887: case 32888: case 32889: case 32890: case 32891: case 32892:
        return MakeItem(s.telescopeControl == 1, false);
    case 32862: case cmd::PanelZoomIn: case cmd::PanelZoomOut:
    case cmd::KeyZoomIn: case cmd::KeyZoomOut: case cmd::FitFields:
        // Only while the magnifier panel exists.
        return MakeItem(view_.magnifier.present, false);
    case ViewCommand::Magnified: {
        const ViewMode m = view_.viewMode;
        if (m == ViewMode::Magnified) return MakeItem(true, true, "拡大表示中");
        const bool chart = m == ViewMode::Planisphere || m == ViewMode::PolarAlignment ||
                           m == ViewMode::Heliocentric;
        return MakeItem(true, false, chart ? "拡大表示画面" : "拡大表示する");
    }
    case cmd::TelescopeSwitch: {
        const bool on = s.telescopeControl == 1;
        return MakeItem(true, on, on ? "望遠鏡制御を停止" : "望遠鏡設定");
    }
    case cmd::CloseMenu: return MakeItem(true, false);
    case cmd::FullScreen: return MakeItem(true, view_.fullScreen);
    case cmd::ActionKeyMode: {
        // The text says what the next press does.
        const char* text = s.cursorKeys                 ? "アクションキーモードにする"
                           : s.actionFunction == 0      ? "アクション左右＝＞上下移動に"
                           : s.actionFunction == 1      ? (view_.magnifier.present ? "アクション上下＝＞ズーム変更に"
                                                                                  : "アクション上下＝＞左右移動に")
                                                        : "アクションズーム＝＞左右移動に";
        return MakeItem(true, false, text);
    }
    case cmd::MagnitudeDown:
        return MakeItem((zoomed ? view_.zoomMagnitude : view_.limitMagnitude) > 1, false);
    case cmd::MagnitudeUp:
        return MakeItem((zoomed ? view_.zoomMagnitude : view_.limitMagnitude) < 7, false);
    case cmd::PopupMagnitude:
        return MakeItem(true, false,
                        Format("%d等星まで表示", store_.GetProfileInt("POPUPMENU", "MAG", 4)));
    case cmd::SetNow: return time_.SetNowItem();
    case cmd::DateTimeDialog: return time_.DateTimeItem();
    case cmd::AutoUpdate: return time_.AutoUpdateItem();
    case cmd::Stepping: return time_.SteppingItem();
    case cmd::StepInterval: return time_.IntervalItem();
    case cmd::TurnWithTime: return time_.TurnItem();
    default:
        break;
    }
    if (const CommandInfo* info = FindCommand(id); info && !info->built) {
        return MakeItem(false, false);
    }
    if (IsViewCommand(id)) {
        const CommandState vs = ViewCommandState(view_, id);
        return MakeItem(vs.enabled, vs.checked);
    }
    // Every other command (one-shot actions, dialogs) is always there.
    return MakeItem(true, false);
}

}  // namespace tavik
