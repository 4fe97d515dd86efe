#include "view/ConstellationSelection.h"

#include <algorithm>
#include <cstring>

#include "catalog/StarRecord.h"

namespace tavik {

std::string_view ConstellationSelection::FieldText(const char* field, std::size_t size) {
    const char* end = static_cast<const char*>(std::memchr(field, '\0', size));
    return std::string_view(field, end ? static_cast<std::size_t>(end - field) : size);
}

void ConstellationSelection::ClearSlots() {
    for (auto& s : slots_) s.fill('\0');
}

void ConstellationSelection::SetSlot(int index, std::string_view abbreviation) {
    if (index < 0 || index >= kSlots) return;
    auto& s = slots_[static_cast<std::size_t>(index)];
    s.fill('\0');
    const std::size_t n = std::min<std::size_t>(abbreviation.size(), 3);
    std::memcpy(s.data(), abbreviation.data(), n);
}

std::string_view ConstellationSelection::Slot(int index) const {
    if (index < 0 || index >= kSlots) return {};
    const auto& s = slots_[static_cast<std::size_t>(index)];
    return FieldText(s.data(), s.size());
}

void ConstellationSelection::SelectOnly(std::string_view abbreviation,
                                        const std::vector<const StarRecord*>& catalogue) {
    ClearSlots();
    SetSlot(0, abbreviation);
    active_ = true;
    RecomputeMarks(catalogue);
}

void ConstellationSelection::TakeDialogResult(bool active, const std::vector<std::string>& abbreviations,
                                              const std::vector<const StarRecord*>& catalogue) {
    ClearSlots();
    active_ = active && !abbreviations.empty();
    if (!active_) return;
    const std::size_t n = std::min<std::size_t>(abbreviations.size(), kSlots);
    for (std::size_t i = 0; i < n; ++i) SetSlot(static_cast<int>(i), abbreviations[i]);
    RecomputeMarks(catalogue);
}

bool ConstellationSelection::IsSelected(std::string_view abbreviation) const {
    if (!active_) return true;
    for (int i = 0; i < kSlots; ++i) {
        if (Slot(i) == abbreviation) return true;
    }
    return false;
}

void ConstellationSelection::RecomputeMarks(const std::vector<const StarRecord*>& catalogue) {
    // One mark per catalogue position, however long the catalogue is.
    marks_.assign(catalogue.size(), 0);
    for (std::size_t i = 0; i < marks_.size(); ++i) {
        const StarRecord* r = catalogue[i];
        if (!r) continue;
        const std::string_view c = FieldText(r->constellation, sizeof r->constellation);
        for (int s = 0; s < kSlots; ++s) {
            if (Slot(s) == c) {
                marks_[i] = 1;
                break;
            }
        }
    }
}

}  // namespace tavik
