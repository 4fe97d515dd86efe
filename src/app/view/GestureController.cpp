#include "app/view/GestureController.h"

#include <algorithm>
#include <cmath>

#include "app/view/ChartHost.h"
#include "app/view/MagnifierController.h"
#include "view/CommandSet.h"
#include "view/MagnifierPanelModel.h"
#include "view/Projection.h"
#include "view/TimeControl.h"
#include "view/ViewCommands.h"

namespace tavik {

namespace {

constexpr int kDragStartPixels = 6;

}  // namespace

GestureController::GestureController(ChartHost& host, TimerHost& timers, MagnifierController& magnifier)
    : host_(host), timers_(timers), magnifier_(magnifier) {}

double GestureController::DegreesPerPixelAcross() const {
    // Near the centre of the direction view rho = angle * chart * span / pi.
    const ViewState& view = host_.State();
    const Framing f = ViewFraming(view);
    return 180.0 / (std::max(view.chartSize, 1) * f.span * std::max(f.stretch, 0.1));
}

void GestureController::ZoomAround(QPoint at, bool in) {
    const ViewState& view = host_.State();
    if (view.viewMode != ViewMode::Magnified || !view.magnifier.present) {
        if (!in) return;
        host_.SetTapPoint(at);  // where "ここを拡大" zooms in
        host_.RunRouted(cmd::ZoomHere);
        return;
    }
    ViewState zoomed = view;
    const int zoom = in ? ZoomInStep(view.magnifier.zoom) : ZoomOutStep(view.magnifier.zoom);
    zoomed.magnifier.zoom = std::clamp(zoom, magnifier::kZoomMin, magnifier::kZoomMax);
    if (zoomed.magnifier.zoom == view.magnifier.zoom) return;
    // The sky under the pointer stays under it.
    const ChartOffset d = OffsetFromCentre(view, at.x(), at.y());
    const Spherical sky = HorizontalAt(view, d.dx, d.dy);
    magnifier_.SetFraming(FramingPlacing(zoomed, sky, d.dx, d.dy, view.magnifier.altitude).framing);
}

void GestureController::Wheel(int angleDelta, QPoint at) {
    wheelAngle_ += angleDelta;
    // One step of an ordinary wheel is 120; a touch pad sends it in parts.
    while (std::abs(wheelAngle_) >= 120) {
        const bool in = wheelAngle_ > 0;
        wheelAngle_ -= in ? 120 : -120;
        ZoomAround(at, in);
    }
}

void GestureController::Press(QPoint at) {
    const ViewState& view = host_.State();
    drag_ = Drag{at, false, view.facing, view.turnDegrees, {}, view.magnifier.altitude};
    if (view.viewMode == ViewMode::Magnified && view.magnifier.present) {
        const ChartOffset d = OffsetFromCentre(view, at.x(), at.y());
        drag_->sky = HorizontalAt(view, d.dx, d.dy);
    }
}

bool GestureController::Release() {
    const bool dragged = drag_ && drag_->active;
    drag_.reset();
    return dragged;
}

bool GestureController::MoveTo(QPoint at) {
    if (!drag_) return false;
    const ViewState& view = host_.State();
    const QPoint moved = at - drag_->from;
    if (!drag_->active) {
        if (moved.manhattanLength() < kDragStartPixels * view.pixelRatio) return false;
        // From here on the press is a drag: no tap text, no long-press menu.
        drag_->active = true;
        timers_.KillTimer(timer_id::kTapMenu);
        host_.EndTap();
    }
    if (view.viewMode == ViewMode::Magnified && view.magnifier.present && drag_->sky) {
        // The sky point first pressed goes where the pointer is now.
        const ChartOffset d = OffsetFromCentre(view, at.x(), at.y());
        const PlacedFraming placed = FramingPlacing(view, *drag_->sky, d.dx, d.dy, drag_->altitude);
        drag_->altitude = placed.altitude;
        magnifier_.SetFraming(placed.framing);
    } else if (view.viewMode == ViewMode::Direction) {
        const int total = drag_->facing * 90 + drag_->turn - static_cast<int>(std::lround(moved.x() * DegreesPerPixelAcross()));
        const int wrapped = WrapHeading(total);
        host_.ChangeState(
            [wrapped](ViewState& v) {
                v.facing = wrapped / 90;
                v.turnDegrees = wrapped % 90;
                RefreshViewState(v);
            },
            true);
        host_.RefreshView();
    }
    return true;
}

void GestureController::Pinch(bool started, double scaleFactor, QPoint at) {
    if (started) pinchScale_ = 1.0;
    pinchScale_ *= scaleFactor;
    // Each step of the zoom table is about a tenth: one step per tenth pinched.
    while (pinchScale_ > 1.1) {
        pinchScale_ /= 1.1;
        ZoomAround(at, true);
    }
    while (pinchScale_ < 1.0 / 1.1) {
        pinchScale_ *= 1.1;
        ZoomAround(at, false);
    }
    // A pinch is no press: what the first finger began is dropped.
    drag_.reset();
    timers_.KillTimer(timer_id::kTapMenu);
}

}  // namespace tavik
