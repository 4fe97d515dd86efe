#include "app/dialogs/OptionZoomDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <optional>

#include "app/dialogs/NumberField.h"
#include "app/dialogs/OptionDialogs.h"
#include "app/dialogs/Prompts.h"
#include "settings/ViewSettings.h"
#include "view/ViewState.h"

namespace tavik {

COptionZoomDialog::COptionZoomDialog(ViewSettings& settings, SettingsStore& store, Prompts& prompts,
                                     ViewState* view, QWidget* parent)
    : QDialog(parent), settings_(settings), store_(store), prompts_(prompts), view_(view) {
    setObjectName(QStringLiteral("162"));
    setWindowTitle(QString::fromUtf8("オプション４"));

    upTo_ = NumberEdit(kUpTo, settings.zoomThreshold, this);
    shift_ = NumberEdit(kShift, settings.zoomStarShift, this);
    thisPoint_ = NumberEdit(kThisPoint, settings.zoomInPoint, this);
    magnitude_ = new QComboBox(this);
    magnitude_->setObjectName(QString::number(kMagnitude));
    for (const char* t : kMagnitudeTexts) magnitude_->addItem(QString::fromUtf8(t));
    const int index = settings.zoomLimitMagnitude - 1;
    magnitude_->setCurrentIndex(index >= 0 && index < kMagnitudeCount ? index : -1);

    // The sentence, one clause per row: field, then the words that follow it.
    auto* sentence = new QGroupBox(QString::fromUtf8("ズームイン時の表示調整"), this);
    auto* grid = new QGridLayout(sentence);
    grid->addWidget(upTo_, 0, 0);
    grid->addWidget(new QLabel(QString::fromUtf8("倍以上なら"), sentence), 0, 1);
    grid->addWidget(magnitude_, 1, 0);
    grid->addWidget(new QLabel(QString::fromUtf8("して"), sentence), 1, 1);
    grid->addWidget(shift_, 2, 0);
    grid->addWidget(new QLabel(QString::fromUtf8("だけｼﾌﾄする。"), sentence), 2, 1);
    grid->setColumnStretch(0, 1);

    auto* here = new QHBoxLayout;
    here->addWidget(new QLabel(QString::fromUtf8("ここをズームイン時の倍率(1/10)"), this));
    here->addWidget(thisPoint_, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &COptionZoomDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &COptionZoomDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sentence);
    layout->addLayout(here);
    layout->addStretch(1);
    layout->addWidget(buttons);
}

QLineEdit* COptionZoomDialog::Edit(int control) const {
    switch (control) {
    case kUpTo: return upTo_;
    case kShift: return shift_;
    case kThisPoint: return thisPoint_;
    default: return nullptr;
    }
}

bool COptionZoomDialog::TryAccept() {
    const std::optional<int> upTo = TakeSettingNumber(upTo_, "ZOOMINVIEW", "UPTO", prompts_);
    if (!upTo) return false;
    const std::optional<int> shift = TakeSettingNumber(shift_, "ZOOMINVIEW", "SHIFT", prompts_);
    if (!shift) return false;
    const std::optional<int> thisPoint = TakeSettingNumber(thisPoint_, "ZOOMINVIEW", "THISPOINT", prompts_);
    if (!thisPoint) return false;
    settings_.zoomThreshold = *upTo;
    settings_.zoomStarShift = *shift;
    settings_.zoomInPoint = *thisPoint;
    // No entry chosen leaves the limit as it was.
    if (magnitude_->currentIndex() >= 0) settings_.zoomLimitMagnitude = magnitude_->currentIndex() + 1;
    if (view_) {
        view_->zoomUpTo = settings_.zoomThreshold;
        view_->zoomMagnitude = settings_.zoomLimitMagnitude;
    }
    settings_.Save(store_);
    return true;
}

void COptionZoomDialog::accept() {
    if (TryAccept()) QDialog::accept();
}

}  // namespace tavik
