#pragma once
// "視野設定": the telescope's focal length and aperture, five eyepieces (name,
// focal length, apparent field), two cameras (name, sensor width and height,
// rotation) and three finder rings, each with its "表示" switch, and the
// lowest altitude of a goto ("導入下限高度"). Each row shows the field it
// gives. OK stores everything (sections FOV and TS/ALT_LIMIT); Cancel
// nothing.
//
//   CFieldOfViewDialog dlg(store, this);
//   if (dlg.exec() == QDialog::Accepted) ...   // the store holds the new values

#include <QDialog>

#include <array>

#include "settings/FieldOfViewSettings.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace tavik {

class SettingsStore;

class CFieldOfViewDialog : public QDialog {
    Q_OBJECT
public:
    explicit CFieldOfViewDialog(SettingsStore& store, QWidget* parent = nullptr);

    // What the controls hold now.
    FieldOfViewSettings Values() const;
    void accept() override;

    struct EyepieceRow {
        QCheckBox* shown;
        QLineEdit* name;
        QDoubleSpinBox* focal;  // mm
        QSpinBox* field;        // degrees
        QLabel* result;
    };
    struct CameraRow {
        QCheckBox* shown;
        QLineEdit* name;
        QDoubleSpinBox* width;  // mm
        QDoubleSpinBox* height;
        QSpinBox* rotation;     // degrees
        QLabel* result;
    };
    struct FinderRow {
        QCheckBox* shown;
        QDoubleSpinBox* size;  // degrees
    };
    QSpinBox* Focal() const { return focal_; }
    QSpinBox* Aperture() const { return aperture_; }
    QSpinBox* AltitudeLimit() const { return altitudeLimit_; }
    const EyepieceRow& Eyepiece(int i) const { return eyepieces_[static_cast<std::size_t>(i)]; }
    const CameraRow& Camera(int i) const { return cameras_[static_cast<std::size_t>(i)]; }
    const FinderRow& Finder(int i) const { return finders_[static_cast<std::size_t>(i)]; }

private:
    void UpdateResults();

    SettingsStore& store_;
    QSpinBox* focal_ = nullptr;
    QSpinBox* aperture_ = nullptr;
    QLabel* ratio_ = nullptr;
    QSpinBox* altitudeLimit_ = nullptr;
    std::array<EyepieceRow, kEyepieceCount> eyepieces_{};
    std::array<CameraRow, kCameraCount> cameras_{};
    std::array<FinderRow, kFinderRingCount> finders_{};
};

}  // namespace tavik
