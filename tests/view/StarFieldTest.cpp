// The star field against ProjectStar: over the whole bundled catalogue (plus a
// few stars at the awkward points: the zenith, the projection centre, an
// unreduced right ascension) every mode must place the same stars at the same
// pixels with the same sin(altitude), in the render pass's drawing order, and
// hand over each star's record, magnitude, tint and name flag.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
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
        if (p.visible) out.push_back({i, p.x, p.y, s, stars[i], stars[i]->mag,
                                      TintOf(stars[i]->mag, stars[i]->SpectralText()),
                                      IsBrightNamedStar(*stars[i])});
    }
    return out;
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

                // Stars exactly at the zenith and at the chart centre, and an
                // unreduced right ascension.
                StarCatalog sky = catalog;
                const SkyPosition centre = UnprojectSky(v, fr.width / 2, fr.height / 2);
                sky.Append(Star(centre.rightAscension, centre.declination, 3.0));
                sky.Append(Star(lst, v.latitude, 4.0));
                sky.Append(Star(centre.rightAscension + kTwoPi * 1e6, centre.declination + 1e-4, 5.0));
                std::vector<const StarRecord*> stars;
                for (const StarRecord& r : sky.Records()) stars.push_back(&r);
                StarField field;
                field.Build(stars);

                ConstellationSelection sel;
                for (const bool selective : {false, true}) {
                    if (selective) sel.SelectOnly("Ori", stars);
                    std::vector<PlacedStar> fast;
                    field.Place(v, std::sin(v.latitude), std::cos(v.latitude), &sel, fast);
                    const std::vector<PlacedStar> slow = ByProjectStar(v, stars, sel);
                    SCOPED_TRACE(testing::Message() << "mode " << static_cast<int>(fr.mode) << " zoom "
                                                    << fr.zoom << " lat " << latitudeDeg << " lst " << lst);
                    ASSERT_EQ(fast.size(), slow.size());
                    for (std::size_t i = 0; i < fast.size(); ++i) {
                        ASSERT_EQ(fast[i].index, slow[i].index);
                        ASSERT_EQ(fast[i].x, slow[i].x) << "star " << slow[i].index;
                        ASSERT_EQ(fast[i].y, slow[i].y) << "star " << slow[i].index;
                        ASSERT_EQ(fast[i].sinAltitude, slow[i].sinAltitude);
                        ASSERT_EQ(fast[i].record, slow[i].record);
                        ASSERT_EQ(fast[i].magnitude, slow[i].magnitude);
                        ASSERT_EQ(fast[i].tint.first, slow[i].tint.first);
                        ASSERT_EQ(fast[i].tint.second, slow[i].tint.second);
                        ASSERT_EQ(fast[i].named, slow[i].named);
                    }
                    placed += fast.size();
                    fallbacks += field.FallbackCount();
                }
            }
        }
    }
    EXPECT_GT(placed, 50000u);  // the comparison covered real work
    EXPECT_GT(fallbacks, 0u);   // and the stars the rotation cannot be trusted with
}

}  // namespace
}  // namespace tavik
