#pragma once
// The goto history: one line per accepted goto ("Slew %d/%d/%d %d:%d " + the
// target's name and coordinates, see Mount::HistoryLine) or sync ("Sync ..."),
// appended to "望遠鏡導入履歴.txt" in a folder (the user's documents folder,
// made when missing) as soon as the goto is accepted, so that a crash or a
// kill loses nothing already accepted. The file holds Shift-JIS text with
// CR LF line ends; every line is written whole.
//
// A line that cannot be written (a read-only folder, a full disk) is kept and
// written before the next one, or when the history goes away; the first
// failure for a file is reported so that the user is told once.
//
// The document owns one and hands Add to the controller:
//
//   controller.SetGotoLog([&history](const std::string& l) {
//       if (history.Add(l) == GotoHistory::Added::Failed) TellTheUser(history.FilePath());
//   });

#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

namespace tavik {

class GotoHistory {
public:
    static constexpr const char* kFileName = "望遠鏡導入履歴.txt";

    // What became of a line: on disk, or not, for the first time for this
    // file (say so) or again (already said).
    enum class Added { Written, Failed, FailedAgain };

    explicit GotoHistory(std::filesystem::path folder = {}) : folder_(std::move(folder)) {}
    // Writes what is still waiting after a failure.
    ~GotoHistory();
    GotoHistory(const GotoHistory&) = delete;
    GotoHistory& operator=(const GotoHistory&) = delete;

    void SetFolder(std::filesystem::path folder);
    std::filesystem::path FilePath() const;

    // Appends a UTF-8 line to the file at once (after any line still
    // waiting). May be called from any thread (the mount's exchanges add).
    Added Add(std::string_view line);
    // Bytes not yet on disk (after a failed write).
    std::size_t PendingBytes() const;

    // The bytes written for one line: Shift-JIS, then CR LF.
    static std::string EncodeLine(std::string_view utf8);

private:
    bool WritePendingLocked();

    std::filesystem::path folder_;
    std::string pending_;  // encoded lines, whole, not yet written
    std::set<std::filesystem::path> reported_;
    mutable std::mutex lock_;
};

}  // namespace tavik
