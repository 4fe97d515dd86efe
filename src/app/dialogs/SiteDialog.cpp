#include "app/dialogs/SiteDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QKeyEvent>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "app/dialogs/NumberField.h"
#include "app/dialogs/Prompts.h"

namespace tavik {

namespace {

constexpr int kUserTag = 1000;

// The name box. The combo box activates an entry also when the typed name
// matches one and the box loses focus or takes Enter; only a pick from the
// drop-down list, an arrow key or the wheel counts as choosing an entry.
class NameBox final : public QComboBox {
public:
    using QComboBox::QComboBox;
    bool Choosing() const { return choosing_; }

    void hidePopup() override {
        // A pick is announced right after the list closes.
        choosing_ = true;
        QComboBox::hidePopup();
        QTimer::singleShot(0, this, [this] { choosing_ = false; });
    }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        switch (e->key()) {
        case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_PageUp: case Qt::Key_PageDown:
            Choose([&] { QComboBox::keyPressEvent(e); });
            break;
        default:
            QComboBox::keyPressEvent(e);
        }
    }
    void wheelEvent(QWheelEvent* e) override {
        Choose([&] { QComboBox::wheelEvent(e); });
    }

private:
    template <class F>
    void Choose(F&& f) {
        choosing_ = true;
        f();
        choosing_ = false;
    }
    bool choosing_ = false;
};

}  // namespace

CSiteDialog::CSiteDialog(const ObservationSite& current, SettingsStore& store, Prompts& prompts,
                         QWidget* parent)
    : QDialog(parent), store_(store), prompts_(prompts), initial_(current) {
    setWindowTitle(QString::fromUtf8("観測場所"));
    auto* nameBox = new NameBox(this);
    list_ = nameBox;
    list_->setObjectName(QStringLiteral("1000"));
    list_->setEditable(true);
    list_->setInsertPolicy(QComboBox::NoInsert);
    list_->setMaxVisibleItems(15);

    east_ = new QRadioButton(QString::fromUtf8("東経"), this);
    west_ = new QRadioButton(QString::fromUtf8("西経"), this);
    north_ = new QRadioButton(QString::fromUtf8("北緯"), this);
    south_ = new QRadioButton(QString::fromUtf8("南緯"), this);
    zonePlus_ = new QRadioButton(QString::fromUtf8("東経＋"), this);
    zoneMinus_ = new QRadioButton(QString::fromUtf8("西経－"), this);
    for (auto pair : {std::pair{east_, west_}, std::pair{north_, south_},
                      std::pair{zonePlus_, zoneMinus_}}) {
        auto* group = new QButtonGroup(this);
        group->addButton(pair.first);
        group->addButton(pair.second);
    }
    lonDeg_ = NumberEdit(kLongitudeDegrees, 0, this);
    lonMin_ = NumberEdit(kLongitudeMinutes, 0, this);
    latDeg_ = NumberEdit(kLatitudeDegrees, 0, this);
    latMin_ = NumberEdit(kLatitudeMinutes, 0, this);
    zone_ = new QComboBox(this);
    zone_->setObjectName(QStringLiteral("1022"));
    static const char* hours[13] = {"０時間", "１時間", "２時間", "３時間", "４時間",
                                    "５時間", "６時間", "７時間", "８時間", "９時間",
                                    "１０時間", "１１時間", "１２時間"};
    for (const char* h : hours) zone_->addItem(QString::fromUtf8(h));

    auto* grid = new QGridLayout;
    grid->addWidget(east_, 0, 0);
    grid->addWidget(west_, 0, 1);
    grid->addWidget(lonDeg_, 0, 2);
    grid->addWidget(new QLabel(QString::fromUtf8("度"), this), 0, 3);
    grid->addWidget(lonMin_, 0, 4);
    grid->addWidget(new QLabel(QString::fromUtf8("分"), this), 0, 5);
    grid->addWidget(north_, 1, 0);
    grid->addWidget(south_, 1, 1);
    grid->addWidget(latDeg_, 1, 2);
    grid->addWidget(new QLabel(QString::fromUtf8("度"), this), 1, 3);
    grid->addWidget(latMin_, 1, 4);
    grid->addWidget(new QLabel(QString::fromUtf8("分"), this), 1, 5);
    auto* zoneBox = new QGroupBox(QString::fromUtf8("時差"), this);
    auto* zoneRow = new QHBoxLayout(zoneBox);
    zoneRow->addWidget(zonePlus_);
    zoneRow->addWidget(zoneMinus_);
    zoneRow->addWidget(zone_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSiteDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSiteDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8("観測地点を選択してください。"), this));
    layout->addWidget(list_);
    layout->addLayout(grid);
    layout->addWidget(zoneBox);
    layout->addWidget(buttons);

    // The fields show the current site, west and south as magnitudes.
    UserSiteValues v;
    v.name = current.name;
    v.south = current.latitudeDegrees < 0 || current.latitudeMinutes < 0;
    v.latitudeDegrees = std::abs(current.latitudeDegrees);
    v.latitudeMinutes = std::abs(current.latitudeMinutes);
    v.west = current.longitudeDegrees < 0 || current.longitudeMinutes < 0;
    v.longitudeDegrees = std::abs(current.longitudeDegrees);
    v.longitudeMinutes = std::abs(current.longitudeMinutes);
    v.zoneMinus = current.zoneOffsetHours < 0;
    v.zoneHours = std::abs(current.zoneOffsetHours);
    SetValues(v);
    list_->setEditText(QString::fromStdString(current.name));

    connect(list_, qOverload<int>(&QComboBox::activated), this, [this, nameBox](int index) {
        if (nameBox->Choosing()) SelectEntry(index);
    });
    QTimer::singleShot(100, this, [this] {
        if (!filled_) FillList();
    });
}

void CSiteDialog::FillList() {
    filled_ = true;
    const QString typed = list_->currentText();
    QSignalBlocker block(list_);
    list_->clear();
    const auto& rows = BuiltinSites();
    for (int i = 0; i < kBuiltinSiteCount; ++i) {
        list_->addItem(QString::fromUtf8(rows[static_cast<std::size_t>(i)].name), i);
    }
    for (int slot = 0; slot < kUserSiteSlots; ++slot) {
        const UserSiteValues u = ReadUserSite(store_, slot);
        if (!u.name.empty()) list_->addItem(QString::fromStdString(u.name), kUserTag + slot);
    }
    // Like the list's select-string: the first entry that begins with the
    // name, ignoring case; the fields keep their values.
    const int found = list_->findText(typed, Qt::MatchStartsWith);
    list_->setCurrentIndex(found);
    if (found < 0) list_->setEditText(typed);
}

void CSiteDialog::SelectEntry(int index) {
    if (index < 0 || index >= list_->count()) return;
    const int tag = list_->itemData(index).toInt();
    UserSiteValues v;
    if (tag < kUserTag) {
        const BuiltinSite& row = BuiltinSites()[static_cast<std::size_t>(tag)];
        v.name = row.name;
        v.longitudeDegrees = row.longitudeDegrees;
        v.longitudeMinutes = row.longitudeMinutes;
        v.latitudeDegrees = row.latitudeDegrees;
        v.latitudeMinutes = row.latitudeMinutes;
        v.zoneHours = row.zoneHours;
    } else {
        v = ReadUserSite(store_, tag - kUserTag);
    }
    SetValues(v);
    QSignalBlocker block(list_);
    list_->setCurrentIndex(index);
}

void CSiteDialog::SetValues(const UserSiteValues& v) {
    (v.west ? west_ : east_)->setChecked(true);
    (v.south ? south_ : north_)->setChecked(true);
    (v.zoneMinus ? zoneMinus_ : zonePlus_)->setChecked(true);
    lonDeg_->setText(QString::number(v.longitudeDegrees));
    lonMin_->setText(QString::number(v.longitudeMinutes));
    latDeg_->setText(QString::number(v.latitudeDegrees));
    latMin_->setText(QString::number(v.latitudeMinutes));
    zone_->setCurrentIndex(std::clamp(v.zoneHours, 0, 12));
}

UserSiteValues CSiteDialog::Values() const {
    UserSiteValues v;
    v.name = list_->currentText().toStdString();
    v.longitudeDegrees = lonDeg_->text().trimmed().toInt();
    v.longitudeMinutes = lonMin_->text().trimmed().toInt();
    v.latitudeDegrees = latDeg_->text().trimmed().toInt();
    v.latitudeMinutes = latMin_->text().trimmed().toInt();
    v.west = west_->isChecked();
    v.south = south_->isChecked();
    v.zoneHours = std::max(0, zone_->currentIndex());
    v.zoneMinus = zoneMinus_->isChecked();
    return v;
}

ObservationSite CSiteDialog::Result() const {
    const UserSiteValues v = Values();
    ObservationSite s;
    s.name = v.name;
    s.longitudeDegrees = v.west ? -v.longitudeDegrees : v.longitudeDegrees;
    s.longitudeMinutes = v.west ? -v.longitudeMinutes : v.longitudeMinutes;
    s.latitudeDegrees = v.south ? -v.latitudeDegrees : v.latitudeDegrees;
    s.latitudeMinutes = v.south ? -v.latitudeMinutes : v.latitudeMinutes;
    s.zoneOffsetHours = v.zoneMinus ? -v.zoneHours : v.zoneHours;
    return s;
}

QLineEdit* CSiteDialog::Edit(int control) const {
    switch (control) {
    case kLongitudeDegrees: return lonDeg_;
    case kLongitudeMinutes: return lonMin_;
    case kLatitudeDegrees: return latDeg_;
    case kLatitudeMinutes: return latMin_;
    default: return nullptr;
    }
}

bool CSiteDialog::TryAccept() {
    if (!filled_) FillList();
    // Fields in the order they stand; out of range is refused, not cut.
    const std::pair<QLineEdit*, int> ranges[] = {
        {lonDeg_, 180}, {lonMin_, 59}, {latDeg_, 90}, {latMin_, 59}};
    for (const auto& [edit, high] : ranges) {
        if (!TakeNumber(edit, 0, high, prompts_)) return false;
    }
    const UserSiteValues v = Values();
    const int index = list_->currentIndex();
    const bool selected = index >= 0 && list_->itemText(index) == list_->currentText();
    if (selected) {
        const int tag = list_->itemData(index).toInt();
        if (tag >= kUserTag) WriteUserSite(store_, tag - kUserTag, v);
        return true;  // a built-in row writes nothing
    }
    if (list_->currentText().trimmed().isEmpty()) {
        // An empty name would mark the slot as free again: ask for a place instead.
        prompts_.Info(QString::fromUtf8("観測地点を選択してください。"));
        return false;
    }
    const RegisterResult r = RegisterUserSite(store_, v);
    switch (r.kind) {
    case RegisterResult::Kind::Updated:
        return true;
    case RegisterResult::Kind::Registered:
        prompts_.Info(QString::fromStdString(RegisteredMessage(r.slot)));
        return true;
    case RegisterResult::Kind::Full:
        prompts_.Info(QString::fromUtf8(kUserSitesFullMessage));
        return false;
    }
    return false;
}

void CSiteDialog::accept() {
    if (TryAccept()) QDialog::accept();
}

}  // namespace tavik
