#pragma once
// The telescope settings dialog (156, "望遠鏡制御"): the telescope type, the
// port 1..4 with the device each port stands for (editable; the serial devices
// present are offered, and tcp://HOST:PORT is accepted for a mount behind a
// WiFi adapter), trace on/off and the trace interval. Beside the four ports a
// fifth choice, "INDI": a mount driven by an INDI server, with the server
// (host and port) and the device name; the devices the server offers are
// listed once it is reached (when the choice is made or the server edited).
//
// Run() is the whole exchange with the mount: ignored while the mount is busy,
// busy while shown, the link closed first; OK stores the values in the mount
// and writes TS TYPE, COMPORT, TRACE, TRACE_TIME, DEVICE1..4, LINK, INDI_HOST,
// INDI_PORT and INDI_DEVICE. A change of TS/LINK needs a new mount
// (MakeMount); the caller compares ConfiguredLink with the mount's LinkKind.

#include <QDialog>

#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

namespace tavik {

class SettingsStore;
class Mount;

class CTelescopeSettingsDialog : public QDialog {
    Q_OBJECT
public:
    enum Control { kTypeList = 1089 };
    static constexpr int kIndiChoice = 4;  // the id of "INDI" among the ports

    CTelescopeSettingsDialog(Mount& scope, SettingsStore& store, QWidget* parent = nullptr);

    // Shows the dialog modally; true when it ended with OK.
    static bool Run(Mount& scope, SettingsStore& store, QWidget* parent = nullptr);

    // Stores the shown values (what OK does before closing).
    void Apply();
    void accept() override;

    QComboBox* TypeList() const { return types_; }
    QButtonGroup* Ports() const { return ports_; }  // ids 0..3 = COM1..COM4, 4 = INDI
    QComboBox* Device(int port) const { return devices_[static_cast<std::size_t>(port - 1)]; }
    QCheckBox* Trace() const { return trace_; }
    QButtonGroup* Intervals() const { return intervals_; }  // ids 0..2
    QLineEdit* IndiHost() const { return indiHost_; }
    QSpinBox* IndiPort() const { return indiPort_; }
    QComboBox* IndiDevice() const { return indiDevice_; }

    // Asks the server shown for its devices and offers them in the device
    // list (the text typed stays). The window stays alive meanwhile.
    void ListIndiDevices();

private:
    Mount& scope_;
    SettingsStore& store_;
    QComboBox* types_;
    QButtonGroup* ports_;
    std::array<QComboBox*, 4> devices_{};
    QCheckBox* trace_;
    QButtonGroup* intervals_;
    QLineEdit* indiHost_;
    QSpinBox* indiPort_;
    QComboBox* indiDevice_;
    bool listing_ = false;
};

}  // namespace tavik
