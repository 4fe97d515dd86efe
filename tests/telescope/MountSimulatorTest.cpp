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
    EXPECT_EQ(m.Receive(":Sw 9#", 0), "0");
    EXPECT_EQ(m.Receive(":SC 13/01/04#", 0), "0");
    EXPECT_EQ(m.Receive(":SC 02/30/26#", 0), "0");
    EXPECT_EQ(m.Receive(":SC 02/29/26#", 0), "0");
    EXPECT_EQ(m.Receive(":SC 02/29/28#", 0).substr(0, 1), "1");  // a leap year
    EXPECT_EQ(m.Receive(":SC 12/31/04#", 0).substr(0, 1), "1");
    EXPECT_EQ(m.Receive(":SG+25#:SG 5x#:Sa+95*00#:Sz 360*00#:ST 70.0#:SM#", 0), "000000");
    // Split across reads, and unknown commands ignored.
    EXPECT_EQ(m.Receive(":Sw", 0), "");
    EXPECT_EQ(m.Receive(" 3#:XY#", 0), "1");
    EXPECT_EQ(m.SlewRate(), 3);
}

TEST(MountSimulatorTest, RealControllerFormats) {
    MountOptions o;
    o.degreeSign = '\xDF';
    o.dec = -5.5;
    MountSimulator m(o);
    EXPECT_EQ(m.Receive(":GD#:Gt#:Gh#:Go#", 0), "-05\xDF" "30#+00\xDF" "00#+00\xDF#90\xDF#");
    EXPECT_EQ(m.Receive(":U#:GD#", 0), "-05\xDF" "30:00#");
    // :P# is the pointing mode, answered without '#'.
    EXPECT_EQ(m.Receive(":P#", 0), "HIGH PRECISION");
    EXPECT_EQ(m.Receive(":P#", 0), "LOW PRECISION");
    EXPECT_EQ(m.Receive(":Gc#:GT#:GVP#", 0), "24#60.1#Autostar#");
    EXPECT_EQ(m.Receive(":XY#:Q#", 0), "");
    EXPECT_EQ(m.Unknown(), std::vector<std::string>{":XY#"});
}

// Signed longitudes (east negative), the UTC offset, site names, and a clock
// that carries the date over midnight.
TEST(MountSimulatorTest, SiteAndClock) {
    MountSimulator m;
    EXPECT_EQ(m.Receive(":Sg-139*22#:St+35:34:00#:SG-9.0#", 0), "111");
    EXPECT_EQ(m.LongitudeWestMinutes(), 220 * 60 + 38);
    EXPECT_EQ(m.Receive(":Gg#:Gt#:GG#", 0), "-139*22#+35*34#-09#");
    EXPECT_EQ(m.Receive(":SG +05.5#:GG#", 0), "1+05.5#");
    EXPECT_EQ(m.Receive(":SMTokyo#:GM#:GN#", 0), "1Tokyo#Site 2#");
    EXPECT_EQ(m.Receive(":W2#:Gt#:W1#:Gt#", 0), "+00*00#+35*34#");
    EXPECT_EQ(m.Receive(":SC 12/31/26#", 0).substr(0, 1), "1");
    EXPECT_EQ(m.Receive(":SL 23:59:30#:Ga#", 10), "111:59:30#");
    EXPECT_EQ(m.Receive(":GC#:GL#", 70), "01/01/27#00:00:30#");
    EXPECT_EQ(m.Receive(":SS 06:00:00#:GS#", 70), "106:00:00#");
}

TEST(MountSimulatorTest, AltAzimuthSyncAndBars) {
    MountOptions o;
    o.slewSeconds = 10;
    MountSimulator m(o);
    EXPECT_EQ(m.Receive(":St +35*00#:Sd +90*00#:CM#", 0), "11 M31 EX GAL MAG 3.5 SZ178.0'#");
    EXPECT_EQ(m.Dec(), 90.0);
    EXPECT_EQ(m.Receive(":GA#", 0), "+35*00#");  // the pole stands at the latitude
    // An alt-azimuth goto arrives where it was sent, with bars on the way.
    EXPECT_EQ(m.Receive(":Sa+45*00#:Sz120:00#:MA#", 0), "110");
    const std::string bars = m.Receive(":D#", 5);
    EXPECT_GE(bars.size(), 2u);
    EXPECT_EQ(bars.find_first_not_of('\x7F'), bars.size() - 1);
    EXPECT_EQ(m.Receive(":D#", 10), "#");
    m.Options().slewSeconds = 0;  // (the sky turns during a slew)
    EXPECT_EQ(m.Receive(":MA#:GA#:GZ#", 20), "0+45*00#120*00#");
}

TEST(MountSimulatorTest, MoveRates) {
    MountSimulator m;
    EXPECT_EQ(m.Receive(":Sw 8#:Me#", 0), "1");  // slew rate, east: right ascension grows
    m.Advance(1);
    EXPECT_NEAR(m.Ra(), 8.0, 1e-9);
    EXPECT_EQ(m.Receive(":Qe#:RG#:Mn#", 1), "");
    m.Advance(101);
    EXPECT_NEAR(m.Dec(), 200 * 360 / 86164.0905, 1e-9);  // twice the sidereal rate
    EXPECT_EQ(m.Receive(":Q#:RM#:Ms#", 101), "");
    m.Advance(102);
    EXPECT_NEAR(m.MoveRate(), 1.0, 1e-9);
    EXPECT_NEAR(m.Dec(), 200 * 360 / 86164.0905 - 1.0, 1e-9);
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
