#include "catalog/SearchFold.h"

#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>
#include <utility>

#include "catalog/ConstellationNames.h"
#include "catalog/ConstellationTable.h"
#include "catalog/Utf8.h"

namespace tavik {

namespace {

constexpr char32_t kDrop = 0;


// Half-width katakana U+FF66..FF9D as full-width.
constexpr std::u32string_view kHalfWidthKana =
    U"ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン";
static_assert(kHalfWidthKana.size() == 0xFF9D - 0xFF66 + 1);

// Latin-1 letters U+00C0..00FF without their accents (0: not a letter).
constexpr std::string_view kLatin1Base = std::string_view(
    "aaaaaaaceeeeiiii" "dnooooo\0ouuuuyts"
    "aaaaaaaceeeeiiii" "dnooooo\0ouuuuyty", 64);
static_assert(kLatin1Base.size() == 64);

char32_t LargeKana(char32_t k) {
    switch (k) {
    case U'ァ': case U'ィ': case U'ゥ': case U'ェ': case U'ォ':
    case U'ッ': case U'ャ': case U'ュ': case U'ョ': case U'ヮ':
        return k + 1;
    case U'ヵ': return U'カ';
    case U'ヶ': return U'ケ';
    default: return k;
    }
}

// The kana with a voiced (semi = false) or semi-voiced mark, or 0 for none.
char32_t Voiced(char32_t k, bool semi) {
    const bool hagyo = k >= U'ハ' && k <= U'ホ' && (k - U'ハ') % 3 == 0;
    if (semi) return hagyo ? k + 2 : 0;
    if (hagyo) return k + 1;
    if (k >= U'カ' && k <= U'ヂ' && (k - U'カ') % 2 == 0) return k + 1;
    if (k == U'ツ' || k == U'テ' || k == U'ト') return k + 1;
    if (k == U'ウ') return U'ヴ';
    return 0;
}

// The folded character, kDrop to drop it; voiced marks are handled by the caller.
char32_t FoldChar(char32_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;  // full-width ASCII
    if (c < 0x80) {
        if (c >= 'A' && c <= 'Z') return c - 'A' + 'a';
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return c;
        return kDrop;
    }
    if (c >= 0xC0 && c <= 0xFF) {
        const char base = kLatin1Base[c - 0xC0];
        return base ? static_cast<char32_t>(base) : kDrop;
    }
    if (c >= 0x391 && c <= 0x3A9) return c == 0x3A2 ? kDrop : c + 0x20;  // Greek capitals
    if (c == 0x3C2) return 0x3C3;                                         // final sigma
    if (c >= 0x3B1 && c <= 0x3C9) return c;
    if (c >= 0x3041 && c <= 0x3096) return LargeKana(c + 0x60);  // hiragana
    if (c == 0x309D || c == 0x309E) return c + 0x60;              // ゝゞ
    if (c >= 0xFF66 && c <= 0xFF9D) {
        const char32_t k = kHalfWidthKana[c - 0xFF66];
        return k == U'ー' ? kDrop : LargeKana(k);
    }
    if (c >= 0x30A1 && c <= 0x30FA) return LargeKana(c);
    if (c == 0x30FD || c == 0x30FE) return c;
    if (c >= 0x3005 && c <= 0x3007) return c;  // 々 〆 〇
    // Controls, punctuation and symbols of every block, the long-vowel mark,
    // combining marks, private use, specials and emoji.
    if (c < 0x100 || (c >= 0x300 && c <= 0x36F) || (c >= 0x2000 && c <= 0x2BFF) ||
        (c >= 0x3000 && c <= 0x303F) || (c >= 0x3099 && c <= 0x309C) || c == 0x30FB || c == 0x30FC ||
        (c >= 0xD800 && c <= 0xF8FF) || (c >= 0xFE00 && c <= 0xFE6F) || (c >= 0xFF00 && c <= 0xFF65) ||
        (c >= 0xFF9E && c <= 0xFFFF) || c >= 0x1F000)
        return kDrop;
    return c;
}

bool IsVoicedMark(char32_t c) { return c == 0xFF9E || c == 0x3099 || c == 0x309B; }
bool IsSemiVoicedMark(char32_t c) { return c == 0xFF9F || c == 0x309A || c == 0x309C; }

// --- the Greek rule -----------------------------------------------------------

struct GreekLetter {
    const char* letter;                      // UTF-8, lower case
    std::array<const char*, 5> names;        // ASCII and Japanese spellings; nullptr ends
};

// The catalogue's abbreviations first ("Alp", "PSi"), then what people type.
constexpr std::array<GreekLetter, 24> kGreek = {{
    {"α", {"alp", "alpha", "alf", "アルファ", nullptr}},
    {"β", {"bet", "beta", "ベータ", nullptr, nullptr}},
    {"γ", {"gam", "gamma", "ガンマ", nullptr, nullptr}},
    {"δ", {"del", "delta", "デルタ", nullptr, nullptr}},
    {"ε", {"eps", "epsilon", "イプシロン", "エプシロン", nullptr}},
    {"ζ", {"zet", "zeta", "ゼータ", nullptr, nullptr}},
    {"η", {"eta", "イータ", "エータ", nullptr, nullptr}},
    {"θ", {"the", "theta", "シータ", "テータ", nullptr}},
    {"ι", {"iot", "iota", "イオタ", nullptr, nullptr}},
    {"κ", {"kap", "kappa", "カッパ", nullptr, nullptr}},
    {"λ", {"lam", "lambda", "ラムダ", nullptr, nullptr}},
    {"μ", {"mu", "ミュー", nullptr, nullptr, nullptr}},
    {"ν", {"nu", "ニュー", nullptr, nullptr, nullptr}},
    {"ξ", {"xi", "クシー", "グザイ", nullptr, nullptr}},
    {"ο", {"omi", "omicron", "オミクロン", nullptr, nullptr}},
    {"π", {"pi", "パイ", nullptr, nullptr, nullptr}},
    {"ρ", {"rho", "ロー", nullptr, nullptr, nullptr}},
    {"σ", {"sig", "sigma", "シグマ", nullptr, nullptr}},
    {"τ", {"tau", "タウ", nullptr, nullptr, nullptr}},
    {"υ", {"ups", "upsilon", "ウプシロン", nullptr, nullptr}},
    {"φ", {"phi", "ファイ", nullptr, nullptr, nullptr}},
    {"χ", {"chi", "カイ", nullptr, nullptr, nullptr}},
    {"ψ", {"psi", "プサイ", "プシー", nullptr, nullptr}},
    {"ω", {"ome", "omega", "オメガ", nullptr, nullptr}},
}};

struct FoldTables {
    // Folded spelling -> letter, longest spellings first.
    std::vector<std::pair<std::string, std::string_view>> greek;
    // Folded constellation name -> lower-case abbreviation.
    std::unordered_map<std::string, std::string> constellations;
    std::vector<std::pair<std::string, std::string>> constellationList;  // the same, sorted

    FoldTables() {
        for (const GreekLetter& g : kGreek) {
            greek.emplace_back(FoldCharacters(g.letter), g.letter);
            for (const char* name : g.names)
                if (name) greek.emplace_back(FoldCharacters(name), g.letter);
        }
        std::stable_sort(greek.begin(), greek.end(),
                         [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
        const auto add = [&](std::string_view name, const std::string& abbr) {
            std::string key = FoldCharacters(name);
            if (!key.empty()) constellations.emplace(std::move(key), abbr);
        };
        for (const ConstellationNames& row : ConstellationNameTable()) {
            const std::string abbr = FoldCharacters(row.abbreviation);
            add(row.abbreviation, abbr);
            add(row.latin, abbr);
            add(row.genitive, abbr);
        }
        for (const ConstellationRow& row : ConstellationTable()) {
            const std::string abbr = FoldCharacters(row.abbreviation);
            add(row.name, abbr);
            add(std::string(row.name) + "座", abbr);
        }
        constellationList.assign(constellations.begin(), constellations.end());
        std::sort(constellationList.begin(), constellationList.end());
    }
};

const FoldTables& Tables() {
    static const FoldTables tables;
    return tables;
}

bool AllDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The length of the leading designation part: a Greek spelling that the
// text starts with (each in turn, longest first) or the text's leading digits.
template <class Fn>
void ForEachLead(std::string_view folded, Fn fn) {
    for (const auto& [spelling, letter] : Tables().greek)
        if (folded.starts_with(spelling)) fn(letter, folded.substr(spelling.size()));
    std::size_t digits = 0;
    while (digits < folded.size() && digits < 3 && folded[digits] >= '0' && folded[digits] <= '9') ++digits;
    if (digits > 0 && digits < folded.size() && !(folded[digits] >= '0' && folded[digits] <= '9'))
        fn(folded.substr(0, digits), folded.substr(digits));
}

// --- romaji -------------------------------------------------------------------

// Romaji syllables and their katakana, Hepburn, kunrei-shiki and what input
// methods take besides ("xtu", "la" for the small kana).
struct RomajiTable {
    std::unordered_map<std::string, std::string> kana;
    std::vector<std::pair<std::string, std::string>> sorted;  // the same, by romaji

    RomajiTable() {
        const auto add = [&](std::string romaji, std::string k) { kana.emplace(std::move(romaji), std::move(k)); };
        const char* vowels = "aiueo";
        for (int v = 0; v < 5; ++v) add(std::string(1, vowels[v]), std::array{"ア", "イ", "ウ", "エ", "オ"}[v]);
        // Consonant rows: the five kana, then the i-kana the y-sounds are made of.
        struct Row {
            const char* consonant;
            std::array<const char*, 5> kana;
        };
        constexpr Row rows[] = {
            {"k", {"カ", "キ", "ク", "ケ", "コ"}}, {"g", {"ガ", "ギ", "グ", "ゲ", "ゴ"}},
            {"s", {"サ", "シ", "ス", "セ", "ソ"}}, {"z", {"ザ", "ジ", "ズ", "ゼ", "ゾ"}},
            {"t", {"タ", "チ", "ツ", "テ", "ト"}}, {"d", {"ダ", "ヂ", "ヅ", "デ", "ド"}},
            {"n", {"ナ", "ニ", "ヌ", "ネ", "ノ"}}, {"h", {"ハ", "ヒ", "フ", "ヘ", "ホ"}},
            {"b", {"バ", "ビ", "ブ", "ベ", "ボ"}}, {"p", {"パ", "ピ", "プ", "ペ", "ポ"}},
            {"m", {"マ", "ミ", "ム", "メ", "モ"}}, {"r", {"ラ", "リ", "ル", "レ", "ロ"}},
            {"y", {"ヤ", "イ", "ユ", "イェ", "ヨ"}}, {"w", {"ワ", "ウィ", "ウ", "ウェ", "ヲ"}},
            {"v", {"ヴァ", "ヴィ", "ヴ", "ヴェ", "ヴォ"}}, {"f", {"ファ", "フィ", "フ", "フェ", "フォ"}},
            {"j", {"ジャ", "ジ", "ジュ", "ジェ", "ジョ"}}, {"sh", {"シャ", "シ", "シュ", "シェ", "ショ"}},
            {"ch", {"チャ", "チ", "チュ", "チェ", "チョ"}}, {"cy", {"チャ", "チィ", "チュ", "チェ", "チョ"}},
            {"ts", {"ツァ", "ツィ", "ツ", "ツェ", "ツォ"}}, {"jy", {"ジャ", "ジィ", "ジュ", "ジェ", "ジョ"}},
            {"x", {"ァ", "ィ", "ゥ", "ェ", "ォ"}}, {"l", {"ァ", "ィ", "ゥ", "ェ", "ォ"}},
        };
        for (const Row& row : rows) {
            for (int v = 0; v < 5; ++v) add(row.consonant + std::string(1, vowels[v]), row.kana[v]);
            const std::string_view c = row.consonant;
            if (c.size() == 1 && std::string_view("kgsztdnhbpmr").find(c) != std::string_view::npos) {
                const std::string i = row.kana[1];
                add(std::string(c) + "ya", i + "ャ");
                add(std::string(c) + "yu", i + "ュ");
                add(std::string(c) + "ye", i + "ェ");
                add(std::string(c) + "yo", i + "ョ");
            }
        }
        // Kunrei-shiki and Hepburn spellings that differ from the rows.
        add("shi", "シ"), add("chi", "チ"), add("tsu", "ツ"), add("fu", "フ"), add("ji", "ジ");
        add("si", "シ"), add("ti", "チ"), add("tu", "ツ"), add("hu", "フ"), add("zi", "ジ");
        add("thi", "ティ"), add("dhi", "ディ"), add("twu", "トゥ"), add("dwu", "ドゥ");
        for (const char* small : {"xtu", "ltu", "xtsu", "ltsu"}) add(small, "ッ");
        add("xya", "ャ"), add("xyu", "ュ"), add("xyo", "ョ"), add("lya", "ャ"), add("lyu", "ュ"), add("lyo", "ョ");
        sorted.assign(kana.begin(), kana.end());
        std::sort(sorted.begin(), sorted.end());
    }
};

const RomajiTable& Romaji() {
    static const RomajiTable table;
    return table;
}

bool IsVowel(char c) { return c == 'a' || c == 'i' || c == 'u' || c == 'e' || c == 'o'; }

// Reads `s` (lower-case letters, '\'' between words) from `i` on, with `kana`
// read so far, adding each reading to `out`; `budget` bounds the readings
// tried, so that no text makes it slow.
void ReadRomaji(std::string_view s, std::size_t i, std::string kana, std::vector<RomajiForm>& out, int& budget) {
    const RomajiTable& table = Romaji();
    --budget;
    while (i < s.size()) {
        const char c = s[i];
        const char next = i + 1 < s.size() ? s[i + 1] : '\0';
        if (c == '\'') {
            ++i;
            continue;
        }
        if (c == 'n' && next == 'n') {
            const char after = i + 2 < s.size() ? s[i + 2] : '\0';
            // "nna": ンナ as Hepburn writes it, or ンア as input methods take it.
            if ((IsVowel(after) || after == 'y') && budget > 0) ReadRomaji(s, i + 1, kana + "ン", out, budget);
            kana += "ン";
            i += 2;
            continue;
        }
        if ((c == 'n' && next != '\0' && !IsVowel(next) && next != 'y') ||
            (c == 'm' && (next == 'b' || next == 'p' || next == 'm'))) {
            kana += "ン";  // "antaresu", "kan'i", "shimbun"
            ++i;
            continue;
        }
        if ((c == next && !IsVowel(c) && c != '\'') || (c == 't' && next == 'c' && i + 2 < s.size() && s[i + 2] == 'h')) {
            kana += "ッ";  // "hokkyoku", "matcha"
            ++i;
            continue;
        }
        bool read = false;
        for (std::size_t len = std::min<std::size_t>(4, s.size() - i); len > 0 && !read; --len) {
            const auto it = table.kana.find(std::string(s.substr(i, len)));
            if (it == table.kana.end()) continue;
            kana += it->second;
            i += len;
            read = true;
        }
        if (read) continue;
        // The end of the text may be a syllable being typed: every kana it may become.
        std::string rest;
        for (std::size_t k = i; k < s.size(); ++k)
            if (s[k] != '\'') rest += s[k];
        if (rest == "n") out.push_back({kana + "ン", true});
        auto it = std::lower_bound(table.sorted.begin(), table.sorted.end(), rest,
                                   [](const auto& entry, const std::string& r) { return entry.first < r; });
        for (; it != table.sorted.end() && it->first.starts_with(rest); ++it) out.push_back({kana + it->second, false});
        return;  // nothing begins so: not romaji
    }
    out.push_back({std::move(kana), true});
}

}  // namespace

std::vector<RomajiForm> RomajiForms(std::string_view utf8) {
    if (utf8.size() > kMaxSearchInput) utf8 = utf8.substr(0, kMaxSearchInput);
    const std::string folded = FoldCharacters(utf8);
    if (folded.empty() || !std::all_of(folded.begin(), folded.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
        return {};
    // The letters in lower case, anything else between them a word break.
    std::string s;
    for (std::size_t i = 0; i < utf8.size() && s.size() < kMaxFoldedBytes;) {
        char32_t c = DecodeUtf8(utf8, i);
        if (c >= 0xFF21 && c <= 0xFF5A) c -= 0xFEE0;
        if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
        if (c >= 'a' && c <= 'z') s += static_cast<char>(c);
        else if (!s.empty() && s.back() != '\'') s += '\'';
    }
    std::vector<RomajiForm> read;
    int budget = 8;
    ReadRomaji(s, 0, std::string(), read, budget);
    // Folded, each once; a beginning already offered by a shorter one goes.
    std::vector<RomajiForm> forms;
    for (RomajiForm& f : read) {
        f.kana = FoldCharacters(f.kana);
        if (!f.kana.empty() && std::find(forms.begin(), forms.end(), f) == forms.end()) forms.push_back(std::move(f));
    }
    std::vector<RomajiForm> kept;
    for (const RomajiForm& f : forms) {
        const bool covered = !f.complete && std::any_of(forms.begin(), forms.end(), [&](const RomajiForm& g) {
            return !g.complete && g.kana.size() < f.kana.size() && f.kana.starts_with(g.kana);
        });
        if (!covered && kept.size() < kMaxRomajiForms) kept.push_back(f);
    }
    return kept;
}

std::string FoldCharacters(std::string_view utf8) {
    if (utf8.size() > kMaxSearchInput) utf8 = utf8.substr(0, kMaxSearchInput);
    std::u32string chars;
    chars.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t raw = DecodeUtf8(utf8, i);
        if (IsVoicedMark(raw) || IsSemiVoicedMark(raw)) {
            if (!chars.empty())
                if (const char32_t v = Voiced(chars.back(), IsSemiVoicedMark(raw))) chars.back() = v;
            continue;
        }
        if (const char32_t c = FoldChar(raw)) chars += c;
    }
    std::string out;
    out.reserve(chars.size() * 3);
    for (const char32_t c : chars) {
        const std::size_t before = out.size();
        AppendUtf8(out, c);
        if (out.size() > kMaxFoldedBytes) {
            out.resize(before);
            break;
        }
    }
    return out;
}

std::string FoldForSearch(std::string_view utf8) {
    std::string folded = FoldCharacters(utf8);
    std::string result;
    ForEachLead(folded, [&](std::string_view lead, std::string_view rest) {
        if (!result.empty()) return;
        const auto it = Tables().constellations.find(std::string(rest));
        if (it != Tables().constellations.end()) result = std::string(lead) + it->second;
    });
    return result.empty() ? folded : result;
}

std::vector<std::string> GreekPrefixForms(std::string_view folded) {
    constexpr std::size_t kMaxForms = 16;
    std::vector<std::string> forms;
    const auto add = [&](std::string form) {
        if (forms.size() < kMaxForms && form != folded &&
            std::find(forms.begin(), forms.end(), form) == forms.end())
            forms.push_back(std::move(form));
    };
    const auto& list = Tables().constellationList;
    ForEachLead(folded, [&](std::string_view lead, std::string_view rest) {
        if (rest.empty()) {
            if (!AllDigits(lead)) add(std::string(lead));
            return;
        }
        auto it = std::lower_bound(list.begin(), list.end(), rest,
                                   [](const auto& entry, std::string_view r) { return entry.first < r; });
        for (; it != list.end() && std::string_view(it->first).starts_with(rest); ++it)
            add(std::string(lead) + it->second);
    });
    return forms;
}

std::string_view ConstellationForFolded(std::string_view folded) {
    const auto it = Tables().constellations.find(std::string(folded));
    return it == Tables().constellations.end() ? std::string_view() : std::string_view(it->second);
}

std::string_view GreekLetterForAbbreviation(std::string_view abbreviation) {
    if (abbreviation.empty() || abbreviation[0] == ' ' || abbreviation[0] == '\0') return {};
    std::string key;
    for (const char c : abbreviation.substr(0, 3))
        if (c != ' ') key += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    for (const GreekLetter& g : kGreek)
        if (key == g.names[0]) return g.letter;
    return {};
}

}  // namespace tavik
