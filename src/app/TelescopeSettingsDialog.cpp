#include "app/TelescopeSettingsDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"
#include "telescope/CommPort.h"
#include "telescope/TelescopeController.h"

namespace tavik {

namespace {
const char* const kPortNames[4] = {"COM1", "COM２", "COM３", "COM４"};
const char* const kIntervalNames[3] = {".5秒", "1秒", "３秒"};
}  // namespace

CTelescopeSettingsDialog::CTelescopeSettingsDialog(TelescopeController& scope, SettingsStore& store,
                                                   QWidget* parent)
    : QDialog(parent), scope_(scope), store_(store) {
    setWindowTitle(QString::fromUtf8("望遠鏡制御"));
    types_ = new QComboBox(this);
    types_->setObjectName(QString::number(kTypeList));
    for (const char* name : kTelescopeTypeNames) types_->addItem(QString::fromUtf8(name));
    types_->setCurrentIndex(scope.telescopeType >= 0 && scope.telescopeType < types_->count()
                                ? scope.telescopeType
                                : 0);

    // Each port with the device it stands for.
    ports_ = new QButtonGroup(this);
    auto* portGrid = new QGridLayout;
    const std::vector<std::string> present = SerialDevicesPresent();
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(QString::fromUtf8(kPortNames[i]), this);
        ports_->addButton(radio, i);
        auto* device = new QComboBox(this);
        device->setEditable(true);
        device->setObjectName(QStringLiteral("DEVICE%1").arg(i + 1));
        for (const std::string& d : present) device->addItem(QString::fromStdString(d));
        device->setEditText(QString::fromStdString(DevicePathForPort(store, i + 1)));
        devices_[static_cast<std::size_t>(i)] = device;
        portGrid->addWidget(radio, i, 0);
        portGrid->addWidget(device, i, 1);
    }
    const int port = scope.comPort >= 1 && scope.comPort <= 4 ? scope.comPort : 1;
    ports_->button(port - 1)->setChecked(true);

    trace_ = new QCheckBox(QString::fromUtf8("トレース（120回、60回、20回）"), this);
    trace_->setChecked(scope.traceEnabled == 1);
    intervals_ = new QButtonGroup(this);
    auto* intervalRow = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(QString::fromUtf8(kIntervalNames[i]), this);
        intervals_->addButton(radio, i);
        intervalRow->addWidget(radio);
    }
    // Any interval other than 0 and 1 runs at three seconds.
    const int interval = scope.traceInterval == 0 || scope.traceInterval == 1 ? scope.traceInterval : 2;
    intervals_->button(interval)->setChecked(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CTelescopeSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CTelescopeSettingsDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(types_);
    layout->addLayout(portGrid);
    layout->addWidget(trace_);
    layout->addLayout(intervalRow);
    layout->addWidget(buttons);
}

void CTelescopeSettingsDialog::Apply() {
    scope_.telescopeType = types_->currentIndex() < 0 ? 0 : types_->currentIndex();
    scope_.comPort = ports_->checkedId() + 1;
    scope_.traceEnabled = trace_->isChecked() ? 1 : 0;
    scope_.traceInterval = intervals_->checkedId() < 0 ? 2 : intervals_->checkedId();
    scope_.SaveSettings(store_);
    for (int i = 0; i < 4; ++i) {
        const QString device = devices_[static_cast<std::size_t>(i)]->currentText().trimmed();
        // The built-in path is kept as "no entry", so a later default change applies.
        const std::string path = device.toStdString() == DefaultDevicePath(i + 1) ? "" : device.toStdString();
        WriteSettingString(store_, "TS", "DEVICE" + std::to_string(i + 1), path);
    }
}

void CTelescopeSettingsDialog::accept() {
    Apply();
    QDialog::accept();
}

bool CTelescopeSettingsDialog::Run(TelescopeController& scope, SettingsStore& store, QWidget* parent) {
    if (scope.Busy()) return false;
    scope.SetBusy(true);
    scope.Disconnect();
    CTelescopeSettingsDialog dlg(scope, store, parent);
    const bool ok = dlg.exec() == QDialog::Accepted;
    scope.SetBusy(false);
    return ok;
}

}  // namespace tavik
