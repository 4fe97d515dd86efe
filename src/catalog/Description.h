#pragma once
// Constellation description files (abbreviation + ".p91" in the data
// directory, and the optional spoken variant ".p94"): UTF-16LE text after the
// mark FF FE, or Shift-JIS text without a mark.

#include <filesystem>
#include <string>
#include <string_view>

namespace tavik {

struct Description {
    bool found = false;    // the file could be opened
    bool unicode = false;  // the file is UTF-16 (starts with FF FE)
    std::u16string text;
};

// Reads a description; a file that does not open yields found false and no
// text. Shift-JIS text ends at its first NUL; bytes that do not convert are
// replaced. Files larger than kMaxDescriptionBytes are read up to that size.
inline constexpr std::size_t kMaxDescriptionBytes = 1 << 20;
Description ReadDescription(const std::filesystem::path& path);

// Writes a description: with `unicode` FF FE and the UTF-16LE characters
// (no terminator); otherwise the Shift-JIS form of the text up to its first
// NUL. The file is replaced only once the new contents are written.
bool WriteDescription(const std::filesystem::path& path, std::u16string_view text, bool unicode);

// data directory + abbreviation + extension (".p91" or ".p94").
std::string DescriptionPath(const std::string& dataDirectory, std::string_view abbreviation,
                            std::string_view extension);

}  // namespace tavik
