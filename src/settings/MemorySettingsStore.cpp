#include "settings/SettingsStore.h"

namespace tavik {

namespace {
std::string LogKey(std::string_view section, std::string_view entry) {
    std::string key(section);
    key += '/';
    key += entry;
    return key;
}
}  // namespace

int MemorySettingsStore::GetProfileInt(std::string_view section, std::string_view entry,
                                       int def) const {
    std::lock_guard guard(lock_);
    auto it = ints_.find({std::string(section), std::string(entry)});
    return it == ints_.end() ? def : it->second;
}

std::string MemorySettingsStore::GetProfileString(std::string_view section,
                                                  std::string_view entry,
                                                  std::string_view def) const {
    std::lock_guard guard(lock_);
    auto it = strings_.find({std::string(section), std::string(entry)});
    return it == strings_.end() ? std::string(def) : it->second;
}

void MemorySettingsStore::WriteProfileInt(std::string_view section, std::string_view entry,
                                          int value) {
    std::lock_guard guard(lock_);
    Key key{std::string(section), std::string(entry)};
    strings_.erase(key);
    ints_[key] = value;
    writeLog_.push_back(LogKey(section, entry));
}

void MemorySettingsStore::WriteProfileString(std::string_view section, std::string_view entry,
                                             const std::optional<std::string>& value) {
    std::lock_guard guard(lock_);
    Key key{std::string(section), std::string(entry)};
    ints_.erase(key);
    if (value) {
        strings_[key] = *value;
    } else {
        strings_.erase(key);
    }
    writeLog_.push_back(LogKey(section, entry));
}

bool MemorySettingsStore::Contains(std::string_view section, std::string_view entry) const {
    std::lock_guard guard(lock_);
    Key key{std::string(section), std::string(entry)};
    return ints_.count(key) != 0 || strings_.count(key) != 0;
}

}  // namespace tavik
