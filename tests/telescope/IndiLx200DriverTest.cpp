// INDI's own LX200 drivers against the simulated mount, as other LX200
// software would use it: indiserver runs the driver on a free loopback port,
// the driver opens the simulator's pseudo-terminal, and a client of the INDI
// client library connects, sets time and site, slews, syncs and aborts.

#include <gtest/gtest.h>

#include <baseclient.h>
#include <basedevice.h>
#include <indipropertynumber.h>
#include <indipropertyswitch.h>
#include <indipropertytext.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <ostream>
#include <mutex>
#include <string>
#include <vector>

#include "IndiTestServer.h"
#include "ScopeTestSupport.h"
#include "mountsim/PtyMount.h"
#include "settings/SettingsStore.h"
#include "telescope/IndiMount.h"

namespace tavik {
namespace {

using test::WaitUntil;

// What the client has seen of the one device, copied on the library's thread.
class DriverClient final : public INDI::BaseClient {
public:
    struct Prop {
        IPState state = IPS_IDLE;
        std::map<std::string, double> numbers;
        std::map<std::string, bool> switches;
        std::uint64_t updates = 0;
    };
    Prop Get(const std::string& name) {
        std::lock_guard lock(mutex_);
        return props_[name];
    }
    std::vector<std::string> Problems() {
        std::lock_guard lock(mutex_);
        return problems_;
    }

protected:
    void newProperty(INDI::Property p) override { Store(p); }
    void updateProperty(INDI::Property p) override { Store(p); }
    void newMessage(INDI::BaseDevice device, int id) override {
        const std::string text = device.messageQueue(id);
        std::lock_guard lock(mutex_);
        if (text.find("[ERROR]") != std::string::npos || text.find("[WARNING]") != std::string::npos)
            problems_.push_back(text);
    }

private:
    void Store(INDI::Property property) {
        std::lock_guard lock(mutex_);
        Prop& p = props_[property.getName()];
        p.state = property.getState();
        if (property.getType() == INDI_NUMBER) {
            for (auto& n : INDI::PropertyNumber(property)) p.numbers[n.getName()] = n.getValue();
        } else if (property.getType() == INDI_SWITCH) {
            for (auto& w : INDI::PropertySwitch(property)) p.switches[w.getName()] = w.getState() == ISS_ON;
        }
        ++p.updates;
    }

    std::mutex mutex_;
    std::map<std::string, Prop> props_;
    std::vector<std::string> problems_;
};

struct Driver {
    const char* program;
    const char* device;
    bool siteAndTime;  // the basic driver has neither
};
void PrintTo(const Driver& d, std::ostream* os) { *os << d.program; }

class IndiLx200DriverTest : public ::testing::TestWithParam<Driver> {
protected:
    void SetUp() override {
        if (!test::OnPath("indiserver") || !test::OnPath(GetParam().program))
            GTEST_SKIP() << "indiserver or " << GetParam().program << " not installed (Debian: indi-bin)";
        std::string error;
        ASSERT_TRUE(mount.Start(&error)) << error;
        ASSERT_TRUE(server.Start(GetParam().program));
        client.setServer("127.0.0.1", static_cast<unsigned>(server.port));
        client.watchDevice(device.c_str());
        ASSERT_TRUE(client.connectServer());
        ASSERT_TRUE(WaitUntil([&] { return client.Get("CONNECTION").updates > 0; }));
    }
    void TearDown() override {
        client.disconnectServer();
        server.Stop();
        mount.Stop();
    }

    void SendNumbers(const char* property, const std::vector<std::pair<const char*, double>>& values) {
        INDI::PropertyNumber p(values.size());
        p.setDeviceName(device.c_str());
        p.setName(property);
        for (std::size_t i = 0; i < values.size(); ++i) {
            p[i].setName(values[i].first);
            p[i].setValue(values[i].second);
        }
        client.sendNewNumber(p);
    }
    void SendTexts(const char* property, const std::vector<std::pair<const char*, std::string>>& values) {
        INDI::PropertyText p(values.size());
        p.setDeviceName(device.c_str());
        p.setName(property);
        for (std::size_t i = 0; i < values.size(); ++i) {
            p[i].setName(values[i].first);
            p[i].setText(values[i].second.c_str());
        }
        client.sendNewText(p);
    }
    // An update after `before` in the state wanted.
    bool Settles(const char* property, std::uint64_t before, IPState wanted) {
        return WaitUntil([&] {
            const auto p = client.Get(property);
            return p.updates > before && p.state == wanted;
        });
    }
    // The position the driver reports is within an arc minute of (hours, degrees).
    bool ReportsNear(double raHours, double dec) {
        const auto p = client.Get("EQUATORIAL_EOD_COORD");
        double dRa = std::fabs(p.numbers.at("RA") - raHours) * 15.0;
        if (dRa > 180) dRa = 360 - dRa;
        return dRa * std::cos(dec * std::numbers::pi / 180) < 1.0 / 60 &&
               std::fabs(p.numbers.at("DEC") - dec) < 1.0 / 60;
    }

    std::string device = GetParam().device;
    mountsim::PtyMount mount{[] {
        mountsim::MountOptions o;
        o.slewSeconds = 1.0;
        return o;
    }()};
    test::IndiServer server;
    DriverClient client;
};

TEST_P(IndiLx200DriverTest, ConnectSiteGotoSyncAbort) {
    // Connect: the driver asks what it asks, and every query is answered.
    SendTexts("DEVICE_PORT", {{"PORT", mount.Path()}});
    client.sendNewSwitch(device.c_str(), "DEVICE_AUTO_SEARCH", "INDI_DISABLED");
    client.sendNewSwitch(device.c_str(), "CONNECTION", "CONNECT");
    ASSERT_TRUE(Settles("CONNECTION", 0, IPS_OK));
    // The driver's questions on connecting are over when it polls the position.
    ASSERT_TRUE(WaitUntil([&] {
        const auto sent = mount.Commands();
        return std::count(sent.begin(), sent.end(), ":GD#") >= 2;
    }));
    SendNumbers("POLLING_PERIOD", {{"PERIOD_MS", 250}});

    if (GetParam().siteAndTime) {
        auto before = client.Get("TIME_UTC").updates;
        SendTexts("TIME_UTC", {{"UTC", "2026-12-08T12:05:09"}, {"OFFSET", "9"}});
        ASSERT_TRUE(Settles("TIME_UTC", before, IPS_OK));
        before = client.Get("GEOGRAPHIC_COORD").updates;
        SendNumbers("GEOGRAPHIC_COORD", {{"LAT", 35 + 34 / 60.0}, {"LONG", 139 + 22 / 60.0}, {"ELEV", 10}});
        ASSERT_TRUE(Settles("GEOGRAPHIC_COORD", before, IPS_OK));
        mount.With([&](mountsim::MountSimulator& m) {
            EXPECT_EQ(m.LongitudeWestMinutes(), 220 * 60 + 38);
            EXPECT_EQ(m.LatitudeMinutes(), 35 * 60 + 34);
            EXPECT_EQ(m.UtcOffsetHours(), -9.0);
            EXPECT_EQ(m.Receive(":GC#", mount.Now()), "12/08/26#");
            EXPECT_EQ(m.Receive(":GL#", mount.Now()).substr(0, 6), "21:05:");
        });
    }

    // A goto ends at the target with the state Ok.
    auto before = client.Get("EQUATORIAL_EOD_COORD").updates;
    SendNumbers("EQUATORIAL_EOD_COORD", {{"RA", 5.5}, {"DEC", -5.25}});
    ASSERT_TRUE(WaitUntil([&] {
        const auto p = client.Get("EQUATORIAL_EOD_COORD");
        return p.updates > before && p.state == IPS_OK && ReportsNear(5.5, -5.25);
    }));
    mount.With([](mountsim::MountSimulator& m) {
        EXPECT_NEAR(m.Ra(), 82.5, 1e-6);
        EXPECT_NEAR(m.Dec(), -5.25, 1e-6);
    });

    // A sync moves the pointing, without a slew.
    client.sendNewSwitch(device.c_str(), "ON_COORD_SET", "SYNC");
    before = client.Get("EQUATORIAL_EOD_COORD").updates;
    SendNumbers("EQUATORIAL_EOD_COORD", {{"RA", 6.0}, {"DEC", 10.0}});
    ASSERT_TRUE(WaitUntil([&] {
        const auto p = client.Get("EQUATORIAL_EOD_COORD");
        return p.updates > before && p.state == IPS_OK && ReportsNear(6.0, 10.0);
    }));
    mount.With([](mountsim::MountSimulator& m) {
        EXPECT_FALSE(m.Slewing());
        EXPECT_NEAR(m.Ra(), 90.0, 1e-6);
    });

    // A long slew, aborted: the mount stops short of the target.
    client.sendNewSwitch(device.c_str(), "ON_COORD_SET", "TRACK");
    mount.With([](mountsim::MountSimulator& m) { m.Options().slewSeconds = 600; });
    SendNumbers("EQUATORIAL_EOD_COORD", {{"RA", 18.0}, {"DEC", -60.0}});
    ASSERT_TRUE(WaitUntil([&] {
        bool slewing = false;
        mount.With([&](mountsim::MountSimulator& m) { slewing = m.Slewing(); });
        return slewing;
    }));
    before = client.Get("TELESCOPE_ABORT_MOTION").updates;
    client.sendNewSwitch(device.c_str(), "TELESCOPE_ABORT_MOTION", "ABORT");
    ASSERT_TRUE(Settles("TELESCOPE_ABORT_MOTION", before, IPS_OK));
    mount.With([](mountsim::MountSimulator& m) {
        EXPECT_FALSE(m.Slewing());
        EXPECT_GT(m.Dec(), 0.0);
    });
    EXPECT_TRUE(WaitUntil([&] { return client.Get("EQUATORIAL_EOD_COORD").state != IPS_BUSY; }));

    EXPECT_TRUE(client.Problems().empty()) << client.Problems().front();
    mount.With([](mountsim::MountSimulator& m) {
        EXPECT_TRUE(m.Unknown().empty()) << m.Unknown().front();
    });
}

// Tavik's INDI link through the driver, on a mount that reports its pointing
// off by an error: the goto lands off, Tavik's sync (ON_COORD_SET SYNC, the
// coordinates, TRACK again) reaches the mount as :Sr, :Sd and :CM# and removes
// the error, and the next goto lands on its object.
TEST_P(IndiLx200DriverTest, TavikSyncThroughTheDriverRemovesAPointingError) {
    mountsim::PtyMount off([] {
        mountsim::MountOptions o;
        o.slewSeconds = 0.5;
        o.pointingErrorRa = 30;
        o.pointingErrorDec = -20;
        return o;
    }());
    std::string error;
    ASSERT_TRUE(off.Start(&error)) << error;
    SendTexts("DEVICE_PORT", {{"PORT", off.Path()}});
    client.sendNewSwitch(device.c_str(), "DEVICE_AUTO_SEARCH", "INDI_DISABLED");
    client.sendNewSwitch(device.c_str(), "CONNECTION", "CONNECT");
    ASSERT_TRUE(Settles("CONNECTION", 0, IPS_OK));
    SendNumbers("POLLING_PERIOD", {{"PERIOD_MS", 250}});

    MemorySettingsStore store;
    store.WriteProfileInt("TS", "JNOW", 0);
    RecordingTelescopeUi ui;
    SystemTelescopeClock clock;
    IndiMount scope(store, ui, clock);
    scope.SetServer("127.0.0.1", server.port);
    scope.SetDevice(device);
    std::vector<std::string> history;
    scope.SetGotoLog([&](const std::string& line) { history.push_back(line); });
    ASSERT_TRUE(scope.Connect()) << scope.StatusText();
    // Reads until the reported position is at (hours, degrees), within a minute (the
    // basic driver holds the slew Busy while the mount reports a position off its target).
    auto reaches = [&](double raHours, double dec) {
        return WaitUntil([&] {
            std::string text;
            return scope.ReadPosition(text, true) && ReportsNear(raHours, dec);
        });
    };
    constexpr double kRad = std::numbers::pi / 180;
    ASSERT_TRUE(scope.SetTarget(5.5 * 15 * kRad, 45 * kRad, TargetFrame::J2000, "A"));
    ASSERT_TRUE(scope.Goto()) << scope.StatusText();
    EXPECT_TRUE(reaches(5.5 + 2.0 / 60, 45 - 20.0 / 60));  // off by 30' and -20'

    off.ClearCommands();
    ASSERT_TRUE(scope.Sync()) << scope.StatusText();
    EXPECT_TRUE(reaches(5.5, 45));
    const auto sent = off.Commands();
    auto sentLike = [&](const char* start) {
        return std::any_of(sent.begin(), sent.end(), [&](const std::string& c) { return c.rfind(start, 0) == 0; });
    };
    EXPECT_TRUE(sentLike(":Sr") && sentLike(":Sd") && sentLike(":CM#"));
    EXPECT_FALSE(sentLike(":MS#"));
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[1].rfind("Sync ", 0), 0u) << history[1];
    // For every client again (the driver's update may still be on its way).
    EXPECT_TRUE(WaitUntil([&] { return client.Get("ON_COORD_SET").switches["TRACK"]; }));

    ASSERT_TRUE(scope.SetTarget(7.25 * 15 * kRad, 50 * kRad, TargetFrame::J2000, "B"));
    ASSERT_TRUE(scope.Goto()) << scope.StatusText();
    EXPECT_TRUE(reaches(7.25, 50));
    off.With([](mountsim::MountSimulator& m) {
        EXPECT_NEAR(m.Ra(), 108.75, 1.0 / 60);
        EXPECT_NEAR(m.Dec(), 50, 1.0 / 60);
    });
    EXPECT_TRUE(ui.messages.empty());
    scope.Disconnect();
    off.Stop();
}

INSTANTIATE_TEST_SUITE_P(Drivers, IndiLx200DriverTest,
                         ::testing::Values(Driver{"indi_lx200autostar", "LX200 Autostar", true},
                                           Driver{"indi_lx200basic", "LX200 Basic", false}),
                         [](const auto& info) { return std::string(info.param.program).substr(5); });

}  // namespace
}  // namespace tavik
