#include "catalog/ShiftJis.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace tavik {

namespace {

// One iconv conversion. On an invalid or incomplete input sequence the
// replacement is appended and the bytes of the offending input character
// (as `skipOnError` measures them) are passed over.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("text conversion unavailable: ") + from + " to " + to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    using SkipFn = std::size_t (*)(const char* at, std::size_t left);

    std::string Run(std::string_view in, std::string_view replacement, SkipFn skipOnError,
                    bool* ok) {
        std::string out;
        out.reserve(in.size() * 2 + 8);
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        std::vector<char> buffer(4096);
        while (inLeft > 0) {
            char* outPtr = buffer.data();
            std::size_t outLeft = buffer.size();
            const std::size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            const int err = errno;
            out.append(buffer.data(), buffer.size() - outLeft);
            if (rc != static_cast<std::size_t>(-1)) continue;
            if (err == E2BIG) continue;
            // EILSEQ or EINVAL: an undecodable or cut-off sequence.
            if (ok) *ok = false;
            out.append(replacement);
            const std::size_t skip = std::min(std::max<std::size_t>(skipOnError(inPtr, inLeft), 1), inLeft);
            inPtr += skip;
            inLeft -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        // Flush any shift state.
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        iconv(cd_, nullptr, nullptr, &outPtr, &outLeft);
        out.append(buffer.data(), buffer.size() - outLeft);
        return out;
    }

private:
    iconv_t cd_;
};

std::string ToUtf16Bytes(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    return bytes;
}

std::u16string FromUtf16Bytes(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    return text;
}

bool IsSjisLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

std::size_t SkipOneByte(const char*, std::size_t) { return 1; }

std::size_t SkipUtf8Char(const char* at, std::size_t left) {
    const auto b = static_cast<unsigned char>(at[0]);
    std::size_t n = b < 0xC2 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : b < 0xF5 ? 4 : 1;
    // Only skip continuation bytes that are really there.
    std::size_t i = 1;
    while (i < n && i < left && (static_cast<unsigned char>(at[i]) & 0xC0) == 0x80) ++i;
    return i;
}

std::size_t SkipUtf16Char(const char* at, std::size_t left) {
    if (left < 2) return left;
    const unsigned hi = static_cast<unsigned char>(at[1]);
    return (hi >= 0xD8 && hi <= 0xDB && left >= 4) ? 4 : 2;
}

}  // namespace

std::string SjisToUtf8(std::string_view sjis) {
    Converter c("UTF-8", "CP932");
    return c.Run(sjis, "\xEF\xBF\xBD", SkipOneByte, nullptr);
}

std::u16string SjisToUtf16(std::string_view sjis) {
    Converter c("UTF-16LE", "CP932");
    return FromUtf16Bytes(c.Run(sjis, std::string_view("\xFD\xFF", 2), SkipOneByte, nullptr));
}

std::string Utf8ToSjis(std::string_view utf8, bool* ok) {
    if (ok) *ok = true;
    Converter c("CP932", "UTF-8");
    return c.Run(utf8, "?", SkipUtf8Char, ok);
}

std::string Utf16ToSjis(std::u16string_view utf16, bool* ok) {
    if (ok) *ok = true;
    Converter c("CP932", "UTF-16LE");
    return c.Run(ToUtf16Bytes(utf16), "?", SkipUtf16Char, ok);
}

std::size_t SjisPrefixLength(std::string_view sjis, std::size_t maxBytes) {
    std::size_t i = 0;
    while (i < sjis.size()) {
        const std::size_t width = IsSjisLeadByte(static_cast<unsigned char>(sjis[i])) ? 2 : 1;
        if (i + width > maxBytes || i + width > sjis.size()) break;
        i += width;
    }
    return i;
}

}  // namespace tavik
