#include "catalog/StarCatalog.h"

#include <algorithm>
#include <fstream>

namespace tavik {

void StarCatalog::Clear() {
    records_.clear();
    tapMarks_.clear();
    placeholderPositions_.fill(0);
}

RecordFileResult StarCatalog::Load(std::istream& in, const PumpFn& pump) {
    Clear();
    std::size_t kept = 0;
    RecordFileResult result = ReadRecordStream(
        in,
        [&](StarRecord&& r) {
            if (IsDroppedOnLoad(r)) return;
            records_.push_back(std::move(r));
            ++kept;
        },
        pump);
    result.kept = kept;
    return result;
}

RecordFileResult StarCatalog::LoadFile(const std::filesystem::path& path, const PumpFn& pump) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        RecordFileResult result;
        result.error = "cannot open " + path.string();
        return result;
    }
    return Load(in, pump);
}

StarRecord& StarCatalog::SolarPlaceholder(int i) {
    i = std::clamp(i, 0, kSolarBodies - 1);
    if (records_.size() < 100) return sharedPlaceholder_;
    const std::size_t pos = placeholderPositions_[i];
    if (pos != 0 && pos < records_.size()) return records_[pos];
    StarRecord r;
    r.kind = static_cast<std::int16_t>(SolarPlaceholderKind(i));
    r.constellation[0] = '#';
    const std::size_t at = records_.size();
    r.number = static_cast<std::int16_t>(at);
    records_.push_back(std::move(r));
    placeholderPositions_[i] = at;
    return records_.back();
}

std::size_t StarCatalog::SolarPlaceholderPosition(int i) const {
    if (i < 0 || i >= kSolarBodies) return 0;
    return placeholderPositions_[i];
}

void StarCatalog::RemoveTapMark(std::size_t i) {
    if (i < tapMarks_.size()) tapMarks_.erase(tapMarks_.begin() + static_cast<std::ptrdiff_t>(i));
}

RecordFileResult StarCatalog::LoadTapMarks(const std::filesystem::path& path) {
    return ReadRecordFile(path, [this](StarRecord&& r) { tapMarks_.push_back(std::move(r)); });
}

bool StarCatalog::SaveTapMarks(const std::filesystem::path& path) const {
    return WriteFileReplacing(path, RecordFileBytes(tapMarks_));
}

}  // namespace tavik
