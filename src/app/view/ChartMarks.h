#pragma once
// Marks the view draws over the chart in device pixels: the telescope's goto
// target (a circle) and its position last read (two circles), where they fall
// on the chart of the last pass; and the magnified view's target mark.

#include <QColor>
#include <QSize>

#include <optional>

#include "view/MagnifierPanelModel.h"
#include "view/Projection.h"

class QPainter;

namespace tavik {

class SkyCanvas;

void DrawTelescopeMarks(QPainter& p, SkyCanvas& canvas, QSize device, const std::optional<SkyPosition>& target,
                        const std::optional<SkyPosition>& scope, const QColor& color);
void DrawTargetMark(QPainter& p, const TargetMarkGeometry& mark, const QColor& color);
// The mark of an object found by name (J2000): four ticks around it, a gap in
// the middle so that the object itself stays in sight; `scale` is the
// screen's device pixels per window pixel.
void DrawFoundMark(QPainter& p, SkyCanvas& canvas, QSize device, const SkyPosition& object, double scale,
                   const QColor& color);

}  // namespace tavik
