#include "app/telescope/TelescopeSettingsDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"
#include "telescope/CommPort.h"
#include "telescope/IndiMount.h"
#include "telescope/TelescopeController.h"

namespace tavik {

namespace {
const char* const kPortNames[4] = {"COM1", "COM２", "COM３", "COM４"};
const char* const kIntervalNames[3] = {".5秒", "1秒", "３秒"};
}  // namespace

CTelescopeSettingsDialog::CTelescopeSettingsDialog(Mount& scope, SettingsStore& store,
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
    // The INDI choice: the server and the device it drives.
    auto* indi = new QRadioButton(QStringLiteral("INDI"), this);
    ports_->addButton(indi, kIndiChoice);
    indiHost_ = new QLineEdit(QString::fromStdString(ReadSettingString(store, "TS", "INDI_HOST")), this);
    indiHost_->setObjectName(QStringLiteral("INDI_HOST"));
    indiPort_ = new QSpinBox(this);
    indiPort_->setObjectName(QStringLiteral("INDI_PORT"));
    indiPort_->setRange(1, 65535);
    indiPort_->setValue(ReadSettingInt(store, "TS", "INDI_PORT"));
    indiDevice_ = new QComboBox(this);
    indiDevice_->setObjectName(QStringLiteral("INDI_DEVICE"));
    indiDevice_->setEditable(true);
    indiDevice_->setEditText(QString::fromStdString(ReadSettingString(store, "TS", "INDI_DEVICE")));
    auto* server = new QHBoxLayout;
    server->addWidget(indiHost_, 1);
    server->addWidget(indiPort_);
    portGrid->addWidget(indi, 4, 0);
    portGrid->addLayout(server, 4, 1);
    portGrid->addWidget(indiDevice_, 5, 1);

    const int port = scope.comPort >= 1 && scope.comPort <= 4 ? scope.comPort : 1;
    ports_->button(ConfiguredLink(store) == MountLink::Indi ? kIndiChoice : port - 1)->setChecked(true);
    connect(indi, &QRadioButton::toggled, this, [this](bool on) {
        if (on) ListIndiDevices();
    });
    auto relist = [this] {
        if (ports_->checkedId() == kIndiChoice) ListIndiDevices();
    };
    connect(indiHost_, &QLineEdit::editingFinished, this, relist);
    connect(indiPort_, &QSpinBox::editingFinished, this, relist);
    // Opened with INDI chosen: the list follows once the dialog shows.
    QTimer::singleShot(0, this, relist);

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
    const bool indi = ports_->checkedId() == kIndiChoice;
    if (!indi) scope_.comPort = ports_->checkedId() + 1;
    scope_.traceEnabled = trace_->isChecked() ? 1 : 0;
    scope_.traceInterval = intervals_->checkedId() < 0 ? 2 : intervals_->checkedId();
    scope_.SaveSettings(store_);
    for (int i = 0; i < 4; ++i) {
        const QString device = devices_[static_cast<std::size_t>(i)]->currentText().trimmed();
        // The built-in path is kept as "no entry", so a later default change applies.
        const std::string path = device.toStdString() == DefaultDevicePath(i + 1) ? "" : device.toStdString();
        WriteSettingString(store_, "TS", "DEVICE" + std::to_string(i + 1), path);
    }
    WriteSettingInt(store_, "TS", "LINK", static_cast<int>(indi ? MountLink::Indi : MountLink::Serial));
    const std::string host = indiHost_->text().trimmed().toStdString();
    if (!host.empty()) WriteSettingString(store_, "TS", "INDI_HOST", host);
    WriteSettingInt(store_, "TS", "INDI_PORT", indiPort_->value());
    WriteSettingString(store_, "TS", "INDI_DEVICE", indiDevice_->currentText().trimmed().toStdString());
    scope_.LoadSettings();
}

void CTelescopeSettingsDialog::ListIndiDevices() {
    const std::string host = indiHost_->text().trimmed().toStdString();
    if (listing_ || host.empty()) return;
    listing_ = true;
    const std::vector<std::string> offered = IndiMount::DevicesOffered(
        host, indiPort_->value(), [] { QCoreApplication::processEvents(QEventLoop::AllEvents, 50); });
    // An empty name stays empty: it means the first telescope the server offers.
    const QString typed = indiDevice_->currentText();
    indiDevice_->clear();
    for (const std::string& d : offered) indiDevice_->addItem(QString::fromStdString(d));
    indiDevice_->setEditText(typed);
    listing_ = false;
}

void CTelescopeSettingsDialog::accept() {
    Apply();
    QDialog::accept();
}

bool CTelescopeSettingsDialog::Run(Mount& scope, SettingsStore& store, QWidget* parent) {
    if (scope.Busy()) return false;
    scope.SetBusy(true);
    scope.Disconnect();
    CTelescopeSettingsDialog dlg(scope, store, parent);
    const bool ok = dlg.exec() == QDialog::Accepted;
    scope.SetBusy(false);
    return ok;
}

}  // namespace tavik
