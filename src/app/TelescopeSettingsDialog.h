#pragma once
// The telescope settings dialog (156, "望遠鏡制御"): the telescope type, the
// port 1..4 with the device each port stands for (editable; the serial devices
// present are offered, and tcp://HOST:PORT is accepted for a mount behind a
// WiFi adapter), trace on/off and the trace interval.
//
// Run() is the whole exchange with the controller: ignored while the
// controller is busy, busy while shown, the link closed first; OK stores the
// values in the controller and writes TS TYPE, COMPORT, TRACE, TRACE_TIME and
// DEVICE1..4.

#include <QDialog>

#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;

namespace tavik {

class SettingsStore;
class TelescopeController;

class CTelescopeSettingsDialog : public QDialog {
    Q_OBJECT
public:
    enum Control { kTypeList = 1089 };

    CTelescopeSettingsDialog(TelescopeController& scope, SettingsStore& store,
                             QWidget* parent = nullptr);

    // Shows the dialog modally; true when it ended with OK.
    static bool Run(TelescopeController& scope, SettingsStore& store, QWidget* parent = nullptr);

    // Stores the shown values (what OK does before closing).
    void Apply();
    void accept() override;

    QComboBox* TypeList() const { return types_; }
    QButtonGroup* Ports() const { return ports_; }         // ids 0..3 = COM1..COM4
    QComboBox* Device(int port) const { return devices_[static_cast<std::size_t>(port - 1)]; }
    QCheckBox* Trace() const { return trace_; }
    QButtonGroup* Intervals() const { return intervals_; }  // ids 0..2

private:
    TelescopeController& scope_;
    SettingsStore& store_;
    QComboBox* types_;
    QButtonGroup* ports_;
    std::array<QComboBox*, 4> devices_{};
    QCheckBox* trace_;
    QButtonGroup* intervals_;
};

}  // namespace tavik
