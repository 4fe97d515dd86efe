// Tap marks (the tap file, import of exchange files, drawing and hits) and
// add-in overlays (types by extension, the add-in pass, hostile files).

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <limits>
#include <memory>

#include "../catalog/TestFiles.h"
#include "astro/Angles.h"
#include "catalog/OverlayFile.h"
#include "catalog/RecordFile.h"
#include "catalog/ShiftJis.h"
#include "catalog/StarCatalog.h"
#include "settings/SettingsStore.h"
#include "view/Fonts.h"
#include "view/HitList.h"
#include "view/OverlayUser.h"
#include "view/TapMarks.h"
#include "view/ViewState.h"

namespace tavik {
namespace {

constexpr double kDeg = kPi / 180.0;
const SkyPosition kZenith{0.0, 35.0 * kDeg};  // the chart centre of the scene below

// A black 240 x 240 zenith chart at latitude 35 degrees, sidereal time 0.
struct Scene {
    Scene() : image(240, 240, QImage::Format_RGB32) {
        static int argc = 1;
        static char name[] = "view_tests";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
        image.fill(qRgb(0, 0, 0));
        view.viewMode = ViewMode::Zenith;
        view.latitude = kZenith.declination;
        UpdateChartGeometry(view, 240, 240);
        RefreshViewState(view);
        ctx.image = &image;
        ctx.clientWidth = ctx.clientHeight = 240;
        ctx.view = &view;
        ctx.settings = &store;
        ctx.colors = &colors;
        ctx.sinLatitude = std::sin(view.latitude);
        ctx.cosLatitude = std::cos(view.latitude);
        ctx.font = ViewFont(75);
        ctx.textHeight = QFontMetrics(ctx.font).height();
        ctx.hits = &hits;
        painter = std::make_unique<QPainter>(&image);
        ctx.painter = painter.get();
    }
    int Count(int slotIndex) {
        if (painter->isActive()) painter->end();
        const QRgb c = ToQRgb(colors[slotIndex]);
        int n = 0;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 240; ++x) n += image.pixel(x, y) == c;
        return n;
    }
    int NonBlack() {
        if (painter->isActive()) painter->end();
        int n = 0;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 240; ++x) n += (image.pixel(x, y) & 0xFFFFFF) != 0;
        return n;
    }
    QImage image;
    ViewState view;
    MemorySettingsStore store;
    ColorTable colors;
    HitList hits;
    RenderContext ctx;
    std::unique_ptr<QPainter> painter;
};

TEST(TapMarkFile, FirstMarkEmptyTextLayoutAndLimits) {
    test::TempDir dir;
    const std::string data = dir.Path().string() + "/";
    StarCatalog catalog;
    MemorySettingsStore store;
    ASSERT_TRUE(RegisterTapMark(catalog, store, data, kZenith, {kTapText, NewTapLabel(CurrentTapNumber(store)), ""}));
    const StarRecord& first = catalog.TapMark(0);
    EXPECT_EQ(first.number, 1);
    EXPECT_EQ(first.DesignationText(), "T00001");
    EXPECT_EQ(SjisToUtf8(*first.name), "変換エラー");
    EXPECT_EQ(first.mag, -100.0);
    EXPECT_EQ(store.GetProfileInt("TAPREG", "CNT", 0), 2);

    // 31 kanji are 62 bytes: cut to 29 whole characters, never half of one.
    std::string longText;
    for (int i = 0; i < 31; ++i) longText += "星";
    ASSERT_TRUE(RegisterTapMark(catalog, store, data, kZenith, {kTapPicture, "ラベル十文字を超える", longText}));
    EXPECT_EQ(catalog.TapMark(1).name->size(), 58u);
    EXPECT_EQ(catalog.TapMark(1).DesignationText().size(), 8u);  // 4 kanji of 9 bytes
    EXPECT_EQ(catalog.TapMark(1).number, 2);

    const std::string bytes = test::ReadBytes(TapFilePath(data));
    ASSERT_GE(bytes.size(), 12u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\xE8\x03\0\0\x02\0\0\0", 8));
    EXPECT_EQ(bytes.substr(8, 4), std::string("\xE9\x03\0\0", 4));
    EXPECT_EQ(bytes.substr(8 + first.StoreBytes().size(), 4), std::string("\xE9\x03\0\0", 4));

    // Deleting does not give numbers back; the file follows every change.
    ASSERT_TRUE(DeleteTapMark(catalog, 0, data));
    StarCatalog reread;
    reread.LoadTapMarks(TapFilePath(data));
    ASSERT_EQ(reread.TapMarkCount(), 1u);
    EXPECT_EQ(reread.TapMark(0).number, 2);
    EXPECT_EQ(NewTapLabel(CurrentTapNumber(store)), "T00003");
}

TEST(TapMarkFile, ImportKeepsOldMarksAndRefusesWhatIsNoMark) {
    test::TempDir dir;
    const std::string data = dir.Path().string() + "/";
    StarCatalog catalog;
    MemorySettingsStore store;
    RegisterTapMark(catalog, store, data, kZenith, {kTapText, "old", "old"});

    // A hostile exchange file: a plain star, a mark of kind 7, a mark at a NaN
    // position, two good marks, a count of a million and a cut-off tail.
    std::vector<StarRecord> records;
    StarRecord star;
    star.SetDesignation("star");
    records.push_back(star);
    for (const char* text : {"bad kind", "nan", "new1", "new2"}) records.push_back(MakeTapMark(kZenith, 9, {kTapText, text, text}));
    records[1].kind = 7;
    records[2].ra = std::numeric_limits<double>::quiet_NaN();
    std::string bytes = RecordFileBytes(records);
    bytes.replace(4, 4, std::string("\x40\x42\x0F\x00", 4));
    bytes += "\xE9\x03\0\0garbage";
    test::WriteBytes(dir / "in.ptx", bytes);

    const TapImportResult r = ImportTapMarks(catalog, dir / "in.ptx", false, data);
    EXPECT_TRUE(r.opened);
    EXPECT_EQ(r.imported, 2u);
    EXPECT_EQ(r.refused, 3u);
    EXPECT_FALSE(r.error.empty());
    ASSERT_EQ(catalog.TapMarkCount(), 3u);
    EXPECT_EQ(TapMarkText(catalog.TapMark(0)), "old");
    EXPECT_EQ(TapMarkText(catalog.TapMark(1)), "new1");
    EXPECT_EQ(TapMarkText(catalog.TapMark(2)), "new2");

    // A file that does not open clears nothing, even when asked to.
    EXPECT_FALSE(ImportTapMarks(catalog, dir / "missing.ptx", true, data).opened);
    EXPECT_EQ(catalog.TapMarkCount(), 3u);
    ASSERT_TRUE(ExportTapMarks(catalog, dir / "out.ptx"));
    EXPECT_EQ(ImportTapMarks(catalog, dir / "out.ptx", true, data).imported, 3u);
    EXPECT_EQ(catalog.TapMarkCount(), 3u);
}

TEST(TapMarkDrawing, ShapesLabelsHitsAndNumberedMarks) {
    std::deque<StarRecord> marks{MakeTapMark(kZenith, 1, {kTapPicture, "a", "/home/u/pics/m42.jpg"})};
    EXPECT_EQ(TapMarkLabel(marks[0]), "m42.jpg");
    NumberedMarks numbered;
    {
        Scene off;  // TAPREG/ENABLE off: no marks, no hits
        DrawTapMarks(off.ctx, marks, &numbered);
        EXPECT_EQ(off.NonBlack(), 0);
        EXPECT_TRUE(off.hits.Entries().empty());
    }
    Scene s;
    s.store.WriteProfileInt("TAPREG", "ENABLE", 1);
    s.colors.Set(slot::kTapMark, MakeColorRef(0, 250, 0));
    s.colors.Set(slot::kUserTapText, MakeColorRef(250, 0, 0));
    ApplyNumberedMarkCommand(numbered, 32938, {0.0, 60.0 * kDeg});
    s.colors.Set(slot::kNumberedMark, MakeColorRef(0, 0, 250));
    DrawTapMarks(s.ctx, marks, &numbered);
    ASSERT_EQ(s.hits.Entries().size(), 1u);
    EXPECT_EQ(s.hits.Entries()[0].x, 120);
    marks.clear();  // the hit list holds its own copy
    const TapTarget t = FindTapTarget(s.hits, 121, 119, true);
    ASSERT_NE(t.record, nullptr);
    EXPECT_EQ(t.record->DesignationText(), "a");
    EXPECT_EQ(s.Count(slot::kTapMark), 24);  // the outline of a 7 x 7 box
    EXPECT_GT(s.Count(slot::kUserTapText), 0);
    EXPECT_GT(s.Count(slot::kNumberedMark), 0);
}

TEST(AddIns, TypesPassAndHostileFiles) {
    test::TempDir dir;
    PolylineData line;
    line.Add(0.0, 35.0 * kDeg, 1);
    line.Add(0.3, 40.0 * kDeg, 2);
    const std::string p92 = (dir / "MILKEY.P92").string();
    test::WriteBytes(p92, OverlayFileBytes(line));
    const std::string p95 = (dir / "x.p95").string();
    test::WriteBytes(p95, OverlayFileBytes(line));
    // A ".p99" whose count passes its arrays draws nothing.
    std::string lying = OverlayFileBytes(line);
    lying.replace(0, 4, std::string("\x88\x13\0\0", 4));
    const std::string p99 = (dir / "lie.p99").string();
    test::WriteBytes(p99, lying);

    Scene pass;
    pass.store.WriteProfileInt("ADIN", "ENABLE", 1);
    pass.store.WriteProfileInt("ADIN", "COUNT", 4);
    pass.store.WriteProfileString("ADIN", "f1", p92);
    pass.store.WriteProfileString("ADIN", "f2", p95);
    pass.store.WriteProfileString("ADIN", "f3", p99);
    pass.store.WriteProfileString("ADIN", "f4", (dir / "gone.p99").string());
    DrawAddIns(pass.ctx);
    EXPECT_EQ(pass.NonBlack(), 0);

    Scene forced;  // the same Milky Way file drawn when forced
    DrawAddIn(forced.ctx, p92, true);
    EXPECT_GT(forced.Count(slot::kAddinLine), 5);

    // ".p90": the line and its caption (white text of the scheme) at the last point.
    const std::string p90 = (dir / "cap.p90").string();
    test::WriteBytes(p90, CaptionedOverlayBytes({line, u"星雲"}));
    Scene captioned;
    DrawAddIn(captioned.ctx, p90, false);
    EXPECT_GT(captioned.Count(slot::kAddinLine), 5);
    if (captioned.painter->isActive()) captioned.painter->end();
    int white = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 240; ++x) white += captioned.image.pixel(x, y) == qRgb(255, 255, 255);
    EXPECT_GT(white, 5);

    // ".p93": the objects are drawn and tappable; a tap mark inside is not.
    StarRecord m31;
    m31.kind = kKindGalaxy;
    m31.SetDesignation("   M31");
    m31.ra = 0.0;
    m31.dec = 35.0 * kDeg;
    const StarRecord planted = MakeTapMark(kZenith, 1, {kTapProgram, "x", "/bin/sh"});
    const std::string p93 = (dir / "list.p93").string();
    test::WriteBytes(p93, RecordFileBytes(std::vector<StarRecord>{m31, planted}));
    Scene objects;
    DrawAddIn(objects.ctx, p93, false);
    ASSERT_EQ(objects.hits.Entries().size(), 1u);
    EXPECT_EQ(objects.hits.Entries()[0].record->kind, kKindGalaxy);
}

}  // namespace
}  // namespace tavik
