// The main frame's toolbar state without a window: defaults, the switch
// button's cycle, menu 164, the second toolbars and the stored CMD_BAR entries;
// the toolbar icons.

#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>

#include "QtTestApp.h"
#include "app/shell/Icons.h"

#include "app/shell/ToolbarState.h"

namespace tavik {
namespace {

TEST(ToolbarState, EmptyStoreGivesTheNormalToolbarAndStrip165) {
    MemorySettingsStore store;
    ToolbarState bars(store);
    EXPECT_EQ(bars.MainIndex(), 0);
    EXPECT_EQ(bars.MainResource(), 128);
    EXPECT_EQ(bars.SecondResource(), 165);
    EXPECT_TRUE(bars.ShowSecond());
    EXPECT_TRUE(bars.MenuEnabled());

    const auto items = bars.MenuItems();
    ASSERT_EQ(items.size(), 14u);
    EXPECT_EQ(items[0].text, "通常");
    EXPECT_TRUE(items[0].checked);
    EXPECT_EQ(items[11].command, 32915);
    EXPECT_EQ(items[11].text, "星のサイズ調整");
    EXPECT_EQ(items[12].text, "ﾂｰﾙバー選択メニュー有効");
    EXPECT_EQ(items[13].text, "ツールバーを追加");
    for (int i = 1; i < 12; ++i) EXPECT_FALSE(items[static_cast<std::size_t>(i)].checked);
}

TEST(ToolbarState, EveryMainToolbarIsFramedByMenuAndSwitchButtons) {
    for (int i = 0; i < kMainToolbarCount; ++i) {
        const std::vector<int> b = MainToolbarButtons(i);
        EXPECT_EQ(b.front(), 32830);
        EXPECT_EQ(b.back(), 32878);
    }
    for (int i = 0; i < 2; ++i) {
        const auto& b = SecondToolbarButtons(i);
        EXPECT_EQ(b.size(), 33u);
        EXPECT_EQ(b[b.size() - 2], 32910);
        EXPECT_EQ(b.back(), 32916);
    }
}

TEST(ToolbarState, TwelveSwitchPressesWithoutTheMenuComeBackToTheStart) {
    MemorySettingsStore store;
    store.WriteProfileInt("CMD_BAR", "MENU", 0);
    store.WriteProfileInt("CMD_BAR", "TYPE", 4);
    ToolbarState bars(store);
    for (int press = 1; press <= 12; ++press) {
        const auto e = bars.Run(toolbar_cmd::Switch);
        EXPECT_TRUE(e.mainChanged);
        EXPECT_FALSE(e.openMenu);
        EXPECT_EQ(bars.MainIndex(), (4 + press) % 12);
        EXPECT_EQ(store.GetProfileInt("CMD_BAR", "TYPE", -1), bars.MainIndex());
    }
    EXPECT_EQ(bars.MainIndex(), 4);
}

TEST(ToolbarState, WithTheMenuOnTheSwitchOpensMenu164) {
    MemorySettingsStore store;
    ToolbarState bars(store);
    const auto e = bars.Run(toolbar_cmd::Switch);
    EXPECT_TRUE(e.openMenu);
    EXPECT_EQ(bars.MainIndex(), 0);
    // Choosing from the menu applies that toolbar.
    EXPECT_TRUE(bars.Run(32903).mainChanged);
    EXPECT_EQ(bars.MainIndex(), 7);
    EXPECT_TRUE(bars.Checked(32903));
    EXPECT_FALSE(bars.Checked(32896));
    bars.Run(toolbar_cmd::SizeToolbar);
    EXPECT_EQ(bars.MainIndex(), 11);
    // 32907 turns the menu off and stores it.
    bars.Run(toolbar_cmd::MenuEnabled);
    EXPECT_EQ(store.GetProfileInt("CMD_BAR", "MENU", -1), 0);
    EXPECT_FALSE(bars.Checked(toolbar_cmd::MenuEnabled));
    EXPECT_FALSE(bars.Run(toolbar_cmd::Switch).openMenu);
    EXPECT_EQ(bars.MainIndex(), 0);
}

TEST(ToolbarState, OneTimeMenuFlagIsClearedByChoosingAToolbar) {
    MemorySettingsStore store;
    store.WriteProfileInt("CMD_BAR", "MENU", 0);
    store.WriteProfileInt("CMD_BAR", "STS", 1);
    ToolbarState bars(store);
    EXPECT_TRUE(bars.Run(toolbar_cmd::Switch).openMenu);
    bars.Run(32899);
    EXPECT_FALSE(bars.MenuOnce());
    EXPECT_FALSE(bars.Run(toolbar_cmd::Switch).openMenu);
}

TEST(ToolbarState, SecondToolbarsAlternateBothWays) {
    MemorySettingsStore store;
    ToolbarState bars(store);
    bars.Run(toolbar_cmd::NextSecond);
    EXPECT_TRUE(bars.SecondMode());
    EXPECT_EQ(bars.SecondResource(), 171);
    EXPECT_EQ(store.GetProfileInt("CMD_BAR", "TYPEA", -1), 1);
    bars.Run(toolbar_cmd::NextSecond);
    EXPECT_EQ(bars.SecondResource(), 165);
    bars.Run(toolbar_cmd::PreviousSecond);
    EXPECT_EQ(bars.SecondResource(), 171);
    bars.Run(toolbar_cmd::PreviousSecond);
    EXPECT_EQ(bars.SecondResource(), 165);
    bars.Run(toolbar_cmd::Switch);
    EXPECT_FALSE(bars.SecondMode());

    const auto e = bars.Run(toolbar_cmd::AddSecond);
    EXPECT_TRUE(e.rebuildSecond);
    EXPECT_FALSE(bars.ShowSecond());
    EXPECT_EQ(store.GetProfileInt("CMD_BAR", "MENU_TOOL", -1), 0);
}

TEST(ToolbarState, OutOfRangeValuesAndUnknownResourcesFallBackToTheFirst) {
    MemorySettingsStore store;
    store.WriteProfileInt("CMD_BAR", "TYPE", 12);
    store.WriteProfileInt("CMD_BAR", "TYPEA", 5);
    ToolbarState bars(store);
    EXPECT_EQ(bars.MainIndex(), 0);
    EXPECT_EQ(bars.SecondIndex(), 0);
    bars.ApplyMainResource(149);
    EXPECT_EQ(bars.MainIndex(), 7);
    bars.ApplyMainResource(999);
    EXPECT_EQ(bars.MainIndex(), 0);
}

TEST(IconsTest, ToolbarIconsCarryPixmapsForHighDensityScreens) {
    test::QtApp();
    const QIcon east = CommandIcon(32796);
    EXPECT_EQ(CommandGlyph(32796), "東");
    QList<QSize> sizes = east.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(48, 48)));
    // The 2x pixmap is drawn at 2x, not scaled up from 16 pixels.
    const QImage big = east.pixmap(QSize(16, 16), 2.0).toImage();
    EXPECT_EQ(big.width(), 32);
    int white = 0;
    for (int y = 0; y < big.height(); ++y) {
        for (int x = 0; x < big.width(); ++x) white += qGray(big.pixel(x, y)) > 200 ? 1 : 0;
    }
    EXPECT_GT(white, 20) << "the glyph is drawn";
    // Every toolbar button has a glyph of its own.
    for (int i = 0; i < kMainToolbarCount; ++i) {
        for (int id : MainToolbarButtons(i)) EXPECT_NE(CommandGlyph(id), "・") << id;
    }
}

}  // namespace
}  // namespace tavik
