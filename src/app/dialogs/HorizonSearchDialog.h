#pragma once
// The horizon search list (dialog 155 "地平線上にある"): the lines of
// HorizonSearchList in the list's sorted order, filled 300 ms after the
// dialog opens, each tagged with its record reference. A filter field above
// the list narrows what is shown to the lines containing the typed text
// ("M42", "土星"); it never changes the lines themselves or their tags.
// A double-click on a line picks it as OK does; Enter in the filter picks the
// selected line, or the first line shown when none is selected.
//
// After exec(): Chosen() is the selected line on OK (nothing on Cancel or
// with nothing selected); ChosenReference() its tag or -999999. Confirm()
// then asks "<line>へ移動しますか？" unless OPTION3/MIGORO_NOA is on, and gives
// the entry to jump to (see JumpTargetOf and ApplyMagnifierTarget).

#include <QDialog>

#include <optional>
#include <vector>

#include "view/HorizonSearch.h"

class QLineEdit;
class QListWidget;

namespace tavik {

class Prompts;

class CHorizonSearchDialog : public QDialog {
    Q_OBJECT
public:
    explicit CHorizonSearchDialog(std::vector<HorizonEntry> entries, QWidget* parent = nullptr);

    static constexpr int kNothingSelected = -999999;
    static constexpr int kFillDelayMs = 300;

    QListWidget* List() const { return list_; }
    QLineEdit* Filter() const { return filter_; }
    // Fills the list now (the 300 ms timer does it otherwise); once only.
    void Fill();
    bool Filled() const { return filled_; }

    std::optional<HorizonEntry> Chosen() const { return chosen_; }
    int ChosenReference() const { return chosen_ ? chosen_->reference : kNothingSelected; }
    // The entry to jump to after an accepted dialog: a chosen line with a tag
    // of -10000 or more, confirmed by the user unless `noQuestion`.
    std::optional<HorizonEntry> Confirm(bool noQuestion, Prompts& prompts) const;

    void accept() override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void ApplyFilter();
    void PickFromFilter();

    std::vector<HorizonEntry> entries_;
    QLineEdit* filter_ = nullptr;
    QListWidget* list_ = nullptr;
    std::optional<HorizonEntry> chosen_;
    bool filled_ = false;
    bool timerStarted_ = false;
};

}  // namespace tavik
