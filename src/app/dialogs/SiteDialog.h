#pragma once
// The site dialog (130, "観測場所"): the built-in places and the user's
// registered sites in one list, the site's longitude, latitude and zone, and
// registration of a new site under a typed name.

#include <QDialog>

#include "settings/BuiltinSites.h"
#include "settings/ObservationSite.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace tavik {

class Prompts;
class SettingsStore;

class CSiteDialog : public QDialog {
    Q_OBJECT
public:
    CSiteDialog(const ObservationSite& current, SettingsStore& store, Prompts& prompts,
                QWidget* parent = nullptr);

    // Fills the list (the dialog does this 100 ms after opening) and selects
    // the first entry that begins with the current name.
    void FillList();
    // Loads the list entry `index` into the fields: an entry chosen from the
    // drop-down list or stepped to with the arrow keys. A typed name that
    // matches an entry selects it without loading, so the fields keep what
    // the user typed.
    void SelectEntry(int index);
    // The OK button; false when the dialog stays open (a number out of range,
    // no name, all user slots taken).
    bool TryAccept();
    void accept() override;

    // The site as the dialog holds it, with west and south negated.
    ObservationSite Result() const;
    // The fields as unsigned values plus the three choices (valid after the
    // range check of OK).
    UserSiteValues Values() const;
    void SetValues(const UserSiteValues& v);

    QComboBox* List() const { return list_; }
    QComboBox* Zone() const { return zone_; }
    enum Control { kLongitudeDegrees = 1001, kLongitudeMinutes = 1002, kLatitudeDegrees = 1003, kLatitudeMinutes = 1004 };
    QLineEdit* Edit(int control) const;

private:
    SettingsStore& store_;
    Prompts& prompts_;
    ObservationSite initial_;
    bool filled_ = false;
    QComboBox* list_;
    QRadioButton* east_;
    QRadioButton* west_;
    QRadioButton* north_;
    QRadioButton* south_;
    QRadioButton* zonePlus_;
    QRadioButton* zoneMinus_;
    QLineEdit* lonDeg_;
    QLineEdit* lonMin_;
    QLineEdit* latDeg_;
    QLineEdit* latMin_;
    QComboBox* zone_;
};

}  // namespace tavik
