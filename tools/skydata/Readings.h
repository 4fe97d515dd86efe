#pragma once
// Kana readings of the Japanese names that hold kanji, so that the name
// search finds "北極星" from "ほっきょくせい". MeCab with IPAdic (UTF-8) gives
// each word's reading; Corrections.h mends the names it misreads.

#include <string>
#include <string_view>

namespace tavik::skydata {

// The reading of a UTF-8 name in katakana (Latin letters, digits and signs
// kept), or "" when the name holds no kanji (its kana are its reading) or a
// word with kanji that the dictionary does not know. Throws when MeCab or its
// dictionary cannot be loaded, so that the names file is never made without.
std::string KanaReading(std::string_view name);

}  // namespace tavik::skydata
