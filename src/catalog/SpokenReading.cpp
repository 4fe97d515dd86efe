#include "catalog/SpokenReading.h"

#include <cstdio>
#include <mutex>
#include <vector>

#if TAVIK_HAVE_MECAB
#include <mecab.h>
#endif

namespace tavik {

namespace {

const char* const kDigits[] = {"レイ", "イチ", "ニ", "サン", "ヨン", "ゴ", "ロク", "ナナ", "ハチ", "キュウ"};

const char* const kLetters[] = {"エー",     "ビー",   "シー", "ディー",   "イー", "エフ", "ジー",
                                "エイチ",   "アイ",   "ジェー", "ケー",   "エル", "エム", "エヌ",
                                "オー",     "ピー",   "キュー", "アール", "エス", "ティー", "ユー",
                                "ブイ",     "ダブリュー", "エックス", "ワイ", "ゼット"};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// 1 to 9999, with the sound changes of 300, 600, 800, 3000 and 8000.
std::string BelowTenThousand(int n) {
    std::string s;
    const int thousands = n / 1000, hundreds = n / 100 % 10, tens = n / 10 % 10, ones = n % 10;
    if (thousands == 1) s += "セン";
    else if (thousands == 3) s += "サンゼン";
    else if (thousands == 8) s += "ハッセン";
    else if (thousands) s += std::string(kDigits[thousands]) + "セン";
    if (hundreds == 1) s += "ヒャク";
    else if (hundreds == 3) s += "サンビャク";
    else if (hundreds == 6) s += "ロッピャク";
    else if (hundreds == 8) s += "ハッピャク";
    else if (hundreds) s += std::string(kDigits[hundreds]) + "ヒャク";
    if (tens) s += std::string(tens == 1 ? "" : kDigits[tens]) + "ジュウ";
    if (ones) s += kDigits[ones];
    return s;
}

std::string DigitByDigit(std::string_view digits) {
    std::string s;
    for (char c : digits) s += kDigits[c - '0'];
    return s;
}

// A whole number as a Japanese numeral; very long numbers and numbers written
// with leading zeros are read digit by digit, as one reads a code.
std::string WholeNumber(std::string_view digits) {
    if (digits.size() > 12 || (digits.size() > 1 && digits[0] == '0')) return DigitByDigit(digits);
    unsigned long long value = 0;
    for (char c : digits) value = value * 10 + static_cast<unsigned>(c - '0');
    if (value == 0) return kDigits[0];
    static const char* const kUnits[] = {"", "マン", "オク"};
    std::string s;
    for (int group = 2; group >= 0; --group) {
        unsigned long long scale = 1;
        for (int i = 0; i < group; ++i) scale *= 10000;
        const int part = static_cast<int>(value / scale % 10000);
        if (part) s += BelowTenThousand(part) + kUnits[group];
    }
    return s;
}

// Sound changes of a whole number before a counter word: 4月 シガツ, 9時 クジ, 1個 イッコ.
struct SoundChange {
    std::string_view counter, from, to;
};
constexpr SoundChange kSoundChanges[] = {
    {"月", "ヨン", "シ"},     {"月", "ナナ", "シチ"},   {"月", "キュウ", "ク"},   {"時", "ヨン", "ヨ"},
    {"時", "ナナ", "シチ"},   {"時", "キュウ", "ク"},   {"個", "イチ", "イッ"},   {"個", "ロク", "ロッ"},
    {"個", "ハチ", "ハッ"},   {"個", "ジュウ", "ジュッ"}, {"個", "ヒャク", "ヒャッ"}, {"等", "イチ", "イッ"},
    {"等", "ハチ", "ハッ"},   {"等", "ジュウ", "ジュッ"},
};

std::string BeforeCounter(std::string number, std::string_view counter) {
    for (const SoundChange& c : kSoundChanges) {
        if (counter.substr(0, c.counter.size()) != c.counter) continue;
        if (number.size() >= c.from.size() && number.compare(number.size() - c.from.size(), c.from.size(), c.from) == 0) {
            number.replace(number.size() - c.from.size(), c.from.size(), c.to);
            break;
        }
    }
    return number;
}

// ReadAsciiRun; `wholeAtEnd` tells whether the run ends in a whole number.
std::string ReadRun(std::string_view run, std::string_view counter, bool* wholeAtEnd) {
    std::string out;
    *wholeAtEnd = false;
    for (std::size_t i = 0; i < run.size();) {
        const char c = run[i];
        if (IsDigit(c)) {
            std::size_t j = i;
            while (j < run.size() && IsDigit(run[j])) ++j;
            std::string number = WholeNumber(run.substr(i, j - i));
            if (j + 1 < run.size() && run[j] == '.' && IsDigit(run[j + 1])) {
                std::size_t k = j + 1;
                while (k < run.size() && IsDigit(run[k])) ++k;
                out += number + "テン" + DigitByDigit(run.substr(j + 1, k - j - 1));
                i = k;
                *wholeAtEnd = false;
                continue;
            }
            *wholeAtEnd = j == run.size();
            out += *wholeAtEnd ? BeforeCounter(std::move(number), counter) : number;
            i = j;
            continue;
        }
        *wholeAtEnd = false;
        const bool sign = (c == '-' || c == '+') && i + 1 < run.size() && IsDigit(run[i + 1]) &&
                          (i == 0 || !(IsDigit(run[i - 1]) || IsLetter(run[i - 1])));
        if (sign) out += c == '-' ? "マイナス" : "プラス";
        else if (IsLetter(c)) {
            // Letter names apart: the speech program spells runs such as ブイイーエル.
            if (i > 0 && IsLetter(run[i - 1])) out += ' ';
            out += kLetters[(c | 0x20) - 'a'];
        }
        else if (c == '%') out += "パーセント";
        else if (c == '&') out += "アンド";
        ++i;
    }
    return out;
}

bool IsAsciiWord(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (c <= ' ' || c > '~') return false;
    }
    return true;
}

// Field `index` of a MeCab feature (comma-separated, fields with commas quoted).
std::string FeatureField(const char* feature, int index) {
    int field = 0;
    std::string value;
    bool quoted = false;
    for (const char* p = feature; *p; ++p) {
        if (*p == '"') {
            quoted = !quoted;
        } else if (*p == ',' && !quoted) {
            if (field == index) return value;
            ++field;
            value.clear();
        } else {
            value += *p;
        }
    }
    return field == index ? value : std::string();
}

// Hiragana turned into katakana, everything else kept: the words the
// dictionary does not know, in the script of the words it knows.
std::string Katakana(std::string_view utf8) {
    std::string out(utf8);
    for (std::size_t i = 0; i + 2 < out.size(); ++i) {
        const auto b0 = static_cast<unsigned char>(out[i]), b1 = static_cast<unsigned char>(out[i + 1]);
        const auto b2 = static_cast<unsigned char>(out[i + 2]);
        const unsigned code = ((b0 & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
        if (b0 != 0xE3 || code < 0x3041 || code > 0x3096) continue;  // ぁ..ゖ
        const unsigned k = code + 0x60;
        out[i + 1] = static_cast<char>(0x80 | ((k >> 6) & 0x3F));
        out[i + 2] = static_cast<char>(0x80 | (k & 0x3F));
        i += 2;
    }
    return out;
}

void ReplaceAll(std::string& s, std::string_view from, std::string_view to) {
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
}

}  // namespace

std::string ReadAsciiRun(std::string_view run, std::string_view counter) {
    bool whole = false;
    return ReadRun(run, counter, &whole);
}

#if TAVIK_HAVE_MECAB

struct SpokenReading::MeCab {
    mecab_model_t* model = nullptr;
    mecab_t* tagger = nullptr;
    mecab_lattice_t* lattice = nullptr;
    ~MeCab() {
        if (lattice) mecab_lattice_destroy(lattice);
        if (tagger) mecab_destroy(tagger);
        if (model) mecab_model_destroy(model);
    }
};

namespace {

// IPAdic's pronunciation field; unknown words have none.
constexpr int kPronunciationField = 8;

bool Utf8Dictionary(mecab_t* m) {
    const mecab_dictionary_info_t* info = mecab_dictionary_info(m);
    if (!info || !info->charset) return false;
    std::string charset;
    for (const char* p = info->charset; *p; ++p) charset += static_cast<char>(*p | 0x20);
    return charset == "utf8" || charset == "utf-8";
}

bool IsAsciiByte(char c) { return c > ' ' && c <= '~'; }

// Words never run across the ends of an ASCII run, and a kanji right after a
// number is a word of its own (the counter of 1月, 9時, 6個): otherwise the
// dictionary may join it with what follows (1月下旬 read as 1・月下・旬).
void SetBoundaries(mecab_lattice_t* lattice, std::string_view line) {
    for (std::size_t i = 0; i < line.size();) {
        if (!IsAsciiByte(line[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < line.size() && IsAsciiByte(line[end])) ++end;
        if (i > 0) mecab_lattice_set_boundary_constraint(lattice, i, MECAB_TOKEN_BOUNDARY);
        if (end < line.size()) mecab_lattice_set_boundary_constraint(lattice, end, MECAB_TOKEN_BOUNDARY);
        const auto lead = static_cast<unsigned char>(end < line.size() ? line[end] : 0);
        if (IsDigit(line[end - 1]) && lead >= 0xE4 && lead <= 0xE9 && end + 3 < line.size())  // U+4E00..U+9FFF
            mecab_lattice_set_boundary_constraint(lattice, end + 3, MECAB_TOKEN_BOUNDARY);
        i = end;
    }
}

// One line (no line breaks) of text.
std::string ReadLine(mecab_t* tagger, mecab_lattice_t* lattice, std::string_view line) {
    mecab_lattice_set_sentence2(lattice, line.data(), line.size());
    SetBoundaries(lattice, line);
    if (!mecab_parse_lattice(tagger, lattice)) return std::string(line);
    std::string out;
    std::string run;  // ASCII words that follow each other without a blank
    auto flushRun = [&](std::string_view next) {
        bool whole = false;
        if (!run.empty()) out += ReadRun(run, next, &whole);
        run.clear();
        return whole;
    };
    bool afterLetter = false;  // a letter of the dictionary, such as α
    for (const mecab_node_t* node = mecab_lattice_get_bos_node(lattice); node; node = node->next) {
        if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE) continue;
        const std::string_view surface(node->surface, node->length);
        if (node->rlength > node->length) {  // blanks before the word
            flushRun({});
            if (!out.empty()) out += ' ';
        }
        if (IsAsciiWord(surface)) {
            run += surface;
            continue;
        }
        const bool afterWholeNumber = flushRun(surface);
        std::string reading = FeatureField(node->feature, kPronunciationField);
        if (reading.empty() || reading == "*") reading = Katakana(surface);
        if (afterWholeNumber && surface == "月") reading = "ガツ";  // the month, not the moon
        if (afterLetter && surface == "星") reading = "セイ";      // α星 アルファセイ
        afterLetter = FeatureField(node->feature, 1) == "アルファベット";
        out += reading;
    }
    flushRun({});
    return out;
}

}  // namespace

SpokenReading::SpokenReading() {
    auto m = std::make_unique<MeCab>();
    m->model = mecab_model_new2("");
    std::string why;
    if (m->model) {
        m->tagger = mecab_model_new_tagger(m->model);
        m->lattice = mecab_model_new_lattice(m->model);
    }
    if (!m->tagger || !m->lattice) {
        why = mecab_strerror(nullptr);
    } else if (!Utf8Dictionary(m->tagger)) {
        why = "the dictionary is not UTF-8";
    } else {
        mecab_ = std::move(m);
        return;
    }
    static std::once_flag said;
    std::call_once(said, [&] {
        std::fprintf(stderr, "tavik: 読みの辞書（MeCab）が使えないため、説明はそのまま音声プログラムに渡します (%s)\n",
                     why.c_str());
    });
}

std::string SpokenReading::Kana(std::string_view utf8) const {
    if (!mecab_) return std::string(utf8);
    std::string out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = utf8.find_first_of("\r\n", start);
        const std::string_view line = utf8.substr(start, end == std::string_view::npos ? end : end - start);
        if (!line.empty()) out += ReadLine(mecab_->tagger, mecab_->lattice, line);
        if (end == std::string_view::npos) break;
        out += utf8[end];
        start = end + 1;
    }
    // A middle dot between katakana makes the speech program spell the word.
    ReplaceAll(out, "・", "、");
    return out;
}

#else  // built without MeCab

struct SpokenReading::MeCab {};

SpokenReading::SpokenReading() {
    static std::once_flag said;
    std::call_once(said, [] {
        std::fprintf(stderr, "tavik: 読みの辞書（MeCab）なしで作られたため、説明はそのまま音声プログラムに渡します\n");
    });
}

std::string SpokenReading::Kana(std::string_view utf8) const { return std::string(utf8); }

#endif

SpokenReading::~SpokenReading() = default;

}  // namespace tavik
