#include "catalog/LineFile.h"

#include <cstring>
#include <new>
#include <stdexcept>
#include <system_error>

#include "catalog/ByteOrder.h"

namespace tavik {

namespace {

constexpr std::size_t kCountsAt = 600;
constexpr std::size_t kCodesAt = 900;
constexpr std::size_t kRaAt = 1500;
constexpr std::size_t kDecAt = 2100;

const unsigned char* Bytes(std::string_view s) { return reinterpret_cast<const unsigned char*>(s.data()); }

bool IndexAccepted(std::string_view index) {
    return index.size() >= kLineFileIndexBytes && std::memcmp(index.data(), "And", 3) == 0;
}

struct SlotEntry {
    int count;
    std::int64_t codes, ra, dec;
};

// Finds the slot and checks its count and offsets against the file size.
bool FindSlot(std::string_view index, std::string_view abbreviation, std::uint64_t fileSize, SlotEntry& entry) {
    if (abbreviation.size() < 3) return false;
    const unsigned char* p = Bytes(index);
    for (int slot = 0; slot < kLineFileSlots; ++slot) {
        if (std::memcmp(p + 4 * slot, abbreviation.data(), 3) != 0) continue;
        entry.count = le::GetI16(p + kCountsAt + 2 * slot);
        entry.codes = le::GetI32(p + kCodesAt + 4 * slot);
        entry.ra = le::GetI32(p + kRaAt + 4 * slot);
        entry.dec = le::GetI32(p + kDecAt + 4 * slot);
        if (entry.count < 0 || entry.count > kMaxConstellationPoints) return false;
        const auto n = static_cast<std::int64_t>(entry.count);
        const auto size = static_cast<std::int64_t>(fileSize);
        auto inside = [&](std::int64_t at, std::int64_t width) { return at >= 0 && at + n * width <= size; };
        return inside(entry.codes, 4) && inside(entry.ra, 8) && inside(entry.dec, 8);
    }
    return false;
}

void DecodeArrays(const unsigned char* codes, const unsigned char* ra, const unsigned char* dec, int n,
                  ConstellationPolyline& out) {
    out.count = n;
    for (int i = 0; i < n; ++i) {
        out.codes[static_cast<std::size_t>(i)] = le::GetI32(codes + 4 * i);
        out.ra[static_cast<std::size_t>(i)] = le::GetF64(ra + 8 * i);
        out.dec[static_cast<std::size_t>(i)] = le::GetF64(dec + 8 * i);
    }
}

}  // namespace

std::string LineFileBytes(const std::vector<LineFileSlot>& slots) {
    if (slots.size() > static_cast<std::size_t>(kLineFileSlots)) throw std::invalid_argument("more than 150 slots");
    if (slots.empty() || slots[0].abbreviation.substr(0, 3) != "And") {
        throw std::invalid_argument("the first slot must be And");
    }
    std::string out(kLineFileIndexBytes, '\0');
    std::string arrays;
    for (std::size_t s = 0; s < slots.size(); ++s) {
        const PolylineData& p = slots[s].points;
        if (p.size() > static_cast<std::size_t>(kMaxConstellationPoints) || p.ra.size() != p.size() ||
            p.dec.size() != p.size()) {
            throw std::invalid_argument("slot " + slots[s].abbreviation + " has more than 400 points or uneven arrays");
        }
        std::memcpy(out.data() + 4 * s, slots[s].abbreviation.data(), std::min<std::size_t>(3, slots[s].abbreviation.size()));
        le::SetI16(out, kCountsAt + 2 * s, static_cast<std::int16_t>(p.size()));
        const auto base = static_cast<std::int32_t>(kLineFileIndexBytes + arrays.size());
        le::SetI32(out, kCodesAt + 4 * s, base);
        for (auto c : p.codes) le::PutI32(arrays, c);
        le::SetI32(out, kRaAt + 4 * s, static_cast<std::int32_t>(kLineFileIndexBytes + arrays.size()));
        for (auto v : p.ra) le::PutF64(arrays, v);
        le::SetI32(out, kDecAt + 4 * s, static_cast<std::int32_t>(kLineFileIndexBytes + arrays.size()));
        for (auto v : p.dec) le::PutF64(arrays, v);
    }
    return out + arrays;
}

bool ReadConstellationFromImage(std::string_view image, std::string_view abbreviation, ConstellationPolyline& out) {
    out.count = 0;
    if (!IndexAccepted(image)) return false;
    SlotEntry e{};
    if (!FindSlot(image, abbreviation, image.size(), e)) return false;
    const unsigned char* p = Bytes(image);
    DecodeArrays(p + e.codes, p + e.ra, p + e.dec, e.count, out);
    return true;
}

std::vector<std::string> LineFileAbbreviations(std::string_view image) {
    std::vector<std::string> result;
    if (!IndexAccepted(image)) return result;
    const unsigned char* p = Bytes(image);
    for (int slot = 0; slot < kLineFileSlots; ++slot) {
        const int n = le::GetI16(p + kCountsAt + 2 * slot);
        if (n < 1 || n > kMaxConstellationPoints) continue;
        std::string name(reinterpret_cast<const char*>(p + 4 * slot), 3);
        result.push_back(name.substr(0, name.find('\0')));
    }
    return result;
}

LineFileReader::LineFileReader(std::filesystem::path path, bool memoryMode)
    : path_(std::move(path)), memoryMode_(memoryMode) {}

void LineFileReader::SetPath(std::filesystem::path path) {
    Close();
    image_.clear();
    image_.shrink_to_fit();
    inMemory_ = false;
    path_ = std::move(path);
}

void LineFileReader::SetMemoryMode(bool memoryMode) { memoryMode_ = memoryMode; }

bool LineFileReader::FileExists() const {
    std::error_code ec;
    return !path_.empty() && std::filesystem::is_regular_file(path_, ec);
}

void LineFileReader::Close() {
    if (handle_.is_open()) handle_.close();
    handle_.clear();
}

bool LineFileReader::Read(std::string_view abbreviation, ConstellationPolyline& out) {
    out.count = 0;
    if (memoryMode_ && !inMemory_) {
        if (!FileExists()) {
            Close();
            return false;
        }
        if (!handle_.is_open()) {
            std::ifstream in(path_, std::ios::binary);
            if (!in) return false;
            std::error_code ec;
            const auto size = std::filesystem::file_size(path_, ec);
            if (ec) return false;
            try {
                if (failNextAllocation_) {
                    failNextAllocation_ = false;
                    throw std::bad_alloc();
                }
                std::string image(static_cast<std::size_t>(size), '\0');
                in.read(image.data(), static_cast<std::streamsize>(size));
                image.resize(static_cast<std::size_t>(in.gcount()));
                image_ = std::move(image);
                inMemory_ = true;
            } catch (const std::bad_alloc&) {
                memoryMode_ = false;
            }
        }
    }
    if (inMemory_) {
        if (!IndexAccepted(image_)) {
            image_.clear();
            image_.shrink_to_fit();
            inMemory_ = false;
            return false;
        }
        return ReadConstellationFromImage(image_, abbreviation, out);
    }
    return ReadPerDraw(abbreviation, out);
}

bool LineFileReader::ReadPerDraw(std::string_view abbreviation, ConstellationPolyline& out) {
    if (!FileExists()) {
        Close();
        return false;
    }
    if (!handle_.is_open()) {
        handle_.clear();
        handle_.open(path_, std::ios::binary);
        if (!handle_) {
            Close();
            return false;
        }
    }
    handle_.clear();
    handle_.seekg(0, std::ios::end);
    const std::streamoff size = handle_.tellg();
    handle_.seekg(0);
    char index[kLineFileIndexBytes];
    handle_.read(index, sizeof index);
    if (size < 0 || handle_.gcount() != static_cast<std::streamsize>(sizeof index) ||
        !IndexAccepted(std::string_view(index, sizeof index))) {
        Close();
        return false;
    }
    SlotEntry e{};
    if (!FindSlot(std::string_view(index, sizeof index), abbreviation, static_cast<std::uint64_t>(size), e)) {
        return false;
    }
    // Fixed buffers of 400 points: nothing is allocated while drawing.
    unsigned char* codes = codesBuffer_.data();
    unsigned char* ra = raBuffer_.data();
    unsigned char* dec = decBuffer_.data();
    auto readAt = [&](std::int64_t at, unsigned char* buffer, std::size_t bytes) {
        handle_.clear();
        handle_.seekg(at);
        handle_.read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(bytes));
        return handle_.gcount() == static_cast<std::streamsize>(bytes);
    };
    const auto n = static_cast<std::size_t>(e.count);
    if (!readAt(e.codes, codes, 4 * n) || !readAt(e.ra, ra, 8 * n) || !readAt(e.dec, dec, 8 * n)) return false;
    DecodeArrays(codes, ra, dec, e.count, out);
    return true;
}

}  // namespace tavik
