#include "catalog/RecordFile.h"

#include <fstream>
#include <system_error>

namespace tavik {

RecordFileResult ReadRecordStream(std::istream& in, const RecordSink& sink, const PumpFn& pump) {
    RecordFileResult result;
    result.opened = true;
    unsigned char header[8];
    in.read(reinterpret_cast<char*>(header), sizeof header);
    if (in.gcount() != static_cast<std::streamsize>(sizeof header)) {
        result.error = "file too short for its 8-byte header (" + std::to_string(in.gcount()) + " bytes)";
        return result;
    }
    result.format = le::GetI32(header);
    result.declared = le::GetI32(header + 4);
    if (result.declared < 0) {
        result.error = "negative record count " + std::to_string(result.declared);
        return result;
    }
    for (std::int32_t i = 0; i < result.declared; ++i) {
        if (pump) pump();
        StarRecord record;
        std::int32_t version = 0;
        switch (record.Load(in, &version)) {
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

RecordFileResult ReadRecordFile(const std::filesystem::path& path, const RecordSink& sink,
                                const PumpFn& pump) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        RecordFileResult result;
        result.error = "cannot open for reading";
        return result;
    }
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
