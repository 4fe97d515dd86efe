// tavik-cli scope against the simulated mount: the output and exit status are
// a contract other tools rely on.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <numbers>
#include <string>
#include <thread>

#include "astro/Planets.h"
#include "astro/Precession.h"
#include "astro/TimeScales.h"
#include "astro/DateTime.h"
#include "mountsim/PtyMount.h"

namespace tavik {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int status = -1;
    std::string out, err;
};

// Runs tavik-cli with a private settings folder (the user's settings are never
// touched).
CliRun Cli(const std::string& args, const std::string& ini = "") {
    // One folder per test: ctest runs the cases in parallel processes.
    const fs::path home = fs::path(TAVIK_BINARY_DIR) / "cli-scope-test" /
                          ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(home / "Arvex");
    fs::remove(home / "Arvex" / "Tavik.ini");
    // No altitude limit unless a case sets one: the targets stand wherever
    // the sky is at the hour the test runs.
    std::string text = ini;
    if (text.find("ALT_LIMIT") == std::string::npos) {
        const std::size_t ts = text.find("[TS]\n");
        if (ts == std::string::npos) text = "[TS]\nALT_LIMIT=-90\n" + text;
        else text.insert(ts + 5, "ALT_LIMIT=-90\n");
    }
    std::ofstream(home / "Arvex" / "Tavik.ini") << text;
    const fs::path errFile = home / "stderr.txt";
    const std::string cmd = "XDG_CONFIG_HOME='" + home.string() + "' '" TAVIK_CLI "' scope " +
                            args + " 2>'" + errFile.string() + "'";
    CliRun r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    std::ifstream e(errFile);
    std::stringstream ss;
    ss << e.rdbuf();
    r.err = ss.str();
    return r;
}

// Coordinates as the mount takes them (TS/JNOW off).
constexpr const char* kMountFrame = "[TS]\nJNOW=0\n";

class CliScopeTest : public ::testing::Test {
protected:
    void Start(mountsim::MountOptions o = {}) {
        mount = std::make_unique<mountsim::PtyMount>(std::move(o));
        ASSERT_TRUE(mount->Start());
        dev = "--device " + mount->Path() + " ";
    }
    std::string Sent() const {
        std::string all;
        for (const auto& c : mount->Commands()) all += c;
        return all;
    }
    std::unique_ptr<mountsim::PtyMount> mount;
    std::string dev;
};

TEST_F(CliScopeTest, Position) {
    mountsim::MountOptions o;
    o.ra = 188.625;
    o.dec = -5.5;
    Start(o);
    const CliRun r = Cli(dev + "position", kMountFrame);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "ra\t188.625\ndec\t-5.5\ntext\t赤経：12:34.5#  赤緯：-05*30#\n");
}

TEST_F(CliScopeTest, GotoSucceedsAndFails) {
    Start();
    CliRun r = Cli(dev + "goto --ra 05:35:17 --dec -05:23:28", kMountFrame);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "導入コマンドを送りました\n");
    EXPECT_EQ(Sent(), ":Sh-90#:U#:Sr 05:35:17#:U#:U#:Sd -05*23*28#:U#:MS#");

    mountsim::MountOptions below;
    below.replies["MS"] = "1";
    Start(below);
    r = Cli(dev + "goto --ra 05:35:17 --dec -05:23:28");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "地平線下 MS:1\n");
    EXPECT_NE(r.err.find("MS Error1"), std::string::npos) << r.err;

    // Below the altitude limit at the moment of the goto (declination -80 never
    // rises at the default site): refused before the port is touched, unless forced.
    Start();
    r = Cli(dev + "goto --ra 05:35:17 --dec -80:00:00", "[TS]\nALT_LIMIT=0\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "地平線下です\n");
    EXPECT_NE(r.err.find("地平線下です。導入しますか？"), std::string::npos) << r.err;
    EXPECT_TRUE(mount->Commands().empty());
    r = Cli(dev + "goto --force --ra 05:35:17 --dec -80:00:00", "[TS]\nALT_LIMIT=0\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Sent().rfind(":Sh+00#:U#:Sr ", 0), 0u) << Sent();
}

// sync takes goto's targets and tells the mount it points there.
TEST_F(CliScopeTest, SyncByCoordinatesAndByObject) {
    mountsim::MountOptions o;
    o.pointingErrorRa = 30;
    Start(o);
    CliRun r = Cli(dev + "sync --ra 05:35:17 --dec -05:23:28", kMountFrame);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "同期コマンドを送りました\n");
    EXPECT_EQ(Sent(), ":U#:Sr 05:35:17#:U#:U#:Sd -05*23*28#:U#:CM#");
    mount->With([](mountsim::MountSimulator& m) { EXPECT_NEAR(m.ReportedRa(), 83.8208, 1e-3); });
    mount->ClearCommands();
    r = Cli(dev + "sync --object シリウス", kMountFrame);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Sent(), ":U#:Sr 06:45:09#:U#:U#:Sd -16*42*58#:U#:CM#");
    EXPECT_EQ(Cli(dev + "sync --ra 1:0:0").status, 2);
    // A sync moves nothing: no altitude limit, and no ":Sh" ahead of it.
    mount->ClearCommands();
    r = Cli(dev + "sync --ra 05:35:17 --dec -80:00:00", "[TS]\nJNOW=0\nALT_LIMIT=0\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Sent(), ":U#:Sr 05:35:17#:U#:U#:Sd -80*00*00#:U#:CM#");

    mountsim::MountOptions refused;
    refused.replies["Sd"] = "0";
    Start(refused);
    r = Cli(dev + "sync --ra 05:35:17 --dec -05:23:28");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "コマンド不良 Sd\n");
    EXPECT_EQ(Sent().find(":CM#"), std::string::npos);
}

TEST_F(CliScopeTest, SiteFromOptionsAndFromSettings) {
    Start();
    CliRun r = Cli(dev + "site --lon 10:0 --lat -33:52");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "設定しました\n");
    const std::string sent = Sent();
    EXPECT_EQ(sent.rfind(":SL ", 0), 0u) << sent;
    EXPECT_NE(sent.find(":Sg 350*00#:St -33*52#:SC "), std::string::npos) << sent;

    mount->ClearCommands();
    // The time and date sent are the site's (UTC + SETTING/JISA), as the window
    // sends them, whatever zone this machine keeps.
    const std::time_t before = std::time(nullptr);
    r = Cli(dev + "site", "[LOCATION]\nTOUKEI=139\nTOUKEIF=22\nHOKUI=35\nHOKUIF=34\n[SETTING]\nJISA=-5\n");
    const std::time_t after = std::time(nullptr);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(Sent().find(":Sg 220*38#:St +35*34#"), std::string::npos) << Sent();
    auto stamp = [](std::time_t t) {
        const DateTime d = SiteTimeAt(t, -5);
        char text[64];
        std::snprintf(text, sizeof text, ":SL %02d:%02d:", d.Hour(), d.Minute());
        std::string out = text;
        std::snprintf(text, sizeof text, ":SC %02d/%02d/%02d#", d.Month(), d.Day(), d.Year() % 100);
        return std::pair{out, std::string(text)};
    };
    const auto [timeBefore, dateBefore] = stamp(before);
    const auto [timeAfter, dateAfter] = stamp(after);
    const std::string site = Sent();
    EXPECT_TRUE(site.rfind(timeBefore, 0) == 0 || site.rfind(timeAfter, 0) == 0) << site;
    EXPECT_TRUE(site.find(dateBefore) != std::string::npos || site.find(dateAfter) != std::string::npos) << site;
}

TEST_F(CliScopeTest, NudgeRateStop) {
    Start();
    CliRun r = Cli(dev + "nudge e");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "左移動指示送信した\n");
    r = Cli(dev + "rate 3");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "中速コマンド送信した\n");
    r = Cli(dev + "stop");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "停止指示\n");
    // The last command may still be on its way to the mount when tavik-cli ends.
    for (int i = 0; i < 3000 && mount->Commands().size() < 5; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(Sent(), ":Me#:Qe#:Q#:Sw 3#:Q#");
}

TEST_F(CliScopeTest, FailuresAndUsage) {
    // No port.
    CliRun r = Cli("--device /nonexistent/tavik-port position");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "接続出来ません\n");

    // The port from the settings: TS/COMPORT 3 with its device path.
    r = Cli("position", "[TS]\nCOMPORT=3\nDEVICE3=/nonexistent/tavik-port3\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("/nonexistent/tavik-port3"), std::string::npos) << r.err;

    // Usage errors are found before the port is touched.
    for (const char* bad : {"", "fly", "nudge x", "rate 5", "goto --ra 25:00:00 --dec 0:0:0",
                            "goto --ra 1:0:0 --dec +91:00:00", "goto --ra 1:0:0", "position extra"}) {
        r = Cli(std::string("--device /nonexistent/x ") + bad);
        EXPECT_EQ(r.status, 2) << bad << ": " << r.err;
    }
}

// goto --object sends what the window sends: a catalogue object precessed to
// the present equinox, a planet of date as computed; over TCP as well.
TEST_F(CliScopeTest, GotoObjectLikeTheWindow) {
    mount = std::make_unique<mountsim::PtyMount>();
    ASSERT_TRUE(mount->StartTcp(0));
    dev = "--device " + mount->Path() + " ";
    CliRun r = Cli(dev + "goto --object ' m 42 '");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "導入コマンドを送りました\n");
    EXPECT_NE(r.err.find("M42 オリオン大星雲 赤経 "), std::string::npos) << r.err;
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    const DateTime ut(utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
    const Spherical m42 = J2000ToDate(1.4634585777972453, -0.095120444233690968, JulianCenturies(ut));
    mount->With([&](mountsim::MountSimulator& m) {
        EXPECT_NEAR(m.TargetRa(), m42.lon * 180 / std::numbers::pi, 1.0 / 240);
        EXPECT_NEAR(m.TargetDec(), m42.lat * 180 / std::numbers::pi, 1.0 / 3600);
    });

    // Jupiter at 2026-12-09 21:00 (UT 12:00 at the default site): in
    // coordinates of date as the engine computes them (JNOW on), or in J2000
    // as the chart draws it among the stars (JNOW off).
    std::array<double, kPlanetCount> ra{}, dec{};
    const DateTime jupiterUt(2026, 12, 9, 12, 0, 0);
    PlanetsEquatorial(jupiterUt, ra, dec);
    const Spherical ofDate{ra[3], dec[3]};
    const Spherical j2000 = DateToJ2000(ofDate, jupiterUt);
    ASSERT_GT(std::abs(j2000.lon - ofDate.lon) * 180 / std::numbers::pi, 0.3);
    for (const auto& [ini, sent] : {std::pair{"", ofDate}, std::pair{kMountFrame, j2000}}) {
        r = Cli(dev + "goto --object 木星 --date 2026-12-09 --time 21:00:00", ini);
        EXPECT_EQ(r.status, 0) << r.err;
        mount->With([&](mountsim::MountSimulator& m) {
            EXPECT_NEAR(m.TargetRa(), sent.lon * 180 / std::numbers::pi, 1.0 / 240) << ini;
            EXPECT_NEAR(m.TargetDec(), sent.lat * 180 / std::numbers::pi, 1.0 / 3600) << ini;
        });
    }
    // A name of the catalogue, sent in J2000 with JNOW off.
    mount->ClearCommands();
    r = Cli(dev + "goto --object シリウス", kMountFrame);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Sent(), ":Sh-90#:U#:Sr 06:45:09#:U#:U#:Sd -16*42*58#:U#:MS#");
    // What a person types, through the name index: the first result of a prefix.
    mount->ClearCommands();
    r = Cli(dev + "goto --object ベテ", kMountFrame);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("ベテルギウス 赤経 "), std::string::npos) << r.err;
    EXPECT_EQ(Sent(), ":Sh-90#:U#:Sr 05:55:10#:U#:U#:Sd +07*24*26#:U#:MS#");

    // Unknown objects and an empty device are usage errors; nothing is sent.
    mount->ClearCommands();
    EXPECT_EQ(Cli(dev + "goto --object 'no such thing'").status, 2);
    EXPECT_EQ(Cli("--device '' position").status, 2);
    EXPECT_EQ(Cli(dev + "goto --object M42 --ra 1:0:0 --dec 0:0").status, 2);
    EXPECT_TRUE(mount->Commands().empty());
}

TEST_F(CliScopeTest, NoReplyFailsWithTheProtocolsMessage) {
    mountsim::MountOptions o;
    o.replies["Sw"] = std::nullopt;
    Start(o);
    const CliRun r = Cli(dev + "rate 4");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "高速コマンド失敗 受信なし Sw\n");
    EXPECT_NE(r.err.find("4秒間 応答なし"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace tavik
