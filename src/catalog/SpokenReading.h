#pragma once
// The kana pronunciation of Japanese text, for the speech program: a speech
// program without kanji readings is handed what a reader would say.
//
// Words come from MeCab with its default dictionary (IPAdic in UTF-8, as set
// up by /etc/mecabrc or $MECABRC); each word is replaced by its pronunciation
// field, so that the particle は becomes ワ and 等 after a number トー. Words
// the dictionary does not know keep their kana; numbers, Latin letters and
// signs are read in Japanese by the rules of ReadAsciiRun. Line breaks and
// punctuation stay where they were.
//
// An object is used by one thread at a time; the dictionary is loaded by the
// constructor. When MeCab or its dictionary is missing, Kana hands the text
// back unchanged and the first such object of the program says so once on
// standard error.

#include <memory>
#include <string>
#include <string_view>

namespace tavik {

class SpokenReading {
public:
    SpokenReading();
    ~SpokenReading();
    SpokenReading(const SpokenReading&) = delete;
    SpokenReading& operator=(const SpokenReading&) = delete;

    // False when the dictionary could not be loaded.
    bool Available() const { return mecab_ != nullptr; }
    // The pronunciation of UTF-8 text in katakana; the text itself when not Available().
    std::string Kana(std::string_view utf8) const;

private:
    struct MeCab;
    std::unique_ptr<MeCab> mecab_;
};

// The Japanese reading of a run of ASCII characters without blanks, such as
// "M42", "NGC1980", "-0.5" or "Ori": numbers as Japanese numerals ("42" ヨンジュウニ,
// "." between digits テン, a leading "-" マイナス, "+" プラス), letters by
// their names ("N" エヌ), other signs left out. `counter` is the word that
// follows (such as "月", "時", "個", "等"): a whole number before it takes
// the sound change it calls for ("4" before "月" シ, "1" before "個" イッ).
std::string ReadAsciiRun(std::string_view run, std::string_view counter = {});

}  // namespace tavik
