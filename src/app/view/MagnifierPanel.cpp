#include "app/view/MagnifierPanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHideEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QShowEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace tavik {

namespace {

// Steps of one held arrow come at the spin box's repeat rate; a longer gap
// starts a new hold (and the acceleration from the beginning).
constexpr int kRepeatGapMs = 700;

// A spin edit with the panel's acceleration table. With a step function the
// arrows go through it (the heading: up decreases, both ends wrap) and are
// never disabled at an end.
class PanelSpin final : public QSpinBox {
public:
    explicit PanelSpin(QWidget* parent) : QSpinBox(parent) {
        setKeyboardTracking(false);  // a typed number counts once it is entered
        setAlignment(Qt::AlignRight);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    void SetStepFunction(std::function<int(int)> f) { stepFunction_ = std::move(f); }
    // Enter and Escape typed in the box are the box's: they never reach the
    // chart's keys (where they would open the action-key menu).
    void SetKeyActions(std::function<void()> enter, std::function<void()> escape) {
        enter_ = std::move(enter);
        escape_ = std::move(escape);
    }

    void stepBy(int steps) override {
        if (!lastStep_.isValid() || lastStep_.elapsed() > kRepeatGapMs) held_.start();
        lastStep_.start();
        const int degrees = steps * SpinIncrement(static_cast<int>(held_.elapsed()));
        if (stepFunction_)
            setValue(stepFunction_(degrees));
        else
            QSpinBox::stepBy(degrees);
    }

protected:
    StepEnabled stepEnabled() const override {
        if (stepFunction_) return StepUpEnabled | StepDownEnabled;
        return QSpinBox::stepEnabled();
    }
    void keyPressEvent(QKeyEvent* e) override {
        switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            interpretText();  // the typed number counts
            if (enter_) enter_();
            e->accept();
            return;
        case Qt::Key_Escape:
            if (escape_) escape_();
            e->accept();
            return;
        default:
            QSpinBox::keyPressEvent(e);
        }
    }

private:
    std::function<int(int)> stepFunction_;
    std::function<void()> enter_;
    std::function<void()> escape_;
    QElapsedTimer held_;
    QElapsedTimer lastStep_;
};

// The scroll bars are only arrows: the slider rests in the middle and every
// action is one step.
QScrollBar* ArrowBar(Qt::Orientation orientation, QWidget* parent) {
    auto* bar = new QScrollBar(orientation, parent);
    bar->setRange(-1, 1);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setValue(0);
    return bar;
}

// -1 for the actions towards the bar's minimum, +1 towards its maximum, 0 for
// dragging the slider.
int ActionDirection(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
    case QAbstractSlider::SliderPageStepSub:
    case QAbstractSlider::SliderToMinimum: return -1;
    case QAbstractSlider::SliderSingleStepAdd:
    case QAbstractSlider::SliderPageStepAdd:
    case QAbstractSlider::SliderToMaximum: return 1;
    default: return 0;
    }
}

}  // namespace

CMagnifierPanel::CMagnifierPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("153"));
    setAutoFillBackground(true);
    setAttribute(Qt::WA_AcceptTouchEvents);

    auto* heading = new PanelSpin(this);
    heading->setObjectName(QString::number(MagnifierControl::Heading));
    heading->setRange(magnifier::kHeadingSpinLow, magnifier::kHeadingSpinHigh);
    heading->SetStepFunction([this](int degrees) { return model_.HeadingAfterArrows(degrees); });
    heading_ = heading;
    altitude_ = new PanelSpin(this);
    altitude_->setObjectName(QString::number(MagnifierControl::Altitude));
    altitude_->setRange(magnifier::kAltitudeLowest, magnifier::kAltitudeHighest);
    zoom_ = new PanelSpin(this);
    zoom_->setObjectName(QString::number(MagnifierControl::Zoom));
    zoom_->setRange(magnifier::kZoomMin, magnifier::kZoomMax);

    draw_ = new QPushButton(QString::fromUtf8("描画"), this);
    draw_->setObjectName(QStringLiteral("draw"));
    in_ = new QPushButton(QStringLiteral("In"), this);
    in_->setObjectName(QStringLiteral("in"));
    out_ = new QPushButton(QStringLiteral("out"), this);
    out_->setObjectName(QStringLiteral("out"));
    headingBar_ = ArrowBar(Qt::Horizontal, this);
    altitudeBar_ = ArrowBar(Qt::Vertical, this);

    // Big enough for a fingertip at any font size.
    const int touch = fontMetrics().height() * 2;
    for (QPushButton* b : {draw_, in_, out_}) {
        b->setMinimumHeight(touch);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        b->setFocusPolicy(Qt::TabFocus);
    }
    headingBar_->setMinimumHeight(touch * 3 / 4);
    altitudeBar_->setMinimumWidth(touch * 3 / 4);
    altitudeBar_->setMinimumHeight(touch * 2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(heading_);
    layout->addWidget(altitude_);
    layout->addWidget(zoom_);
    layout->addWidget(draw_);
    layout->addWidget(headingBar_);
    auto* lower = new QHBoxLayout;
    lower->setSpacing(2);
    lower->addWidget(altitudeBar_);
    auto* zoomButtons = new QVBoxLayout;
    zoomButtons->addWidget(in_);
    zoomButtons->addWidget(out_);
    zoomButtons->addStretch(1);
    lower->addLayout(zoomButtons, 1);
    layout->addLayout(lower, 1);

    // An edit in a box keeps the focus there, even when it is drawn at once:
    // a held arrow goes on repeating and typed keys stay in the box.
    connect(heading_, qOverload<int>(&QSpinBox::valueChanged), this, [this](int v) {
        Apply(model_.EditHeading(v), false);
        if (!model_.ProgrammaticChange() && heading_->value() != model_.ShownHeading()) Show();  // -1 and 360 wrap
    });
    connect(altitude_, qOverload<int>(&QSpinBox::valueChanged), this,
            [this](int v) { Apply(model_.EditAltitude(v), false); });
    connect(zoom_, qOverload<int>(&QSpinBox::valueChanged), this,
            [this](int v) { Apply(model_.EditZoom(v), false); });
    // Enter draws what waits; Escape puts the shown values back and leaves the box.
    for (QSpinBox* spin : {heading_, altitude_, zoom_}) {
        static_cast<PanelSpin*>(spin)->SetKeyActions(
            [this] {
                if (model_.Pending()) Apply(model_.Draw());
            },
            [this] {
                Show();
                if (QWidget* view = parentWidget()) view->setFocus(Qt::OtherFocusReason);
            });
    }
    connect(headingBar_, &QAbstractSlider::actionTriggered, this, &CMagnifierPanel::OnHeadingAction);
    connect(altitudeBar_, &QAbstractSlider::actionTriggered, this, &CMagnifierPanel::OnAltitudeAction);
    connect(in_, &QPushButton::clicked, this, [this] {
        Apply(model_.ZoomIn());
        Show();
    });
    connect(out_, &QPushButton::clicked, this, [this] {
        Apply(model_.ZoomOut());
        Show();
    });
    connect(draw_, &QPushButton::clicked, this, [this] { Apply(model_.Draw()); });

    Show();
    Apply({});
}

QSpinBox* CMagnifierPanel::Spin(int control) const {
    switch (control) {
    case MagnifierControl::Heading: return heading_;
    case MagnifierControl::Altitude: return altitude_;
    case MagnifierControl::Zoom: return zoom_;
    default: return nullptr;
    }
}

void CMagnifierPanel::SetFraming(const MagnifierFraming& framing) {
    model_.SetFraming(framing);
    Show();
}

void CMagnifierPanel::SetHeadingFromView(int viewDirection) {
    model_.SetHeadingFromView(viewDirection);
    Show();
}

void CMagnifierPanel::SetAutoEnter(bool on) { model_.SetAutoEnter(on); }

void CMagnifierPanel::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!e->spontaneous()) emit shownChanged(true);
}

void CMagnifierPanel::hideEvent(QHideEvent* e) {
    QWidget* focus = QApplication::focusWidget();
    const bool hadFocus = focus && isAncestorOf(focus);
    QWidget::hideEvent(e);
    if (e->spontaneous()) return;
    if (hadFocus && parentWidget()) parentWidget()->setFocus(Qt::OtherFocusReason);
    emit shownChanged(false);
}

void CMagnifierPanel::DockAt(const QRect& client) {
    client_ = client;
    dockWidth_ = std::max(dockWidth_, sizeHint().width());
    const int width = std::max(1, std::min(dockWidth_, client.width() / 3));
    setGeometry(client.right() - width + 1, client.top(), width, client.height());
}

void CMagnifierPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &p, this);
}

void CMagnifierPanel::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() != QEvent::StyleChange && e->type() != QEvent::PaletteChange) return;
    if (client_.isValid()) DockAt(client_);
    update();
}

QSize CMagnifierPanel::sizeHint() const {
    // As narrow as the spin edits allow.
    const QSize content = QWidget::sizeHint();
    return {std::max(content.width(), fontMetrics().horizontalAdvance(QStringLiteral("0000")) * 2),
            content.height()};
}

void CMagnifierPanel::Show() {
    model_.WhileProgrammatic([this] {
        heading_->setValue(model_.ShownHeading());
        altitude_->setValue(model_.ShownAltitude());
        zoom_->setValue(model_.Zoom());
    });
}

void CMagnifierPanel::Apply(const PanelEffect& effect, bool focusToView) {
    draw_->setVisible(model_.Pending());
    draw_->setEnabled(model_.Pending());
    if (effect.changed) emit valuesChanged();
    if (effect.mark) emit targetMarkRequested();
    if (effect.render) {
        emit renderRequested();
        // The draw action gives the focus back to the view.
        if (focusToView) {
            if (QWidget* view = parentWidget()) view->setFocus(Qt::OtherFocusReason);
        }
    }
}

void CMagnifierPanel::OnHeadingAction(int action) {
    headingBar_->setSliderPosition(0);
    const int direction = ActionDirection(action);
    if (direction == 0) return;
    Apply(model_.ScrollHeading(direction));
    Show();
}

void CMagnifierPanel::OnAltitudeAction(int action) {
    altitudeBar_->setSliderPosition(0);
    // The bar's minimum is at its top: towards it raises the altitude.
    const int direction = -ActionDirection(action);
    if (direction == 0) return;
    Apply(model_.ScrollAltitude(direction));
    Show();
}

}  // namespace tavik
