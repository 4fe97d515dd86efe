#pragma once
// The document's sky data, free of any window: the catalogue list (records in
// file order followed by the solar-system placeholders), the user's tap-mark
// list and the loaded flag.
//
// Catalogue records live in blocks of contiguous storage (kBlockRecords each,
// one allocation per block, none per record) that never move, so a pointer or
// reference to a record stays valid while records are appended, also during a
// load whose pump lets a render pass draw the part read so far.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <iosfwd>
#include <iterator>
#include <memory>
#include <unordered_map>
#include <vector>

#include "catalog/DeepSkySizes.h"
#include "catalog/ExtraNames.h"
#include "catalog/LargePageAllocator.h"
#include "catalog/RecordFile.h"
#include "catalog/StarRecord.h"

namespace tavik {

class StarCatalog {
public:
    // As many records as fill one large page.
    static constexpr std::size_t kBlockRecords = kLargePage / sizeof(StarRecord);


    // The catalogue list in order, for range-for.
    class RecordRange {
    public:
        class Iterator {
        public:
            using iterator_category = std::forward_iterator_tag;
            using value_type = StarRecord;
            using difference_type = std::ptrdiff_t;
            using pointer = const StarRecord*;
            using reference = const StarRecord&;
            Iterator() = default;
            Iterator(const StarCatalog* c, std::size_t i) : catalog_(c), i_(i) {}
            reference operator*() const { return catalog_->Record(i_); }
            pointer operator->() const { return &catalog_->Record(i_); }
            Iterator& operator++() { ++i_; return *this; }
            Iterator operator++(int) { Iterator t = *this; ++i_; return t; }
            bool operator==(const Iterator& o) const { return i_ == o.i_; }
        private:
            const StarCatalog* catalog_ = nullptr;
            std::size_t i_ = 0;
        };
        explicit RecordRange(const StarCatalog& c) : catalog_(&c) {}
        Iterator begin() const { return {catalog_, 0}; }
        Iterator end() const { return {catalog_, catalog_->Count()}; }
        std::size_t size() const { return catalog_->Count(); }
    private:
        const StarCatalog* catalog_;
    };

    // --- catalogue list -------------------------------------------------
    std::size_t Count() const { return count_; }
    const StarRecord& At(std::size_t i) const;
    // A record that may be changed in place: the change counter moves on.
    StarRecord& At(std::size_t i);
    RecordRange Records() const { return RecordRange(*this); }
    void Append(StarRecord record);

    // A number that changes whenever the catalogue list may have changed (a
    // load, a clear, an append, a record handed out for change), different
    // for every catalogue of the process; views key what they prepare from
    // the records on it.
    std::uint64_t Generation() const { return generation_.value; }

    // Empties both lists and forgets the placeholders.
    void Clear();

    // Empties both lists, then reads a catalogue, keeping the records that
    // pass the drop rules in file order. On a short or malformed file the
    // records read so far are kept and the result names the problem. The
    // loaded flag is left to the caller.
    RecordFileResult Load(std::istream& in, const PumpFn& pump = {});
    RecordFileResult LoadFile(const std::filesystem::path& path, const PumpFn& pump = {});

    // --- deep-sky sizes ------------------------------------------------------
    // The sizes of the deep-sky objects (the size file beside the catalogue),
    // matched to the records present when they are set; a later load or clear
    // forgets them.
    void SetSizes(DeepSkySizes sizes);
    const DeepSkySizes& Sizes() const { return sizes_; }
    // The size of a record of this catalogue (records never move), or
    // nullptr when it has none.
    const DeepSkySize* SizeOf(const StarRecord& record) const;

    // --- extra names ----------------------------------------------------------
    // The names file beside the catalogue, for the name index; a later load
    // or clear forgets them.
    void SetExtraNames(ExtraNames names);
    const ExtraNames& Names() const { return names_; }

    bool Loaded() const { return loaded_; }
    void SetLoaded(bool loaded) { loaded_ = loaded; }

    // Solar-system placeholder i (0..9; other values are clamped). With fewer
    // than 100 records in the catalogue, one shared record is returned for
    // every i and the list does not grow. Otherwise the placeholder is made on
    // first request with kind 8192 + 16 i + 1, constellation "#" and number =
    // its position, appended to the list, and returned at every later request.
    // The caller fills in designation, ra, dec and mag.
    StarRecord& SolarPlaceholder(int i);
    // Position of placeholder i in the list, or 0 when it does not exist.
    std::size_t SolarPlaceholderPosition(int i) const;

    // --- tap-mark list --------------------------------------------------
    std::size_t TapMarkCount() const { return tapMarks_.size(); }
    const StarRecord& TapMark(std::size_t i) const { return tapMarks_.at(i); }
    StarRecord& TapMark(std::size_t i) { return tapMarks_.at(i); }
    const std::deque<StarRecord>& TapMarks() const { return tapMarks_; }
    void AppendTapMark(StarRecord mark) { tapMarks_.push_back(std::move(mark)); }
    void RemoveTapMark(std::size_t i);
    void ClearTapMarks() { tapMarks_.clear(); }

    // Appends the marks of a tap or exchange file, unfiltered. A missing file
    // leaves the list as it is (result.opened false, not an error to show).
    RecordFileResult LoadTapMarks(const std::filesystem::path& path);
    // Writes the header (1000, N) and every mark; false when it cannot be written.
    bool SaveTapMarks(const std::filesystem::path& path) const;

private:
    const StarRecord& Record(std::size_t i) const { return blocks_[i / kBlockRecords][i % kBlockRecords]; }
    StarRecord& Record(std::size_t i) { return blocks_[i / kBlockRecords][i % kBlockRecords]; }
    StarRecord& Push(StarRecord&& record);
    void Changed();

    // Every block but the last is full; each is reserved to kBlockRecords
    // and never grows past it, so it never reallocates.
    std::vector<std::vector<StarRecord, LargePageAllocator<StarRecord>>> blocks_;
    std::size_t count_ = 0;
    // A fresh number for every catalogue, also for a copy, and at every change.
    struct ChangeCounter {
        static std::uint64_t Next();
        std::uint64_t value = Next();
        ChangeCounter() = default;
        ChangeCounter(const ChangeCounter&) : value(Next()) {}
        ChangeCounter& operator=(const ChangeCounter&) {
            value = Next();
            return *this;
        }
    };
    ChangeCounter generation_;
    DeepSkySizes sizes_;
    ExtraNames names_;
    std::unordered_map<const StarRecord*, DeepSkySize> sizeOfRecord_;
    std::deque<StarRecord> tapMarks_;
    std::array<std::size_t, kSolarBodies> placeholderPositions_{};
    StarRecord sharedPlaceholder_;
    bool loaded_ = false;
};

}  // namespace tavik
