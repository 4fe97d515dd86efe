#pragma once
// The document's sky data, free of any window: the catalogue list (records in
// file order followed by the solar-system placeholders), the user's tap-mark
// list and the loaded flag. Records are held in a deque, so a reference to a
// record stays valid while records are appended.

#include <array>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <iosfwd>

#include "catalog/RecordFile.h"
#include "catalog/StarRecord.h"

namespace tavik {

class StarCatalog {
public:
    // --- catalogue list -------------------------------------------------
    std::size_t Count() const { return records_.size(); }
    const StarRecord& At(std::size_t i) const { return records_.at(i); }
    StarRecord& At(std::size_t i) { return records_.at(i); }
    const std::deque<StarRecord>& Records() const { return records_; }
    void Append(StarRecord record) { records_.push_back(std::move(record)); }

    // Empties both lists and forgets the placeholders.
    void Clear();

    // Empties both lists, then reads a catalogue, keeping the records that
    // pass the drop rules in file order. On a short or malformed file the
    // records read so far are kept and the result names the problem. The
    // loaded flag is left to the caller.
    RecordFileResult Load(std::istream& in, const PumpFn& pump = {});
    RecordFileResult LoadFile(const std::filesystem::path& path, const PumpFn& pump = {});

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
    std::deque<StarRecord> records_;
    std::deque<StarRecord> tapMarks_;
    std::array<std::size_t, kSolarBodies> placeholderPositions_{};
    StarRecord sharedPlaceholder_;
    bool loaded_ = false;
};

}  // namespace tavik
