#pragma once
// One render pass of the sky view into its off-screen image, as the view calls
// it: everything the pass reads is handed over in SkyFrame, so the pass never
// reaches back into the window.

#include <QImage>
#include <QString>

#include <functional>
#include <string>

#include "astro/DateTime.h"
#include "settings/ObservationSite.h"

namespace tavik {

class SettingsStore;
class StarCatalog;
struct ViewState;

struct SkyFrame {
    const ViewState* view = nullptr;
    const SettingsStore* settings = nullptr;
    const StarCatalog* catalog = nullptr;  // nullptr or not loaded: nothing to draw
    DateTime localTime;
    ObservationSite site;
    std::string dataDirectory;
    bool overwrite = false;  // trail mode: draw over the previous picture
    QString notice;  // one-line confirmation at the bottom left, empty for none
};

using SkyRenderFn = std::function<void(QImage& image, const SkyFrame& frame)>;

class SkyRenderer;

// The pass the view uses: the sky view's render pass, then the status lines
// below the chart and the notice.
void RenderSkyPass(SkyRenderer& renderer, QImage& image, const SkyFrame& frame);
// A light pass without the renderer (background, horizon, stars, texts), for
// tests that only need a picture.
void RenderSimpleSky(QImage& image, const SkyFrame& frame);
// Status lines and notice below the chart.
void DrawStatusAndNotice(QImage& image, const SkyFrame& frame);
// The notice alone, just below the chart.
void DrawNotice(QImage& image, const SkyFrame& frame);

// The status lines below the chart: date and time, site, view.
QStringList StatusLines(const SkyFrame& frame);

}  // namespace tavik
