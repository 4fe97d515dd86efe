#include "catalog/RecordFile.h"

#include <cstring>
#include <fstream>
#include <istream>
#include <string_view>
#include <system_error>
#include <vector>

namespace tavik {

namespace {

// The stream read in large blocks; records are decoded from memory, so that a
// catalogue of a million records costs no more than copying its bytes.
class ByteWindow {
public:
    explicit ByteWindow(std::istream& in) : in_(in), buffer_(kBlock) {}

    // At least n bytes from the current position, fewer only where the stream ends.
    std::size_t Ensure(std::size_t n) {
        if (end_ - pos_ >= n || ended_) return end_ - pos_;
        std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
        while (end_ < n && !ended_) {
            in_.read(reinterpret_cast<char*>(buffer_.data() + end_), static_cast<std::streamsize>(buffer_.size() - end_));
            const std::streamsize got = in_.gcount();
            end_ += static_cast<std::size_t>(got);
            if (got <= 0 || !in_) ended_ = true;
        }
        return end_ - pos_;
    }
    const unsigned char* Data() const { return buffer_.data() + pos_; }
    void Consume(std::size_t n) { pos_ += n; }

private:
    static constexpr std::size_t kBlock = 1 << 16;  // far above the largest record (323 bytes)
    std::istream& in_;
    std::vector<unsigned char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool ended_ = false;
};

std::string_view FieldText(const unsigned char* field, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(field);
    const void* nul = std::memchr(text, '\0', size);
    return {text, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : size};
}

// One record in the layout StarRecord::Load reads, with the same outcome: on
// Truncated or UnknownVersion `r` stays a new record.
StarRecord::ReadStatus DecodeRecord(ByteWindow& w, StarRecord& r, std::int32_t& version) {
    constexpr std::size_t kHead = 4, kFixed = 40, kTail = 23;
    if (w.Ensure(kHead) < kHead) return StarRecord::ReadStatus::Truncated;
    version = le::GetI32(w.Data());
    std::size_t size = 0;
    if (version == kRecordVersion1001) {
        if (w.Ensure(kHead + kFixed + 1) < kHead + kFixed + 1) return StarRecord::ReadStatus::Truncated;
        const std::size_t length = w.Data()[kHead + kFixed];
        size = kHead + kFixed + 1 + length + kTail;
        if (w.Ensure(size) < size) return StarRecord::ReadStatus::Truncated;
        const unsigned char* p = w.Data();
        DecodeFixedPart(p + kHead, r);
        if (length > 0) r.name = std::string(FieldText(p + kHead + kFixed + 1, length));
        DecodeTail(p + kHead + kFixed + 1 + length, r);
    } else if (version == kRecordVersion1000) {
        size = kHead + kFixed + kVersion1000NameBytes + kTail;
        if (w.Ensure(size) < size) return StarRecord::ReadStatus::Truncated;
        const unsigned char* p = w.Data();
        DecodeFixedPart(p + kHead, r);
        r.name = std::string(FieldText(p + kHead + kFixed, kVersion1000NameBytes));
        DecodeTail(p + kHead + kFixed + kVersion1000NameBytes, r);
    } else {
        w.Consume(kHead);
        return StarRecord::ReadStatus::UnknownVersion;
    }
    w.Consume(size);
    return StarRecord::ReadStatus::Ok;
}

}  // namespace

RecordFileResult ReadRecordStream(std::istream& in, const RecordSink& sink, const PumpFn& pump) {
    RecordFileResult result;
    result.opened = true;
    ByteWindow window(in);
    constexpr std::size_t kHeader = 8;
    if (const std::size_t got = window.Ensure(kHeader); got < kHeader) {
        result.error = "file too short for its 8-byte header (" + std::to_string(got) + " bytes)";
        return result;
    }
    result.format = le::GetI32(window.Data());
    result.declared = le::GetI32(window.Data() + 4);
    window.Consume(kHeader);
    if (result.declared < 0) {
        result.error = "negative record count " + std::to_string(result.declared);
        return result;
    }
    for (std::int32_t i = 0; i < result.declared; ++i) {
        if (pump) pump();
        StarRecord record;
        std::int32_t version = 0;
        switch (DecodeRecord(window, record, version)) {
        case StarRecord::ReadStatus::Ok:
            break;
        case StarRecord::ReadStatus::Truncated:
            result.error = "file ends after " + std::to_string(result.read) + " of " +
                           std::to_string(result.declared) + " records";
            return result;
        case StarRecord::ReadStatus::UnknownVersion:
            result.error = "record " + std::to_string(result.read) + " has unknown version " +
                           std::to_string(version) + " (" + std::to_string(result.read) + " of " +
                           std::to_string(result.declared) + " records read)";
            return result;
        }
        ++result.read;
        if (sink) sink(std::move(record));
        ++result.kept;
    }
    if (pump) pump();
    result.ok = true;
    return result;
}

bool OpenRecordFile(const std::filesystem::path& path, std::ifstream& in, std::string& error) {
    // A folder opens as a stream that reads nothing: say what it is.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = "is a folder, not a file";
        return false;
    }
    in.open(path, std::ios::binary);
    if (!in) {
        error = "cannot open for reading";
        return false;
    }
    return true;
}

RecordFileResult ReadRecordFile(const std::filesystem::path& path, const RecordSink& sink,
                                const PumpFn& pump) {
    std::ifstream in;
    RecordFileResult result;
    if (!OpenRecordFile(path, in, result.error)) return result;
    return ReadRecordStream(in, sink, pump);
}

bool WriteFileReplacing(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::path temp = path;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ec;
            std::filesystem::remove(temp, ec);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

}  // namespace tavik
