// The sky view's desktop and touch gestures, each also reachable through the
// existing commands:
//   - the wheel (and a pinch): in the magnified view, zoom around the pointer
//     (the panel's zoom follows); in the other views a step up enters the
//     magnified view at the pointer, as "ここを拡大" does;
//   - a drag with the left button or one finger: in the magnified view the
//     sky follows the pointer (heading and altitude), in the direction view a
//     sideways drag turns the view; elsewhere nothing moves. A press that
//     moves beyond a few pixels is a drag: never a tap, never a long press.

#include <QGestureEvent>
#include <QPinchGesture>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "app/view/MagnifierPanel.h"
#include "app/view/TavikView.h"
#include "view/MagnifierPanelModel.h"
#include "view/Projection.h"
#include "view/ViewCommands.h"

namespace tavik {

namespace {

constexpr int kDragStartPixels = 6;

int Wrap360(int degrees) { return ((degrees % 360) + 360) % 360; }

}  // namespace

double CTavikView::DegreesPerPixel(bool across) const {
    // Near the centre of the direction-type views rho = angle * chart * span / pi.
    const Framing f = ViewFraming(view_);
    const double stretch = across ? f.stretch : 1.0;
    return 180.0 / (std::max(view_.chartSize, 1) * f.span * std::max(stretch, 0.1));
}

QPoint CTavikView::FromChartCentre(QPoint at) const {
    const int centreRow = view_.horizonFraming && !view_.magnifier.present ? 2 * view_.chartHalf : view_.chartHalf;
    return at - QPoint(view_.clientWidth / 2, centreRow);
}

void CTavikView::SetMagnifierFraming(MagnifierFraming framing) {
    framing.heading = Wrap360(framing.heading);
    framing.altitude = std::clamp(framing.altitude, magnifier::kAltitudeMin, magnifier::kAltitudeEditMax);
    framing.zoom = std::clamp(framing.zoom, magnifier::kZoomMin, magnifier::kZoomMax);
    {
        auto lock = Lock();
        view_.magnifier = framing;
        TakeMagnifierHeading(view_);
        commands_.SaveAll();
    }
    if (panel_) panel_->SetFraming(framing);
    RefreshView();
}

void CTavikView::ZoomAround(QPoint at, bool in) {
    if (view_.viewMode != ViewMode::Magnified || !view_.magnifier.present) {
        if (!in) return;
        tapPoint_ = at;  // where "ここを拡大" zooms in
        RunRouted(cmd::ZoomHere);
        return;
    }
    MagnifierFraming f = view_.magnifier;
    const double before = DegreesPerPixel(false);
    f.zoom = in ? ZoomInStep(f.zoom) : ZoomOutStep(f.zoom);
    f.zoom = std::clamp(f.zoom, magnifier::kZoomMin, magnifier::kZoomMax);
    if (f.zoom == view_.magnifier.zoom) return;
    // The sky under the pointer stays under it.
    const double after = before * view_.magnifier.zoom / f.zoom;
    const QPoint d = FromChartCentre(at);
    f.heading += static_cast<int>(std::lround(d.x() * (before - after)));
    f.altitude -= static_cast<int>(std::lround(d.y() * (before - after)));
    SetMagnifierFraming(f);
}

void CTavikView::wheelEvent(QWheelEvent* e) {
    wheelAngle_ += e->angleDelta().y();
    // One step of an ordinary wheel is 120; a touch pad sends it in parts.
    while (std::abs(wheelAngle_) >= 120) {
        const bool in = wheelAngle_ > 0;
        wheelAngle_ -= in ? 120 : -120;
        ZoomAround(ToDevice(e->position()), in);
    }
    e->accept();
}

bool CTavikView::DragTo(QPoint at) {
    if (!drag_) return false;
    const QPoint moved = at - drag_->from;
    if (!drag_->active) {
        if (moved.manhattanLength() < kDragStartPixels * view_.pixelRatio) return false;
        // From here on the press is a drag: no tap text, no long-press menu.
        drag_->active = true;
        KillTimer(timer_id::kTapMenu);
        tapHit_ = false;
        if (infoShown_) {
            infoShown_ = false;
            tapImage_ = QImage();
            update();
        }
    }
    if (view_.viewMode == ViewMode::Magnified && view_.magnifier.present) {
        MagnifierFraming f = drag_->framing;
        const double s = DegreesPerPixel(false);
        f.heading -= static_cast<int>(std::lround(moved.x() * s));
        f.altitude += static_cast<int>(std::lround(moved.y() * s));
        SetMagnifierFraming(f);
    } else if (view_.viewMode == ViewMode::Direction) {
        const int total = drag_->facing * 90 + drag_->turn - static_cast<int>(std::lround(moved.x() * DegreesPerPixel(true)));
        const int wrapped = Wrap360(total);
        {
            auto lock = Lock();
            view_.facing = wrapped / 90;
            view_.turnDegrees = wrapped % 90;
            RefreshViewState(view_);
            commands_.SaveAll();
        }
        RefreshView();
    }
    return true;
}

bool CTavikView::GestureEvent(QGestureEvent* e) {
    auto* pinch = static_cast<QPinchGesture*>(e->gesture(Qt::PinchGesture));
    if (!pinch) return false;
    if (pinch->state() == Qt::GestureStarted) pinchScale_ = 1.0;
    pinchScale_ *= pinch->scaleFactor();
    // Each step of the zoom table is about a tenth: one step per tenth pinched.
    const QPoint at = ToDevice(mapFromGlobal(pinch->centerPoint()));
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
    KillTimer(timer_id::kTapMenu);
    e->accept(pinch);
    return true;
}

}  // namespace tavik
