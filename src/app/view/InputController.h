#pragma once
// The sky view's taps and keys: what a tap finds and writes over the chart
// (its text, a picture, a tap mark's action), what a tap on empty sky does by
// where it falls, the long press's pop-up menus, and the keys. Owned by the
// view, which hands it its presses in device pixels and its timers; keeps the
// last tap and the image shown over the chart in the tap text's place. Talks
// to the view through ChartHost.

#include <QEvent>
#include <QImage>
#include <QPoint>

#include <optional>
#include <string>

#include "catalog/StarRecord.h"
#include "view/Menus.h"
#include "view/TapInfo.h"
#include "app/view/ChartHost.h"

class QKeyEvent;
class QMenu;
class QWidget;

namespace tavik {

class GestureController;
class MagnifierController;
class PicturePresenter;
class Prompts;
class SettingsStore;
class TapMarkController;
class TimerHost;

// The pop-up request of a long press (view message 2054).
class PopupEvent final : public QEvent {
public:
    PopupEvent(bool hit, QPoint at);
    bool hit;
    QPoint at;
};

class InputController {
public:
    InputController(const ChartContext& context, MagnifierController& magnifier, PicturePresenter& pictures,
                    TapMarkController& tapMarks, GestureController& gestures);

    // The left button or a finger went down, moved, came up. A press that
    // moved is the gestures' drag, and its end no tap (Release: false).
    void Press(QPoint at);
    void Move(QPoint at);
    bool Release(QPoint at);
    // The press became a drag: no tap text, no long-press menu.
    void EndTap();
    // A key; false when it is none of the view's.
    bool Key(const QKeyEvent& e);

    // Timers 1004 (still held: the pop-up request), 1006 (the tap text goes)
    // and 905 (the deep-sky picture of the tap).
    void OnLongPress();
    void OnTapTextTimer();
    void OnPictureTimer();
    // Message 2054.
    void OnPopupRequest(bool hit, QPoint at);
    // Opens one of the pop-up menus at `at` for the tapped record (may be null).
    void OpenPopupMenu(PopupKind kind, QPoint at, const StarRecord* tapped);

    // Images over the chart in the tap text's place: until the next pass, or
    // (ShowOverChart) for `shownMs`; the image to draw while one is shown.
    void ShowImage(QImage image);
    void ShowOverChart(QImage image, int shownMs);
    void ClearImage() { image_ = QImage(); }
    const QImage* ShownImage() const { return infoShown_ && !image_.isNull() ? &image_ : nullptr; }

    // What the last stylus-down found (kept until the next one), where, and
    // the text it wrote.
    const std::optional<StarRecord>& TappedRecord() const { return tappedRecord_; }
    QPoint TapPoint() const { return tapPoint_; }
    void SetTapPoint(QPoint at) { tapPoint_ = at; }
    bool TapHit() const { return tapHit_; }
    bool InfoShown() const { return infoShown_; }
    const TapText& LastTapText() const { return tapText_; }
    // The pop-up menu open now (or last opened), or nullptr; the
    // constellation of its object, and the designation of its object when
    // that is a comet or an asteroid.
    QMenu* PopupMenu() const { return popup_; }
    const std::string& PopupConstellation() const { return popupConstellation_; }
    const std::string& PopupMinorBody() const { return popupMinorBody_; }

private:
    void StylusDown(QPoint at);
    void StylusUp(QPoint at);
    bool ShowTapInfo(QPoint at);
    void ActByRegion(QPoint at);
    bool HandleKey(int key);

    ChartContext c_;
    MagnifierController& magnifier_;
    PicturePresenter& pictures_;
    TapMarkController& tapMarks_;
    GestureController& gestures_;

    std::optional<StarRecord> tappedRecord_;
    QPoint tapPoint_;
    bool tapHit_ = false;
    bool infoShown_ = false;
    bool stylusDown_ = false;
    bool pressEnded_ = false;  // a question or dialog opened by the press took it
    TapText tapText_;
    QImage image_;                    // the chart with the tap text, while it is shown
    std::string pendingPicture_;      // the deep-sky picture shown 400 ms after its tap
    std::string popupConstellation_;  // the constellation of the last pop-up menu
    std::string popupMinorBody_;      // the comet or asteroid of the last pop-up menu
    QMenu* popup_ = nullptr;
};

}  // namespace tavik
