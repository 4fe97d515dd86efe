// The simulated mount's own logic, on virtual time.

#include <gtest/gtest.h>

#include "mountsim/MountSimulator.h"

namespace tavik::mountsim {
namespace {

TEST(MountSimulatorTest, GotoSlewsOverTheGivenTime) {
    MountOptions o;
    o.slewSeconds = 4.0;
    o.ra = 350.0;
    o.dec = 10.0;
    MountSimulator m(o);
    EXPECT_EQ(m.Receive(":Sr 00:40:00#:Sd +30*00*00#", 0.0), "11");
    EXPECT_EQ(m.Receive(":MS#", 1.0), "0");
    EXPECT_TRUE(m.Slewing());
    m.Advance(3.0);  // half way, the short way round through 0h
    EXPECT_NEAR(m.Ra(), 0.0, 1e-9);
    EXPECT_NEAR(m.Dec(), 20.0, 1e-9);
    m.Advance(5.0);
    EXPECT_FALSE(m.Slewing());
    EXPECT_NEAR(m.Ra(), 10.0, 1e-9);
    EXPECT_NEAR(m.Dec(), 30.0, 1e-9);
    EXPECT_EQ(m.Receive(":GR#:GD#", 5.0), "00:40.0#+30*00#");
}

TEST(MountSimulatorTest, PrecisionToggleAndFormats) {
    MountSimulator m;
    EXPECT_EQ(MountSimulator::FormatRa(188.625, false), "12:34.5#");
    EXPECT_EQ(MountSimulator::FormatRa(359.9999, true), "00:00:00#");
    EXPECT_EQ(MountSimulator::FormatDec(-5.5, false), "-05*30#");
    EXPECT_EQ(MountSimulator::FormatDec(-5.5, true), "-05*30:00#");
    EXPECT_FALSE(m.HighPrecision());
    EXPECT_EQ(m.Receive("#:U#", 0), "");
    EXPECT_TRUE(m.HighPrecision());
    EXPECT_EQ(m.Receive(":GR#", 0), "00:00:00#");
}

TEST(MountSimulatorTest, ValidatesArgumentsLikeAController) {
    MountSimulator m;
    EXPECT_EQ(m.Receive(":Sr 25:00:00#", 0), "0");
    EXPECT_EQ(m.Receive(":Sd +95*00*00#", 0), "0");
    EXPECT_EQ(m.Receive(":Sg 360*00#", 0), "0");
    EXPECT_EQ(m.Receive(":Sg 220*38#", 0), "1");
    EXPECT_EQ(m.Receive(":St -33*52#", 0), "1");
    EXPECT_EQ(m.Receive(":SL 24:00:00#", 0), "0");
    EXPECT_EQ(m.Receive(":Sw 5#", 0), "0");
    EXPECT_EQ(m.Receive(":SC 13/01/04#", 0), "0");
    EXPECT_EQ(m.Receive(":SC 12/31/04#", 0).substr(0, 1), "1");
    // Split across reads, and unknown commands ignored.
    EXPECT_EQ(m.Receive(":Sw", 0), "");
    EXPECT_EQ(m.Receive(" 3#:XY#", 0), "1");
    EXPECT_EQ(m.SlewRate(), 3);
}

TEST(MountSimulatorTest, Misbehaviour) {
    MountOptions o;
    o.replies["MS"] = "2";
    o.replies["GD"] = std::nullopt;
    MountSimulator m(o);
    EXPECT_EQ(m.Receive(":MS#", 0), "2");
    EXPECT_FALSE(m.Slewing());
    EXPECT_EQ(m.Receive(":GD#", 0), "");
    m.Options().partial = true;
    EXPECT_EQ(m.Receive(":GR#", 0), "00:0");
    m.Options().partial = false;
    m.Options().garbage = true;
    const std::string g = m.Receive(":GR#", 0);
    EXPECT_EQ(g.size(), 13u);
    EXPECT_EQ(g.find_first_of("0123456789#"), std::string::npos);
    m.Options().garbage = false;
    m.Options().burst = 100;
    EXPECT_EQ(m.Receive(":Sw 4#", 0).size(), 101u);
}

}  // namespace
}  // namespace tavik::mountsim
