#include "view/MinorTodayMarks.h"

#include <algorithm>

#include "settings/SettingsStore.h"
#include "view/MinorBodyPainter.h"

namespace tavik {

std::vector<std::string> MinorTodayMarks(const SettingsStore& store) {
    const std::string text = store.GetProfileString(kMinorSection, kMinorToday, "");
    std::vector<std::string> marks;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(';', start), text.size());
        if (end > start) marks.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return marks;
}

bool IsMinorTodayMarked(const SettingsStore& store, const std::string& designation) {
    const std::vector<std::string> marks = MinorTodayMarks(store);
    return !designation.empty() && std::find(marks.begin(), marks.end(), designation) != marks.end();
}

void SetMinorTodayMark(SettingsStore& store, const std::string& designation, bool marked) {
    if (designation.empty() || designation.find(';') != std::string::npos) return;
    std::vector<std::string> marks = MinorTodayMarks(store);
    const auto it = std::find(marks.begin(), marks.end(), designation);
    if ((it != marks.end()) == marked) return;
    if (marked) {
        marks.push_back(designation);
    } else {
        marks.erase(it);
    }
    std::string text;
    for (const std::string& m : marks) text += (text.empty() ? "" : ";") + m;
    store.WriteProfileString(kMinorSection, kMinorToday, text);
}

std::vector<MinorBody> MarkedMinorBodies(const std::vector<MinorBody>& bodies, const SettingsStore& store) {
    const std::vector<std::string> marks = MinorTodayMarks(store);
    std::vector<MinorBody> out;
    if (marks.empty()) return out;
    for (const MinorBody& b : bodies)
        if (std::find(marks.begin(), marks.end(), b.designation) != marks.end()) out.push_back(b);
    return out;
}

}  // namespace tavik
