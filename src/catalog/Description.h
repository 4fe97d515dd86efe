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

// The most bytes a description file may hold: its length is read as a signed
// 16-bit number.
inline constexpr std::size_t kMaxStoredDescriptionBytes = 32767;

// What WriteDescription did. It converts to true only when the file was written.
struct DescriptionWrite {
    enum Status {
        Written,
        Unchanged,      // the text is empty: the file is left as it was
        TooLong,        // more than kMaxStoredDescriptionBytes bytes: not written
        Unconvertible,  // Shift-JIS chosen, but a character has no Shift-JIS form: not written
        CannotWrite,    // the file could not be written; the old one is kept
    };
    Status status = Written;
    explicit operator bool() const { return status == Written; }
};

// Writes a description: with `unicode` FF FE and the UTF-16LE characters
// (no terminator); otherwise the Shift-JIS form of the text up to its first
// NUL, however long (within the file's limit). The file is replaced only once
// the new contents are written, and never by an empty or lossy text: an empty
// text, one over the size limit, or (in Shift-JIS) one with characters that
// Shift-JIS cannot hold leaves the old file untouched.
DescriptionWrite WriteDescription(const std::filesystem::path& path, std::u16string_view text, bool unicode);

// data directory + abbreviation + extension (".p91" or ".p94").
std::string DescriptionPath(const std::string& dataDirectory, std::string_view abbreviation,
                            std::string_view extension);

// The file read aloud: data directory + abbreviation + ".p94" when that file
// exists, else the ".p91" file.
std::string SpokenDescriptionPath(const std::string& dataDirectory, std::string_view abbreviation);

}  // namespace tavik
