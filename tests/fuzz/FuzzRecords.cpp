// Record files: the star catalogue, the tap-mark file, tap exchange files and
// ".p93" object lists share one reader. Every record read is then projected in
// each view mode and drawn by the star painter in its size-up and monochrome
// styles, as the render pass would.

#include <QImage>
#include <QPainter>

#include <cstdint>
#include <sstream>
#include <string>

#include "FuzzSupport.h"
#include "catalog/RecordFile.h"
#include "catalog/StarCatalog.h"
#include "settings/SettingsStore.h"
#include "view/Color.h"
#include "view/Projection.h"
#include "view/RenderContext.h"
#include "view/StarPainter.h"
#include "view/ViewState.h"

namespace {

using namespace tavik;

template <class Records>
void DrawAll(const Records& records) {
    static QImage image(48, 48, QImage::Format_RGB32);
    static const ColorTable colors;
    static const MemorySettingsStore store;
    for (ViewMode mode : {ViewMode::Planisphere, ViewMode::PolarAlignment, ViewMode::Zenith, ViewMode::Direction}) {
        ViewState view;
        view.viewMode = mode;
        view.latitude = 0.6;
        view.localSiderealTime = 1.0;
        UpdateChartGeometry(view, image.width(), image.height());
        RefreshViewState(view);
        image.fill(0);
        QPainter painter(&image);
        RenderContext ctx;
        ctx.image = &image;
        ctx.painter = &painter;
        ctx.clientWidth = image.width();
        ctx.clientHeight = image.height();
        ctx.view = &view;
        ctx.settings = &store;
        ctx.colors = &colors;
        ctx.lref = Luminance(colors[slot::kSky3]);
        StarOptions options = StarOptions::FromContext(ctx);
        options.sizeUp = true;
        options.brightnessUp = mode == ViewMode::Zenith;
        options.modes.blackOnWhite = mode == ViewMode::Direction;
        StarPainter stars(ctx, options);
        const double s = std::sin(view.latitude), c = std::cos(view.latitude);
        for (const StarRecord& r : records) {
            double sinAlt = 0.0;
            const ProjectedPoint p = ProjectStar(view, r, s, c, &sinAlt);
            if (p.visible) stars.Draw(r, p.x, p.y, sinAlt);
            (void)r.DesignationText();
            (void)r.SpectralText();
            (void)r.IsTapMark();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // The catalogue, with its drop rules.
    StarCatalog catalog;
    std::istringstream in(bytes);
    catalog.Load(in);
    DrawAll(catalog.Records());
    // Tap and exchange files (and object lists): every record, unfiltered.
    catalog.LoadTapMarks(tavik::fuzz::WriteInput("marks.tap", data, size));
    DrawAll(catalog.TapMarks());
    return 0;
}
