#include "catalog/Description.h"

#include <fstream>

#include "catalog/RecordFile.h"
#include "catalog/ShiftJis.h"

namespace tavik {

Description ReadDescription(const std::filesystem::path& path) {
    Description d;
    std::ifstream in(path, std::ios::binary);
    if (!in) return d;
    d.found = true;
    std::string bytes(kMaxDescriptionBytes, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        d.unicode = true;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            d.text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                   (static_cast<unsigned char>(bytes[i + 1]) << 8)));
        }
        return d;
    }
    const auto nul = bytes.find('\0');
    if (nul != std::string::npos) bytes.resize(nul);
    d.text = SjisToUtf16(bytes);
    return d;
}

DescriptionWrite WriteDescription(const std::filesystem::path& path, std::u16string_view text, bool unicode) {
    std::string bytes;
    if (unicode) {
        if (text.empty()) return {DescriptionWrite::Unchanged};
        bytes = "\xFF\xFE";
        for (char16_t c : text) {
            bytes.push_back(static_cast<char>(c & 0xFF));
            bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
        }
    } else {
        const auto nul = text.find(u'\0');
        const std::u16string_view kept = text.substr(0, nul);
        if (kept.empty()) return {DescriptionWrite::Unchanged};
        bool exact = true;
        bytes = Utf16ToSjis(kept, &exact);
        if (!exact) return {DescriptionWrite::Unconvertible};
    }
    if (bytes.size() > kMaxStoredDescriptionBytes) return {DescriptionWrite::TooLong};
    if (!WriteFileReplacing(path, bytes)) return {DescriptionWrite::CannotWrite};
    return {DescriptionWrite::Written};
}

std::string DescriptionPath(const std::string& dataDirectory, std::string_view abbreviation,
                            std::string_view extension) {
    return dataDirectory + std::string(abbreviation.substr(0, 3)) + std::string(extension);
}

}  // namespace tavik

namespace tavik {

std::string SpokenDescriptionPath(const std::string& dataDirectory, std::string_view abbreviation) {
    std::string spoken = DescriptionPath(dataDirectory, abbreviation, ".p94");
    std::error_code ec;
    if (std::filesystem::is_regular_file(spoken, ec)) return spoken;
    return DescriptionPath(dataDirectory, abbreviation, ".p91");
}

}  // namespace tavik
