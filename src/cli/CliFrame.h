#pragma once
// One frame of the sky view as tavik-cli draws it: the render options shared
// by `render` and `tap`, the settings, view, catalogue and scene they build,
// and the picture of the pass.

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "catalog/StarCatalog.h"
#include "cli/CliArgs.h"
#include "settings/SettingsStore.h"
#include "view/Color.h"
#include "view/SkyRenderer.h"
#include "view/ViewState.h"

namespace tavik {
class HitList;
}

namespace tavik::cli {

struct Frame {
    std::unique_ptr<QGuiApplication> app;
    MemorySettingsStore store;
    ViewState view;
    StarCatalog catalog;
    ColorTable colors;
    RenderScene scene;
    SkyRenderer renderer;
    QImage image;  // the pass's picture
};

// --mode, --facing, --turn, --band, --size, --date, --time, --lon, --lat,
// --zone, --set and --data.
const std::vector<std::string>& FrameOptions();

// Builds the frame from those options and runs one pass. Returns 0, or the
// exit code after a message on stderr that names `command`.
int PrepareFrame(const CliArgs& args, Frame& frame, const char* command);

// "PNG" or "JPG" for an --out path; anything else is a CliError.
std::string ImageFormat(const std::string& path);
// Writes a PNG, or a JPEG through the capture writer; false after a message.
bool WriteImage(const std::string& path, const QImage& image, const char* command);

// The hit list, one line per entry (see `render --hits`).
void WriteHits(std::FILE* out, const HitList& hits);

}  // namespace tavik::cli
