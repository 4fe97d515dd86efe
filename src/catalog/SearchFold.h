#pragma once
// Folding of what a person types and of the names it should find, so that
// the two compare as a Japanese reader expects: case, blanks and punctuation
// ignored; full-width and half-width letters and digits one; hiragana,
// katakana and half-width katakana one; the long-vowel mark and small kana
// folded; Greek letters, their names and their three-letter abbreviations one.

#include <string>
#include <string_view>

namespace tavik {

// The folded form of UTF-8 text (itself UTF-8). Invalid bytes are dropped;
// any input gives a result in time linear in its length.
std::string FoldForSearch(std::string_view utf8);

}  // namespace tavik
