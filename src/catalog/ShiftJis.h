#pragma once
// Conversion between the Shift-JIS (code page 932) text stored in Tavik's data
// files and the UTF-8 / UTF-16 text used everywhere else. Bytes that cannot be
// converted never stop a conversion: an undecodable Shift-JIS byte becomes
// U+FFFD, and a character with no code-page-932 form becomes "?".

#include <string>
#include <string_view>

namespace tavik {

std::string SjisToUtf8(std::string_view sjis);
std::u16string SjisToUtf16(std::string_view sjis);

// `ok`, when given, is set to false if any character had to be replaced.
std::string Utf8ToSjis(std::string_view utf8, bool* ok = nullptr);
std::string Utf16ToSjis(std::u16string_view utf16, bool* ok = nullptr);

// The number of leading bytes of `sjis` that form whole characters and are at
// most `maxBytes` long: cutting there never splits a double-byte character.
std::size_t SjisPrefixLength(std::string_view sjis, std::size_t maxBytes);

}  // namespace tavik
