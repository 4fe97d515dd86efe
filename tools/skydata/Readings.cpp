#include "Readings.h"

#include <mecab.h>

#include <memory>
#include <stdexcept>

#include "Corrections.h"

namespace tavik::skydata {

namespace {

// IPAdic's reading field (読み): "セイウン", not the pronunciation "セーウン",
// since a person types what is written.
constexpr int kReadingField = 7;

std::string Field(const char* feature, int index) {
    int field = 0;
    std::string value;
    for (const char* p = feature; *p; ++p) {
        if (*p != ',') {
            value += *p;
            continue;
        }
        if (field++ == index) return value;
        value.clear();
    }
    return field == index ? value : std::string();
}

// Code points of a UTF-8 text (the names are clean UTF-8).
char32_t Next(std::string_view s, std::size_t& i) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    char32_t cp = n == 1 ? c : c & (0x3F >> (n - 1));
    for (std::size_t k = 1; k < n && i + k < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    i += n;
    return cp;
}

void Put(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsKanji(char32_t cp) { return (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0x3400 && cp <= 0x4DBF) || cp == 0x3005; }

bool HasKanji(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        if (IsKanji(Next(s, i))) return true;
    }
    return false;
}

// Hiragana as katakana; everything else as it is.
std::string Katakana(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        const char32_t cp = Next(s, i);
        Put(out, cp >= 0x3041 && cp <= 0x3096 ? cp + 0x60 : cp);
    }
    return out;
}

struct Tagger {
    mecab_t* mecab = nullptr;
    Tagger() : mecab(mecab_new2("")) {
        if (!mecab) throw std::runtime_error(std::string("MeCab: ") + mecab_strerror(nullptr));
    }
    ~Tagger() { mecab_destroy(mecab); }
};

}  // namespace

std::string KanaReading(std::string_view name) {
    if (!HasKanji(name)) return {};
    if (const char* fixed = ReadingCorrection(name)) return fixed;
    static Tagger tagger;
    const std::string text(name);
    const mecab_node_t* node = mecab_sparse_tonode(tagger.mecab, text.c_str());
    if (!node) throw std::runtime_error(std::string("MeCab: ") + mecab_strerror(tagger.mecab));
    std::string out;
    for (; node; node = node->next) {
        if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE) continue;
        const std::string_view surface(node->surface, node->length);
        std::string reading = node->stat == MECAB_UNK_NODE ? std::string() : Field(node->feature, kReadingField);
        if (reading.empty() || reading == "*") {
            if (HasKanji(surface)) return {};  // a word it cannot read
            reading = Katakana(surface);
        }
        out += reading;
    }
    return out;
}

}  // namespace tavik::skydata
