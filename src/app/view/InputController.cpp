#include "app/view/InputController.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>

#include <algorithm>
#include <filesystem>

#include "app/dialogs/Prompts.h"
#include "app/pictures/PicturePresenter.h"
#include "app/view/ChartHost.h"
#include "app/view/GestureController.h"
#include "app/view/MagnifierController.h"
#include "app/view/TapMarkController.h"
#include "catalog/ShiftJis.h"
#include "settings/SettingsStore.h"
#include "view/CommandSet.h"
#include "view/SkyRenderer.h"
#include "view/TimeControl.h"
#include "view/ViewCommands.h"

namespace tavik {

namespace {

constexpr int kLongPressMs = 500;
constexpr int kTapInfoMs = 5000;
constexpr int kPictureDelayMs = 400;

// A menu of entries whose items run `run` with their command.
void FillMenu(QMenu& menu, const std::vector<MenuEntry>& entries, const std::function<void(int)>& run) {
    for (const MenuEntry& e : entries) {
        if (e.IsSeparator()) {
            menu.addSeparator();
        } else if (e.IsSubmenu()) {
            FillMenu(*menu.addMenu(QString::fromStdString(e.text)), e.children, run);
        } else {
            QAction* a = menu.addAction(QString::fromStdString(e.text));
            a->setData(e.id);
            a->setEnabled(e.enabled);
            if (e.checked) {
                a->setCheckable(true);
                a->setChecked(true);
            }
            const int id = e.id;
            QObject::connect(a, &QAction::triggered, &menu, [run, id] { run(id); });
        }
    }
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

}  // namespace

PopupEvent::PopupEvent(bool hit, QPoint at)
    : QEvent(static_cast<QEvent::Type>(QEvent::User + view_message::kPopup)), hit(hit), at(at) {}

InputController::InputController(const ChartContext& context, MagnifierController& magnifier,
                                 PicturePresenter& pictures, TapMarkController& tapMarks, GestureController& gestures)
    : c_(context), magnifier_(magnifier), pictures_(pictures), tapMarks_(tapMarks), gestures_(gestures) {}

void InputController::Press(QPoint at) {
    gestures_.Press(at);
    StylusDown(at);
}

void InputController::Move(QPoint at) { gestures_.MoveTo(at); }

bool InputController::Release(QPoint at) {
    if (!gestures_.Release()) {
        StylusUp(at);
        return true;
    }
    // The end of a drag is no tap.
    c_.timers.KillTimer(timer_id::kTapMenu);
    stylusDown_ = false;
    tapHit_ = false;
    return false;
}

void InputController::EndTap() {
    tapHit_ = false;
    if (infoShown_) {
        infoShown_ = false;
        image_ = QImage();
        c_.view.update();
    }
}

void InputController::OnLongPress() {
    // Still held after half a second: the pop-up menu for the tap.
    if (stylusDown_) QCoreApplication::postEvent(&c_.view, new PopupEvent(tapHit_, tapPoint_));
}

void InputController::OnTapTextTimer() {
    infoShown_ = false;
    image_ = QImage();
    c_.view.update();
}

void InputController::OnPictureTimer() {
    if (FileExists(pendingPicture_)) c_.host.ShowPicture(pendingPicture_);
}

void InputController::ShowImage(QImage image) {
    image_ = std::move(image);
    c_.view.update();
}

void InputController::ShowOverChart(QImage image, int shownMs) {
    image_ = std::move(image);
    infoShown_ = true;
    c_.timers.StartTimer(timer_id::kTapInfo, shownMs);
    c_.view.update();
}

void InputController::StylusDown(QPoint at) {
    pressEnded_ = false;
    const ViewMode mode = c_.host.State().viewMode;
    // A tap hides the panel when the option asks for it.
    magnifier_.HideForTap();
    if (mode == ViewMode::PolarAlignment || mode == ViewMode::Heliocentric) return;
    if (pictures_.ClearPicture()) c_.view.update();
    tapHit_ = ShowTapInfo(at);
    if (pressEnded_) {
        tapHit_ = false;
        return;
    }
    stylusDown_ = true;
    c_.timers.StartTimer(timer_id::kTapMenu, kLongPressMs);
}

void InputController::StylusUp(QPoint at) {
    c_.timers.KillTimer(timer_id::kTapMenu);
    const bool wasDown = stylusDown_;
    stylusDown_ = false;
    if (!wasDown && pressEnded_) return;  // the release of a press a question ended
    if (c_.host.State().viewMode == ViewMode::PolarAlignment) {
        c_.host.ChangeState([](ViewState& view) { view.polarFine = !view.polarFine; }, true);
        c_.host.RefreshView();
        return;
    }
    // The first tap on empty sky while a tap text is shown only ends that text.
    if (!tapHit_ && !infoShown_) ActByRegion(at);
    if (infoShown_ && !tapHit_) {
        infoShown_ = false;
        c_.timers.KillTimer(timer_id::kTapInfo);
        image_ = QImage();
        c_.view.update();
    }
    tapHit_ = false;
}

bool InputController::ShowTapInfo(QPoint at) {
    tappedRecord_.reset();
    tapPoint_ = at;
    QImage withText;
    const std::optional<TapOutcome> out = c_.host.TapAt(at, &withText);
    if (!out || !out->hit || !out->record) return false;
    tappedRecord_ = out->record;
    tapPoint_ = QPoint(out->x, out->y);
    tapText_ = out->text;
    const StarRecord& r = *tappedRecord_;
    if (!r.IsTapMark()) {
        image_ = std::move(withText);
        c_.view.update();
    } else if (tapMarks_.ActOn(r)) {
        // A question took the press (its box had the release): the press is
        // over, no long-press menu follows.
        pressEnded_ = true;
    }
    const std::string dir = c_.host.DataDirectory();
    const ViewSettings& settings = c_.host.Settings();
    if (r.IsSolarPlaceholder() && settings.planetJpeg == 1) {
        const std::string path = dir + SjisToUtf8(r.DesignationText()) + ".jpg";
        if (FileExists(path)) c_.host.ShowPicture(path);
    }
    if (IsDeepSkyKind(r.kind) && settings.messierJpeg) {
        pendingPicture_ = dir + std::string(r.ShortDesignation()) + ".jpg";
        c_.timers.StartTimer(timer_id::kPicture, kPictureDelayMs);
    }
    infoShown_ = true;
    c_.timers.StartTimer(timer_id::kTapInfo, kTapInfoMs);
    return true;
}


void InputController::ActByRegion(QPoint device) {
    // The regions are measured in window pixels.
    const double ratio = c_.host.State().pixelRatio;
    const QPoint at = (QPointF(device) / ratio).toPoint();
    const int x = at.x(), y = at.y();
    const QSize area = c_.host.ChartArea();
    const int w = area.width(), h = area.height();
    if (y > h - 10) {
        if (x > w - 40) c_.host.RunRouted(cmd::DateTimeDialog);
        return;
    }
    if (c_.host.Settings().tapNoTurn) return;
    bool changed = false;
    c_.host.ChangeState([&](ViewState& v) {
        const int r = static_cast<int>(v.chartSize / ratio);
        const int x0 = static_cast<int>(v.chartOffsetX / ratio);
        switch (v.viewMode) {
        case ViewMode::Direction:
        case ViewMode::Magnified: {
            const bool magnified = v.viewMode == ViewMode::Magnified;
            if (y <= 39) {
                if (!magnified) changed = StepUp(v).handled;
            } else if (y > std::min(r - 40, h - 38)) {
                if (!magnified) changed = StepDown(v).handled;
            } else if (x > x0 + r - 60) {
                changed = TurnBy(v, 10).handled;
            } else if (x < x0 + 40) {
                changed = TurnBy(v, -10).handled;
            }
            break;
        }
        case ViewMode::Planisphere:
        case ViewMode::Zenith:
            if (x > x0 + 60 && x < x0 + r - 60) {
                if (y <= 29) {
                    v.facing = (v.facing + 2) % 4;
                    changed = true;
                } else if (y > std::min(r, h - 20)) {
                    v.viewMode = ViewMode::Direction;
                    v.heightBand = v.noWholeBand ? HeightBand::High : HeightBand::Whole;
                    changed = true;
                }
            }
            if (!changed && y > 60 && y < r - 60) {
                if (x < x0 + 20) {
                    v.facing = v.facing == 0 ? 3 : v.facing - 1;
                    changed = true;
                } else if (x > x0 + 220) {
                    v.facing = (v.facing + 1) % 4;
                    changed = true;
                }
            }
            if (changed) {
                RefreshViewState(v);
                UpdateMagnifierHeading(v);
            }
            break;
        default:
            break;
        }
    }, false);
    if (changed) {
        c_.host.SaveSettings();
        c_.host.RefreshView();
        c_.host.StateChanged();
    }
}

void InputController::OnPopupRequest(bool hit, QPoint at) {
    bool cleared = false;
    PopupKind kind;
    c_.host.ChangeSettings([&](ViewSettings& settings) { kind = ChoosePopup(settings, c_.host.State().viewMode, &cleared); });
    if (cleared) {
        c_.host.SaveSettings();
        c_.host.StateChanged();
    }
    if (kind == PopupKind::None) return;
    OpenPopupMenu(kind, at, hit && tappedRecord_ ? &*tappedRecord_ : nullptr);
}

void InputController::OpenPopupMenu(PopupKind kind, QPoint at, const StarRecord* tapped) {
    PopupContext c;
    const ViewState& view = c_.host.State();
    const ViewSettings& settings = c_.host.Settings();
    c.mode = view.viewMode;
    c.tapped = tapped;
    c.magnifierPanelExists = view.magnifier.present;
    c.magnifierPanelHidden = magnifier_.PanelHidden();
    c.telescopeControl = settings.telescopeControl == 1;
    c.fullScreen = settings.fullScreen == 1;
    // The constellation items act on the constellation of this menu's object.
    popupConstellation_.clear();
    if (tapped && !tapped->IsSolarPlaceholder()) popupConstellation_ = std::string(tapped->ConstellationText());
    // A comet's or an asteroid's tap record carries its designation.
    popupMinorBody_ = tapped && tapped->kind == kKindMinorBody ? std::string(tapped->SpectralText()) : std::string();
    const ItemStateFn state = [this](int id) { return c_.host.RoutedState(id); };
    const std::vector<MenuEntry> entries = BuildPopupMenu(kind, c, state);
    if (popup_) popup_->deleteLater();
    popup_ = new QMenu(&c_.view);
    popup_->setAttribute(Qt::WA_DeleteOnClose, false);
    FillMenu(*popup_, entries, [this](int id) {
        // After the menu has closed, as a menu command would.
        QMetaObject::invokeMethod(&c_.view, [this, id] { c_.host.RunRouted(id); }, Qt::QueuedConnection);
    });
    popup_->popup(c_.view.mapToGlobal((QPointF(at) / view.pixelRatio).toPoint()));
}

bool InputController::Key(const QKeyEvent& e) {
    const int key = e.key();
    if (key == Qt::Key_Escape && c_.host.State().fullScreen) {
        // Escape also leaves full screen.
        c_.host.RunRouted(cmd::FullScreen);
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        // The action key's menu.
        if (c_.store.GetProfileInt("ACTION", "MENU", 1) == 1) {
            QMetaObject::invokeMethod(
                &c_.view, [this] { OpenPopupMenu(PopupKind::ActionKey, QPoint(22, 22), nullptr); },
                Qt::QueuedConnection);
        }
        return true;
    }
    if (e.text() == QStringLiteral("q") || e.text() == QStringLiteral("Q")) {
        if (c_.prompts.Ask(QString::fromUtf8("プログラムを終了しますか？"))) c_.host.RunRouted(cmd::Exit);
        return true;
    }
    return HandleKey(key);
}

bool InputController::HandleKey(int key) {
    const ViewSettings& settings = c_.host.Settings();
    const bool reversed = settings.cursorReversed != 0;
    const bool cursorKeys = settings.cursorKeys;
    const int action = settings.actionFunction;
    // Left and Right turn the chart the other way unless CURSOR/HANTEN is set.
    const int leftKey = reversed ? ViewCommand::TurnLeft : ViewCommand::TurnRight;
    const int rightKey = reversed ? ViewCommand::TurnRight : ViewCommand::TurnLeft;
    int id = 0;
    if (c_.host.State().magnifier.present) {
        switch (key) {
        case Qt::Key_Left: id = leftKey; break;
        case Qt::Key_Right: id = rightKey; break;
        case Qt::Key_Up:
            id = cursorKeys ? ViewCommand::StepUp
                 : action == 0 ? ViewCommand::TurnRight
                 : action == 1 ? ViewCommand::StepUp
                               : cmd::PanelZoomIn;
            break;
        case Qt::Key_Down:
            id = cursorKeys ? ViewCommand::StepDown
                 : action == 0 ? ViewCommand::TurnLeft
                 : action == 1 ? ViewCommand::StepDown
                               : cmd::PanelZoomOut;
            break;
        case Qt::Key_A: id = ViewCommand::TurnLeft; break;
        case Qt::Key_S: id = ViewCommand::TurnRight; break;
        case Qt::Key_W: id = ViewCommand::StepUp; break;
        case Qt::Key_Z: id = ViewCommand::StepDown; break;
        case Qt::Key_E: case Qt::Key_I: id = cmd::PanelZoomIn; break;
        case Qt::Key_O: case Qt::Key_X: id = cmd::PanelZoomOut; break;
        case Qt::Key_N:
            if (magnifier_.PanelHidden()) magnifier_.ShowNavigator();
            return true;
        default: break;
        }
    }
    const ViewMode mode = c_.host.State().viewMode;
    if (id == 0 && mode != ViewMode::PolarAlignment && mode != ViewMode::Heliocentric) {
        if (cursorKeys) {
            if (key == Qt::Key_Left) id = leftKey;
            if (key == Qt::Key_Right) id = rightKey;
            if (key == Qt::Key_Up) id = ViewCommand::StepUp;
            if (key == Qt::Key_Down) id = ViewCommand::StepDown;
        } else {
            if (key == Qt::Key_Up) id = action == 1 ? ViewCommand::StepUp : ViewCommand::TurnRight;
            if (key == Qt::Key_Down) id = action == 1 ? ViewCommand::StepDown : ViewCommand::TurnLeft;
        }
    }
    if (id == 0) return false;
    c_.host.RunRouted(id);
    return true;
}

}  // namespace tavik
