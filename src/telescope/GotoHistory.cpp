#include "telescope/GotoHistory.h"

#include <fstream>

#include "catalog/ShiftJis.h"

namespace tavik {

GotoHistory::~GotoHistory() { Flush(); }

void GotoHistory::Add(std::string line) {
    std::lock_guard guard(lock_);
    lines_.push_back(std::move(line));
    if (lines_.size() >= kFlushLines) FlushLocked();
}

bool GotoHistory::Modified() const {
    std::lock_guard guard(lock_);
    return !lines_.empty();
}

std::vector<std::string> GotoHistory::Lines() const {
    std::lock_guard guard(lock_);
    return lines_;
}

std::string GotoHistory::EncodeLine(std::string_view utf8) {
    std::string sjis = Utf8ToSjis(utf8);
    sjis.resize(SjisPrefixLength(sjis, kMaxLineBytes));
    return sjis + "\r\n";
}

bool GotoHistory::Flush() {
    std::lock_guard guard(lock_);
    return FlushLocked();
}

bool GotoHistory::FlushLocked() {
    if (lines_.empty()) return true;
    if (folder_.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);  // a new account has no documents folder yet
    std::string bytes;
    for (const std::string& line : lines_) bytes += EncodeLine(line);
    std::ofstream out(FilePath(), std::ios::binary | std::ios::app);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) return false;
    lines_.clear();
    return true;
}

}  // namespace tavik
