#include <gtest/gtest.h>

#include <cmath>

#include "astro/Angles.h"
#include "astro/Precession.h"
#include "astro/TimeScales.h"

namespace tavik {
namespace {

constexpr double kArcsec = kDegToRad / 3600.0;

TEST(PrecessionTest, KnownValuesAndRoundTrip) {
    // Theta Persei (proper motion already applied) to 2028 Nov 13.19 TD:
    // the worked example of Meeus, Astronomical Algorithms, 21.b.
    const Spherical p = J2000ToDate(41.054063 * kDegToRad, 49.227750 * kDegToRad, 0.288670500, false);
    EXPECT_NEAR(p.lon * kRadToDeg, 41.547214, 2e-6);
    EXPECT_NEAR(p.lat * kRadToDeg, 49.348483, 2e-6);

    // Nutation on 1987 April 10, 0h TD (Meeus 22.a: -3.788", +9.443"), to the
    // accuracy of the principal terms.
    const Nutation n = NutationAt(-0.127296372348);
    EXPECT_NEAR(n.longitude / kArcsec, -3.788, 0.5);
    EXPECT_NEAR(n.obliquity / kArcsec, 9.443, 0.5);

    // There and back again, with and without nutation, near the pole too.
    for (bool nut : {false, true}) {
        for (const Spherical& s : {Spherical{1.0, 0.5}, Spherical{6.2, -1.2}, Spherical{0.66, 1.5595}}) {
            const Spherical d = J2000ToDate(s.lon, s.lat, 0.27, nut);
            const Spherical back = DateToJ2000(d.lon, d.lat, 0.27, nut);
            EXPECT_NEAR(back.lon, s.lon, 1e-12);
            EXPECT_NEAR(back.lat, s.lat, 1e-12);
        }
    }
    // At J2000.0 itself precession is the identity.
    const Spherical same = J2000ToDate(2.0, 0.3, 0.0, false);
    EXPECT_NEAR(same.lon, 2.0, 1e-15);
    EXPECT_NEAR(same.lat, 0.3, 1e-15);
    // 2000-01-01 12:00 UT is t = 0 (local 21:00 at +9 hours).
    EXPECT_NEAR(CenturiesForLocalTime(DateTime(2000, 1, 1, 21, 0, 0), 9), 0.0, 1e-9);
}

}  // namespace
}  // namespace tavik
