#pragma once
// The sky view's desktop and touch gestures, each also reachable through the
// existing commands:
//   - the wheel (and a pinch): in the magnified view, zoom around the pointer
//     (the panel's zoom follows); in the other views a step up enters the
//     magnified view at the pointer, as "ここを拡大" does;
//   - a drag with the left button or one finger: in the magnified view the
//     sky point pressed stays under the pointer (heading and altitude follow
//     in fractions of a degree), in the direction view a sideways drag turns
//     the view; elsewhere nothing moves. A press that
//     moves beyond a few pixels is a drag: never a tap, never a long press.
// Owned by the view, which hands it its presses in device pixels; talks to it
// through ChartHost and moves the magnified view through MagnifierController.

#include <QPoint>

#include <optional>

#include "astro/Transforms.h"
#include "view/ViewState.h"

namespace tavik {

class ChartHost;
class MagnifierController;
class TimerHost;

class GestureController {
public:
    GestureController(ChartHost& host, TimerHost& timers, MagnifierController& magnifier);

    // The left button or a finger went down, moved, came up. MoveTo is false
    // while the press is still a tap; Release tells whether it was a drag.
    void Press(QPoint at);
    bool MoveTo(QPoint at);
    bool Release();
    // A wheel turned by `angleDelta` eighths of a degree over `at`.
    void Wheel(int angleDelta, QPoint at);
    // A pinch around `at` grew by `scaleFactor` since its last event.
    void Pinch(bool started, double scaleFactor, QPoint at);

private:
    void ZoomAround(QPoint at, bool in);
    // Degrees of sky per pixel across, near the direction view's centre.
    double DegreesPerPixelAcross() const;

    ChartHost& host_;
    TimerHost& timers_;
    MagnifierController& magnifier_;
    struct Drag {
        QPoint from;
        bool active = false;  // moved beyond a tap: the sky follows
        int facing = 0, turn = 0;
        std::optional<Spherical> sky;  // the magnified view's point pressed (azimuth, altitude)
        double altitude = 45.0;        // where the drag would take the view, unbounded
    };
    std::optional<Drag> drag_;  // while the left button or a finger is down
    int wheelAngle_ = 0;        // eighths of a degree not yet turned into steps
    double pinchScale_ = 1.0;
};

}  // namespace tavik
