#include "catalog/StarCatalog.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <stdexcept>

namespace tavik {

namespace {
std::atomic<std::uint64_t> gGenerations{0};
}  // namespace

std::uint64_t StarCatalog::ChangeCounter::Next() { return ++gGenerations; }

void StarCatalog::Changed() { generation_.value = ChangeCounter::Next(); }

const StarRecord& StarCatalog::At(std::size_t i) const {
    if (i >= count_) throw std::out_of_range("StarCatalog::At");
    return Record(i);
}

StarRecord& StarCatalog::At(std::size_t i) {
    if (i >= count_) throw std::out_of_range("StarCatalog::At");
    Changed();
    return Record(i);
}

StarRecord& StarCatalog::Push(StarRecord&& record) {
    if (blocks_.empty() || blocks_.back().size() == kBlockRecords) {
        blocks_.emplace_back();
        blocks_.back().reserve(kBlockRecords);
    }
    blocks_.back().push_back(std::move(record));
    ++count_;
    return blocks_.back().back();
}

void StarCatalog::Append(StarRecord record) {
    Push(std::move(record));
    Changed();
}

void StarCatalog::Clear() {
    blocks_.clear();
    count_ = 0;
    tapMarks_.clear();
    sizes_.Clear();
    sizeOfRecord_.clear();
    names_.Clear();
    placeholderPositions_.fill(0);
    Changed();
}

void StarCatalog::SetSizes(DeepSkySizes sizes) {
    sizes_ = std::move(sizes);
    sizeOfRecord_.clear();
    for (std::size_t i = 0; i < count_ && !sizes_.Empty(); ++i) {
        const StarRecord& r = Record(i);
        if (!IsDeepSkyKind(r.kind) || r.IsTapMark()) continue;
        if (const DeepSkySize* s = sizes_.Find(r.ShortDesignation())) sizeOfRecord_.emplace(&r, *s);
    }
    Changed();
}

void StarCatalog::SetExtraNames(ExtraNames names) {
    names_ = std::move(names);
    Changed();
}

const DeepSkySize* StarCatalog::SizeOf(const StarRecord& record) const {
    if (sizeOfRecord_.empty()) return nullptr;
    const auto it = sizeOfRecord_.find(&record);
    return it == sizeOfRecord_.end() ? nullptr : &it->second;
}

RecordFileResult StarCatalog::Load(std::istream& in, const PumpFn& pump) {
    Clear();
    std::size_t kept = 0;
    RecordFileResult result = ReadRecordStream(
        in,
        [&](StarRecord&& r) {
            if (IsDroppedOnLoad(r)) return;
            Push(std::move(r));
            ++kept;
        },
        pump);
    result.kept = kept;
    Changed();
    return result;
}

RecordFileResult StarCatalog::LoadFile(const std::filesystem::path& path, const PumpFn& pump) {
    std::ifstream in;
    RecordFileResult result;
    if (!OpenRecordFile(path, in, result.error)) return result;
    return Load(in, pump);
}

StarRecord& StarCatalog::SolarPlaceholder(int i) {
    i = std::clamp(i, 0, kSolarBodies - 1);
    if (count_ < 100) return sharedPlaceholder_;
    const std::size_t pos = placeholderPositions_[i];
    if (pos != 0 && pos < count_) return Record(pos);
    StarRecord r;
    r.kind = static_cast<std::int16_t>(SolarPlaceholderKind(i));
    r.constellation[0] = '#';
    const std::size_t at = count_;
    r.number = static_cast<std::int16_t>(at);
    StarRecord& placed = Push(std::move(r));
    placeholderPositions_[i] = at;
    Changed();
    return placed;
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
