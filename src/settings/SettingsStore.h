#pragma once
// The per-user settings store: sections holding named entries, each a 32-bit
// integer or a string. Every read and write of a setting goes through these
// four operations.

#include <map>
#include <mutex>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavik {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The stored integer, or `def` when the entry is absent (or not a number).
    virtual int GetProfileInt(std::string_view section, std::string_view entry, int def) const = 0;
    // The stored text (UTF-8), or `def` when the entry is absent.
    virtual std::string GetProfileString(std::string_view section, std::string_view entry,
                                         std::string_view def) const = 0;
    virtual void WriteProfileInt(std::string_view section, std::string_view entry, int value) = 0;
    // std::nullopt deletes the entry.
    virtual void WriteProfileString(std::string_view section, std::string_view entry,
                                    const std::optional<std::string>& value) = 0;
    // True when the entry exists (as either type).
    virtual bool Contains(std::string_view section, std::string_view entry) const = 0;
};

// A store held in memory: for tests and for headless runs that must not touch
// the user's settings.
class MemorySettingsStore final : public SettingsStore {
public:
    int GetProfileInt(std::string_view section, std::string_view entry, int def) const override;
    std::string GetProfileString(std::string_view section, std::string_view entry,
                                 std::string_view def) const override;
    void WriteProfileInt(std::string_view section, std::string_view entry, int value) override;
    void WriteProfileString(std::string_view section, std::string_view entry,
                            const std::optional<std::string>& value) override;
    bool Contains(std::string_view section, std::string_view entry) const override;

    // Every write in the order it happened, as "SECTION/ENTRY".
    const std::vector<std::string>& WriteLog() const { return writeLog_; }
    void ClearWriteLog() { writeLog_.clear(); }

private:
    using Key = std::pair<std::string, std::string>;
    std::map<Key, int> ints_;
    std::map<Key, std::string> strings_;
    std::vector<std::string> writeLog_;
    mutable std::mutex lock_;  // the telescope's exchanges read from their own thread
};

// The user's store: QSettings in INI format, organisation "Arvex", application
// "Tavik", in the user's configuration directory. Sections are groups.
class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();
    // A store in an explicit INI file (tests, or a user-chosen profile).
    explicit QtSettingsStore(const std::string& iniPath);
    ~QtSettingsStore() override;

    int GetProfileInt(std::string_view section, std::string_view entry, int def) const override;
    std::string GetProfileString(std::string_view section, std::string_view entry,
                                 std::string_view def) const override;
    void WriteProfileInt(std::string_view section, std::string_view entry, int value) override;
    void WriteProfileString(std::string_view section, std::string_view entry,
                            const std::optional<std::string>& value) override;
    bool Contains(std::string_view section, std::string_view entry) const override;

    // Writes pending changes to disk.
    void Sync();
    // False when the file exists but cannot be read or is not an INI file:
    // writing to the store would then replace what the file holds.
    bool Readable() const;
    std::string FileName() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tavik
