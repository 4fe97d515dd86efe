// Constellation names, lines and figures, and the Milky Way band.

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

#include "astro/Angles.h"
#include "catalog/ConstellationTable.h"
#include "catalog/OverlayFile.h"
#include "catalog/ShiftJis.h"
#include "catalog/StarRecord.h"
#include "view/Overlay.h"
#include "view/Projection.h"
#include "view/ViewState.h"

namespace tavik {

namespace {

bool LinesAllowed(const ViewState& v) {
    return v.viewMode != ViewMode::PolarAlignment && v.viewMode != ViewMode::Heliocentric;
}

std::string_view FieldText(const char* field, std::size_t size) {
    const char* end = static_cast<const char*>(std::memchr(field, '\0', size));
    return std::string_view(field, end ? static_cast<std::size_t>(end - field) : size);
}

// Points the reader at its file in the data directory and in the chosen mode.
void Configure(LineFileReader& reader, const std::string& dataDirectory, const char* fileName,
               bool memoryMode) {
    const std::filesystem::path path = std::filesystem::path(dataDirectory) / fileName;
    if (reader.Path() != path) reader.SetPath(path);
    if (reader.MemoryMode() != memoryMode) reader.SetMemoryMode(memoryMode);
}

// Pixels per degree of sky near the chart centre, for the width of broad strokes.
double PixelsPerDegree(const ViewState& v) {
    const double r = v.chartSize;
    switch (v.viewMode) {
    case ViewMode::Planisphere: return r / 180.0;
    case ViewMode::Zenith: return 2.0 * r / 180.0;
    case ViewMode::PolarAlignment: return r * (v.polarFine ? 80.0 : 24.0) / 180.0;
    default: return r * ViewFraming(v).span / 180.0;
    }
}

}  // namespace

void DrawConstellationPolyline(RenderContext& ctx, LineFileReader& file,
                               ConstellationPolyline& buffer, std::string_view abbreviation,
                               const QColor& color) {
    if (!ctx.painter || !ctx.view || !LinesAllowed(*ctx.view)) return;
    if (!file.Read(abbreviation, buffer)) return;
    // The reader hands out at most its fixed number of points; never trust more.
    const int count = std::clamp(buffer.count, 0, kMaxConstellationPoints);
    QPainter& p = *ctx.painter;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(color, 0));
    const SkyPolyline line{count, buffer.codes.data(), buffer.ra.data(), buffer.dec.data()};
    DrawSkyPolyline(ctx, p, line, ClientRect(ctx, true), kMaxSegmentSpan);
    p.restore();
}

void DrawConstellations(RenderContext& ctx, OverlayState& state) {
    if (!ctx.painter || !ctx.view || !ctx.catalogue || !ctx.catalogueObjects || !ctx.settings) return;
    const ViewState& v = *ctx.view;
    if (v.viewMode == ViewMode::Heliocentric) return;
    const OverlaySwitches sw = OverlaySwitches::Load(*ctx.settings);
    const bool figures = sw.constellationFigures && LinesAllowed(v) &&
                         (v.viewMode != ViewMode::Planisphere || sw.figuresInPlanisphere);
    const bool lines = sw.constellationLines && LinesAllowed(v);
    if (!sw.constellationNames && !figures && !lines) return;
    if (figures) Configure(state.figureFile, ctx.dataDirectory, "tavikconste.dat", sw.filesInMemory);
    if (lines) Configure(state.lineFile, ctx.dataDirectory, "tavikline.dat", sw.filesInMemory);

    QPainter& p = *ctx.painter;
    const QColor nameColor = ctx.MappedQColor(slot::kConstellationName);
    const QColor figureColor = ctx.MappedQColor(slot::kFigure);
    const QColor lineColor = ctx.MappedQColor(slot::kConstellationLine);
    // The anchors decide: a constellation whose anchor point is not on the
    // chart (or not selected) is not drawn at all.
    struct Anchor {
        const StarRecord* record;
        std::string_view abbreviation;
        ProjectedPoint point;
    };
    std::vector<Anchor> anchors;
    const auto& records = *ctx.catalogue;
    for (const std::size_t i : *ctx.catalogueObjects) {
        const StarRecord* r = records[i];
        if (r->kind != kKindConstellationAnchor) continue;
        const std::string_view abbreviation = FieldText(r->constellation, sizeof r->constellation);
        const bool selected = state.selection.IsSelected(abbreviation) && state.selection.Shows(i);
        const ProjectedPoint pt =
            ProjectStar(v, *r, ctx.sinLatitude, ctx.cosLatitude, nullptr, selected);
        if (pt.visible) anchors.push_back({r, abbreviation, pt});
    }

    // Names, then figures, then lines.
    if (sw.constellationNames) {
        const QFontMetrics fm(ctx.font);
        p.save();
        p.setFont(ctx.font);
        p.setPen(nameColor);
        for (const Anchor& a : anchors) {
            QString name;
            if (a.record->name && !a.record->name->empty()) {
                name = QString::fromStdString(SjisToUtf8(*a.record->name));
            } else {
                const std::string_view n = ConstellationNameUtf8(a.abbreviation);
                name = QString::fromUtf8(n.data(), static_cast<int>(n.size()));
            }
            // Centred on the anchor point.
            p.drawText(QPoint(a.point.x - fm.horizontalAdvance(name) / 2,
                              a.point.y - fm.height() / 2 + fm.ascent()),
                       name);
        }
        p.restore();
    }
    if (figures) {
        for (const Anchor& a : anchors)
            DrawConstellationPolyline(ctx, state.figureFile, state.polyline, a.abbreviation, figureColor);
    }
    if (lines) {
        for (const Anchor& a : anchors)
            DrawConstellationPolyline(ctx, state.lineFile, state.polyline, a.abbreviation, lineColor);
    }
}

void DrawTappedConstellation(RenderContext& ctx, OverlayState& state, std::string_view abbreviation,
                             bool figure, bool lines) {
    if (abbreviation.empty() || !ctx.settings || !ctx.view || ctx.dataDirectory.empty()) return;
    const OverlaySwitches sw = OverlaySwitches::Load(*ctx.settings);
    if (figure && (ctx.view->viewMode != ViewMode::Planisphere || sw.figuresInPlanisphere)) {
        Configure(state.figureFile, ctx.dataDirectory, "tavikconste.dat", sw.filesInMemory);
        DrawConstellationPolyline(ctx, state.figureFile, state.polyline, abbreviation,
                                  ctx.MappedQColor(slot::kFigure));
    }
    if (lines) {
        Configure(state.lineFile, ctx.dataDirectory, "tavikline.dat", sw.filesInMemory);
        DrawConstellationPolyline(ctx, state.lineFile, state.polyline, abbreviation,
                                  ctx.MappedQColor(slot::kConstellationLine));
    }
}

void DrawMilkyWay(RenderContext& ctx, OverlayState& state) {
    if (!ctx.image || !ctx.view || !ctx.settings || ctx.dataDirectory.empty()) return;
    if (!OverlaySwitches::Load(*ctx.settings).milkyWay) return;
    const ViewState& v = *ctx.view;
    if (v.viewMode == ViewMode::Heliocentric) return;
    PolylineData points;
    const std::filesystem::path path = std::filesystem::path(ctx.dataDirectory) / "Milkey.p92";
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return;
    if (!ReadOverlayFile(path, points).ok) return;
    const int count = static_cast<int>(std::min<std::size_t>(
        {points.codes.size(), points.ra.size(), points.dec.size(), static_cast<std::size_t>(kOverlayPoints)}));
    if (count <= 0) return;

    // Broad strokes into a layer of their own (one byte per pixel, 0 where
    // nothing is drawn); the band is a few degrees wide.
    if (state.milkyLayer.width() != ctx.clientWidth || state.milkyLayer.height() != ctx.clientHeight ||
        state.milkyLayer.format() != QImage::Format_Alpha8) {
        state.milkyLayer = QImage(std::max(ctx.clientWidth, 1), std::max(ctx.clientHeight, 1), QImage::Format_Alpha8);
        state.milkyLayer.fill(0);
    }
    const QRgb band = ToQRgb(MapSkyColor((*ctx.colors)[slot::kMilkyWay], ctx.modes));
    const int width = std::clamp(static_cast<int>(PixelsPerDegree(v) * 8.0), 2, 400);
    {
        QPainter p(&state.milkyLayer);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.setPen(QPen(QColor(0, 0, 0, 1), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const SkyPolyline line{count, points.codes.data(), points.ra.data(), points.dec.data()};
        DrawSkyPolyline(ctx, p, line, ClientRect(ctx, true), kMaxSegmentSpan);
    }
    // The band lies over the sky and under the stars: each channel keeps the
    // brighter of chart and band, so stars already drawn stay visible. The
    // layer is cleared as it is read.
    const int w = std::min(ctx.image->width(), state.milkyLayer.width());
    const int h = std::min(ctx.image->height(), state.milkyLayer.height());
    for (int y = 0; y < h; ++y) {
        QRgb* dst = reinterpret_cast<QRgb*>(ctx.image->scanLine(y));
        uchar* src = state.milkyLayer.scanLine(y);
        for (int x = 0; x < w; ++x) {
            if (src[x] == 0) continue;
            const QRgb d = dst[x];
            dst[x] = qRgb(std::max(qRed(d), qRed(band)), std::max(qGreen(d), qGreen(band)),
                          std::max(qBlue(d), qBlue(band)));
            src[x] = 0;
        }
    }
}

}  // namespace tavik
