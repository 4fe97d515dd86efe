#pragma once
// The constellation selection dialog "星座選択" (command 32838 "星座複数選択"):
// "表示星座を選択" switches the selection on, the list of the 89 table rows (Serpens
// twice; sorted by name, filled 200 ms after opening) picks the ones shown, and
// "黄道１２星座の選択" picks the twelve of the zodiac.
//
//   CConstellationSelectDialog dlg(active, slots, parent);
//   if (dlg.exec() == QDialog::Accepted) selection.TakeDialogResult(dlg.Active(), dlg.Chosen(), catalogue);

#include <QDialog>

#include <string>
#include <vector>

class QCheckBox;
class QListWidget;
class QPushButton;

namespace tavik {

class CConstellationSelectDialog : public QDialog {
    Q_OBJECT
public:
    // `selected`: the abbreviations selected now (empty entries ignored).
    CConstellationSelectDialog(bool active, std::vector<std::string> selected, QWidget* parent = nullptr);

    // Fills the list now (the 200 ms timer does it otherwise); once only.
    void Fill();
    // "黄道１２星座の選択": exactly the zodiac constellations selected.
    void SelectZodiac();
    void accept() override;

    // After OK: whether the selection is on (off when nothing was selected)
    // and the chosen abbreviations in list order (at most 100).
    bool Active() const { return active_; }
    const std::vector<std::string>& Chosen() const { return chosen_; }

    QCheckBox* ActiveBox() const { return box_; }
    QListWidget* List() const { return list_; }
    QPushButton* ZodiacButton() const { return zodiac_; }

private:
    void EnableList();

    bool active_;
    std::vector<std::string> slots_;
    std::vector<std::string> chosen_;
    bool filled_ = false;
    QCheckBox* box_;
    QListWidget* list_;
    QPushButton* zodiac_;
};

}  // namespace tavik
