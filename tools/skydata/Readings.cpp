#include "Readings.h"

#include <mecab.h>

#include <memory>
#include <stdexcept>

#include "Corrections.h"
#include "catalog/Utf8.h"

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

bool IsKanji(char32_t cp) { return (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0x3400 && cp <= 0x4DBF) || cp == 0x3005; }

bool HasKanji(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        if (IsKanji(DecodeUtf8(s, i))) return true;
    }
    return false;
}

// Hiragana as katakana; everything else as it is.
std::string Katakana(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        const char32_t cp = DecodeUtf8(s, i);
        AppendUtf8(out, cp >= 0x3041 && cp <= 0x3096 ? cp + 0x60 : cp);
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
