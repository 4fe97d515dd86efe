#include "settings/SettingsStore.h"

#include <cstdint>
#include <mutex>

#include <QMetaType>
#include <QSettings>
#include <QStringList>
#include <QString>

namespace tavik {

struct QtSettingsStore::Impl {
    std::unique_ptr<QSettings> settings;
    std::mutex lock;  // the telescope's exchanges read from their own thread
};

namespace {
QString KeyOf(std::string_view section, std::string_view entry) {
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + u'/' +
           QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size()));
}
}  // namespace

QtSettingsStore::QtSettingsStore() : impl_(std::make_unique<Impl>()) {
    impl_->settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                  QStringLiteral("Arvex"), QStringLiteral("Tavik"));
}

QtSettingsStore::QtSettingsStore(const std::string& iniPath) : impl_(std::make_unique<Impl>()) {
    impl_->settings = std::make_unique<QSettings>(QString::fromStdString(iniPath), QSettings::IniFormat);
}

QtSettingsStore::~QtSettingsStore() {
    impl_->settings->sync();
}

int QtSettingsStore::GetProfileInt(std::string_view section, std::string_view entry, int def) const {
    std::lock_guard guard(impl_->lock);
    const QVariant v = impl_->settings->value(KeyOf(section, entry));
    if (!v.isValid()) return def;
    bool ok = false;
    // Stored as text in the INI file; a value outside 32 bits or not a number reads as absent.
    // Decimal, or hexadecimal with "0x" (colours are easier to edit that way); a leading
    // zero is not taken as octal, so "010" is ten.
    const QString text = v.toString().trimmed();
    const bool negative = text.startsWith(u'-');
    const QString digits = negative || text.startsWith(u'+') ? text.mid(1) : text;
    qlonglong n = 0;
    if (digits.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)) {
        n = digits.mid(2).toLongLong(&ok, 16);
    } else {
        n = digits.toLongLong(&ok, 10);
    }
    if (ok && (digits.isEmpty() || !digits.at(0).isLetterOrNumber())) ok = false;
    if (negative) n = -n;
    if (!ok || n < INT32_MIN || n > INT32_MAX) return def;
    return static_cast<int>(n);
}

std::string QtSettingsStore::GetProfileString(std::string_view section, std::string_view entry,
                                              std::string_view def) const {
    std::lock_guard guard(impl_->lock);
    const QVariant v = impl_->settings->value(KeyOf(section, entry));
    if (!v.isValid()) return std::string(def);
    // A hand-edited INI line with an unquoted comma reads back as a list.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(u", ").toStdString();
    return v.toString().toStdString();
}

void QtSettingsStore::WriteProfileInt(std::string_view section, std::string_view entry, int value) {
    std::lock_guard guard(impl_->lock);
    impl_->settings->setValue(KeyOf(section, entry), value);
}

void QtSettingsStore::WriteProfileString(std::string_view section, std::string_view entry,
                                         const std::optional<std::string>& value) {
    std::lock_guard guard(impl_->lock);
    if (value) {
        impl_->settings->setValue(KeyOf(section, entry), QString::fromStdString(*value));
    } else {
        impl_->settings->remove(KeyOf(section, entry));
    }
}

bool QtSettingsStore::Contains(std::string_view section, std::string_view entry) const {
    std::lock_guard guard(impl_->lock);
    return impl_->settings->contains(KeyOf(section, entry));
}

void QtSettingsStore::Sync() {
    std::lock_guard guard(impl_->lock);
    impl_->settings->sync();
}

bool QtSettingsStore::Readable() const {
    std::lock_guard guard(impl_->lock);
    impl_->settings->allKeys();  // the file is read at the first access, and its status set
    return impl_->settings->status() == QSettings::NoError;
}

std::string QtSettingsStore::FileName() const { return impl_->settings->fileName().toStdString(); }

}  // namespace tavik
