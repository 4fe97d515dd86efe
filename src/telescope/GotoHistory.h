#pragma once
// The goto history: one line per accepted goto ("Slew %d/%d/%d %d:%d " + the
// target's name and coordinates, see TelescopeController::HistoryLine), kept
// in memory and appended to "望遠鏡導入履歴.txt" in a folder (the user's
// documents folder) when 100 lines have gathered and whenever the owner closes
// or saves (Flush; the destructor flushes too). The file holds Shift-JIS text
// with CR LF line ends, each line at most 70 bytes, cut at a character boundary
// so that no double-byte character is split.
//
// The document owns one and hands Add to the controller:
//
//   controller.SetGotoLog([&history](const std::string& l) { history.Add(l); });

#include <cstddef>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

class GotoHistory {
public:
    static constexpr std::size_t kFlushLines = 100;
    static constexpr std::size_t kMaxLineBytes = 70;
    static constexpr const char* kFileName = "望遠鏡導入履歴.txt";

    explicit GotoHistory(std::filesystem::path folder = {}) : folder_(std::move(folder)) {}
    ~GotoHistory();
    GotoHistory(const GotoHistory&) = delete;
    GotoHistory& operator=(const GotoHistory&) = delete;

    void SetFolder(std::filesystem::path folder) { folder_ = std::move(folder); }
    std::filesystem::path FilePath() const { return folder_ / kFileName; }

    // Appends a UTF-8 line and marks the history modified; the 100th line
    // writes the whole list at once.
    void Add(std::string line);
    // Appends the lines to the file (created when missing, with its folder),
    // empties the list and clears the modified mark; true when there was
    // nothing to write. When the file cannot be written (no folder set, a
    // read-only folder) the lines are kept for the next attempt and the result
    // is false. Add and Flush may be called from different threads (the
    // mount's exchanges add, the window flushes).
    bool Flush();

    bool Modified() const;
    std::vector<std::string> Lines() const;

    // The bytes written for one line: Shift-JIS, at most 70 bytes, then CR LF.
    static std::string EncodeLine(std::string_view utf8);

private:
    bool FlushLocked();

    std::filesystem::path folder_;
    std::vector<std::string> lines_;
    mutable std::mutex lock_;
};

}  // namespace tavik
