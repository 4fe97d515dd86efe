#pragma once
// The constellation selection held by the view: when active, only records of
// the selected constellations are shown and only their lines and figures are
// drawn. No Qt.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

struct StarRecord;

class ConstellationSelection {
public:
    static constexpr int kSlots = 100;

    bool Active() const { return active_; }
    void SetActive(bool on) { active_ = on; }

    // The 100 slots: each an abbreviation (at most 3 bytes) or empty.
    void ClearSlots();
    // Puts an abbreviation into a slot (0..99); out-of-range slots are ignored.
    void SetSlot(int index, std::string_view abbreviation);
    std::string_view Slot(int index) const;

    // "ｘｘｘ座のみ表示": the slots hold just this constellation and the
    // selection is switched on. The marks are recomputed for `catalogue`.
    void SelectOnly(std::string_view abbreviation, const std::vector<const StarRecord*>& catalogue);

    // Takes the result of the selection dialog confirmed with OK: the slots are
    // cleared and, when `active`, filled with the chosen abbreviations in order
    // (at most 100). Nothing chosen switches the selection off. The marks are
    // recomputed for `catalogue` when the selection is on.
    void TakeDialogResult(bool active, const std::vector<std::string>& abbreviations,
                          const std::vector<const StarRecord*>& catalogue);

    // Whether constellation `abbreviation` is selected: always when the
    // selection is off, else when it equals one of the slots.
    bool IsSelected(std::string_view abbreviation) const;

    // Recomputes the mark of every catalogue position: 1 when the record's
    // constellation equals one of the slots (an empty slot matches a record
    // without constellation).
    void RecomputeMarks(const std::vector<const StarRecord*>& catalogue);
    // Whether the record at catalogue position `index` is shown: always when the
    // selection is off; otherwise by its mark (positions without a mark are not shown).
    bool Shows(std::size_t index) const {
        if (!active_) return true;
        return index < marks_.size() && marks_[index] == 1;
    }

private:
    static std::string_view FieldText(const char* field, std::size_t size);
    bool active_ = false;
    std::array<std::array<char, 4>, kSlots> slots_{};
    std::vector<std::uint8_t> marks_;
};

}  // namespace tavik
