// Names written on the chart beside what the pass drew: bright stars' names
// and deep-sky designations, in the direction-type views only.

#include <QFontMetrics>
#include <QPainter>

#include "catalog/ShiftJis.h"
#include "catalog/StarRecord.h"
#include "settings/SettingsStore.h"
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
