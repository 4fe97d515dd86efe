#include "telescope/GotoHistory.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "catalog/ShiftJis.h"

namespace tavik {

GotoHistory::~GotoHistory() {
    std::lock_guard guard(lock_);
    WritePendingLocked();
}

void GotoHistory::SetFolder(std::filesystem::path folder) {
    std::lock_guard guard(lock_);
    folder_ = std::move(folder);
}

std::filesystem::path GotoHistory::FilePath() const {
    std::lock_guard guard(lock_);
    return folder_ / kFileName;
}

std::size_t GotoHistory::PendingBytes() const {
    std::lock_guard guard(lock_);
    return pending_.size();
}

std::string GotoHistory::EncodeLine(std::string_view utf8) { return Utf8ToSjis(utf8) + "\r\n"; }

GotoHistory::Added GotoHistory::Add(std::string_view line) {
    std::lock_guard guard(lock_);
    pending_ += EncodeLine(line);
    if (WritePendingLocked()) return Added::Written;
    return reported_.insert(folder_ / kFileName).second ? Added::Failed : Added::FailedAgain;
}

bool GotoHistory::WritePendingLocked() {
    if (pending_.empty()) return true;
    if (folder_.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);  // a new account has no documents folder yet
    const int fd = ::open((folder_ / kFileName).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    // What was written goes from the waiting bytes, so that a retry after a
    // short write (a full disk) goes on where it stopped and lines stay whole.
    while (!pending_.empty()) {
        const ssize_t n = ::write(fd, pending_.data(), pending_.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        pending_.erase(0, static_cast<std::size_t>(n));
    }
    ::fsync(fd);  // on the card even if the power goes right after
    ::close(fd);
    return pending_.empty();
}

}  // namespace tavik
