#include "app/dialogs/OptionDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

#include "app/dialogs/NumberField.h"
#include "app/dialogs/OptionZoomDialog.h"
#include "app/dialogs/Prompts.h"
#include "settings/SettingsSchema.h"
#include "settings/ViewSettings.h"
#include "view/ViewState.h"

namespace tavik {

const char* const kMagnitudeTexts[kMagnitudeCount] = {"１等星まで表示", "２等星まで表示", "３等星まで表示",
                                                      "４等星まで表示", "５等星まで表示", "６等星まで表示",
                                                      "全て表示"};

namespace {

// A check box bound to an int setting (on when exactly 1, stored as 1 or 0) or
// to a flag.
#define TAVIK_INT_ON(field)                                         \
    [](const ViewSettings& s) { return s.field == 1; },             \
        [](ViewSettings& s, bool on) { s.field = on ? 1 : 0; }
#define TAVIK_FLAG_ON(field)                                        \
    [](const ViewSettings& s) -> bool { return s.field; },          \
        [](ViewSettings& s, bool on) { s.field = on; }

// The part of the settings that the view state carries: the view's save copies
// it back from there, so it goes into the state as well.
void TakeIntoView(const ViewSettings& s, ViewState& view) {
    view.limitMagnitude = s.limitingMagnitude;
    view.wideTenths = s.wideTenths;
    view.horizonFraming = s.horizonFraming != 0;
    view.noWholeBand = s.noWholeBand;
    view.fullScreen = s.fullScreen == 1;
}

}  // namespace

// --- shared part ---------------------------------------------------------------

COptionDialogBase::COptionDialogBase(int dialogId, const char* title, ViewSettings& settings, ViewState& view,
                                     SettingsStore& store, Prompts& prompts, QWidget* parent)
    : QDialog(parent), settings_(settings), view_(view), store_(store), prompts_(prompts) {
    setObjectName(QString::number(dialogId));
    setWindowTitle(QString::fromUtf8(title));
}

void COptionDialogBase::AddChecks(const std::vector<CheckRow>& rows, QLayout* into) {
    for (const CheckRow& row : rows) {
        auto* box = new QCheckBox(QString::fromUtf8(row.text), this);
        box->setObjectName(QString::number(row.control));
        box->setChecked(row.get(settings_));
        box->setEnabled(row.set != nullptr);
        into->addWidget(box);
        checks_.push_back({row.control, Bound{box, row.set}});
    }
}

void COptionDialogBase::AddButtons(QBoxLayout* into) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    cancel_ = buttons->button(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &COptionDialogBase::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &COptionDialogBase::reject);
    into->addStretch(1);
    into->addWidget(buttons);
}

QCheckBox* COptionDialogBase::Check(int control) const {
    for (const auto& [id, bound] : checks_)
        if (id == control) return bound.box;
    return nullptr;
}

bool COptionDialogBase::TryAccept() {
    // Every field is checked before anything is stored.
    ViewSettings taken = settings_;
    if (!TakeFields(taken)) return false;
    for (const auto& [id, bound] : checks_)
        if (bound.set) bound.set(taken, bound.box->isChecked());
    settings_ = taken;
    TakeIntoView(settings_, view_);
    AfterStore();
    settings_.Save(store_);
    return true;
}

void COptionDialogBase::accept() {
    if (TryAccept()) QDialog::accept();
}

// --- option 1 ----------------------------------------------------------------------

COption1Dialog::COption1Dialog(ViewSettings& settings, ViewState& view, SettingsStore& store, Prompts& prompts,
                               QWidget* parent)
    : COptionDialogBase(131, "オプション１", settings, view, store, prompts, parent) {
    auto* layout = new QVBoxLayout(this);

    auto* names = new QVBoxLayout;
    AddChecks({{kConstellationNames, "星座名を表示", TAVIK_FLAG_ON(constellationNames)}}, names);
    layout->addLayout(names);

    magnitude_ = new QComboBox(this);
    magnitude_->setObjectName(QString::number(kMagnitude));
    for (const char* t : kMagnitudeTexts) magnitude_->addItem(QString::fromUtf8(t));
    const int index = settings.limitingMagnitude - 1;
    magnitude_->setCurrentIndex(index >= 0 && index < kMagnitudeCount ? index : -1);
    layout->addWidget(magnitude_);

    shift_ = NumberEdit(kShift, settings.starShift, this);
    wide_ = NumberEdit(kWide, settings.wideTenths, this);
    font_ = NumberEdit(kFont, settings.fontSize, this);
    auto* numbers = new QGridLayout;
    numbers->addWidget(new QLabel(QString::fromUtf8("ｼﾌﾄ:"), this), 0, 0);
    numbers->addWidget(shift_, 0, 1);
    numbers->addWidget(new QLabel(QString::fromUtf8("横倍:"), this), 0, 2);
    numbers->addWidget(wide_, 0, 3);
    numbers->addWidget(new QLabel(QString::fromUtf8("文字:"), this), 0, 4);
    numbers->addWidget(font_, 0, 5);
    layout->addLayout(numbers);

    auto* checks = new QVBoxLayout;
    AddChecks({{kCursorKeys, "カーソルキーを有効にする", [](const ViewSettings& s) { return s.cursorKeys; }, nullptr},
               {kNoSandClock, "砂時計を表示しない", TAVIK_FLAG_ON(noWaitCursor)},
               {kRememberScreen, "終了時画面を覚える", TAVIK_FLAG_ON(rememberScreen)},
               {kActionMenu, "アクションキーでメニュー表示", [](const ViewSettings&) { return true; }, nullptr},
               {kNoWholeBand, "方角全体を使用しない", TAVIK_FLAG_ON(noWholeBand)},
               {kStretchJpeg, "JPG表示にストレッチを使う", TAVIK_FLAG_ON(stretchJpeg)},
               {kCursorReversed, "カーソルキー左右方向の反転", TAVIK_INT_ON(cursorReversed)},
               {kOrthographic, "視点を正射投影する", TAVIK_INT_ON(horizonFraming)},
               {kNoSiteName, "観測地を表示しない", TAVIK_INT_ON(noSiteName)}},
              checks);
    layout->addLayout(checks);
    AddButtons(layout);
}

QLineEdit* COption1Dialog::Edit(int control) const {
    switch (control) {
    case kShift: return shift_;
    case kWide: return wide_;
    case kFont: return font_;
    default: return nullptr;
    }
}

bool COption1Dialog::TakeFields(ViewSettings& into) {
    const std::optional<int> shift = TakeSettingNumber(shift_, "MAGN", "SHIFT", prompts_);
    if (!shift) return false;
    const std::optional<int> wide = TakeSettingNumber(wide_, "DIREC", "WIDE", prompts_);
    if (!wide) return false;
    const std::optional<int> font = TakeSettingNumber(font_, "FONT", "SIZE", prompts_);
    if (!font) return false;
    into.starShift = *shift;
    into.wideTenths = *wide;
    into.fontSize = *font;
    // No entry chosen leaves the limit as it was.
    if (magnitude_->currentIndex() >= 0) into.limitingMagnitude = magnitude_->currentIndex() + 1;
    return true;
}

void COption1Dialog::AfterStore() {
    // The pop-up's "%d等星まで表示" offers the magnitude just confirmed.
    WriteSettingInt(store_, "POPUPMENU", "MAG", settings_.limitingMagnitude);
}

// --- options 2 and 3 -------------------------------------------------------------

COption2Dialog::COption2Dialog(ViewSettings& settings, ViewState& view, SettingsStore& store, Prompts& prompts,
                               QWidget* parent)
    : COptionDialogBase(149, "オプション２", settings, view, store, prompts, parent) {
    auto* layout = new QVBoxLayout(this);
    AddChecks({{1078, "早見画面では星座絵を表示しない", TAVIK_INT_ON(noFiguresInPlanisphere)},
               {1080, "早見画面では２等星まで", TAVIK_INT_ON(quickMag2)},
               {1088, "早見の月は色だけ表示", TAVIK_INT_ON(quickMoonColor)},
               {1091, "月の欠けを表示", TAVIK_INT_ON(realMoon)},
               {1089, "太陽、月を表示しない", TAVIK_INT_ON(noSun)},
               {1090, "惑星を表示しない", TAVIK_INT_ON(noPlanet)},
               {1092, "惑星、月などの画像表示", TAVIK_INT_ON(planetJpeg)},
               {1029, "惑星、月、太陽を名前で表示", TAVIK_FLAG_ON(planetNames)},
               {1081, "恒星名を方向画面で常に表示", TAVIK_INT_ON(starNames)},
               {1086, "メシエ番号を方向画面で表示", TAVIK_INT_ON(messierNumbers)},
               {1054, "メシエ画像表示", TAVIK_FLAG_ON(messierJpeg)}},
              layout);
    AddButtons(layout);
}

COption3Dialog::COption3Dialog(ViewSettings& settings, ViewState& view, SettingsStore& store, Prompts& prompts,
                               QWidget* parent)
    : COptionDialogBase(154, "オプション３", settings, view, store, prompts, parent) {
    auto* layout = new QVBoxLayout(this);
    AddChecks({{1092, "ユーザタップ登録テキスト表示", TAVIK_INT_ON(userTapText)},
               {1053, "登録したタップ情報を実行する", TAVIK_FLAG_ON(tapMarksEnabled)},
               {1090, "検索画面後の問い合わせなし", TAVIK_INT_ON(noQuestionAfterSearch)},
               {1093, "拡大操作 更新ボタン自動押下", TAVIK_INT_ON(autoEnter)},
               {1094, "拡大表示 タップでナビゲータ画面", TAVIK_INT_ON(zoomTapFocus)},
               {1087, "拡大表示時に中心を表示", TAVIK_INT_ON(zoomCentreMark)},
               {1089, "フルスクリーン(PocketPC)", TAVIK_INT_ON(fullScreen)},
               {1091, "望遠鏡制御を行う", TAVIK_INT_ON(telescopeControl)},
               {1095, "星座線、絵にメモリを割り当てる", TAVIK_FLAG_ON(constellationFilesInMemory)},
               {1096, "タップ時のフォントを大きくする", TAVIK_INT_ON(tapFontLarge)},
               {1097, "赤色表示で背景を赤くしない", TAVIK_INT_ON(redKeepsBackground)},
               {1098, "背景の色を細かく（65K色以上）", TAVIK_INT_ON(gradation)}},
              layout);
    AddButtons(layout);
}

// --- command 32775 ---------------------------------------------------------------

OptionsOutcome RunOptionChain(ViewSettings& settings, ViewState& view, SettingsStore& store, Prompts& prompts,
                              QWidget* parent) {
    StoreViewSettings(view, settings);
    OptionsOutcome outcome;
    {
        COption1Dialog dlg(settings, view, store, prompts, parent);
        if (dlg.exec() == QDialog::Accepted) outcome.confirmed = true;
    }
    {
        COption2Dialog dlg(settings, view, store, prompts, parent);
        if (dlg.exec() == QDialog::Accepted) outcome.confirmed = true;
    }
    {
        COption3Dialog dlg(settings, view, store, prompts, parent);
        if (dlg.exec() == QDialog::Accepted) outcome.confirmed = true;
    }
    {
        COptionZoomDialog dlg(settings, store, prompts, &view, parent);
        if (dlg.exec() == QDialog::Accepted) outcome.confirmed = true;
    }
    outcome.telescopeControl = settings.telescopeControl == 1;
    return outcome;
}

}  // namespace tavik
