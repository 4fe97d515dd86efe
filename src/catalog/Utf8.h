#pragma once
// UTF-8 one character at a time: the decoder refuses overlong, surrogate and
// cut-off sequences, so that any bytes can be read safely.

#include <cstddef>
#include <string>
#include <string_view>

namespace tavik {

inline constexpr char32_t kInvalidUtf8 = 0;

// Decodes one UTF-8 character at `s[i]` (i < s.size()), moving `i` past it;
// an invalid or cut-off sequence gives kInvalidUtf8 and moves past its first
// byte only.
char32_t DecodeUtf8(std::string_view s, std::size_t& i);

// Appends the UTF-8 bytes of `cp`.
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace tavik
