// Add-in overlay files on the chart, and the add-in pass over the user's list.

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "catalog/Description.h"
#include "catalog/OverlayFile.h"
#include "catalog/RecordFile.h"
#include "catalog/StarRecord.h"
#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"
#include "view/HitList.h"
#include "view/Overlay.h"
#include "view/OverlayUser.h"
#include "view/Projection.h"
#include "view/StarPainter.h"
#include "view/ViewState.h"

namespace tavik {

namespace {

// The polyline in the add-in line colour; the last drawn point, or x OffScreen.
PixelPoint DrawAddInLine(RenderContext& ctx, const PolylineData& points) {
    const int count = static_cast<int>(std::min({points.codes.size(), points.ra.size(), points.dec.size()}));
    if (count <= 0) return {OffScreen, OffScreen};
    QPainter& p = *ctx.painter;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(ctx.MappedQColor(slot::kAddinLine), 0));
    const SkyPolyline line{count, points.codes.data(), points.ra.data(), points.dec.data()};
    const PixelPoint last = DrawSkyPolyline(ctx, p, line, ClientRect(ctx, true), kMaxSegmentSpan);
    p.restore();
    return last;
}

void DrawText(RenderContext& ctx, int x, int y, const QString& text) {
    if (text.isEmpty()) return;
    DrawTextBlock(*ctx.painter, ctx.font, x, y, text, *ctx.colors, ctx.modes);
}

// Every record of the list drawn like a catalogue object of its kind.
void DrawObjectList(RenderContext& ctx, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return;
    StarPainter stars(ctx);
    QPainter& p = *ctx.painter;
    const QColor deepSky = ctx.MappedQColor(slot::kDeepSky);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    ReadRecordStream(in, [&](StarRecord&& r) {
        if (r.kind < kKindStar || r.kind > kKindDarkNebula || r.IsTapMark()) return;
        double s = 0.0;
        const ProjectedPoint pt = ProjectStar(*ctx.view, r, ctx.sinLatitude, ctx.cosLatitude, &s, true);
        if (!pt.visible) return;
        if (r.kind == kKindStar) {
            stars.Draw(r, pt.x, pt.y, s);
        } else {
            DrawDeepSkySymbol(p, r.kind, pt.x, pt.y, deepSky);
            DrawDeepSkyDesignation(ctx, r, pt.x, pt.y);
        }
        if (ctx.hits) ctx.hits->AddCopy(r, pt.x, pt.y);
    });
    p.restore();
}

}  // namespace

void DrawTextBlock(QPainter& painter, const QFont& font, int x, int y, const QString& text,
                   const ColorTable& colors, const ColorModes& modes) {
    const QPaintDevice* device = painter.device();
    const int width = device ? device->width() : 0;
    const int height = device ? device->height() : 0;
    painter.save();
    painter.setFont(font);
    // Lines that fit stay whole, moved left so that they end at the right
    // edge; a block wider than the device is wrapped inside it.
    int flags = Qt::AlignLeft | Qt::AlignTop;
    const QRect natural = painter.boundingRect(QRect(0, 0, 1 << 20, 1 << 20), flags, text);
    QRect area;
    if (natural.width() <= width) {
        area = QRect(std::min(x, width - natural.width()), y, natural.width(), std::max(1, height - y));
    } else {
        flags |= Qt::TextWordWrap;
        const int margin = std::clamp(x, 0, 5);
        area = QRect(margin, y, std::max(1, width - 2 * margin), std::max(1, height - y));
    }
    painter.fillRect(painter.boundingRect(area, flags, text), ToQColor(MapSkyColor(colors[slot::kBackground], modes)));
    painter.setPen(ToQColor(TextColor(modes)));
    painter.drawText(area, flags, text);
    painter.restore();
}

void DrawAddIn(RenderContext& ctx, const std::string& path, bool force) {
    if (!ctx.painter || !ctx.view || !ctx.colors || path.empty()) return;
    switch (AddInType(path)) {
    case 91:
    case 94: {
        const Description d = ReadDescription(path);
        DrawText(ctx, 5, 10, QString::fromStdU16String(d.text));
        break;
    }
    case 92:
        if (!force) break;
        [[fallthrough]];
    case 99: {
        PolylineData points;
        ReadOverlayFile(std::filesystem::path(path), points);  // nothing on a bad file
        DrawAddInLine(ctx, points);
        break;
    }
    case 93:
        DrawObjectList(ctx, path);
        break;
    case 95:
    case 96:
    case 97:
    case 98:
        break;
    default: {
        CaptionedOverlay overlay;
        // A caption cut short keeps the characters the file holds.
        ReadCaptionedOverlay(std::filesystem::path(path), overlay);
        const PixelPoint last = DrawAddInLine(ctx, overlay.points);
        if (last.x != OffScreen)
            DrawText(ctx, last.x, last.y, QString::fromStdU16String(overlay.caption));
        break;
    }
    }
}

std::vector<std::string> AddInPaths(const SettingsStore& store) {
    std::vector<std::string> paths;
    const int count = ReadSettingInt(store, "ADIN", "COUNT");
    for (int i = 1; i <= count; ++i) {
        char entry[16];
        std::snprintf(entry, sizeof entry, "f%d", i);
        std::string path = store.GetProfileString("ADIN", entry, "");
        if (!path.empty()) paths.push_back(std::move(path));
    }
    return paths;
}

void DrawAddIns(RenderContext& ctx) {
    if (!ctx.view || !ctx.settings) return;
    if (!ReadSettingBool(*ctx.settings, "ADIN", "ENABLE")) return;
    const ViewMode mode = ctx.view->viewMode;
    if (mode == ViewMode::PolarAlignment || mode == ViewMode::Heliocentric) return;
    for (const std::string& path : AddInPaths(*ctx.settings)) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec)) continue;
        DrawAddIn(ctx, path, false);
    }
}

}  // namespace tavik
