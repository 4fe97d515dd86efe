// The link over TCP (a mount behind a WiFi adapter), lines that die while a
// reply is awaited, and replies that came but were wrong.

#include <gtest/gtest.h>

#include "ScopeTestSupport.h"
#include "mountsim/MountSimulator.h"

namespace tavik {
namespace {

using test::FakeClock;
using test::ScopeRig;
using test::WaitUntil;
using Options = mountsim::MountOptions;

TEST(NetworkLinkTest, AddressesAndAWholeSessionOverTcp) {
    std::string host, port;
    EXPECT_TRUE(CommPort::ParseNetworkAddress("tcp://192.168.4.1:4030", &host, &port));
    EXPECT_EQ(host, "192.168.4.1");
    EXPECT_EQ(port, "4030");
    EXPECT_TRUE(CommPort::ParseNetworkAddress("tcp://[::1]:10001", &host, &port));
    EXPECT_EQ(host, "::1");
    for (const char* bad : {"/dev/ttyUSB0", "tcp://", "tcp://host", "tcp://:4030", "tcp://h:0",
                            "tcp://h:65536", "tcp://h:40x", "tcp://[::1]4030"}) {
        EXPECT_FALSE(CommPort::ParseNetworkAddress(bad, nullptr, nullptr)) << bad;
    }
    // A malformed address or a port nobody listens on stays closed.
    CommPort closed;
    closed.SetDevicePath("tcp://127.0.0.1:x");
    closed.Open(true);
    EXPECT_FALSE(closed.IsOpen());

    Options o;
    o.ra = 188.625;
    o.dec = -5.5;
    ScopeRig rig(o, nullptr, true);
    ASSERT_EQ(rig.mount.Path().rfind("tcp://127.0.0.1:", 0), 0u);
    ASSERT_TRUE(rig.Connect());
    EXPECT_TRUE(rig.scope->Link().IsNetwork());
    std::string text;
    ASSERT_TRUE(rig.scope->ReadPosition(text, true));
    EXPECT_EQ(text, "赤経：12:34.5#  赤緯：-05*30#");
    rig.scope->SetTarget(0.5, 0.25);
    EXPECT_TRUE(rig.scope->Goto()) << rig.scope->StatusText();
    ASSERT_TRUE(rig.scope->SendSiteAndTime(ObservationSite{"x", 139, 22, 35, 34, 9}));
    rig.scope->Disconnect();
    // Reconnecting later works (a new client replaces the old one).
    ASSERT_TRUE(rig.Connect());
    EXPECT_TRUE(rig.scope->SetSlewRate(3));
    EXPECT_EQ(rig.Received(), ":GR#:GD#:Sh+00#:U#:Sr 01:54:35#:U#:U#:Sd +14*19*26#:U#:MS#"
                              ":SL 21:05:09#:Sg 220*38#:St +35*34#:SC 12/08/26#:Sw 3#");
}

// The other end goes away while a reply is awaited: the wait ends with
// "開いていない" instead of the time-out, and later writes fail.
TEST(NetworkLinkTest, ALostLineEndsTheWaitAndFailsLaterWrites) {
    for (bool tcp : {true, false}) {
        SCOPED_TRACE(tcp ? "tcp" : "pty");
        FakeClock fake;
        Options o;
        o.noReply = true;
        ScopeRig rig(o, &fake, tcp);
        ASSERT_TRUE(rig.Connect());
        bool dropped = false;
        fake.onSleep = [&] {
            if (dropped) return;
            dropped = true;
            // The mount has the command (so the connection has been taken up).
            ASSERT_TRUE(WaitUntil([&] { return !rig.mount.Commands().empty(); }));
            if (tcp) {
                rig.mount.DropClient();
            } else {
                rig.mount.Stop();  // the terminal hangs up
            }
            ASSERT_TRUE(WaitUntil([&] { return rig.scope->Link().LineLost(); }));
        };
        EXPECT_FALSE(rig.scope->SetSlewRate(4));
        EXPECT_TRUE(rig.HasError("開いていない"));
        EXPECT_FALSE(rig.HasError("4秒間 応答なし"));
        EXPECT_LT(fake.NowMs() - 10'300, 1000);
        EXPECT_FALSE(rig.scope->IsConnected());
        EXPECT_FALSE(rig.scope->Nudge('n'));
        EXPECT_FALSE(rig.scope->Stop());
        EXPECT_EQ(rig.scope->StatusText(), "開いていない");
        rig.scope->Disconnect();
        if (tcp) {  // released: the next connection works
            ASSERT_TRUE(rig.Connect());
            rig.mount.With([](mountsim::MountSimulator& m) { m.Options().noReply = false; });
            EXPECT_TRUE(rig.scope->SetSlewRate(4));
        }
    }
}

TEST(NetworkLinkTest, AReplyThatCameButWasWrongIsNotSilence) {
    // Half a line that never ends, and a flood that overfills the reply buffer.
    for (int mode = 0; mode < 2; ++mode) {
        SCOPED_TRACE(mode);
        Options o;
        if (mode == 0) o.partial = true;
        if (mode == 1) o.burst = 3000;
        ScopeRig rig(o);
        ASSERT_TRUE(rig.Connect());
        std::string text;
        EXPECT_FALSE(rig.scope->ReadPosition(text, true));
        EXPECT_EQ(rig.scope->State(), TelescopeController::kBadReply);
        EXPECT_FALSE(rig.HasError("5秒間 応答なし"));
        ASSERT_FALSE(rig.ui.messages.empty());
        EXPECT_EQ(rig.ui.messages.back().text.rfind("応答が不正です ", 0), 0u);
        EXPECT_EQ(text.rfind("   赤経の応答が不正です ", 0), 0u) << text;
    }
}

TEST(NetworkLinkTest, SimulatorAnswersWhatClientsAskOnConnecting) {
    mountsim::MountSimulator m;
    EXPECT_EQ(m.Receive("\x06", 0), "P");
    EXPECT_EQ(m.Receive(":GVP#:GVN#", 0), "Autostar#43Eg#");
    EXPECT_EQ(m.Receive(":Sg 220*38#:St -33*52#:SC 12/09/26#:SL 21:30:00#", 0), "11" "1Updating Planetary Data#                                #" "1");
    EXPECT_EQ(m.Receive(":Gg#:Gt#:GC#:GL#", 90.0), "-139*22#-33*52#12/09/26#21:31:30#");
    EXPECT_EQ(m.Receive(":Sg 074*30#:Gg#:GG#", 90.0), "1+074*30#+00#");
}

}  // namespace
}  // namespace tavik
