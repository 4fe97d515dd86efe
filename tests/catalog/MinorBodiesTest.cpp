#include "catalog/MinorBodies.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>

#include "astro/Angles.h"

using namespace tavik;

namespace {

// Lines laid out column for column as the Minor Planet Center's CometEls.txt
// and MPCORB.DAT lay them out, with elements close to the published ones.
const char* const kHalley =
    "0001P         1986 02  9.4589  0.574716  0.967943  112.2578   59.1145  162.1879  19860219   5.5  8.0  "
    "1P/Halley                                                MPC 91502";
const char* const kEncke =
    "0002P         2023 10 22.5265  0.339384  0.847134  187.0940  334.1858   11.3522  20231018  11.5  6.0  "
    "2P/Encke                                                 MPEC 2023-T78";
const char* const kNeowise =
    "    CK20F030  2020 07  3.6790  0.294653  0.999178   37.2785   61.0103  128.9375  20200720   7.0  3.2  "
    "C/2020 F3 (NEOWISE)                                      MPEC 2020-P62";
const char* const kCeres =
    "00001    3.34  0.15 K24AH 145.84905   73.27346   80.25230   10.58728  0.0795762  0.21420460   2.7660512  0 "
    "E2024-V47  7330 125 1801-2024 0.80 M-v 30k MPCLINUX   0000 (1) Ceres                   20241101";
const char* const kVesta =
    "00004    3.25  0.32 K24AH  26.80225  151.53681  103.70216    7.14406  0.0901151  0.27158545   2.3614323  0 "
    "E2024-V47  7580 114 1821-2024 0.60 M-p 18k MPCLINUX   0000 (4) Vesta                   20241031";

double JdOf(int y, int m, double d) {  // Gregorian, for the expectations
    if (m <= 2) { y -= 1; m += 12; }
    const int a = y / 100;
    return std::floor(365.25 * (y + 4716)) + std::floor(30.6001 * (m + 1)) + d + 2 - a + a / 4 - 1524.5;
}

TEST(MinorBodyLines, ReadsBothLayouts) {
    const auto halley = ParseMinorBodyLine(kHalley);
    ASSERT_TRUE(halley);
    EXPECT_EQ(halley->kind, MinorKind::Comet);
    EXPECT_EQ(halley->designation, "1P");
    EXPECT_EQ(halley->name, "Halley");
    EXPECT_EQ(halley->Label(), "1P/Halley");
    const OrbitalElements& h = halley->orbit.Elements();
    EXPECT_NEAR(h.perihelionJd, 2446470.9589, 1e-6);  // 1986 Feb 9.4589 TT
    EXPECT_DOUBLE_EQ(h.q, 0.574716);
    EXPECT_DOUBLE_EQ(h.e, 0.967943);
    EXPECT_NEAR(h.argPerihelion * kRadToDeg, 112.2578, 1e-9);
    EXPECT_NEAR(h.node * kRadToDeg, 59.1145, 1e-9);
    EXPECT_NEAR(h.inclination * kRadToDeg, 162.1879, 1e-9);
    EXPECT_DOUBLE_EQ(halley->magnitude, 5.5);
    EXPECT_DOUBLE_EQ(halley->slope, 8.0);
    EXPECT_DOUBLE_EQ(halley->epochJd, JdOf(1986, 2, 19));

    const auto neowise = ParseMinorBodyLine(kNeowise);
    ASSERT_TRUE(neowise);
    EXPECT_EQ(neowise->designation, "C/2020 F3");
    EXPECT_EQ(neowise->name, "NEOWISE");
    EXPECT_EQ(neowise->Label(), "C/2020 F3 (NEOWISE)");
    EXPECT_EQ(ParseMinorBodyLine(kEncke)->Label(), "2P/Encke");

    const auto ceres = ParseMinorBodyLine(kCeres);
    ASSERT_TRUE(ceres);
    EXPECT_EQ(ceres->kind, MinorKind::Asteroid);
    EXPECT_EQ(ceres->designation, "(1)");
    EXPECT_EQ(ceres->name, "Ceres");
    EXPECT_EQ(ceres->Label(), "(1) Ceres");
    EXPECT_DOUBLE_EQ(ceres->magnitude, 3.34);
    EXPECT_DOUBLE_EQ(ceres->slope, 0.15);
    EXPECT_DOUBLE_EQ(ceres->epochJd, JdOf(2024, 10, 17));  // K24AH
    const OrbitalElements& c = ceres->orbit.Elements();
    EXPECT_NEAR(c.q, 2.7660512 * (1 - 0.0795762), 1e-12);
    EXPECT_NEAR(c.inclination * kRadToDeg, 10.58728, 1e-9);
    // The mean anomaly at the epoch comes back from the perihelion time.
    const double n = kGaussK / std::pow(2.7660512, 1.5) * kRadToDeg;
    EXPECT_NEAR((ceres->epochJd - c.perihelionJd) * n, 145.84905, 1e-7);
    // Same place either way: the MPC's mean motion agrees with a's.
    EXPECT_NEAR(n, 0.21420460, 1e-4);
    EXPECT_EQ(ParseMinorBodyLine(kVesta)->Label(), "(4) Vesta");

    // Broken columns are refused, not misread.
    std::string shifted = std::string(" ") + kCeres;
    EXPECT_FALSE(ParseMinorBodyLine(shifted));
    std::string badQ = kHalley;
    badQ.replace(30, 9, "-0.574716");
    EXPECT_FALSE(ParseMinorBodyLine(badQ));
    std::string nanE = kCeres;
    nanE.replace(70, 9, "      nan");
    EXPECT_FALSE(ParseMinorBodyLine(nanE));
    std::string hyperbolicAsteroid = kCeres;
    hyperbolicAsteroid.replace(70, 9, "1.2000000");
    EXPECT_FALSE(ParseMinorBodyLine(hyperbolicAsteroid));
    EXPECT_FALSE(ParseMinorBodyLine(std::string(kHalley).substr(0, 90)));
}

TEST(MinorBodyFile, CountsWhatItSkipsAndKeepsWhatCanReachTheLimit) {
    std::ostringstream file;
    file << "MINOR PLANET CENTER ORBIT DATABASE (MPCORB)\r\n\r\nDes'n     H     G   Epoch     M\r\n"
         << "----------------------------------------------------------------------\r\n"
         << kCeres << "\r\n" << kVesta << "\r\n\r\n"
         << "garbage that is no orbit\r\n"
         // A faint main-belt asteroid: H 17 at q 2.2 can never pass 12.
         << "K24A00A 17.00  0.15 K24AH  10.00000   10.00000   10.00000    5.00000  0.1000000  0.25000000   "
            "2.4444444  0 E2024-V47    20   1 2024-2024 0.50 M-v 3Ek MPCLINUX   0000 2024 AA                    20241031\n"
         << kHalley << "\n" << kNeowise << "\n" << kEncke << "\n";
    std::istringstream in(file.str());
    const MinorBodyList list = ReadMinorBodies(in, 12.0);
    ASSERT_EQ(list.bodies.size(), 5u);
    EXPECT_EQ(list.unreadable, 1u);
    EXPECT_EQ(list.fainter, 1u);
    EXPECT_EQ(FindMinorBody(list.bodies, "ceres"), &list.bodies[0]);
    EXPECT_EQ(FindMinorBody(list.bodies, "1P/HALLEY"), &list.bodies[2]);
    EXPECT_EQ(FindMinorBody(list.bodies, "C/2020 F3"), &list.bodies[3]);
    EXPECT_EQ(FindMinorBody(list.bodies, "Pluto"), nullptr);

    // At a limit of 5 Vesta (bound 5.2) goes; Encke (g 11.5, but q 0.34 lets it
    // pass close to the Earth) stays.
    std::istringstream again(file.str());
    const MinorBodyList strict = ReadMinorBodies(again, 5.0);
    EXPECT_EQ(FindMinorBody(strict.bodies, "Vesta"), nullptr);
    EXPECT_NE(FindMinorBody(strict.bodies, "Encke"), nullptr);
    // The bound holds: no place of Ceres or Vesta over 12 years is brighter.
    for (const MinorBody& b : list.bodies) {
        if (b.kind != MinorKind::Asteroid) continue;
        for (int day = 0; day < 12 * 365; day += 3) {
            const MinorObserver o = ObserverAt(DateTime(2020, 1, 1, 0, 0, 0).AddOffset(DateOffset(day % 30000, 0, 0, 0)));
            EXPECT_GE(MinorBodyPlace(b, o).magnitude, BrightestPossibleMagnitude(b)) << b.Label();
        }
    }
}

TEST(MinorBodyFile, SurvivesAHostileFile) {
    std::mt19937 rng(35);
    std::string hostile;
    const std::string lines[] = {kHalley, kCeres, kNeowise};
    for (int i = 0; i < 3000; ++i) {
        std::string l = lines[static_cast<size_t>(i) % 3];
        const int edits = static_cast<int>(rng() % 6);
        for (int k = 0; k < edits; ++k) {
            const std::size_t at = rng() % l.size();
            switch (rng() % 4) {
                case 0: l[at] = static_cast<char>(rng() % 256); break;
                case 1: l.erase(at, rng() % 20); break;
                case 2: l.insert(at, std::string(rng() % 5, "9e.-+ \0"[rng() % 7])); break;
                default: l.replace(at, std::min<std::size_t>(9, l.size() - at), "1e308    "); break;
            }
        }
        hostile += l;
        hostile += (i % 7 == 0) ? '\r' : '\n';
    }
    hostile += std::string(100000, 'x');  // a last line without an end
    std::istringstream in(hostile);
    const MinorBodyList list = ReadMinorBodies(in, 99.0);
    EXPECT_GT(list.unreadable, 0u);
    EXPECT_GT(list.bodies.size(), 500u);  // untouched lines still read
    const MinorObserver o = ObserverAt(DateTime(2026, 12, 10, 0, 0, 0));
    for (const MinorBody& b : list.bodies) {
        const MinorPlace p = MinorBodyPlace(b, o);
        ASSERT_TRUE(std::isfinite(p.j2000.lon) && std::isfinite(p.j2000.lat) && std::isfinite(p.delta))
            << b.Label();
    }
}

}  // namespace
