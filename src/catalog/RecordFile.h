#pragma once
// Files made of a header (int32 format word, int32 record count N) and N
// records in the StarRecord layout: the star catalogue "tavik.dat", object
// lists (".p93"), the user's tap file and tap exchange files.
//
// Reading never trusts the header: records are read one by one until N have
// been read or the data runs out, so a wrong count cannot drive an allocation
// and a short file is reported with the number of records actually read.
// The stream is read in large blocks and the records decoded from memory, so
// reading may consume the stream past the last record.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>

#include "catalog/ByteOrder.h"
#include "catalog/StarRecord.h"

namespace tavik {

inline constexpr std::int32_t kRecordFileFormat = 1000;

struct RecordFileResult {
    bool opened = false;        // the file (or stream) could be read at all
    bool ok = false;            // header and all N records read
    std::int32_t format = 0;    // the header's format word (not checked)
    std::int32_t declared = 0;  // N from the header
    std::size_t read = 0;       // records read from the file
    std::size_t kept = 0;       // records handed on (catalogue loading drops some)
    std::string error;          // one line, empty when ok
};

// Called with each record read, in file order.
using RecordSink = std::function<void(StarRecord&&)>;
// Called once per record while reading, so that a user interface can stay
// responsive (may be empty).
using PumpFn = std::function<void()>;

// Reads header and records. Stops at the first problem: a stream that ends
// early ("ends after K of N records"), a negative count, or a record with an
// unknown version word. Every record read before the problem has been handed
// to `sink`. `kept` counts the records passed to the sink.
RecordFileResult ReadRecordStream(std::istream& in, const RecordSink& sink, const PumpFn& pump = {});
// The same for a file. A file that cannot be opened, or a folder, is not read
// (opened false, the error says which).
RecordFileResult ReadRecordFile(const std::filesystem::path& path, const RecordSink& sink,
                                const PumpFn& pump = {});

// The bytes of a whole file: header (format, count) and every record as version 1001.
template <class Range>
std::string RecordFileBytes(const Range& records, std::int32_t format = kRecordFileFormat) {
    std::string out;
    std::int32_t count = 0;
    for (const StarRecord& r : records) {
        (void)r;
        ++count;
    }
    le::PutI32(out, format);
    le::PutI32(out, count);
    for (const StarRecord& r : records) out += r.StoreBytes();
    return out;
}

// Opens `path` for reading into `in`; false with the error text of a result
// (the file cannot be opened, or is a folder) when it cannot be read.
bool OpenRecordFile(const std::filesystem::path& path, std::ifstream& in, std::string& error);

// Replaces the file's contents with `bytes`: written to a temporary file in
// the same folder first and renamed over the target, so that a failed write
// never leaves a half-written file behind. False when it could not be written.
bool WriteFileReplacing(const std::filesystem::path& path, const std::string& bytes);

}  // namespace tavik
