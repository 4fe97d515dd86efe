#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <string>

#include "ScopeTestSupport.h"
#include "astro/Precession.h"
#include "telescope/TelescopeController.h"

namespace tavik {
namespace {

using test::FakeClock;
using test::ScopeRig;
using test::WaitUntil;
using Options = mountsim::MountOptions;

constexpr double kRad = std::numbers::pi / 180.0;

mountsim::MountOptions Reply(const std::string& cmd, std::optional<std::string> text) {
    Options o;
    o.replies[cmd] = std::move(text);
    return o;
}

// --- Formatting and parsing (no port needed) ---------------------------------

TEST(TelescopeFormatTest, TargetTexts) {
    MemorySettingsStore store;
    RecordingTelescopeUi ui;
    FakeClock clock;
    TelescopeController c(store, ui, clock);
    c.coordinatesOfDate = false;  // the texts of the coordinates as given

    c.SetTarget(359.9999 * kRad, -0.5 * kRad);
    EXPECT_EQ(c.RaText(), "24:00:00");
    EXPECT_EQ(c.DecText(), "-00*30*00");

    // 12h 34m 56s, +45° 30' 15"
    c.SetTarget((12 + 34 / 60.0 + 56 / 3600.0) * 15 * kRad, (45 + 30 / 60.0 + 15 / 3600.0) * kRad);
    EXPECT_EQ(c.RaText(), "12:34:56");
    EXPECT_EQ(c.DecText(), "+45*30*15");

    c.SetTarget(0.0, 0.0);
    EXPECT_EQ(c.RaText(), "00:00:00");
    EXPECT_EQ(c.DecText(), "+00*00*00");

    // A second that rounds to 60 carries into the minutes.
    c.SetTarget((1 + 59.9999 / 3600.0) * 15 * kRad, -(10 + 59 / 60.0 + 59.7 / 3600.0) * kRad);
    EXPECT_EQ(c.RaText(), "01:01:00");
    EXPECT_EQ(c.DecText(), "-11*00*00");

    // A negative right ascension is taken modulo a full turn.
    c.SetTarget(-15 * kRad, 0.0);
    EXPECT_EQ(c.RaText(), "23:00:00");
}

TEST(TelescopeFormatTest, PositionReplies) {
    bool high = true;
    EXPECT_DOUBLE_EQ(*TelescopeController::ParseRaReply("12:34.5#", &high), 188.625);
    EXPECT_FALSE(high);
    EXPECT_DOUBLE_EQ(*TelescopeController::ParseRaReply("00:00.0#", &high), 0.0);
    EXPECT_DOUBLE_EQ(*TelescopeController::ParseRaReply("12:34:56#", &high),
                     188.5 + 56 * 0.25 / 60);
    EXPECT_TRUE(high);

    EXPECT_DOUBLE_EQ(*TelescopeController::ParseDecReply("-05*30#"), -5.5);
    EXPECT_DOUBLE_EQ(*TelescopeController::ParseDecReply("+45*15#"), 45.25);
    EXPECT_DOUBLE_EQ(*TelescopeController::ParseDecReply("-00\xDF" "30#"), -0.5);
    EXPECT_DOUBLE_EQ(*TelescopeController::ParseDecReply("+10*00:36#"), 10.01);

    // Short, malformed or unterminated replies are refused, never read past.
    for (const char* bad : {"", "#", "1", "12", "12:3", "12:34", "12:34.#", "12:34.5",
                            "12:34.5#x", "1a:34.5#", "25:00.0#", "12:60.0#", "12:34:5#",
                            "12:34:56", "12-34.5#", "\xFF\xFE"}) {
        EXPECT_FALSE(TelescopeController::ParseRaReply(bad, nullptr)) << bad;
    }
    for (const char* bad : {"", "#", "-", "-05", "-05*", "-05*3#", "-05*30", "-0530#",
                            "-05*30:1#", "+95*00#", "-05*61#", "--5*30#", "-05##30#"}) {
        EXPECT_FALSE(TelescopeController::ParseDecReply(bad)) << bad;
    }
}

TEST(TelescopeFormatTest, ControllerLongitude) {
    auto lon = [](int d, int m) { return TelescopeController::ControllerLongitude(d, m); };
    ASSERT_TRUE(lon(139, 22));
    EXPECT_EQ(lon(139, 22)->degrees, 220);
    EXPECT_EQ(lon(139, 22)->minutes, 38);
    EXPECT_EQ(lon(10, 0)->degrees, 350);
    EXPECT_EQ(lon(10, 0)->minutes, 0);
    EXPECT_EQ(lon(-74, 0)->degrees, 74);   // west: sent as is
    EXPECT_EQ(lon(-74, -30)->minutes, 30);
    EXPECT_EQ(lon(0, -30)->degrees, 0);
    EXPECT_EQ(lon(0, -30)->minutes, 30);
    EXPECT_EQ(lon(0, 0)->degrees, 0);      // Greenwich: 000*00, not 360*00
    EXPECT_FALSE(lon(360, 30));            // 359 - 360 < 0
    EXPECT_FALSE(lon(139, 75));            // 60 - 75 < 0
    EXPECT_FALSE(lon(-74, 30));            // mixed signs
    // Stored values far out of range are refused, never negated into overflow.
    EXPECT_FALSE(lon(INT_MIN, 0));
    EXPECT_FALSE(lon(0, INT_MIN));
    EXPECT_FALSE(lon(-361, 0));
    EXPECT_FALSE(lon(-74, -60));
}

// --- Exchanges with the simulated mount ------------------------------------------

TEST(TelescopeControllerTest, ConnectFailureLeavesStateIdle) {
    MemorySettingsStore store;
    store.WriteProfileInt("TS", "COMPORT", 2);
    store.WriteProfileString("TS", "DEVICE2", std::string("/nonexistent/tavik-port"));
    RecordingTelescopeUi ui;
    FakeClock clock;
    TelescopeController c(store, ui, clock);
    EXPECT_EQ(c.comPort, 2);
    EXPECT_FALSE(c.Connect());
    EXPECT_EQ(c.State(), TelescopeController::kIdle);
    EXPECT_EQ(c.Link().DeviceName(), "/nonexistent/tavik-port");
    // Every exchange refuses a closed link and says so.
    c.SetTarget(0, 0);
    EXPECT_FALSE(c.Goto());
    EXPECT_EQ(c.StatusText(), "開いていない");
    EXPECT_FALSE(c.SetSlewRate(4));
    EXPECT_FALSE(c.Nudge('n'));
    EXPECT_FALSE(c.SendSiteAndTime());
    std::string text;
    EXPECT_FALSE(c.ReadPosition(text, true));
    EXPECT_EQ(text, "   GetRAを失敗した　接続不良 ");
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().text, "開いていない");
}

TEST(TelescopeControllerTest, GotoSendsTargetAndSlews) {
    ScopeRig rig;
    ASSERT_TRUE(rig.Connect());
    EXPECT_EQ(rig.scope->State(), TelescopeController::kDone);
    rig.scope->SetTarget((12 + 34 / 60.0 + 56 / 3600.0) * 15 * kRad, -5.5 * kRad);
    ASSERT_TRUE(rig.scope->Goto()) << rig.scope->StatusText();
    EXPECT_EQ(rig.scope->State(), TelescopeController::kDone);
    EXPECT_EQ(rig.Received(), ":Sh+00#:U#:Sr 12:34:56#:U#:U#:Sd -05*30*00#:U#:MS#");
    EXPECT_TRUE(rig.ui.messages.empty());
    rig.mount.With([](mountsim::MountSimulator& m) {
        EXPECT_TRUE(m.Slewing());
        EXPECT_NEAR(m.TargetRa(), 188.7333, 1e-3);
        EXPECT_DOUBLE_EQ(m.TargetDec(), -5.5);
        EXPECT_FALSE(m.HighPrecision());  // the two toggles cancel
    });
    rig.scope->Disconnect();
    EXPECT_EQ(rig.scope->State(), TelescopeController::kIdle);
    EXPECT_FALSE(rig.scope->IsConnected());
}

// The altitude limit goes to the mount before the first goto of a connection:
// a mount that takes it ('1'), one that refuses the value ('0') and one that
// stays silent all slew; a silent one is not asked again.
TEST(TelescopeControllerTest, AltitudeLimitGoesToTheMountWithoutFailingTheGoto) {
    struct Case {
        const char* name;
        bool silent;
        std::optional<std::string> reply;  // the simulator's own answer when absent
    };
    for (const Case& c : {Case{"answers", false, {}}, Case{"refuses", false, "0"}, Case{"silent", true, {}}}) {
        SCOPED_TRACE(c.name);
        FakeClock fake;
        mountsim::MountOptions o;
        if (c.reply) o.replies["Sh"] = *c.reply;
        if (c.silent) o.replies["Sh"] = std::nullopt;
        ScopeRig rig(o, &fake);
        rig.store.WriteProfileInt("TS", "ALT_LIMIT", 15);
        for (int connection = 0; connection < 2; ++connection) {
            ASSERT_TRUE(rig.Connect());
            rig.scope->SetTarget(10 * kRad, 20 * kRad);
            ASSERT_TRUE(rig.scope->Goto()) << rig.scope->StatusText();
            rig.scope->Disconnect();
        }
        const std::string goTo = ":U#:Sr 00:40:00#:U#:U#:Sd +20*00*00#:U#:MS#";
        EXPECT_EQ(rig.Received(), c.silent ? ":Sh+15#" + goTo + goTo : ":Sh+15#" + goTo + ":Sh+15#" + goTo);
        EXPECT_TRUE(rig.ui.messages.empty());
    }
}

// Every row of the goto failure table. Cases without a reply run on the fake
// clock, so their time-out takes no real time.
TEST(TelescopeControllerTest, GotoFailureTable) {
    struct Case {
        std::string command;
        std::optional<std::string> reply;
        std::string status;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"Sr", std::nullopt, "受信なし Sr", "4秒間 応答なし"},
        {"Sr", "0", "現在位置確認要 Sr", "Sr Error0"},
        {"Sr", "2", "異常応答 Sr:2", "Sr Error2"},
        {"Sr", "x", "異常応答 Sr:x", "Sr Errorx"},
        {"Sd", std::nullopt, "受信なし Sd", "4秒間 応答なし"},
        {"Sd", "0", "コマンド不良 Sd", "Sd Error0"},
        {"Sd", "7", "異常応答 Sd:7", "Sd Error7"},
        {"MS", std::nullopt, "受信なし MS:", "4秒間 応答なし"},
        {"MS", "1", "地平線下 MS:1", "MS Error1"},
        {"MS", "2", "高すぎる MS:2", "MS Error2"},
        {"MS", "1Object Below Horizon#", "地平線下 MS:1Object Below Horizon#",
         "MS Error1Object Below Horizon#"},
        {"MS", "E", "異常応答 MS:E", "MS Error\x45"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command + " reply " + c.reply.value_or("(none)"));
        FakeClock fake;
        ScopeRig rig(Reply(c.command, c.reply), c.reply ? nullptr : &fake);
        ASSERT_TRUE(rig.Connect());
        rig.scope->SetTarget(10 * kRad, 20 * kRad);
        EXPECT_FALSE(rig.scope->Goto());
        EXPECT_EQ(rig.scope->StatusText(), c.status);
        EXPECT_EQ(rig.scope->State(), c.reply ? TelescopeController::kBadReply
                                              : TelescopeController::kNoReply);
        EXPECT_TRUE(rig.HasError(c.message));
        // Nothing is sent after the failing step.
        const std::string sent = rig.Received();
        if (c.command != "MS") {
            EXPECT_EQ(sent.find(":MS#"), std::string::npos);
        }
        if (c.command == "Sr") {
            EXPECT_EQ(sent.find(":Sd"), std::string::npos);
        }
    }
}

TEST(TelescopeControllerTest, AckTimeoutCountsWholeSeconds) {
    // Starting at 10.3 s, the fifth whole second after the start (15 s) ends
    // the wait: 4.7 s later. From 10.0 s it is exactly 5 s, from 10.95 s 4.05 s.
    for (std::int64_t start : {10'300, 10'000, 10'950}) {
        FakeClock fake(start);
        Options o;
        o.noReply = true;
        ScopeRig rig(o, &fake);
        ASSERT_TRUE(rig.Connect());
        ASSERT_FALSE(rig.scope->SetSlewRate(4));
        const auto waited = fake.NowMs() - start;
        EXPECT_GT(waited, 4000) << start;
        EXPECT_LE(waited, 5000) << start;
        EXPECT_TRUE(rig.HasError("4秒間 応答なし"));
        EXPECT_EQ(rig.scope->StatusText(), "受信なし Sw");
    }
}

TEST(TelescopeControllerTest, LineTimeoutCountsWholeSecondsAndReportsOnRequest) {
    for (bool report : {true, false}) {
        FakeClock fake(20'500);
        Options o;
        o.noReply = true;
        ScopeRig rig(o, &fake);
        ASSERT_TRUE(rig.Connect());
        std::string text;
        ASSERT_FALSE(rig.scope->ReadPosition(text, report));
        const auto waited = fake.NowMs() - 20'500;
        EXPECT_GT(waited, 5000);
        EXPECT_LE(waited, 6000);
        EXPECT_EQ(rig.HasError("5秒間 応答なし"), report);
        EXPECT_EQ(text, "   GetRAを失敗した　接続不良 ");
        EXPECT_EQ(rig.scope->State(), TelescopeController::kNoReply);
        EXPECT_EQ(rig.scope->TelescopeRa(), 0.0);
    }
}

TEST(TelescopeControllerTest, AckTimeoutInRealTime) {
    Options o;
    o.noReply = true;
    SystemTelescopeClock real;
    ScopeRig rig(o, &real);
    ASSERT_TRUE(rig.Connect());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(rig.scope->SetSlewRate(3));
    // A correct wait cannot end before four whole seconds have passed.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    EXPECT_TRUE(rig.HasError("4秒間 応答なし"));
}

TEST(TelescopeControllerTest, ClosedWhileWaitingSaysNotOpen) {
    FakeClock fake;
    Options o;
    o.noReply = true;
    ScopeRig rig(o, &fake);
    ASSERT_TRUE(rig.Connect());
    // The port goes away in the middle of the wait.
    fake.onSleep = [&] { rig.scope->Link().Open(false); };
    EXPECT_FALSE(rig.scope->SetSlewRate(2));
    EXPECT_TRUE(rig.HasError("開いていない"));
    EXPECT_EQ(rig.scope->State(), TelescopeController::kNoReply);
}

TEST(TelescopeControllerTest, ReadPositionLowPrecision) {
    Options o;
    o.ra = 188.625;
    o.dec = -5.5;
    ScopeRig rig(o);
    ASSERT_TRUE(rig.Connect());
    std::string text;
    ASSERT_TRUE(rig.scope->ReadPosition(text, true));
    EXPECT_DOUBLE_EQ(rig.scope->TelescopeRa(), 188.625);
    EXPECT_DOUBLE_EQ(rig.scope->TelescopeDec(), -5.5);
    EXPECT_EQ(text, "赤経：12:34.5#  赤緯：-05*30#");
    EXPECT_EQ(rig.Received(), ":GR#:GD#");
    EXPECT_TRUE(rig.ui.messages.empty());
}

TEST(TelescopeControllerTest, HighPrecisionIsCorrectedOnce) {
    Options o;
    o.highPrecision = true;
    o.ra = (12 + 34 / 60.0 + 56 / 3600.0) * 15;
    o.dec = 40.75;
    ScopeRig rig(o);
    ASSERT_TRUE(rig.Connect());
    std::string text;
    ASSERT_TRUE(rig.scope->ReadPosition(text, true));
    // The seconds are used, not dropped.
    EXPECT_NEAR(rig.scope->TelescopeRa(), o.ra, 1e-9);
    EXPECT_DOUBLE_EQ(rig.scope->TelescopeDec(), 40.75);
    ASSERT_EQ(rig.ui.messages.size(), 1u);
    EXPECT_EQ(rig.ui.messages[0].text, "精度モードが違います。訂正します");
    EXPECT_EQ(rig.Received(), ":GR#:U#:GD#");
    rig.mount.With([](mountsim::MountSimulator& m) { EXPECT_FALSE(m.HighPrecision()); });

    // Now in low precision: no second correction.
    rig.mount.ClearCommands();
    text.clear();
    ASSERT_TRUE(rig.scope->ReadPosition(text, true));
    EXPECT_EQ(rig.ui.messages.size(), 1u);
    EXPECT_EQ(rig.Received(), ":GR#:GD#");
}

// A real controller: high precision from power-on, the degree sign as its
// byte 0xDF. Everything works, and the texts show the degree sign as '*'.
TEST(TelescopeControllerTest, RealControllerFormats) {
    Options o;
    o.highPrecision = true;
    o.degreeSign = '\xDF';
    o.slewSeconds = 0;
    o.dec = 22 + 2 / 60.0;
    ScopeRig rig(o);
    ASSERT_TRUE(rig.Connect());
    std::string text;
    ASSERT_TRUE(rig.scope->ReadPosition(text, true));
    EXPECT_DOUBLE_EQ(rig.scope->TelescopeDec(), 22 + 2 / 60.0);
    EXPECT_EQ(text, "赤経：00:00:00#  赤緯：+22*02#");

    rig.scope->SetTarget(83.75 * kRad, -5.5 * kRad);
    ASSERT_TRUE(rig.scope->Goto()) << rig.scope->StatusText();
    text.clear();
    ASSERT_TRUE(rig.scope->ReadPosition(text, true));
    EXPECT_EQ(text, "赤経：05:35.0#  赤緯：-05*30#");
    ObservationSite site{"x", 139, 22, 35, 34, 9};
    EXPECT_TRUE(rig.scope->SendSiteAndTime(site)) << rig.scope->StatusText();
    EXPECT_TRUE(rig.scope->SetSlewRate(3));
    EXPECT_TRUE(rig.scope->Nudge('e'));
    EXPECT_TRUE(rig.scope->Stop());
    rig.mount.With([](mountsim::MountSimulator& m) {
        EXPECT_EQ(m.LongitudeWestMinutes(), 220 * 60 + 38);
        EXPECT_TRUE(m.Unknown().empty());
    });
    EXPECT_EQ(rig.ui.messages.size(), 1u);  // the precision correction only
}

TEST(TelescopeControllerTest, MalformedPositionRepliesFailCleanly) {
    struct Case {
        const char* cmd;
        const char* reply;
        const char* textStart;
    };
    for (const Case& c : {Case{"GR", "ab:cd.e#", "   赤経の応答が不正です "},
                          Case{"GR", "#", "   赤経の応答が不正です "},
                          Case{"GD", "+5#", "赤経："},
                          Case{"GD", "-05*30:9#", "赤経："}}) {
        SCOPED_TRACE(std::string(c.cmd) + " " + c.reply);
        Options o = Reply(c.cmd, std::string(c.reply));
        o.ra = 30;
        o.dec = 10;
        ScopeRig rig(o);
        ASSERT_TRUE(rig.Connect());
        std::string text;
        EXPECT_FALSE(rig.scope->ReadPosition(text, true));
        EXPECT_EQ(text.rfind(c.textStart, 0), 0u) << text;
        EXPECT_EQ(rig.scope->State(), TelescopeController::kBadReply);
        // No half-read position is left behind.
        EXPECT_EQ(rig.scope->TelescopeRa(), 0.0);
        EXPECT_EQ(rig.scope->TelescopeDec(), 0.0);
    }
}

TEST(TelescopeControllerTest, PartialAndGarbageRepliesFailCleanly) {
    for (int mode = 0; mode < 2; ++mode) {
        FakeClock fake;
        Options o;
        (mode == 0 ? o.partial : o.garbage) = true;
        ScopeRig rig(o, &fake);
        ASSERT_TRUE(rig.Connect());
        std::string text;
        EXPECT_FALSE(rig.scope->ReadPosition(text, false));
        EXPECT_EQ(rig.scope->TelescopeRa(), 0.0);
        EXPECT_NE(rig.scope->State(), TelescopeController::kDone);
        if (mode == 1) {  // a cut-short acknowledgement is still its one byte
            rig.scope->SetTarget(0, 0);
            EXPECT_FALSE(rig.scope->Goto());
        }
    }
}

TEST(TelescopeControllerTest, ReplyBufferNeverOverflows) {
    ScopeRig rig;
    ASSERT_TRUE(rig.Connect());
    // 20 kB of garbage with no '#': the reply buffer fills to 2048 bytes, the
    // rest waits in (or is dropped by) the link; nothing is written beyond it.
    std::string burst(20 * 1024, 'g');
    rig.mount.SendRaw(burst);
    ASSERT_TRUE(WaitUntil([&] { return rig.scope->Link().BytesReceived() >= burst.size(); }));
    EXPECT_EQ(rig.scope->ReplyText().size(), TelescopeController::kReplySize);
    // The next exchange starts clean and works.
    std::string text;
    ASSERT_TRUE(rig.scope->ReadPosition(text, true));
    EXPECT_EQ(text, "赤経：00:00.0#  赤緯：+00*00#");
}

TEST(TelescopeControllerTest, StaleBytesAreNotTakenAsTheReply) {
    Options o;
    o.dec = 12.5;
    ScopeRig rig(o);
    ASSERT_TRUE(rig.Connect());
    // A late "0" from an earlier exchange lies waiting when the next command goes.
    rig.mount.SendRaw("0");
    ASSERT_TRUE(WaitUntil([&] { return rig.scope->Link().BytesReceived() >= 1; }));
    EXPECT_TRUE(rig.scope->SetSlewRate(4)) << rig.scope->StatusText();
}

TEST(TelescopeControllerTest, SlewRateNudgeAndStop) {
    ScopeRig rig;
    ASSERT_TRUE(rig.Connect());
    EXPECT_TRUE(rig.scope->SetSlewRate(4));
    EXPECT_TRUE(rig.scope->SetSlewRate(2));
    EXPECT_FALSE(rig.scope->SetSlewRate(5));  // not a rate: nothing sent
    EXPECT_TRUE(rig.scope->Nudge('n'));
    EXPECT_TRUE(rig.scope->Nudge('w'));
    EXPECT_FALSE(rig.scope->Nudge('x'));
    rig.scope->Stop();
    EXPECT_EQ(rig.scope->State(), TelescopeController::kDone);
    ASSERT_TRUE(WaitUntil([&] { return rig.mount.Commands().size() >= 9; }));
    EXPECT_EQ(rig.Received(), ":Sw 4#:Sw 2#:Mn#:Qn#:Q#:Mw#:Qw#:Q#:Q#");
    rig.mount.With([](mountsim::MountSimulator& m) { EXPECT_EQ(m.SlewRate(), 2); });

    // "0" to the rate command.
    ScopeRig bad(Reply("Sw", std::string("0")));
    ASSERT_TRUE(bad.Connect());
    EXPECT_FALSE(bad.scope->SetSlewRate(3));
    EXPECT_EQ(bad.scope->StatusText(), "コマンド不良 Sw");
}

struct SiteCase {
    int lonDeg, lonMin, latDeg, latMin;
    std::string sg, st;
};

TEST(TelescopeControllerTest, SiteAndTime) {
    const std::vector<SiteCase> cases = {
        {139, 22, 35, 34, ":Sg 220*38#", ":St +35*34#"},
        {10, 0, 51, 28, ":Sg 350*00#", ":St +51*28#"},
        {-74, 0, 40, 45, ":Sg 074*00#", ":St +40*45#"},
        {-70, -40, -33, -27, ":Sg 070*40#", ":St -33*27#"},
        {0, -30, 0, -15, ":Sg 000*30#", ":St -00*15#"},
    };
    for (const SiteCase& c : cases) {
        SCOPED_TRACE(c.sg);
        ScopeRig rig;
        ASSERT_TRUE(rig.Connect());
        ObservationSite site{"x", c.lonDeg, c.lonMin, c.latDeg, c.latMin, 9};
        ASSERT_TRUE(rig.scope->SendSiteAndTime(site)) << rig.scope->StatusText();
        EXPECT_EQ(rig.scope->State(), TelescopeController::kDone);
        EXPECT_EQ(rig.Received(), ":SL 21:05:09#" + c.sg + c.st + ":SC 12/08/26#");
        // The date's progress texts were dropped.
        EXPECT_TRUE(rig.scope->ReplyText().empty());
    }

    // The current site from the settings store by default.
    ScopeRig rig;
    rig.store.WriteProfileInt("LOCATION", "TOUKEI", -74);
    rig.store.WriteProfileInt("LOCATION", "TOUKEIF", -30);
    rig.store.WriteProfileInt("LOCATION", "HOKUI", 40);
    rig.store.WriteProfileInt("LOCATION", "HOKUIF", 45);
    rig.quick.local = DateTime(2004, 3, 10, 7, 8, 9);
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.scope->SendSiteAndTime());
    EXPECT_EQ(rig.Received(), ":SL 07:08:09#:Sg 074*30#:St +40*45#:SC 03/10/04#");
}

TEST(TelescopeControllerTest, SiteAndTimeFailures) {
    {
        // A longitude that cannot be formed: nothing after the time is sent.
        ScopeRig rig;
        ASSERT_TRUE(rig.Connect());
        EXPECT_FALSE(rig.scope->SendSiteAndTime(ObservationSite{"x", 360, 30, 35, 0, 9}));
        EXPECT_TRUE(rig.HasError("経度計算不良"));
        EXPECT_EQ(rig.scope->StatusText(), "経度計算不良");
        EXPECT_EQ(rig.Received(), ":SL 21:05:09#");
    }
    for (const auto& [deg, min] : {std::pair{INT_MIN, 0}, std::pair{-90, -34}, std::pair{0, INT_MIN}}) {
        // A latitude beyond the pole (or -2147483648): refused before it is sent.
        ScopeRig rig;
        ASSERT_TRUE(rig.Connect());
        EXPECT_FALSE(rig.scope->SendSiteAndTime(ObservationSite{"x", 139, 22, deg, min, 9}));
        EXPECT_TRUE(rig.HasError("緯度計算不良"));
        EXPECT_EQ(rig.Received(), ":SL 21:05:09#:Sg 220*38#");
    }
    struct Case {
        std::string cmd;
        std::optional<std::string> reply;
        std::string status;
    };
    for (const Case& c : {Case{"SL", std::nullopt, "受信なし SL"}, Case{"SL", "0", "コマンド不良 SL"},
                          Case{"Sg", std::nullopt, "受信なし Sg"}, Case{"Sg", "0", "コマンド不良 Sg"},
                          Case{"St", "0", "コマンド不良 St"}, Case{"St", "?", "異常応答 St:?"},
                          Case{"SC", "0", "コマンド不良 SC"},
                          Case{"SC", std::nullopt, "受信なし SC"}}) {
        SCOPED_TRACE(c.cmd + " " + c.reply.value_or("(none)"));
        FakeClock fake;
        ScopeRig rig(Reply(c.cmd, c.reply), c.reply ? nullptr : &fake);
        ASSERT_TRUE(rig.Connect());
        EXPECT_FALSE(rig.scope->SendSiteAndTime());
        EXPECT_EQ(rig.scope->StatusText(), c.status);
    }
}

TEST(TelescopeControllerTest, TraceStepsUntilTheTimeRunsOut) {
    Options o;
    o.ra = 90;
    o.dec = 30;
    ScopeRig rig(o);
    rig.store.WriteProfileInt("TS", "TRACE_TIME", 1);  // 1000 ms
    rig.scope->LoadSettings();
    EXPECT_EQ(rig.scope->TracePeriodMs(), 1000);
    ASSERT_TRUE(rig.Connect());
    rig.scope->SetTraceRemaining(2500);
    double ra = 0, dec = 0;
    ASSERT_TRUE(rig.scope->TraceStep(ra, dec));
    EXPECT_NEAR(ra, 90 * kRad, 1e-9);
    EXPECT_NEAR(dec, 30 * kRad, 1e-9);
    EXPECT_EQ(rig.scope->TraceRemaining(), 1500);
    ASSERT_TRUE(rig.scope->TraceStep(ra, dec));
    EXPECT_EQ(rig.scope->TraceRemaining(), 500);
    // Below zero: the step still succeeds, the time is spent and the link closed.
    ASSERT_TRUE(rig.scope->TraceStep(ra, dec));
    EXPECT_EQ(rig.scope->TraceRemaining(), 0);
    EXPECT_FALSE(rig.scope->IsConnected());
    EXPECT_FALSE(rig.scope->TraceStep(ra, dec));

    // A busy controller ends the trace without a read.
    ASSERT_TRUE(rig.Connect());
    rig.scope->SetTraceRemaining(60000);
    rig.scope->SetBusy(true);
    rig.mount.ClearCommands();
    EXPECT_FALSE(rig.scope->TraceStep(ra, dec));
    EXPECT_EQ(rig.scope->TraceRemaining(), 0);
    EXPECT_TRUE(rig.mount.Commands().empty());
    rig.scope->SetBusy(false);

    // StopTrace ends it and keeps the chosen interval.
    rig.scope->SetTraceRemaining(60000);
    rig.scope->StopTrace();
    EXPECT_EQ(rig.scope->TraceRemaining(), 0);
    EXPECT_EQ(rig.scope->TracePeriodMs(), 1000);
}

// TS/JNOW on: J2000 targets go out precessed, positions come back in J2000,
// targets of date go out unchanged; every accepted goto leaves a history line.
TEST(TelescopeControllerTest, CoordinatesOfDateAndHistoryLine) {
    Options o;
    o.slewSeconds = 0;
    ScopeRig rig(o);
    rig.scope->coordinatesOfDate = true;
    std::vector<std::string> history;
    rig.scope->SetGotoLog([&](const std::string& line) { history.push_back(line); });
    ASSERT_TRUE(rig.Connect());

    // M42 (J2000 5h35m17.3s -5d23'28") on 2026-12-08 21:05 at +9 hours.
    const double ra = (5 + 35 / 60.0 + 17.3 / 3600.0) * 15 * kRad, dec = -(5 + 23 / 60.0 + 28 / 3600.0) * kRad;
    const Spherical ofDate = J2000ToDate(ra, dec, CenturiesForLocalTime(rig.quick.local, 9));
    ASSERT_TRUE(rig.scope->SetTarget(ra, dec, TargetFrame::J2000, "M42"));
    ASSERT_TRUE(rig.scope->Goto()) << rig.scope->StatusText();
    rig.mount.With([&](mountsim::MountSimulator& m) {
        EXPECT_NEAR(m.TargetRa(), ofDate.lon / kRad, 1.0 / 240);  // one second of time
        EXPECT_NEAR(m.TargetDec(), ofDate.lat / kRad, 1.0 / 3600);
        EXPECT_GT(m.TargetRa() - ra / kRad, 0.3);                 // about 1.4 minutes of time
    });
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0], "Slew 2026/12/8 21:5 M42 " + rig.scope->TargetText());
    EXPECT_EQ(rig.scope->TargetText(), "赤経 " + rig.scope->RaText() + " 赤緯 " + rig.scope->DecText() + " ");

    // Read back from a mount standing on the target: J2000 again (to the
    // 0.1-minute precision of the reply), the mount's own values kept aside.
    std::string text;
    ASSERT_TRUE(rig.scope->ReadPosition(text, true));
    EXPECT_NEAR(rig.scope->TelescopeRa(), ra / kRad, 0.03);
    EXPECT_NEAR(rig.scope->TelescopeDec(), dec / kRad, 0.02);
    EXPECT_NEAR(rig.scope->MountRa(), ofDate.lon / kRad, 0.03);

    // A target given of date is sent as it is.
    rig.mount.ClearCommands();
    ASSERT_TRUE(rig.scope->SetTarget(10 * kRad, 20 * kRad, TargetFrame::OfDate, "木星"));
    EXPECT_EQ(rig.scope->RaText(), "00:40:00");
    EXPECT_EQ(rig.scope->DecText(), "+20*00*00");
    // Values no mount can take are refused and change nothing.
    EXPECT_FALSE(rig.scope->SetTarget(std::nan(""), 0));
    EXPECT_FALSE(rig.scope->SetTarget(0, 1.6));
    EXPECT_EQ(rig.scope->RaText(), "00:40:00");
    EXPECT_EQ(rig.scope->TargetName(), "木星");
}

// Angular distance in minutes of arc between two positions in degrees.
double ArcMinutesApart(double ra1, double dec1, double ra2, double dec2) {
    const double c = std::sin(dec1 * kRad) * std::sin(dec2 * kRad) +
                     std::cos(dec1 * kRad) * std::cos(dec2 * kRad) * std::cos((ra1 - ra2) * kRad);
    return std::acos(std::clamp(c, -1.0, 1.0)) / kRad * 60.0;
}

// A mount that reports its pointing off by an error: a goto lands off by it,
// a sync on the object (the target sent as for a goto, then :CM#, whose reply
// line says anything) removes it, and the next goto lands on its object. With
// TS/JNOW on the sync sends the coordinates of date, like a goto.
TEST(TelescopeControllerTest, SyncOnTheWireRemovesAPointingError) {
    Options o;
    o.slewSeconds = 0;
    o.pointingErrorRa = 30;
    o.pointingErrorDec = -20;
    ScopeRig rig(o);
    std::vector<std::string> history;
    rig.scope->SetGotoLog([&](const std::string& line) { history.push_back(line); });
    ASSERT_TRUE(rig.Connect());
    auto readOff = [&](double raDeg, double decDeg) {
        std::string text;
        EXPECT_TRUE(rig.scope->ReadPosition(text, true)) << text;
        return ArcMinutesApart(rig.scope->TelescopeRa(), rig.scope->TelescopeDec(), raDeg, decDeg);
    };
    // Targets at 45 and 50 degrees: the low-precision replies are good to half a minute there.
    ASSERT_TRUE(rig.scope->SetTarget(5.5 * 15 * kRad, 45 * kRad, TargetFrame::J2000, "A"));
    ASSERT_TRUE(rig.scope->Goto());
    const double error = std::hypot(30 * std::cos(45 * kRad), 20);
    EXPECT_NEAR(readOff(82.5, 45), error, 1.0);

    rig.mount.ClearCommands();
    ASSERT_TRUE(rig.scope->Sync()) << rig.scope->StatusText();
    EXPECT_EQ(rig.Received(), ":U#:Sr 05:30:00#:U#:U#:Sd +45*00*00#:U#:CM#");
    EXPECT_EQ(rig.scope->State(), Mount::kDone);
    EXPECT_LT(readOff(82.5, 45), 1.0);
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[1], "Sync 2026/12/8 21:5 A 赤経 05:30:00 赤緯 +45*00*00 ");

    ASSERT_TRUE(rig.scope->SetTarget(7.25 * 15 * kRad, 50 * kRad, TargetFrame::J2000, "B"));
    ASSERT_TRUE(rig.scope->Goto());
    EXPECT_LT(readOff(108.75, 50), 1.0);
    rig.mount.With([](mountsim::MountSimulator& m) {
        EXPECT_NEAR(m.ReportedRa(), m.Ra(), 1e-9);
        EXPECT_NEAR(m.ReportedDec(), m.Dec(), 1e-9);
    });
    EXPECT_TRUE(rig.ui.messages.empty());

    // Coordinates of date: the sync sends what a goto sends.
    rig.scope->coordinatesOfDate = true;
    ASSERT_TRUE(rig.scope->SetTarget(5.5 * 15 * kRad, 45 * kRad, TargetFrame::J2000, "A"));
    rig.mount.ClearCommands();
    ASSERT_TRUE(rig.scope->Sync());
    EXPECT_EQ(rig.Received(), ":U#:Sr " + rig.scope->RaText() + "#:U#:U#:Sd " + rig.scope->DecText() + "#:U#:CM#");
    EXPECT_NE(rig.scope->RaText(), "05:30:00");
    EXPECT_LT(readOff(82.5, 45), 1.0);  // read back in J2000
}

// A refused or silent sync says so as a failed goto does, and logs nothing.
TEST(TelescopeControllerTest, SyncFailures) {
    struct Case {
        std::string command;
        std::optional<std::string> reply;
        std::string status;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"Sd", "0", "コマンド不良 Sd", "Sd Error0"},
        {"CM", std::nullopt, "受信なし CM:", "5秒間 応答なし"},
        {"CM", "Coordinates", "異常応答 CM:Coordinates", "応答が不正です Coordinates"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command + " reply " + c.reply.value_or("(none)"));
        FakeClock fake;
        ScopeRig rig(Reply(c.command, c.reply), &fake);
        int logged = 0;
        rig.scope->SetGotoLog([&](const std::string&) { ++logged; });
        ASSERT_TRUE(rig.Connect());
        rig.scope->SetTarget(10 * kRad, 20 * kRad);
        EXPECT_FALSE(rig.scope->Sync());
        EXPECT_EQ(rig.scope->StatusText(), c.status);
        EXPECT_TRUE(rig.HasError(c.message));
        EXPECT_EQ(logged, 0);
        EXPECT_EQ(rig.Received().find(":CM#") != std::string::npos, c.command == "CM");
    }
}

TEST(TelescopeControllerTest, TracePeriods) {
    MemorySettingsStore store;
    RecordingTelescopeUi ui;
    FakeClock clock;
    TelescopeController c(store, ui, clock);
    EXPECT_EQ(c.traceInterval, 2);
    EXPECT_EQ(c.TracePeriodMs(), 3000);
    c.traceInterval = 0;
    EXPECT_EQ(c.TracePeriodMs(), 500);
    c.traceInterval = 7;
    EXPECT_EQ(c.TracePeriodMs(), 3000);

    // The settings dialog's values go to the store and come back.
    c.telescopeType = 1;
    c.comPort = 4;
    c.traceEnabled = 1;
    c.traceInterval = 1;
    c.SaveSettings(store);
    TelescopeController d(store, ui, clock);
    EXPECT_EQ(d.telescopeType, 1);
    EXPECT_EQ(d.comPort, 4);
    EXPECT_EQ(d.traceEnabled, 1);
    EXPECT_EQ(d.TracePeriodMs(), 1000);
    // A port number outside 1..4 reads as port 1.
    store.WriteProfileInt("TS", "COMPORT", 0);
    d.LoadSettings();
    EXPECT_EQ(d.comPort, 1);
}

}  // namespace
}  // namespace tavik
