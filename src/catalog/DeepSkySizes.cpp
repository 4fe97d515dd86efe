#include "catalog/DeepSkySizes.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <fstream>
#include <system_error>
#include <vector>

#include "catalog/ByteOrder.h"
#include "catalog/RecordFile.h"

namespace tavik {

namespace {

bool Fail(std::string* error, const char* text) {
    if (error) *error = text;
    return false;
}

float GetF32(const unsigned char* p) { return std::bit_cast<float>(le::GetU32(p)); }
void PutF32(std::string& out, float v) { le::PutU32(out, std::bit_cast<std::uint32_t>(v)); }

}  // namespace

void DeepSkySizes::Set(std::string_view designation, DeepSkySize size) {
    sizes_[std::string(designation)] = size;
}

const DeepSkySize* DeepSkySizes::Find(std::string_view designation) const {
    const auto it = sizes_.find(std::string(designation));
    return it == sizes_.end() ? nullptr : &it->second;
}

bool DeepSkySizes::SoundSize(const DeepSkySize& s) {
    return std::isfinite(s.majorArcmin) && std::isfinite(s.minorArcmin) && std::isfinite(s.positionAngleDeg) &&
           s.minorArcmin > 0.0f && s.minorArcmin <= s.majorArcmin && s.majorArcmin <= kMaxArcmin &&
           s.positionAngleDeg >= 0.0f && s.positionAngleDeg < 360.0f;
}

bool DeepSkySizes::SoundDesignation(std::string_view d) {
    return !d.empty() && d.size() < kDesignationBytes && d.find('\0') == std::string_view::npos;
}

std::string DeepSkySizes::Bytes() const {
    std::vector<const std::pair<const std::string, DeepSkySize>*> entries;
    for (const auto& e : sizes_) {
        if (SoundDesignation(e.first) && SoundSize(e.second)) entries.push_back(&e);
    }
    std::sort(entries.begin(), entries.end(), [](const auto* a, const auto* b) { return a->first < b->first; });
    std::string out(kMagic, sizeof kMagic);
    le::PutU32(out, kVersion);
    le::PutU32(out, static_cast<std::uint32_t>(entries.size()));
    for (const auto* e : entries) {
        std::string designation = e->first;
        designation.resize(kDesignationBytes, '\0');
        out += designation;
        PutF32(out, e->second.majorArcmin);
        PutF32(out, e->second.minorArcmin);
        PutF32(out, e->second.positionAngleDeg);
    }
    return out;
}

bool DeepSkySizes::Parse(std::string_view bytes, std::string* error) {
    sizes_.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() < kHeaderBytes || !std::equal(kMagic, kMagic + sizeof kMagic, bytes.data()))
        return Fail(error, "not a size file");
    if (le::GetU32(p + 4) != kVersion) return Fail(error, "unknown size file version");
    const std::uint64_t count = le::GetU32(p + 8);
    if (count * kEntryBytes != bytes.size() - kHeaderBytes) return Fail(error, "size file length disagrees with its count");
    std::unordered_map<std::string, DeepSkySize> read;
    read.reserve(static_cast<std::size_t>(count));
    std::string_view previous;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = kHeaderBytes + i * kEntryBytes;
        const std::string_view field = bytes.substr(at, kDesignationBytes);
        const std::string_view designation = field.substr(0, field.find('\0'));
        // One NUL at least, and only NULs after the designation.
        if (!SoundDesignation(designation) ||
            field.find_first_not_of('\0', designation.size()) != std::string_view::npos)
            return Fail(error, "size file entry with a damaged designation");
        if (i > 0 && !(previous < designation)) return Fail(error, "size file entries out of order");
        previous = designation;
        const DeepSkySize size{GetF32(p + at + kDesignationBytes), GetF32(p + at + kDesignationBytes + 4),
                               GetF32(p + at + kDesignationBytes + 8)};
        if (!SoundSize(size)) return Fail(error, "size file entry with an unsound size");
        read.emplace(designation, size);
    }
    sizes_ = std::move(read);
    return true;
}

bool DeepSkySizes::LoadFile(const std::filesystem::path& path, std::string* error) {
    sizes_.clear();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return true;  // no file: no sizes
    if (!std::filesystem::is_regular_file(path, ec)) return Fail(error, "size file is not a file");
    const auto length = std::filesystem::file_size(path, ec);
    if (ec) return Fail(error, "size file cannot be read");
    if (length > kMaxFileBytes) return Fail(error, "size file too large");
    std::ifstream in(path, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())) || in.peek() != std::char_traits<char>::eof())
        return Fail(error, "size file cannot be read");
    return Parse(bytes, error);
}

bool DeepSkySizes::SaveFile(const std::filesystem::path& path) const { return WriteFileReplacing(path, Bytes()); }

}  // namespace tavik
