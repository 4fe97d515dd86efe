#include "cli/CliEscape.h"

namespace tavik::cli {

namespace {

void AppendEscaped(std::string& out, unsigned char c) {
    static const char kHex[] = "0123456789abcdef";
    out += "\\x";
    out.push_back(kHex[c >> 4]);
    out.push_back(kHex[c & 15]);
}

}  // namespace

// Fixed byte field: printable ASCII kept, backslash and everything else escaped.
std::string EscapeBytes(const char* field, std::size_t size) {
    while (size > 0 && field[size - 1] == '\0') --size;
    std::string out;
    for (std::size_t i = 0; i < size; ++i) {
        const auto c = static_cast<unsigned char>(field[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out.push_back(static_cast<char>(c));
        } else {
            AppendEscaped(out, c);
        }
    }
    return out;
}

// UTF-8 text: control characters and the backslash escaped so a line stays a line.
std::string EscapeText(std::string_view text) {
    std::string out;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || c == '\\') {
            AppendEscaped(out, c);
        } else {
            out.push_back(ch);
        }
    }
    return out;
}

}  // namespace tavik::cli
