#include "Descriptions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

#include "catalog/ConstellationTable.h"
#include "catalog/ShiftJis.h"
#include "catalog/StarRecord.h"

namespace tavik::skydata {

namespace {

constexpr double kHour = std::numbers::pi / 12.0;
// Latitude used for "can it be seen from Japan": Tokyo, 35.7° north.
constexpr double kJapanLatitude = 35.7;

std::string Format(const char* format, double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::string Magnitude(double mag) { return Format("%.1f", mag) + "等"; }

// A star's proper name and its letter ("α星", "61番星"); both empty for a
// star with neither.
struct StarNames {
    std::string proper, letter;
    bool Empty() const { return proper.empty() && letter.empty(); }
};

StarNames NamesOf(const StarRecord& r) {
    StarNames n;
    const std::string greek = SjisToUtf8(GreekLetterSjis(r));
    std::string flamsteed(r.designation, 3);
    flamsteed = flamsteed.substr(0, flamsteed.find('\0'));
    flamsteed.erase(0, flamsteed.find_first_not_of(' '));
    n.letter = !greek.empty() ? greek + "星" : !flamsteed.empty() ? flamsteed + "番星" : "";
    if (r.name) {
        n.proper = SjisToUtf8(*r.name);
        while (!n.proper.empty() && n.proper.back() == ' ') n.proper.pop_back();
    }
    return n;
}

// "リゲル（β星）で、0.2等" for the brightest star.
std::string BrightestText(const StarRecord& r) {
    const StarNames n = NamesOf(r);
    const std::string name = n.proper.empty() ? n.letter : n.letter.empty() ? n.proper : n.proper + "（" + n.letter + "）";
    return name + "で、" + Magnitude(r.mag);
}

// "ベテルギウス（α星、0.5等）" or "δ星（2.8等）" for the next ones.
std::string StarListText(const StarRecord& r) {
    const StarNames n = NamesOf(r);
    if (n.proper.empty()) return n.letter + "（" + Magnitude(r.mag) + "）";
    return n.proper + "（" + (n.letter.empty() ? "" : n.letter + "、") + Magnitude(r.mag) + "）";
}

// "M42（オリオン大星雲、散光星雲、4.0等）"
std::string DeepSkyText(const StarRecord& r) {
    std::string kind(KindWord(r.kind));
    while (!kind.empty() && kind.back() == ' ') kind.pop_back();
    std::string text(r.ShortDesignation());
    text += "（";
    if (r.name && !r.name->empty()) {
        std::string name = SjisToUtf8(*r.name);
        while (!name.empty() && name.back() == ' ') name.pop_back();
        if (!name.empty()) text += name + "、";
    }
    if (!HasKnownMagnitude(r.kind, r.mag)) return text + kind + "）";
    return text + kind + "、" + Magnitude(r.mag) + "）";
}

const char* Season(int month) {
    if (month >= 3 && month <= 5) return "春";
    if (month >= 6 && month <= 8) return "夏";
    if (month >= 9 && month <= 11) return "秋";
    return "冬";
}

std::string Join(const std::vector<std::string>& parts) {
    std::string s;
    for (std::size_t i = 0; i < parts.size(); ++i) s += (i ? "、" : "") + parts[i];
    return s;
}

struct Gathered {
    std::string name;
    double anchorRa = 0.0, anchorDec = 0.0;
    bool hasAnchor = false;
    std::vector<const StarRecord*> stars, deepSky;
};

std::string Describe(const std::string& abbreviation, const Gathered& g) {
    const std::string crlf = "\r\n";
    std::string t = g.name + "座（" + abbreviation + "）" + crlf;

    const double decDegrees = g.anchorDec * 180.0 / std::numbers::pi;
    if (g.hasAnchor) {
        const Culmination c = CulminationAt21(g.anchorRa);
        static const char* thirds[] = {"上旬", "中旬", "下旬"};
        t += "午後9時ごろに最も高く昇るのは" + std::to_string(c.month) + "月" + thirds[c.third] + "で、" +
             Season(c.month) + "の星座です。";
        if (decDegrees > 90.0 - kJapanLatitude)
            t += "日本では北の空に一年中見えています。";
        else if (decDegrees < kJapanLatitude - 90.0 + 10.0)
            t += "南の低い空にあり、日本からは見えないか、ほんの一部しか見えません。";
        t += crlf;
    }

    std::vector<const StarRecord*> named;
    for (const StarRecord* s : g.stars)
        if (!NamesOf(*s).Empty()) named.push_back(s);
    if (!named.empty()) {
        t += "いちばん明るい星は" + BrightestText(*named[0]) + "です。";
        std::vector<std::string> next;
        for (std::size_t i = 1; i < named.size() && i < 4; ++i) next.push_back(StarListText(*named[i]));
        if (!next.empty()) t += "続いて" + Join(next) + "が明るい星です。";
        t += crlf;
    }
    if (!g.stars.empty())
        t += "この星図には、この星座の星が" + std::to_string(g.stars.size()) + "個、6.5等まで載っています。" + crlf;

    if (g.deepSky.empty()) {
        t += "この星図に載っている星雲・星団・銀河は、この星座にはありません。" + crlf;
    } else {
        std::vector<std::string> items;
        for (std::size_t i = 0; i < g.deepSky.size() && i < 5; ++i) items.push_back(DeepSkyText(*g.deepSky[i]));
        t += "星雲・星団・銀河は" + std::to_string(g.deepSky.size()) + "個載っていて、";
        t += g.deepSky.size() > items.size() ? "明るいものは" : "";
        t += Join(items) + "です。" + crlf;
    }
    return t;
}

}  // namespace

Culmination CulminationAt21(double ra) {
    double sunHours = std::fmod(ra / kHour - 9.0, 24.0);
    if (sunHours < 0) sunHours += 24.0;
    // Day of the year (non-leap, 1 January = 0): 21 March is day 79.
    int day = static_cast<int>(std::lround(79.0 + sunHours / 24.0 * 365.25)) % 365;
    static const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int month = 0;
    while (day >= lengths[month]) day -= lengths[month++];
    return {month + 1, day < 10 ? 0 : day < 20 ? 1 : 2};
}

std::map<std::string, std::string> BuildDescriptions(const StarCatalog& catalog) {
    std::map<std::string, Gathered> by;
    for (const ConstellationRow& row : ConstellationTable()) by[row.abbreviation].name = row.name;
    for (const StarRecord& r : catalog.Records()) {
        const std::string abbreviation(r.ConstellationText().substr(0, 3));
        const auto it = by.find(abbreviation);
        if (it == by.end()) continue;
        Gathered& g = it->second;
        if (r.kind == kKindConstellationAnchor) {
            // Serpens has two anchors: its head (the first) stands for it.
            if (!g.hasAnchor) {
                g.anchorRa = r.ra;
                g.anchorDec = r.dec;
                g.hasAnchor = true;
            }
        } else if (r.kind == kKindStar) {
            g.stars.push_back(&r);
        } else if (IsDeepSkyKind(r.kind)) {
            g.deepSky.push_back(&r);
        }
    }
    std::map<std::string, std::string> texts;
    for (auto& [abbreviation, g] : by) {
        const auto brighter = [](const StarRecord* a, const StarRecord* b) { return a->mag < b->mag; };
        std::stable_sort(g.stars.begin(), g.stars.end(), brighter);
        std::stable_sort(g.deepSky.begin(), g.deepSky.end(), brighter);
        texts[abbreviation] = Describe(abbreviation, g);
    }
    return texts;
}

}  // namespace tavik::skydata
