#include "app/dialogs/FieldOfViewDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

#include "settings/SettingsSchema.h"
#include "view/FieldOfView.h"

namespace tavik {

namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

QSpinBox* IntBox(int low, int high, int value, const char* suffix, QWidget* parent) {
    auto* b = new QSpinBox(parent);
    b->setRange(low, high);
    b->setValue(value);
    b->setSuffix(U(suffix));
    return b;
}

QDoubleSpinBox* RealBox(double low, double high, int decimals, double value, const char* suffix, QWidget* parent) {
    auto* b = new QDoubleSpinBox(parent);
    b->setDecimals(decimals);
    b->setRange(low, high);
    b->setValue(value);
    b->setSuffix(U(suffix));
    return b;
}

}  // namespace

CFieldOfViewDialog::CFieldOfViewDialog(SettingsStore& store, QWidget* parent) : QDialog(parent), store_(store) {
    setWindowTitle(U("視野設定"));
    const FieldOfViewSettings s = FieldOfViewSettings::Load(store);
    auto* layout = new QVBoxLayout(this);

    auto* scope = new QGroupBox(U("望遠鏡"), this);
    auto* scopeRow = new QHBoxLayout(scope);
    focal_ = IntBox(10, 20000, s.focalMm, " mm", scope);
    aperture_ = IntBox(5, 2000, s.apertureMm, " mm", scope);
    ratio_ = new QLabel(scope);
    scopeRow->addWidget(new QLabel(U("焦点距離"), scope));
    scopeRow->addWidget(focal_);
    scopeRow->addWidget(new QLabel(U("口径"), scope));
    scopeRow->addWidget(aperture_);
    scopeRow->addWidget(ratio_);
    scopeRow->addStretch();
    layout->addWidget(scope);

    auto* eyepieces = new QGroupBox(U("接眼レンズ"), this);
    auto* eg = new QGridLayout(eyepieces);
    eg->addWidget(new QLabel(U("名前"), eyepieces), 0, 1);
    eg->addWidget(new QLabel(U("焦点距離"), eyepieces), 0, 2);
    eg->addWidget(new QLabel(U("見かけ視野"), eyepieces), 0, 3);
    eg->addWidget(new QLabel(U("実視野"), eyepieces), 0, 4);
    for (int i = 0; i < kEyepieceCount; ++i) {
        const auto& e = s.eyepieces[static_cast<std::size_t>(i)];
        EyepieceRow& r = eyepieces_[static_cast<std::size_t>(i)];
        r.shown = new QCheckBox(U("表示"), eyepieces);
        r.shown->setChecked(e.shown);
        r.name = new QLineEdit(QString::fromStdString(e.name), eyepieces);
        r.focal = RealBox(0.0, 100.0, 1, e.focalTenths / 10.0, " mm", eyepieces);
        r.field = IntBox(0, 150, e.apparentDeg, "°", eyepieces);
        r.result = new QLabel(eyepieces);
        const int row = i + 1;
        eg->addWidget(r.shown, row, 0);
        eg->addWidget(r.name, row, 1);
        eg->addWidget(r.focal, row, 2);
        eg->addWidget(r.field, row, 3);
        eg->addWidget(r.result, row, 4);
    }
    layout->addWidget(eyepieces);

    auto* cameras = new QGroupBox(U("カメラ"), this);
    auto* cg = new QGridLayout(cameras);
    cg->addWidget(new QLabel(U("名前"), cameras), 0, 1);
    cg->addWidget(new QLabel(U("センサー横"), cameras), 0, 2);
    cg->addWidget(new QLabel(U("センサー縦"), cameras), 0, 3);
    cg->addWidget(new QLabel(U("回転"), cameras), 0, 4);
    cg->addWidget(new QLabel(U("視野"), cameras), 0, 5);
    for (int i = 0; i < kCameraCount; ++i) {
        const auto& c = s.cameras[static_cast<std::size_t>(i)];
        CameraRow& r = cameras_[static_cast<std::size_t>(i)];
        r.shown = new QCheckBox(U("表示"), cameras);
        r.shown->setChecked(c.shown);
        r.name = new QLineEdit(QString::fromStdString(c.name), cameras);
        r.width = RealBox(0.0, 100.0, 2, c.widthHundredths / 100.0, " mm", cameras);
        r.height = RealBox(0.0, 100.0, 2, c.heightHundredths / 100.0, " mm", cameras);
        r.rotation = IntBox(-360, 360, c.rotationDeg, "°", cameras);
        r.result = new QLabel(cameras);
        const int row = i + 1;
        cg->addWidget(r.shown, row, 0);
        cg->addWidget(r.name, row, 1);
        cg->addWidget(r.width, row, 2);
        cg->addWidget(r.height, row, 3);
        cg->addWidget(r.rotation, row, 4);
        cg->addWidget(r.result, row, 5);
    }
    layout->addWidget(cameras);

    auto* finders = new QGroupBox(U("ファインダー円"), this);
    auto* fr = new QHBoxLayout(finders);
    for (int i = 0; i < kFinderRingCount; ++i) {
        const auto& f = s.finders[static_cast<std::size_t>(i)];
        FinderRow& r = finders_[static_cast<std::size_t>(i)];
        r.shown = new QCheckBox(U("表示"), finders);
        r.shown->setChecked(f.shown);
        r.size = RealBox(0.0, 90.0, 1, f.tenthsDeg / 10.0, "°", finders);
        fr->addWidget(r.shown);
        fr->addWidget(r.size);
    }
    fr->addStretch();
    layout->addWidget(finders);

    auto* limitRow = new QHBoxLayout;
    altitudeLimit_ = IntBox(-90, 89, ReadSettingInt(store, "TS", "ALT_LIMIT"), "°", this);
    limitRow->addWidget(new QLabel(U("導入下限高度（これより低い天体は導入前に確認）"), this));
    limitRow->addWidget(altitudeLimit_);
    limitRow->addStretch();
    layout->addLayout(limitRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    // Every change shows at once what the rows give.
    for (QSpinBox* b : findChildren<QSpinBox*>())
        connect(b, &QSpinBox::valueChanged, this, &CFieldOfViewDialog::UpdateResults);
    for (QDoubleSpinBox* b : findChildren<QDoubleSpinBox*>())
        connect(b, &QDoubleSpinBox::valueChanged, this, &CFieldOfViewDialog::UpdateResults);
    UpdateResults();
}

FieldOfViewSettings CFieldOfViewDialog::Values() const {
    FieldOfViewSettings s;
    s.focalMm = focal_->value();
    s.apertureMm = aperture_->value();
    for (int i = 0; i < kEyepieceCount; ++i) {
        const EyepieceRow& r = eyepieces_[static_cast<std::size_t>(i)];
        auto& e = s.eyepieces[static_cast<std::size_t>(i)];
        e.shown = r.shown->isChecked();
        e.name = r.name->text().trimmed().toStdString();
        e.focalTenths = static_cast<int>(std::lround(r.focal->value() * 10.0));
        e.apparentDeg = r.field->value();
    }
    for (int i = 0; i < kCameraCount; ++i) {
        const CameraRow& r = cameras_[static_cast<std::size_t>(i)];
        auto& c = s.cameras[static_cast<std::size_t>(i)];
        c.shown = r.shown->isChecked();
        c.name = r.name->text().trimmed().toStdString();
        c.widthHundredths = static_cast<int>(std::lround(r.width->value() * 100.0));
        c.heightHundredths = static_cast<int>(std::lround(r.height->value() * 100.0));
        c.rotationDeg = r.rotation->value();
    }
    for (int i = 0; i < kFinderRingCount; ++i) {
        const FinderRow& r = finders_[static_cast<std::size_t>(i)];
        s.finders[static_cast<std::size_t>(i)].shown = r.shown->isChecked();
        s.finders[static_cast<std::size_t>(i)].tenthsDeg = static_cast<int>(std::lround(r.size->value() * 10.0));
    }
    return s;
}

void CFieldOfViewDialog::UpdateResults() {
    const FieldOfViewSettings s = Values();
    ratio_->setText(QString::asprintf("f/%.1f", double(s.focalMm) / s.apertureMm));
    auto text = [](const FieldShape& f) { return QString::fromStdString(FieldSizeText(f)); };
    for (int i = 0; i < kEyepieceCount; ++i) {
        const auto& e = s.eyepieces[static_cast<std::size_t>(i)];
        FieldShape f;
        f.width = f.height = EyepieceTrueField(e.apparentDeg, e.focalTenths / 10.0, s.focalMm);
        QString shown;
        if (e.focalTenths > 0 && e.apparentDeg > 0)
            shown = text(f) + "  " + QString::number(s.focalMm / (e.focalTenths / 10.0), 'f', 0) + U("倍");
        eyepieces_[static_cast<std::size_t>(i)].result->setText(shown);
    }
    for (int i = 0; i < kCameraCount; ++i) {
        const auto& c = s.cameras[static_cast<std::size_t>(i)];
        FieldShape f;
        f.kind = FieldShape::Kind::Camera;
        f.width = SensorField(c.widthHundredths / 100.0, s.focalMm);
        f.height = SensorField(c.heightHundredths / 100.0, s.focalMm);
        cameras_[static_cast<std::size_t>(i)].result->setText(
            c.widthHundredths > 0 && c.heightHundredths > 0 ? text(f) : QString());
    }
}

void CFieldOfViewDialog::accept() {
    Values().Save(store_);
    WriteSettingInt(store_, "TS", "ALT_LIMIT", altitudeLimit_->value());
    QDialog::accept();
}

}  // namespace tavik
