// The star field against ProjectStar: over the whole bundled catalogue (plus a
// few stars at the awkward points: the zenith, the projection centre, an
// unreduced right ascension) every mode must place the same stars at the same
// pixels with the same sin(altitude), in the render pass's drawing order, and
// hand over each star's magnitude, tint and name flag.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <random>
#include <vector>

#include "astro/Angles.h"
#include "catalog/StarCatalog.h"
#include "view/ConstellationSelection.h"
#include "view/Overlay.h"
#include "view/Projection.h"
#include "view/StarField.h"

namespace tavik {
namespace {

StarRecord Star(double ra, double dec, double mag) {
    StarRecord r;
    r.ra = ra;
    r.dec = dec;
    r.mag = mag;
    r.SetConstellation("Ori");
    return r;
}

std::vector<PlacedStar> ByProjectStar(const ViewState& v, const std::vector<const StarRecord*>& stars,
                                      const ConstellationSelection& sel) {
    std::vector<PlacedStar> out;
    const double sl = std::sin(v.latitude), cl = std::cos(v.latitude);
    for (std::size_t i = stars.size(); i-- > 0;) {
        if (stars[i]->kind != kKindStar) continue;
        double s = 0.0;
        const ProjectedPoint p = ProjectStar(v, *stars[i], sl, cl, &s, sel.Shows(i));
        if (p.visible) out.push_back({static_cast<std::uint32_t>(i), p.x, p.y,
                                      TintOf(stars[i]->mag, stars[i]->SpectralText()),
                                      IsBrightNamedStar(*stars[i]), s, stars[i]->mag});
    }
    return out;
}

// What a pass hands over, batch after batch; with `needed` and `silentFrom`,
// as a sink that needs only its first stars and draws nothing fainter.
struct Collect final : PlacedSink {
    std::vector<PlacedStar> stars;
    std::size_t needed = std::numeric_limits<std::size_t>::max();
    double silentFrom = std::numeric_limits<double>::infinity();
    void Take(const PlacedStar* batch, std::size_t n) override { stars.insert(stars.end(), batch, batch + n); }
    std::size_t FirstNeeded() const override { return needed; }
    bool DrawsNothing(double magnitude) const override { return magnitude >= silentFrom; }
};

// `some` is `all` less only stars past the first `needed` that `sink` draws
// nothing of, whose names are not shown, and that are not the last; returns
// how many were left out.
std::size_t ExpectLeftOutOnlySilent(const std::vector<PlacedStar>& some, const std::vector<PlacedStar>& all,
                                    const Collect& sink) {
    std::size_t j = 0;
    for (const PlacedStar& s : some) {
        for (; j < all.size() && all[j].index != s.index; ++j) {
            if (j < sink.needed || !sink.DrawsNothing(all[j].magnitude) || all[j].named) {
                ADD_FAILURE() << "star " << all[j].index << " (" << j << " of " << all.size() << ") left out";
                return 0;
            }
        }
        if (j == all.size() || s.x != all[j].x || s.y != all[j].y || s.sinAltitude != all[j].sinAltitude) {
            ADD_FAILURE() << "star " << s.index << " out of order or moved";
            return 0;
        }
        ++j;
    }
    EXPECT_EQ(j, all.size()) << "the last star is left out";
    return all.size() - some.size();
}

std::vector<PlacedStar> Placed(const StarField& field, const ViewState& v, double sinLatitude, double cosLatitude,
                               const ConstellationSelection& sel,
                               StarField::Altitude altitude = StarField::Altitude::Exact) {
    Collect c;
    field.Place(v, sinLatitude, cosLatitude, &sel, c, altitude);
    return c.stars;
}

// Every star of `fast` is the star of `slow` at the same place, field by field
// (of the altitude, only the side of the horizon and 1e-6 when so asked).
void ExpectSamePlaces(const std::vector<PlacedStar>& fast, const std::vector<PlacedStar>& slow,
                      StarField::Altitude altitude = StarField::Altitude::Exact) {
    ASSERT_EQ(fast.size(), slow.size());
    for (std::size_t i = 0; i < fast.size(); ++i) {
        ASSERT_EQ(fast[i].index, slow[i].index);
        ASSERT_EQ(fast[i].x, slow[i].x) << "star " << slow[i].index;
        ASSERT_EQ(fast[i].y, slow[i].y) << "star " << slow[i].index;
        if (altitude == StarField::Altitude::Exact) {
            ASSERT_EQ(fast[i].sinAltitude, slow[i].sinAltitude);
        } else {
            ASSERT_NEAR(fast[i].sinAltitude, slow[i].sinAltitude, 1e-6);
            ASSERT_EQ(fast[i].sinAltitude >= 0.0, slow[i].sinAltitude >= 0.0);
        }
        ASSERT_EQ(fast[i].magnitude, slow[i].magnitude);
        ASSERT_EQ(fast[i].tint.first, slow[i].tint.first);
        ASSERT_EQ(fast[i].tint.second, slow[i].tint.second);
        ASSERT_EQ(fast[i].named, slow[i].named);
    }
}

TEST(StarField, PlacesExactlyWhatProjectStarPlacesInEveryMode) {
    StarCatalog catalog;
    ASSERT_TRUE(catalog.LoadFile(std::filesystem::path(TAVIK_DATA_DIR) / "tavik.dat").ok);

    struct Framing {
        ViewMode mode;
        HeightBand band = HeightBand::Whole;
        bool horizon = false, polarFine = false;
        int zoom = 0, panelAltitude = 45;
        int width = 240, height = 240;
    };
    const Framing framings[] = {
        {ViewMode::Planisphere}, {ViewMode::Zenith}, {ViewMode::PolarAlignment},
        {ViewMode::PolarAlignment, HeightBand::Whole, false, true},
        {ViewMode::Direction}, {ViewMode::Direction, HeightBand::High},
        {ViewMode::Direction, HeightBand::Low, true}, {ViewMode::Direction, HeightBand::Middle, true},
        {ViewMode::Direction, HeightBand::Whole, false, false, 0, 45, 1920, 1080},
        {ViewMode::Magnified, HeightBand::Whole, false, false, 300, 40},
        {ViewMode::Magnified, HeightBand::Whole, false, false, 900, 86},
        {ViewMode::Magnified, HeightBand::Whole, false, false, 50, 10, 1920, 1080},
    };
    std::size_t placed = 0, fallbacks = 0;
    for (const double latitudeDeg : {35.7, -33.9, 89.9}) {
        for (const double lst : {0.3, 4.1}) {
            for (const Framing& fr : framings) {
                ViewState v;
                v.viewMode = fr.mode;
                v.heightBand = fr.band;
                v.horizonFraming = fr.horizon;
                v.polarFine = fr.polarFine;
                v.limitMagnitude = 7;
                v.facing = static_cast<int>(lst * 3) % 4;
                v.turnDegrees = 17;
                v.magnifier.present = fr.zoom > 0;
                v.magnifier.zoom = fr.zoom;
                v.magnifier.altitude = fr.panelAltitude;
                v.localSiderealTime = lst;
                v.latitude = latitudeDeg * kPi / 180.0;
                UpdateChartGeometry(v, fr.width, fr.height);
                RefreshViewState(v);

                // Stars exactly at the zenith and at the chart centre, an
                // unreduced right ascension, and one on the horizon (in the
                // west, hour angle pi/2 on the equator).
                StarCatalog sky = catalog;
                const SkyPosition centre = UnprojectSky(v, fr.width / 2, fr.height / 2);
                sky.Append(Star(centre.rightAscension, centre.declination, 3.0));
                sky.Append(Star(lst, v.latitude, 4.0));
                sky.Append(Star(centre.rightAscension + kTwoPi * 1e6, centre.declination + 1e-4, 5.0));
                sky.Append(Star(lst - kPi / 2.0, 0.0, 4.5));
                std::vector<const StarRecord*> stars;
                for (const StarRecord& r : sky.Records()) stars.push_back(&r);
                StarField field;
                field.Build(stars);

                ConstellationSelection sel;
                for (const bool selective : {false, true}) {
                    if (selective) sel.SelectOnly("Ori", stars);
                    // Side only first: a fresh field has no table of the
                    // declinations' sines yet.
                    std::vector<PlacedStar> fast = Placed(field, v, std::sin(v.latitude), std::cos(v.latitude),
                                                          sel, StarField::Altitude::SideOnly);
                    const std::vector<PlacedStar> slow = ByProjectStar(v, stars, sel);
                    SCOPED_TRACE(testing::Message() << "mode " << static_cast<int>(fr.mode) << " zoom "
                                                    << fr.zoom << " lat " << latitudeDeg << " lst " << lst);
                    ASSERT_NO_FATAL_FAILURE(ExpectSamePlaces(fast, slow, StarField::Altitude::SideOnly));
                    fast = Placed(field, v, std::sin(v.latitude), std::cos(v.latitude), sel);
                    ASSERT_NO_FATAL_FAILURE(ExpectSamePlaces(fast, slow));
                    placed += fast.size();
                    fallbacks += field.FallbackCount();
                }
            }
        }
    }
    EXPECT_GT(placed, 50000u);  // the comparison covered real work
    EXPECT_GT(fallbacks, 0u);   // and the stars the rotation cannot be trusted with
}

// A star exactly on the projection centre (site on the equator, sidereal time
// 0, star at 0h 0°): its offsets are 0/0, which the pass must leave to
// ProjectStar without computing a pixel from them (the sanitizer build aborts
// on a NaN turned into a pixel).
TEST(StarField, AStarExactlyOnTheCentreIsPlacedByProjectStar) {
    StarCatalog sky;
    sky.Append(Star(0.0, 0.0, 2.0));
    sky.Append(Star(kPi, 0.0, 2.0));  // the antipode, below the horizon
    std::vector<const StarRecord*> stars;
    for (const StarRecord& r : sky.Records()) stars.push_back(&r);
    StarField field;
    field.Build(stars);
    for (const ViewMode mode : {ViewMode::Planisphere, ViewMode::Zenith}) {
        ViewState v;
        v.viewMode = mode;
        UpdateChartGeometry(v, 240, 240);
        RefreshViewState(v);
        ConstellationSelection sel;
        const std::vector<PlacedStar> fast = Placed(field, v, 0.0, 1.0, sel);
        ASSERT_NO_FATAL_FAILURE(ExpectSamePlaces(fast, ByProjectStar(v, stars, sel)));
        EXPECT_EQ(fast.size(), 1u);
    }
}

// The tiles against a plain ProjectStar pass: a large catalogue out of
// magnitude order (so that tiles are small and the walk's order is not the
// list's), with stars on and just past the poles, on the tile edges and at
// unreduced right ascensions, seen in random views of every mode. The same
// field serves every view: what one pass marks must not leak into the next.
// A sink that needs only its first stars and draws nothing of faint ones gets
// the same stars less such faint ones, never a named one nor the last.
TEST(StarField, TilesPlaceWhatAPlainPassPlacesInRandomViews) {
    std::mt19937_64 random(36);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    StarCatalog sky;
    for (int i = 0; i < 120000; ++i) {
        double ra = unit(random) * kTwoPi, dec = std::asin(unit(random) * 2.0 - 1.0);
        switch (i % 50) {
        case 0: dec = (i % 100 ? 1 : -1) * (kPi / 2.0 + 1e-6 * unit(random)); break;  // past a pole
        case 1: ra = std::round(ra * 8.0) / 8.0; break;                             // on cell edges
        case 2: ra += kTwoPi * (i % 3 ? 1e3 : -1e6); break;                         // unreduced
        default: break;
        }
        sky.Append(Star(ra, dec, std::round((unit(random) * 13.0 - 1.5) * 100.0) / 100.0));
        if (i % 1000 == 7) {  // a shown name
            sky.At(sky.Count() - 1).mag = 1.5 + (i % 3) * 0.2;
            sky.At(sky.Count() - 1).name = "Star";
        }
    }
    std::vector<const StarRecord*> stars;
    for (const StarRecord& r : sky.Records()) stars.push_back(&r);
    StarField field;
    field.Build(stars);
    ASSERT_GT(field.TileCount(), 300u);

    const ViewMode modes[] = {ViewMode::Planisphere, ViewMode::Zenith, ViewMode::PolarAlignment,
                              ViewMode::Direction, ViewMode::Magnified};
    const HeightBand bands[] = {HeightBand::Whole, HeightBand::High, HeightBand::Middle, HeightBand::Low};
    std::size_t placed = 0, culled = 0, leftOut = 0;
    for (int n = 0; n < 60; ++n) {
        ViewState v;
        v.viewMode = modes[n % 5];
        v.heightBand = bands[(n / 5) % 4];
        v.horizonFraming = n % 3 == 0;
        v.wideTenths = 10 + static_cast<int>(unit(random) * 10);
        v.polarFine = n % 2 == 0;
        v.limitMagnitude = 1 + static_cast<int>(unit(random) * 7);
        v.facing = static_cast<int>(unit(random) * 4);
        v.turnDegrees = static_cast<int>(unit(random) * 90);
        v.magnifier.present = v.viewMode == ViewMode::Magnified;
        v.magnifier.zoom = 30 + static_cast<int>(unit(random) * 870);
        v.magnifier.altitude = static_cast<int>(unit(random) * 100) - 10;
        v.zoomMagnitude = 1 + static_cast<int>(unit(random) * 7);
        v.localSiderealTime = n % 7 == 0 ? 1e5 + unit(random) : unit(random) * kTwoPi;
        v.latitude = (unit(random) * 180.0 - 90.0) * kPi / 180.0;
        const int width = 120 + static_cast<int>(unit(random) * 1800), height = 120 + static_cast<int>(unit(random) * 960);
        UpdateChartGeometry(v, width, height);
        RefreshViewState(v);

        ConstellationSelection sel;
        const auto altitude = n % 4 == 1 ? StarField::Altitude::SideOnly : StarField::Altitude::Exact;
        const std::vector<PlacedStar> fast =
            Placed(field, v, std::sin(v.latitude), std::cos(v.latitude), sel, altitude);
        const std::vector<PlacedStar> slow = ByProjectStar(v, stars, sel);
        SCOPED_TRACE(testing::Message() << "view " << n << " mode " << static_cast<int>(v.viewMode));
        ASSERT_NO_FATAL_FAILURE(ExpectSamePlaces(fast, slow, altitude));
        placed += fast.size();
        culled += field.Size() - field.CandidateCount();

        Collect quiet;
        quiet.needed = static_cast<std::size_t>(n * 53 % 3000);
        quiet.silentFrom = n % 6 == 0 ? -10.0 : n % 12;
        field.Place(v, std::sin(v.latitude), std::cos(v.latitude), &sel, quiet, altitude);
        leftOut += ExpectLeftOutOnlySilent(quiet.stars, fast, quiet);
    }
    EXPECT_GT(placed, 100000u);  // real work was compared
    EXPECT_GT(culled, 10u * placed);  // and the tiles and their walk dropped most stars unseen
    EXPECT_GT(leftOut, placed / 10);
}

}  // namespace
}  // namespace tavik
