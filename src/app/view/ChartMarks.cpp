#include "app/view/ChartMarks.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

#include "view/SkyRenderer.h"

namespace tavik {

void DrawTelescopeMarks(QPainter& p, SkyCanvas& canvas, QSize device, const std::optional<SkyPosition>& target,
                        const std::optional<SkyPosition>& scope, const QColor& color) {
    if (!target && !scope) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(color, 1));
    const QRect chart(QPoint(0, 0), device);
    auto place = [&](const SkyPosition& s) -> std::optional<QPoint> {
        const std::optional<ProjectedPoint> pt = canvas.ProjectOnLastPass(s.rightAscension, s.declination);
        if (!pt || !pt->visible || !chart.contains(pt->x, pt->y)) return std::nullopt;
        return QPoint(pt->x, pt->y);
    };
    if (target) {
        if (const auto at = place(*target)) p.drawEllipse(QRect(at->x() - 5, at->y() - 5, 11, 11));
    }
    if (scope) {
        if (const auto at = place(*scope)) {
            p.drawEllipse(QRect(at->x() - 5, at->y() - 5, 10, 10));
            p.drawEllipse(QRect(at->x() - 3, at->y() - 3, 6, 6));
        }
    }
    p.restore();
}

void DrawFoundMark(QPainter& p, SkyCanvas& canvas, QSize device, const SkyPosition& object, double scale,
                   const QColor& color) {
    const std::optional<ProjectedPoint> at = canvas.ProjectOnLastPass(object.rightAscension, object.declination);
    if (!at || at->x == OffScreen || at->y == OffScreen) return;
    const int inner = static_cast<int>(std::lround(6 * scale));
    const int outer = static_cast<int>(std::lround(16 * scale));
    if (!QRect(QPoint(-outer, -outer), device + QSize(2 * outer, 2 * outer)).contains(at->x, at->y)) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(color, std::max(1.0, std::round(2 * scale))));
    const int x = at->x, y = at->y;
    p.drawLine(x - outer, y, x - inner, y);
    p.drawLine(x + inner, y, x + outer, y);
    p.drawLine(x, y - outer, x, y - inner);
    p.drawLine(x, y + inner, x, y + outer);
    p.restore();
}

void DrawTargetMark(QPainter& p, const TargetMarkGeometry& mark, const QColor& color) {
    p.save();
    p.setPen(QPen(color, 1));
    for (const auto& l : mark.lines) p.drawLine(l.x1, l.y1, l.x2, l.y2);
    p.restore();
}

}  // namespace tavik
