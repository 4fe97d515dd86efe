#pragma once
// Folding of what a person types and of the names it should find, so that
// the two compare as a Japanese reader expects: case, blanks and punctuation
// ignored; full-width and half-width letters and digits one; hiragana,
// katakana and half-width katakana one; the long-vowel mark and small kana
// folded; Greek letters, their names and their three-letter abbreviations one.
//
// The rules, in order, character by character:
//  - full-width ASCII (U+FF01..FF5E) is ASCII, the ideographic space a blank;
//    Latin letters with accents lose them ("Boötes" = "bootes");
//  - ASCII letters are lower case, Greek letters lower case (final sigma σ);
//  - blanks, punctuation, symbols and control characters are dropped: what
//    stays are letters, digits, kana, kanji and Greek letters;
//  - hiragana is katakana; half-width katakana is full-width, its voiced and
//    semi-voiced marks joined to the kana before them (ﾍﾞ = ベ), as are the
//    combining marks U+3099/309A and the spacing ones ゛゜;
//  - small kana are large (ァ = ア, ッ = ツ, ャ = ヤ, ヵ = カ); voiced marks are
//    kept (ガ is not カ);
//  - the long-vowel mark ー (ｰ, 〜, ～ and the dashes as typed too) is
//    dropped, so "アンタレース" finds アンタレス.
// Then the Greek rule on the whole text: a Greek letter, its name ("alpha",
// "アルファ") or its abbreviation ("alf", "alp", "bet" ... "ome") followed by
// nothing but a constellation's abbreviation, Latin genitive, Latin name or
// Japanese name (with or without 座) becomes the letter and the lower-case
// abbreviation: "Alpha Orionis" = "alf Ori" = "α Ori" = "αori"; a number so
// followed is a Flamsteed designation: "58 Orionis" = "58ori".

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// Only the first kMaxSearchInput bytes of a text are folded, and a folded
// text is cut to kMaxFoldedBytes (whole characters): a person never types
// more, and every caller stays fast on any input.
inline constexpr std::size_t kMaxSearchInput = 1024;
inline constexpr std::size_t kMaxFoldedBytes = 256;

// The folded form of UTF-8 text (itself UTF-8). Invalid bytes are dropped;
// any input gives a result in time linear in its length.
std::string FoldForSearch(std::string_view utf8);

// The character rules alone, without the Greek rule.
std::string FoldCharacters(std::string_view utf8);

// The forms a query being typed is looked up under, besides its folded
// form: a Greek letter name or abbreviation followed by the beginning of a
// constellation name ("alpha or", "alf u") gives the letter and every
// constellation that begins so ("αori"); one standing alone ("alpha", "tau")
// gives the letter. Each form is at most as good as a prefix match.
std::vector<std::string> GreekPrefixForms(std::string_view folded);

// The lower-case three-letter abbreviation of a constellation for a folded
// abbreviation, Latin genitive, Latin name or Japanese name (with or without
// 座), or "" for none.
std::string_view ConstellationForFolded(std::string_view folded);

// The Greek letter (UTF-8, lower case) of a Bayer abbreviation as the
// catalogue spells it ("Alp", "PSi", "Mu "), or "" for none.
std::string_view GreekLetterForAbbreviation(std::string_view abbreviation);

}  // namespace tavik
