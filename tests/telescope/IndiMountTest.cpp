// The INDI link against the real server: indiserver with the telescope
// simulator on a free loopback port, started and stopped by each test.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <thread>

#include "IndiTestServer.h"
#include "ScopeTestSupport.h"
#include "astro/Precession.h"
#include "settings/SettingsStore.h"
#include "telescope/IndiMount.h"

namespace tavik {
namespace {

namespace fs = std::filesystem;
using test::OnPath;
constexpr double kRad = std::numbers::pi / 180.0;
constexpr const char* kDevice = "Telescope Simulator";

class IndiMountTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!OnPath("indiserver") || !OnPath("indi_simulator_telescope"))
            GTEST_SKIP() << "indiserver or indi_simulator_telescope not installed (Debian: indi-bin)";
        ASSERT_TRUE(server.Start("indi_simulator_telescope"));
        mount = std::make_unique<IndiMount>(store, ui, clock);
        mount->SetServer("127.0.0.1", server.port);
        mount->SetGotoLog([this](const std::string& line) { history.push_back(line); });
        ASSERT_TRUE(mount->Connect()) << mount->StatusText();
    }
    // Reads until the pointing settles within `tolDeg` of (raDeg, decDeg) in the
    // chart's frame; the limit only guards against a hang.
    bool ReachJ2000(double raDeg, double decDeg, double tolDeg) {
        return test::WaitUntil(
            [&] {
                std::string text;
                if (!mount->ReadPosition(text, true)) return false;
                double dra = std::fabs(mount->TelescopeRa() - raDeg);
                if (dra > 180) dra = 360 - dra;
                return dra * std::cos(decDeg * kRad) < tolDeg &&
                       std::fabs(mount->TelescopeDec() - decDeg) < tolDeg;
            },
            std::chrono::seconds(120));
    }

    test::IndiServer server;
    MemorySettingsStore store;
    RecordingTelescopeUi ui;
    SystemTelescopeClock clock;
    std::unique_ptr<IndiMount> mount;
    std::vector<std::string> history;
};

TEST_F(IndiMountTest, GotoSendsCoordinatesOfDateAndReadsTheTargetBack) {
    EXPECT_EQ(mount->Device(), kDevice);  // no name given: the server's first telescope
    EXPECT_EQ(mount->State(), Mount::kDone);
    std::string text;
    ASSERT_TRUE(mount->ReadPosition(text, true));
    // Close to where the simulator starts (the pole), so the slew is short.
    const double ra = std::fmod(mount->TelescopeRa() + 10.0, 360.0), dec = 80.0;
    ASSERT_TRUE(mount->SetTarget(ra * kRad, dec * kRad, TargetFrame::J2000, "TEST"));
    ASSERT_TRUE(mount->Goto()) << mount->StatusText();
    ASSERT_EQ(history.size(), 1u);
    EXPECT_NE(history[0].find("TEST " + mount->TargetText()), std::string::npos);
    // The simulator tracks at about an arc second.
    ASSERT_TRUE(ReachJ2000(ra, dec, 1.0 / 60));
    // What the mount holds is the target of date.
    const Spherical ofDate = J2000ToDate(ra * kRad, dec * kRad,
                                         CenturiesForLocalTime(clock.LocalNow(), ReadCurrentSite(store).zoneOffsetHours));
    EXPECT_NEAR(mount->MountDec(), ofDate.lat / kRad, 1.0 / 60);
    EXPECT_GT(std::fabs(mount->MountDec() - dec), 0.05);  // precession since 2000 shows
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(IndiMountTest, NudgeMovesRatesSiteAndStop) {
    std::string text;
    ASSERT_TRUE(mount->ReadPosition(text, true));
    const double before = mount->MountDec();
    EXPECT_TRUE(mount->SetSlewRate(4));
    ASSERT_TRUE(mount->Nudge('s')) << mount->StatusText();
    ASSERT_TRUE(test::WaitUntil([&] {
        std::string t;
        return mount->ReadPosition(t, true) && mount->MountDec() < before - 0.1;
    }));
    EXPECT_TRUE(mount->SetSlewRate(2));
    EXPECT_TRUE(mount->SendSiteAndTime()) << mount->StatusText();
    EXPECT_FALSE(mount->Nudge('x'));

    // A long slew, stopped: the declination stands still afterwards.
    ASSERT_TRUE(mount->SetTarget(0.0, -60 * kRad, TargetFrame::OfDate));
    ASSERT_TRUE(mount->Goto());
    ASSERT_TRUE(mount->Stop()) << mount->StatusText();
    ASSERT_TRUE(mount->ReadPosition(text, true));
    const double stopped = mount->MountDec();
    clock.Sleep(std::chrono::milliseconds(1500));
    ASSERT_TRUE(mount->ReadPosition(text, true));
    EXPECT_NEAR(mount->MountDec(), stopped, 1.0 / 3600);
    EXPECT_GT(stopped, -59.0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(IndiMountTest, ServerGoneMidTraceEndsTheTrace) {
    ASSERT_TRUE(mount->SetTarget(0.0, 85 * kRad, TargetFrame::OfDate));
    ASSERT_TRUE(mount->Goto());
    mount->SetTraceRemaining(60000);
    double ra = 0, dec = 0;
    ASSERT_TRUE(mount->TraceStep(ra, dec));
    server.Stop();
    // The next steps notice the lost server; none of them waits for long.
    int steps = 0;
    while (mount->TraceStep(ra, dec) && ++steps < 1000) clock.Sleep(std::chrono::milliseconds(5));
    EXPECT_LT(steps, 1000);
    EXPECT_EQ(mount->TraceRemaining(), 0);
    EXPECT_EQ(mount->State(), Mount::kIdle);
    EXPECT_FALSE(mount->IsConnected());
    // Every later operation reports the link closed, and a new connection fails.
    EXPECT_FALSE(mount->Goto());
    EXPECT_EQ(mount->StatusText(), scope_text::kNotOpen);
    EXPECT_FALSE(mount->Connect());
}

// Another client parks the mount; the refused slew says what the driver said.
TEST_F(IndiMountTest, RefusedSlewReportsTheDriversMessage) {
    if (!OnPath("indi_setprop") || !OnPath("indi_getprop")) GTEST_SKIP() << "no indi_setprop";
    // Parked where it stands (at once), both on one connection, in order.
    const std::string device = std::string("'") + kDevice;
    const std::string port = " -p " + std::to_string(server.port) + " ";
    ASSERT_EQ(std::system(("indi_setprop" + port + device + ".TELESCOPE_PARK_OPTION.PARK_CURRENT=On' " +
                           device + ".TELESCOPE_PARK.PARK=On'").c_str()),
              0);
    ASSERT_TRUE(test::WaitUntil([&] {
        const std::string cmd = "indi_getprop" + port + device + ".TELESCOPE_PARK.PARK' " + device +
                                ".TELESCOPE_PARK._STATE' 2>/dev/null";
        return std::system((cmd + " | grep -c -e 'PARK.PARK=On$' -e '_STATE=Ok$' | grep -q 2").c_str()) == 0;
    }));
    ASSERT_TRUE(mount->SetTarget(0.0, 80 * kRad, TargetFrame::OfDate));
    EXPECT_FALSE(mount->Goto());
    EXPECT_EQ(mount->State(), Mount::kBadReply);
    EXPECT_NE(mount->StatusText().find("unpark"), std::string::npos) << mount->StatusText();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, mount->StatusText());
    EXPECT_TRUE(history.empty());
}

// The shell contract: the serial form's output and exit codes.
TEST_F(IndiMountTest, CliDrivesTheServer) {
    mount->Disconnect();
    const fs::path cfg = server.home / "cfg";
    fs::create_directories(cfg);
    auto cli = [&](const std::string& args, int* status) {
        const std::string cmd = "XDG_CONFIG_HOME='" + cfg.string() + "' '" TAVIK_CLI "' scope " + args +
                                " 2>/dev/null";
        std::string out;
        FILE* p = popen(cmd.c_str(), "r");
        char buf[1024];
        std::size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        const int st = pclose(p);
        *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        return out;
    };
    const std::string server = "--indi 127.0.0.1:" + std::to_string(this->server.port);
    int status = -1;
    EXPECT_EQ(cli(server + " --name '" + kDevice + "' goto --ra 01:00:00 --dec +85:00:00", &status),
              "導入コマンドを送りました\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(cli(server + " rate 3", &status), "中速コマンド送信した\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(cli(server + " stop", &status), "停止指示\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(cli(server + " position", &status).rfind("ra\t", 0), 0u);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(cli(server + " --name Nothing position", &status), "接続出来ません\n");
    EXPECT_EQ(status, 1);
    cli("--indi 127.0.0.1:0 position", &status);
    EXPECT_EQ(status, 2);
}

TEST(IndiServerAddressTest, HostAndPort) {
    std::string host;
    int port = 0;
    EXPECT_TRUE(IndiMount::ParseServer("scope.local", &host, &port));
    EXPECT_EQ(host, "scope.local");
    EXPECT_EQ(port, 7624);
    EXPECT_TRUE(IndiMount::ParseServer("[::1]:7625", &host, &port));
    EXPECT_EQ(host, "::1");
    EXPECT_EQ(port, 7625);
    for (const char* bad : {"", ":7624", "h:", "h:0", "h:65536", "h:12x", "[::1]x"})
        EXPECT_FALSE(IndiMount::ParseServer(bad, &host, &port)) << bad;
}

}  // namespace
}  // namespace tavik
