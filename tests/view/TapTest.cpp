// Tapping the chart: which drawn object a tap finds, what it writes, and which
// pop-up menu a long press opens with which items.

#include <gtest/gtest.h>

#include <algorithm>

#include "catalog/ShiftJis.h"
#include "settings/ViewSettings.h"
#include "view/HitList.h"
#include "view/Menus.h"
#include "view/TapInfo.h"

namespace tavik {
namespace {

StarRecord Star(const char* designation, const char* constellation, double mag) {
    StarRecord r;
    r.SetDesignation(designation);
    r.SetConstellation(constellation);
    r.mag = mag;
    r.kind = kKindStar;
    return r;
}

TEST(FindTapTarget, BrightestInTheBoxWinsAndTheBoxExcludesItsRightAndBottomEdges) {
    const StarRecord faint = Star(" 21Bet Ori", "Ori", 2.0);
    const StarRecord bright = Star(" 58Alp Ori", "Ori", 1.5);
    const StarRecord flamsteedOnly = Star(" 40   Ori", "Ori", -3.0);
    HitList hits;
    hits.Add(faint, 100, 100);
    hits.Add(bright, 103, 100);
    hits.Add(flamsteedOnly, 101, 100);
    for (int x : {100, 103}) {
        const TapTarget t = FindTapTarget(hits, x, 100, false);
        ASSERT_EQ(t.record, &bright) << "from x " << x;
        EXPECT_EQ(t.x, 103);
    }
    HitList one;
    one.Add(faint, 50, 50);
    EXPECT_EQ(FindTapTarget(one, 46, 50, false).record, &faint) << "4 pixels left hits";
    EXPECT_EQ(FindTapTarget(one, 54, 50, false).record, nullptr) << "4 pixels right misses";
    EXPECT_EQ(FindTapTarget(one, 50, 54, false).record, nullptr) << "4 pixels below misses";

    // Equal magnitudes: the earlier entry; a star with only a Flamsteed number is never found.
    HitList ties;
    const StarRecord twin = Star(" 19Gam Ori", "Ori", 2.0);
    ties.Add(faint, 10, 10);
    ties.Add(twin, 11, 10);
    EXPECT_EQ(FindTapTarget(ties, 10, 10, false).record, &faint);
    HitList flamsteed;
    flamsteed.Add(flamsteedOnly, 10, 10);
    EXPECT_EQ(FindTapTarget(flamsteed, 10, 10, false).record, nullptr);

    // Tap marks only while they are enabled.
    StarRecord mark;
    mark.SetSpectral("!TP!");
    mark.mag = 0;
    HitList marks;
    marks.Add(mark, 5, 5);
    EXPECT_EQ(FindTapTarget(marks, 5, 5, false).record, nullptr);
    EXPECT_EQ(FindTapTarget(marks, 5, 5, true).record, &mark);
}

// In the deep set a Messier object shares its 4 pixels with unnamed NGC/IC
// objects, some listed brighter: the tap names the Messier object, but a star or
// a named object that is brighter keeps the tap.
TEST(FindTapTarget, AMessierObjectWinsOverAnUnnamedNeighbourOnly) {
    StarRecord m32 = Star("   M32", "And", 8.1);
    m32.kind = kKindGalaxy;
    StarRecord ngc = Star("NGC221A", "And", 7.0);
    ngc.kind = kKindGalaxy;
    HitList hits;
    hits.Add(ngc, 100, 100);
    hits.Add(m32, 102, 101);
    EXPECT_EQ(FindTapTarget(hits, 100, 100, false).record, &m32);
    EXPECT_EQ(FindTapTarget(hits, 100, 100, false).x, 102);
    ngc.name = Utf8ToSjis("なまえ");
    EXPECT_EQ(FindTapTarget(hits, 100, 100, false).record, &ngc) << "a named object keeps the brightest rule";
    ngc.name.reset();
    const StarRecord between = Star("   Mu  And", "And", 7.5);
    hits.Add(between, 101, 101);
    EXPECT_EQ(FindTapTarget(hits, 100, 100, false).record, &between)
        << "a star fainter than the unnamed object but brighter than the Messier object";
    const StarRecord star = Star("   Nu  And", "And", 4.5);
    hits.Add(star, 101, 100);
    EXPECT_EQ(FindTapTarget(hits, 100, 100, false).record, &star) << "a brighter star wins";
}

TEST(FindTapTarget, AFullListKeepsOverwritingItsLastEntry) {
    const StarRecord a = Star("   Alp And", "And", 2.0), b = Star("   Bet And", "And", 2.0);
    HitList hits;
    for (std::size_t i = 0; i < HitList::kCapacity; ++i) hits.Add(a, 0, 0);
    hits.Add(b, 7, 7);
    ASSERT_EQ(hits.Entries().size(), HitList::kCapacity);
    EXPECT_EQ(hits.Entries().back().record, &b);
    hits.Add(a, 40000, -40000);  // clamped to int16
    EXPECT_EQ(hits.Entries().back().x, 32767);
    EXPECT_EQ(hits.Entries().back().y, -32768);
}

TEST(TapText, LinesForAStarADeepSkyObjectAndTheMoon) {
    EXPECT_EQ(MagnitudeText(1.25), " 1.3等");

    StarRecord sirius = Star("  9Alp CMa", "CMa", -1.44);
    sirius.name = Utf8ToSjis("シリウス");
    TapTextOptions o;  // the defaults: figure, name and lines of the tapped constellation
    TapText t = ComposeTapText(sirius, o);
    EXPECT_EQ(t.first.value_or(""), "おおいぬα -1.4等");
    EXPECT_EQ(t.second.value_or(""), "シリウス");
    EXPECT_EQ(t.constellation, "CMa");
    EXPECT_TRUE(t.drawFigure && t.drawLines);
    o.namesOn = o.linesOn = true;  // names and lines already on the chart
    t = ComposeTapText(sirius, o);
    EXPECT_FALSE(t.first) << "the name is on the chart already";
    EXPECT_FALSE(t.drawLines);

    StarRecord m42 = Star("   M42", "Ori", 4.0);
    m42.kind = kKindDiffuseNebula;
    m42.name = Utf8ToSjis("オリオン大星雲");
    EXPECT_EQ(ComposeTapText(m42, TapTextOptions{}).second.value_or(""), "散光星雲 M42オリオン大星雲");
    // With its size: both axes, a round one once, small ones to a tenth.
    const DeepSkySize m42Size{85.0f, 60.0f, 0.0f};
    EXPECT_EQ(ComposeTapText(m42, TapTextOptions{}, &m42Size).second.value_or(""),
              "散光星雲 M42オリオン大星雲 85′×60′");
    EXPECT_EQ(SizeText({178.0f, 70.0f, 35.0f}), "178′×70′");
    EXPECT_EQ(SizeText({8.0f, 8.0f, 0.0f}), "8′");
    EXPECT_EQ(SizeText({3.16f, 1.5f, 0.0f}), "3.2′×1.5′");
    EXPECT_EQ(SizeText({0.0f, 0.0f, 0.0f}), "");
    // A nebula without a magnitude shows none.
    StarRecord ic434 = Star("   IC434", "Ori", kUnknownDeepSkyMagnitude);
    ic434.kind = kKindDiffuseNebula;
    o = TapTextOptions{};
    o.selectedFigure = o.selectedName = o.selectedLines = false;
    EXPECT_EQ(ComposeTapText(ic434, o).first.value_or(""), "オリオン");

    HitList hits;
    StarRecord& moon = hits.SolarRecord(kSolarMoon);
    TapTextOptions moonOptions;
    moonOptions.moonAge = 12.34;
    t = ComposeTapText(moon, moonOptions);
    EXPECT_EQ(t.first.value_or(""), "月:月齢12.3");  // days since the new moon, as they are
    EXPECT_FALSE(t.second);
    moonOptions.planisphere = true;
    EXPECT_EQ(ComposeTapText(moon, moonOptions).first.value_or(""), "月");
}

TEST(TapText, LinesStayOnTheChartAtTheRightAndBottomEdges) {
    const TapTextPlacement inside = PlaceTapText(10, 10, 50, 30, 12, 240, 240);
    EXPECT_EQ(inside.firstX, 10);
    EXPECT_EQ(inside.secondY, 22);
    const TapTextPlacement corner = PlaceTapText(230, 235, 50, 30, 12, 240, 240);
    EXPECT_EQ(corner.firstX, 190);
    EXPECT_EQ(corner.secondX, 210);
    EXPECT_EQ(corner.firstY, 223);
    EXPECT_EQ(corner.secondY, 211) << "the second line goes above the first near the bottom";
}

bool HasItem(const std::vector<MenuEntry>& menu, int id) {
    return std::any_of(menu.begin(), menu.end(), [id](const MenuEntry& e) { return e.id == id; });
}

TEST(PopupMenus, ChoiceAndItemRules) {
    ViewSettings s;
    s.popupDisplay = false;
    s.popupTapRegistration = false;
    s.popupTelescope = true;
    s.telescopeControl = 0;
    bool cleared = false;
    EXPECT_EQ(ChoosePopup(s, ViewMode::Direction, &cleared), PopupKind::None);
    EXPECT_TRUE(cleared);
    EXPECT_FALSE(s.popupTelescope) << "POPUPTS without telescope control clears itself";

    s.popupTapRegistration = true;
    EXPECT_EQ(ChoosePopup(s, ViewMode::Planisphere, nullptr), PopupKind::None);
    EXPECT_EQ(ChoosePopup(s, ViewMode::Direction, nullptr), PopupKind::TapRegistration);

    // A long press on empty sky: no constellation items; with a star of Orion they carry its name.
    PopupContext c;
    c.mode = ViewMode::Direction;
    const auto empty = BuildPopupMenu(PopupKind::Display, c, {});
    for (int id : {32820, 32933, 32963, 32960, 57665, 32862}) EXPECT_FALSE(HasItem(empty, id)) << id;
    const StarRecord betelgeuse = Star(" 58Alp Ori", "Ori", 0.45);
    c.tapped = &betelgeuse;
    const auto withStar = BuildPopupMenu(PopupKind::Display, c, [](int id) {
        return MakeItem(id != 32933, false, id == 32824 ? "6等星まで表示" : "");
    });
    auto text = [&](int id) {
        for (const MenuEntry& e : withStar)
            if (e.id == id) return e.text;
        return std::string("missing");
    };
    EXPECT_EQ(text(32820), "オリオン座のみを表示");
    EXPECT_EQ(text(32963), "オリオン座の説明読上");
    EXPECT_EQ(text(32824), "6等星まで表示");
    EXPECT_FALSE(std::find_if(withStar.begin(), withStar.end(), [](const MenuEntry& e) {
                     return e.id == 32933;
                 })->enabled);

    // "ここを導入する" and "ここで同期" only where a goto makes sense; the numbered marks in a sub-menu.
    c.mode = ViewMode::Zenith;
    const auto telescope = BuildPopupMenu(PopupKind::Telescope, c, {});
    EXPECT_FALSE(HasItem(telescope, cmd::GotoHere));
    EXPECT_FALSE(HasItem(telescope, cmd::SyncHere));
    const auto sub = std::find_if(telescope.begin(), telescope.end(), [](const MenuEntry& e) { return e.IsSubmenu(); });
    ASSERT_NE(sub, telescope.end());
    EXPECT_EQ(sub->text, "①,②,③");
    EXPECT_EQ(sub->children.size(), 4u);
}

}  // namespace
}  // namespace tavik
