// The registered tap marks and the numbered marks ①②③ on the chart.

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include "catalog/StarRecord.h"
#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"
#include "view/HitList.h"
#include "view/OverlayUser.h"
#include "view/Projection.h"
#include "view/TapMarks.h"
#include "view/ViewState.h"

namespace tavik {

namespace {

constexpr int kHalf = 3;  // the shapes are 6 pixels across

// Placed like a catalogue object (a position that is not a sound number is not drawn).
ProjectedPoint Place(const RenderContext& ctx, const StarRecord& r) {
    return ProjectStar(*ctx.view, r, ctx.sinLatitude, ctx.cosLatitude, nullptr, true);
}

void DrawShape(QPainter& p, int kind, int x, int y) {
    switch (kind) {
    case kTapProgram:
        p.drawPolygon(QPolygon({QPoint(x, y - kHalf), QPoint(x + kHalf, y + kHalf), QPoint(x - kHalf, y + kHalf)}));
        break;
    case kTapAddIn:
        p.drawEllipse(QRect(x - kHalf, y - kHalf, 2 * kHalf, 2 * kHalf));
        break;
    case kTapText:
        p.drawPolygon(QPolygon({QPoint(x, y + kHalf), QPoint(x + kHalf, y - kHalf), QPoint(x - kHalf, y - kHalf)}));
        break;
    default:  // the picture kind, and anything a foreign file holds
        p.drawRect(QRect(x - kHalf, y - kHalf, 2 * kHalf, 2 * kHalf));
        break;
    }
}

}  // namespace

void DrawTapMarks(RenderContext& ctx, const std::deque<StarRecord>& marks, const NumberedMarks* numbered) {
    if (!ctx.painter || !ctx.view || !ctx.settings || !ctx.colors) return;
    const ViewMode mode = ctx.view->viewMode;
    if (mode == ViewMode::Heliocentric) return;
    QPainter& p = *ctx.painter;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setFont(ctx.font);
    const QFontMetrics fm(ctx.font, ctx.image);

    if (ReadSettingBool(*ctx.settings, "TAPREG", "ENABLE")) {
        const bool labels = ReadSettingInt(*ctx.settings, "OPTION3", "USR_TAP_TEXT") == 1;
        const QPen shapePen(ctx.MappedQColor(slot::kTapMark), 0);
        const QColor labelColor = ctx.MappedQColor(slot::kUserTapText);
        for (const StarRecord& mark : marks) {
            const ProjectedPoint pt = Place(ctx, mark);
            if (!pt.visible) continue;
            p.setPen(shapePen);
            DrawShape(p, mark.kind, pt.x, pt.y);
            if (labels) {
                const QString label = QString::fromStdString(TapMarkLabel(mark));
                if (!label.isEmpty()) {
                    p.setPen(labelColor);
                    p.drawText(QPoint(pt.x + kHalf + 2, pt.y - fm.height() / 2 + fm.ascent()), label);
                }
            }
            if (ctx.hits) ctx.hits->AddCopy(mark, pt.x, pt.y);
        }
    }

    if (numbered) {
        static const char* const kSigns[kNumberedMarkCount] = {"①", "②", "③"};
        p.setPen(ctx.MappedQColor(slot::kNumberedMark));
        for (int i = 0; i < kNumberedMarkCount; ++i) {
            if (!numbered->Placed(i)) continue;
            const ProjectedPoint pt = Place(ctx, numbered->marks[static_cast<std::size_t>(i)]);
            if (!pt.visible) continue;
            const QString sign = QString::fromUtf8(kSigns[i]);
            p.drawText(QPoint(pt.x - fm.horizontalAdvance(sign) / 2, pt.y - fm.height() / 2 + fm.ascent()), sign);
        }
    }
    p.restore();
}

}  // namespace tavik
