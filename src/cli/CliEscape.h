#pragma once
// How tavik-cli writes record fields on one line: fixed byte fields with
// printable ASCII kept and every other byte (and the backslash) as \xNN,
// trailing NUL padding left off; UTF-8 text with control characters and the
// backslash escaped the same way.

#include <cstddef>
#include <string>
#include <string_view>

namespace tavik::cli {

std::string EscapeBytes(const char* field, std::size_t size);
std::string EscapeText(std::string_view text);

}  // namespace tavik::cli
