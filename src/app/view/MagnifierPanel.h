#pragma once
// The magnifier panel (dialog 153, the navigator "拡大ナビゲータ"): a narrow
// modeless panel that docks against the sky view's right edge and steers the
// magnified view. Three spin edits (heading 1079 counted from the south, with
// its up arrow turning towards smaller headings and both ends wrapping;
// altitude 1080; zoom 1081 in tenths), the "描画" button that shows only while
// a change waits to be drawn, a horizontal scroll bar that turns the heading
// and a vertical one that raises or lowers the altitude by the zoom's step,
// and "In" and "out".
//
// The arithmetic is MagnifierPanelModel's; this window shows it and talks to
// the outside only through its signals and setters:
//
//   - renderRequested(): the draw action ran (post message 2048 to the view);
//   - targetMarkRequested(): the user moved the heading or the altitude (post
//     message 2051: redraw the target mark, see TargetMark());
//   - valuesChanged(): any value changed by the user.
//
// The view reads Framing() at the start of every pass in the magnified view
// and hands its own changes (turning, stepping, zoom-in-here, a search jump)
// back through SetFraming() or SetHeadingFromView(), which never count as the
// user's edits.

#include <QWidget>

#include "view/MagnifierPanelModel.h"

class QPushButton;
class QScrollBar;
class QSpinBox;

namespace tavik {

class CMagnifierPanel : public QWidget {
    Q_OBJECT
public:
    explicit CMagnifierPanel(QWidget* parent = nullptr);

    // --- the program's changes ---------------------------------------------
    void SetFraming(const MagnifierFraming& framing);
    void SetHeadingFromView(int viewDirection);  // facing x 90 + turn
    // OPTION2/AUTO_ENTER ("拡大操作 更新ボタン自動押下"): the user's edits are
    // drawn at once instead of waiting for "描画".
    void SetAutoEnter(bool on);

    // --- what the view reads -------------------------------------------------
    MagnifierFraming Framing() const { return model_.Framing(); }
    int ViewDirection() const { return model_.ViewDirection(); }
    const MagnifierPanelModel& Model() const { return model_; }

    // Places the panel against the right edge of `client` (a rectangle in
    // the parent's coordinates): full height, the widest its controls have
    // asked for (a change of style, as to red mode and back, never narrows
    // it), never more than a third of the client's width.
    void DockAt(const QRect& client);

    // The controls (for tests and for the focus chain).
    QSpinBox* Spin(int control) const;
    QPushButton* DrawButton() const { return draw_; }
    QPushButton* InButton() const { return in_; }
    QPushButton* OutButton() const { return out_; }
    QScrollBar* HeadingBar() const { return headingBar_; }
    QScrollBar* AltitudeBar() const { return altitudeBar_; }

    QSize sizeHint() const override;

signals:
    // Shown or hidden: the chart beside it takes a new width.
    void shownChanged(bool shown);
    void renderRequested();
    void targetMarkRequested();
    void valuesChanged();

protected:
    // A new style or palette (red mode on or off) lays the controls out
    // anew: the panel is docked again and drawn whole, so that nothing of the
    // old look stays behind.
    void changeEvent(QEvent* e) override;
    // Its own background in every look: a style sheet's (red mode) as well
    // as the palette's.
    void paintEvent(QPaintEvent* e) override;
    void showEvent(QShowEvent* e) override;
    // Hidden with the focus in one of its controls: the focus goes back to the
    // chart, so that the keys work there at once.
    void hideEvent(QHideEvent* e) override;

private:
    // `focusToView`: a draw gives the focus back to the chart (not after an
    // edit in a box, which keeps it).
    void Apply(const PanelEffect& effect, bool focusToView = true);
    void Show();  // model values into the controls (a programmatic change)
    void OnHeadingAction(int action);
    void OnAltitudeAction(int action);

    MagnifierPanelModel model_;
    QSpinBox* heading_ = nullptr;
    QSpinBox* altitude_ = nullptr;
    QSpinBox* zoom_ = nullptr;
    QPushButton* draw_ = nullptr;
    QScrollBar* headingBar_ = nullptr;
    QScrollBar* altitudeBar_ = nullptr;
    QPushButton* in_ = nullptr;
    QPushButton* out_ = nullptr;
    int dockWidth_ = 0;  // the widest the controls have asked for
    QRect client_;       // where it was docked last
};

}  // namespace tavik
