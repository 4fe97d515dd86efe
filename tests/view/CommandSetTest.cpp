// The command set: switches, colour schemes, pop-up menu choices and star
// tuning change the settings, save them at once and report their notices;
// update handlers give check marks, enabled states and texts.

#include <gtest/gtest.h>

#include <cstring>

#include "settings/SettingsStore.h"
#include "catalog/StarRecord.h"
#include "view/CommandSet.h"
#include "view/Menus.h"
#include "view/ViewCommands.h"

namespace tavik {
namespace {

class NullClock final : public Clock {
public:
    DateTime Now() const override { return DateTime(2026, 3, 10, 21, 0, 0); }
};

class NullTimers final : public TimerHost {
public:
    void StartTimer(int, int) override {}
    void KillTimer(int) override {}
};

class CommandSetTest : public ::testing::Test {
protected:
    CommandSetTest() { commands.Load(); }
    NullClock clock;
    NullTimers timers;
    MemorySettingsStore store;
    ViewState view;
    ViewSettings settings;
    TimeControl time{clock, timers};
    CommandSet commands{view, settings, time, store};
};

TEST_F(CommandSetTest, SizeUpNoticesBothWaysOtherSwitchesOnlyWhenTurningOn) {
    CommandResult r = commands.Run(cmd::SizeUp);
    EXPECT_TRUE(r.handled && r.refresh && r.saved);
    EXPECT_EQ(r.notice, "サイズ大");
    EXPECT_EQ(commands.Run(cmd::SizeUp).notice, "サイズ小");

    EXPECT_EQ(commands.Run(cmd::ConstellationNames).notice, "星座名表示");
    EXPECT_EQ(commands.Run(cmd::ConstellationNames).notice, "");
    EXPECT_EQ(commands.Run(cmd::EquatorialGrid).notice, "赤道座標線");
    EXPECT_EQ(commands.Run(cmd::BrightnessUp).notice, "明");
    EXPECT_EQ(commands.Run(cmd::BrightnessUp).notice, "暗");
}

TEST_F(CommandSetTest, EverySwitchIsSavedAtOnceAndChecked) {
    struct Case {
        int id;
        const char* section;
        const char* entry;
    };
    for (const Case& c : {Case{cmd::ConstellationNames, "SETTING", "SEIZA"},
                          Case{cmd::GroundScale, "SCREEN", "GRAND_S"},
                          Case{cmd::Messier, "SETTING", "MESIE"},
                          Case{cmd::PlanetNames, "SCREEN", "PLA_NAME"},
                          Case{cmd::TapNoTurn, "TAP", "NODIR"}}) {
        const bool before = commands.State(c.id).checked;
        commands.Run(c.id);
        EXPECT_NE(commands.State(c.id).checked, before) << c.id;
        EXPECT_EQ(store.GetProfileInt(c.section, c.entry, -1), before ? 0 : 1) << c.id;
    }
    // The toolbar's ground-scale button is the same switch.
    const bool ground = commands.State(cmd::GroundScale).checked;
    commands.Run(cmd::GroundScaleButton);
    EXPECT_NE(commands.State(cmd::GroundScale).checked, ground);
    EXPECT_EQ(commands.State(cmd::GroundScaleButton).checked, commands.State(cmd::GroundScale).checked);
    // The "select" switches do not redraw.
    EXPECT_FALSE(commands.Run(cmd::SelectedName).refresh);
}

TEST_F(CommandSetTest, HideSwitchesAreCheckedWhileTheThingIsShown) {
    EXPECT_TRUE(commands.State(cmd::HideSunMoon).checked);
    EXPECT_EQ(commands.Run(cmd::HideSunMoon).notice, "月/太陽 非表示");
    EXPECT_FALSE(commands.State(cmd::HideSunMoon).checked);
    EXPECT_EQ(store.GetProfileInt("OPTION2", "NO_SUN", -1), 1);
}

TEST_F(CommandSetTest, ColourBackOnClearsTheThreeSchemes) {
    commands.Run(cmd::RedMode);
    EXPECT_EQ(commands.State(cmd::RedMode).text, "赤表示中");
    EXPECT_EQ(commands.Run(cmd::ColorDisplay).notice, "色なし");
    EXPECT_EQ(commands.State(cmd::ColorDisplay).text, "カラー表示する");
    EXPECT_FALSE(commands.State(cmd::ColorDisplay).checked);
    settings.whiteOnBlack = true;
    settings.blackOnWhite = true;
    commands.Run(cmd::ColorDisplay);
    EXPECT_TRUE(commands.State(cmd::ColorDisplay).checked);
    EXPECT_EQ(commands.State(cmd::ColorDisplay).text, "カラー表示中");
    EXPECT_FALSE(settings.allRed || settings.whiteOnBlack || settings.blackOnWhite);
    EXPECT_EQ(store.GetProfileInt("COLOR", "ALLRED", -1), 0);
    EXPECT_EQ(store.GetProfileInt("SETTING", "BW", -1), 0);
}

TEST_F(CommandSetTest, ColourSchemesExcludeEachOther) {
    EXPECT_EQ(commands.Run(cmd::WhiteOnBlack).notice, "黒白");
    EXPECT_EQ(commands.Run(cmd::RedMode).notice, "赤表示");
    EXPECT_FALSE(settings.whiteOnBlack);
    EXPECT_EQ(commands.Run(cmd::BlackOnWhite).notice, "白黒");
    EXPECT_FALSE(settings.allRed);
    EXPECT_EQ(commands.State(cmd::RedMode).text, "赤で表示する");
    EXPECT_EQ(commands.State(cmd::BlackOnWhite).text, "黒白表示中");
    EXPECT_EQ(commands.Run(cmd::BlackOnWhite).notice, "");
}

TEST_F(CommandSetTest, PopupMenuChoicesClearTheOthersOnlyWhenTurnedOn) {
    settings.popupDisplay = false;
    settings.popupTapRegistration = true;
    settings.popupTelescope = true;
    EXPECT_FALSE(commands.Run(cmd::PopupDisplay).refresh);
    EXPECT_TRUE(settings.popupDisplay);
    EXPECT_FALSE(settings.popupTapRegistration);
    EXPECT_FALSE(settings.popupTelescope);
    commands.Run(cmd::PopupDisplay);
    EXPECT_FALSE(settings.popupDisplay || settings.popupTapRegistration || settings.popupTelescope);
    commands.Run(cmd::PopupTapRegistration);
    EXPECT_TRUE(commands.State(cmd::PopupTapRegistration).checked);
    EXPECT_FALSE(commands.State(cmd::PopupDisplay).checked);
}

TEST_F(CommandSetTest, StarTuningLimitsAndNotices) {
    settings.fontSize = 40;
    EXPECT_EQ(commands.Run(cmd::FontDown).notice, "ﾌｫﾝﾄ=35");
    EXPECT_EQ(commands.Run(cmd::FontDown).notice, "ﾌｫﾝﾄ=30");
    EXPECT_EQ(commands.Run(cmd::FontDown).notice, "ﾌｫﾝﾄ=30");
    EXPECT_EQ(store.GetProfileInt("FONT", "SIZE", -1), 30);

    EXPECT_EQ(commands.Run(cmd::StarShiftUp).notice, "ｼﾌﾄ=1");
    settings.lightPollution = 20;
    EXPECT_EQ(commands.Run(cmd::LightPollutionUp).notice, "光害 20");

    view.limitMagnitude = 6;
    EXPECT_EQ(commands.Run(cmd::MagnitudeUp).notice, "7等星");
    EXPECT_FALSE(commands.State(cmd::MagnitudeUp).enabled);
    EXPECT_FALSE(commands.Run(cmd::MagnitudeUp).handled);
    EXPECT_EQ(view.limitMagnitude, 7);
    view.limitMagnitude = 1;
    EXPECT_FALSE(commands.State(cmd::MagnitudeDown).enabled);
}

TEST_F(CommandSetTest, LimitCommandsOfThePopupMenuShowNoNotice) {
    CommandResult r = commands.Run(cmd::AllStars);
    EXPECT_EQ(r.notice, "");
    EXPECT_EQ(store.GetProfileInt("SETTING", "MAGNIT", -1), 7);
    store.WriteProfileInt("POPUPMENU", "MAG", 5);
    EXPECT_EQ(commands.State(cmd::PopupMagnitude).text, "5等星まで表示");
    r = commands.Run(cmd::PopupMagnitude);
    EXPECT_EQ(r.notice, "");
    EXPECT_EQ(store.GetProfileInt("SETTING", "MAGNIT", -1), 5);
}

TEST_F(CommandSetTest, MessierNumbersOnlyWhileMessierObjectsAreShown) {
    settings.messier = false;
    settings.messierNumbers = 0;
    EXPECT_FALSE(commands.State(cmd::MessierNumbers).enabled);
    EXPECT_FALSE(commands.Run(cmd::MessierNumbers).handled);
    commands.Run(cmd::Messier);
    EXPECT_TRUE(commands.State(cmd::MessierNumbers).enabled);
    EXPECT_EQ(commands.Run(cmd::MessierNumbers).notice, "メシエ番号表示");
    EXPECT_TRUE(commands.State(cmd::MessierNumbers).checked);
}

TEST_F(CommandSetTest, ViewAndTimeCommandsGoThroughTheSameEntry) {
    commands.Run(ViewCommand::Direction);
    commands.Run(ViewCommand::East);
    EXPECT_TRUE(commands.State(ViewCommand::East).checked);
    EXPECT_FALSE(commands.State(ViewCommand::South).checked);
    EXPECT_EQ(store.GetProfileInt("SETTING", "DIRECT", -1), Facing::East);
    const CommandResult r = commands.Run(ViewCommand::Planisphere);
    EXPECT_EQ(r.notice, "早見に切替");
    EXPECT_TRUE(commands.State(ViewCommand::Planisphere).checked);

    EXPECT_EQ(commands.State(cmd::Stepping).text, "3分刻みで進める");
    commands.Run(cmd::AutoUpdate);
    EXPECT_FALSE(commands.State(cmd::Stepping).enabled);
    EXPECT_FALSE(commands.Run(cmd::Stepping).handled);
    EXPECT_EQ(store.GetProfileInt("SETTING", "MOVING", -1), 1);
    commands.Run(cmd::TurnWithTime);
    EXPECT_EQ(store.GetProfileInt("ROTATE", "RIGHT", -1), 1);
}

TEST_F(CommandSetTest, ConstellationLayersNeedTheirFiles) {
    settings.constellationLines = false;
    settings.constellationFigures = false;
    commands.SetDataDirectory("/nonexistent/");
    CommandResult r = commands.Run(cmd::Lines);
    EXPECT_FALSE(r.error.empty());
    EXPECT_FALSE(commands.State(cmd::Lines).checked);
    EXPECT_EQ(store.GetProfileInt("SEIZA", "LINE", -1), 0);

    commands.SetDataDirectory(TAVIK_DATA_DIR "/");
    r = commands.Run(cmd::Lines);
    EXPECT_TRUE(r.error.empty());
    EXPECT_TRUE(commands.State(cmd::Lines).checked);
    EXPECT_EQ(store.GetProfileInt("SEIZA", "LINE", -1), 1);
    EXPECT_TRUE(commands.Run(cmd::Figures).error.empty());
    EXPECT_TRUE(commands.State(cmd::Figures).checked);
    // Switching off always works, also without the file.
    commands.SetDataDirectory("/nonexistent/");
    EXPECT_TRUE(commands.Run(cmd::Lines).error.empty());
    EXPECT_FALSE(commands.State(cmd::Lines).checked);
}

TEST_F(CommandSetTest, OverwriteIsAViewFlagThatIsNotKept) {
    EXPECT_FALSE(commands.State(cmd::Overwrite).checked);
    EXPECT_EQ(commands.Run(cmd::Overwrite).notice, "");
    EXPECT_TRUE(commands.Overwrite());
    EXPECT_TRUE(commands.State(cmd::Overwrite).checked);
    EXPECT_EQ(commands.Run(cmd::Overwrite).notice, "上書き解除");
    EXPECT_FALSE(commands.Overwrite());
}

TEST_F(CommandSetTest, MilkyWayWritesOnlyItsOwnEntry) {
    settings.milkyWay = 0;
    store.ClearWriteLog();
    const CommandResult r = commands.Run(cmd::MilkyWay);
    EXPECT_TRUE(r.refresh);
    EXPECT_TRUE(commands.State(cmd::MilkyWay).checked);
    EXPECT_EQ(store.WriteLog(), std::vector<std::string>{"SHOW/MILKEY"});
    EXPECT_EQ(store.GetProfileInt("SHOW", "MILKEY", -1), 1);
}

TEST(CommandTable, SortedUniqueWithTexts) {
    const auto& all = AllCommands();
    for (std::size_t i = 1; i < all.size(); ++i) EXPECT_LT(all[i - 1].id, all[i].id);
    ASSERT_NE(FindCommand(32875), nullptr);
    EXPECT_STREQ(FindCommand(32774)->text, "観測場所選択");
    EXPECT_EQ(FindCommand(12345), nullptr);
}

TEST(CommandTable, NoMenuShowsANumberForAText) {
    StarRecord star;
    std::memcpy(star.constellation, "Ori", 3);
    auto check = [](const std::vector<MenuEntry>& entries, auto& self) -> void {
        for (const MenuEntry& e : entries) {
            EXPECT_TRUE(e.IsSeparator() || e.text.find_first_not_of("0123456789") != std::string::npos)
                << e.id << " shows " << e.text;
            self(e.children, self);
        }
    };
    for (PopupKind kind : {PopupKind::Display, PopupKind::TapRegistration, PopupKind::Telescope, PopupKind::ActionKey}) {
        for (const StarRecord* tapped : {static_cast<const StarRecord*>(nullptr), static_cast<const StarRecord*>(&star)}) {
            PopupContext c;
            c.mode = ViewMode::Direction;
            c.tapped = tapped;
            c.telescopeControl = c.magnifierPanelExists = c.magnifierPanelHidden = true;
            check(BuildPopupMenu(kind, c, {}), check);
        }
    }
    for (const MenuDef& m : MainMenus())
        for (int id : m.items) EXPECT_TRUE(id == 0 || FindCommand(id) != nullptr) << m.title << " " << id;
}

}  // namespace
}  // namespace tavik
