// Names written on the chart beside what the pass drew: bright stars' names
// and deep-sky designations, in the direction-type views only.

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <string_view>

#include "catalog/ShiftJis.h"
#include "catalog/StarRecord.h"
#include "settings/SettingsStore.h"
#include "view/DeepSkyOutline.h"
#include "view/Overlay.h"
#include "view/ViewState.h"

namespace tavik {

namespace {

// Brighter than this, a star with a name gets it written.
constexpr double kNamedStarMagnitude = 2.0;

bool NamesShown(const RenderContext& ctx, const char* section, const char* entry) {
    return ctx.settings && ctx.view && IsDirectionType(ctx.view->viewMode) &&
           ctx.settings->GetProfileInt(section, entry, 0) != 0;
}

// Writes `text` with its lower-left corner a few pixels to the upper right of
// (x, y), clear of a star disc or deep-sky symbol drawn there.
void WriteBeside(QPainter& p, const QFontMetrics& fm, int x, int y, const QString& text) {
    p.drawText(x + 5, y - 3 - fm.descent(), text);
}

}  // namespace

bool IsBrightNamedStar(const StarRecord& star) {
    return star.kind == kKindStar && star.mag < kNamedStarMagnitude && star.name && !star.name->empty();
}

void DrawStarNames(RenderContext& ctx, const std::vector<LabelledStar>& stars) {
    if (stars.empty() || !ctx.painter || !NamesShown(ctx, "BRSTAR", "NAME")) return;
    QPainter& p = *ctx.painter;
    p.save();
    p.setFont(ctx.font);
    p.setPen(ctx.MappedQColor(slot::kStarName));
    const QFontMetrics fm(ctx.font, ctx.image);
    for (const LabelledStar& s : stars) {
        if (!s.record || !s.record->name) continue;
        WriteBeside(p, fm, s.x, s.y, QString::fromStdString(SjisToUtf8(*s.record->name)));
    }
    p.restore();
}

void DrawDeepSkyDesignations(RenderContext& ctx, std::vector<LabelledStar> objects) {
    if (objects.empty() || !ctx.painter || !NamesShown(ctx, "MESSIE", "NUMBER")) return;
    std::stable_sort(objects.begin(), objects.end(), [](const LabelledStar& a, const LabelledStar& b) {
        const bool am = IsMessierDesignation(a.record->ShortDesignation());
        const bool bm = IsMessierDesignation(b.record->ShortDesignation());
        if (am != bm) return am;
        return a.record->mag < b.record->mag;
    });
    QPainter& p = *ctx.painter;
    p.save();
    p.setFont(ctx.font);
    p.setPen(ctx.MappedQColor(slot::kDeepSky));
    const QFontMetrics fm(ctx.font, ctx.image);
    // The boxes written so far, by the cells of a coarse grid they touch.
    constexpr int kCell = 64;
    const int columns = ctx.clientWidth / kCell + 1, rows = ctx.clientHeight / kCell + 1;
    std::vector<std::vector<QRect>> cells(static_cast<std::size_t>(columns) * rows);
    auto cellRange = [&](const QRect& box, auto&& visit) {
        const int x0 = std::clamp(box.left() / kCell, 0, columns - 1), x1 = std::clamp(box.right() / kCell, 0, columns - 1);
        const int y0 = std::clamp(box.top() / kCell, 0, rows - 1), y1 = std::clamp(box.bottom() / kCell, 0, rows - 1);
        for (int cy = y0; cy <= y1; ++cy)
            for (int cx = x0; cx <= x1; ++cx)
                if (!visit(cells[static_cast<std::size_t>(cy) * columns + cx])) return false;
        return true;
    };
    for (const LabelledStar& o : objects) {
        const std::string_view d = o.record->ShortDesignation();
        if (d.empty()) continue;
        const QString text = QString::fromLatin1(d.data(), static_cast<int>(d.size()));
        const int baseline = o.y - 3 - fm.descent();
        const QRect box(o.x + 5, baseline - fm.ascent(), fm.horizontalAdvance(text), fm.ascent() + fm.descent());
        const bool clear = cellRange(box, [&](const std::vector<QRect>& cell) {
            return std::none_of(cell.begin(), cell.end(), [&](const QRect& r) { return r.intersects(box); });
        });
        if (!clear) continue;
        cellRange(box, [&](std::vector<QRect>& cell) {
            cell.push_back(box);
            return true;
        });
        WriteBeside(p, fm, o.x, o.y, text);
    }
    p.restore();
}

void DrawDeepSkyDesignation(RenderContext& ctx, const StarRecord& object, int x, int y) {
    if (!ctx.painter || !NamesShown(ctx, "MESSIE", "NUMBER")) return;
    const std::string_view d = object.ShortDesignation();
    if (d.empty()) return;
    QPainter& p = *ctx.painter;
    p.save();
    p.setFont(ctx.font);
    p.setPen(ctx.MappedQColor(slot::kDeepSky));
    WriteBeside(p, QFontMetrics(ctx.font, ctx.image), x, y,
                QString::fromLatin1(d.data(), static_cast<int>(d.size())));
    p.restore();
}

}  // namespace tavik
