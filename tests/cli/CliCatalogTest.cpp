// tavik-cli catalog: one tab-separated line per record, partial output and a
// one-line error for damaged files.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "catalog/ByteOrder.h"
#include "catalog/RecordFile.h"
#include "catalog/ShiftJis.h"
#include "catalog/StarRecord.h"

namespace fs = std::filesystem;
using namespace tavik;

namespace {

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class CliCatalog : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("tavik-cli-catalog-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    fs::path Write(const std::string& name, const std::string& bytes) {
        const fs::path path = dir_ / name;
        std::ofstream out(path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    RunResult Run(const std::string& args) {
        const fs::path errPath = dir_ / "stderr.txt";
        const std::string command = std::string(TAVIK_CLI) + " " + args + " 2>" + errPath.string();
        const CliRun run = RunCommand(command);
        RunResult result;
        result.exitCode = run.status;
        result.out = run.out;
        std::ifstream err(errPath);
        result.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
        return result;
    }

    fs::path dir_;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<StarRecord> SampleRecords() {
    StarRecord sirius;
    sirius.number = 2491;
    sirius.SetDesignation("  9Alp");
    sirius.SetConstellation("CMa");
    sirius.ra = 1.7677943505;
    sirius.dec = -0.2917511;
    sirius.mag = -1.44;
    sirius.name = Utf8ToSjis("シリウス");
    sirius.SetSpectral("A1V");

    StarRecord m31;
    m31.SetDesignation(std::string("\x01\x02\\M31", 6));
    m31.SetConstellation("And");
    m31.ra = 0.1865;
    m31.dec = 0.7205;
    m31.mag = 3.4;
    m31.name = "tab\there";
    m31.kind = 8;
    return {sirius, m31};
}

}  // namespace

TEST_F(CliCatalog, PrintsOneTabSeparatedLinePerRecord) {
    const fs::path file = Write("tavik.dat", RecordFileBytes(SampleRecords()));
    const RunResult r = Run("catalog " + file.string());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              "0\t2491\t  9Alp\tCMa\t1.7677943505\t-0.29175109999999999\t-1.4399999999999999\t1\tシリウス\tA1V");
    EXPECT_EQ(lines[1],
              "1\t0\t\\x01\\x02\\x5cM31\tAnd\t0.1865\t0.72050000000000003\t3.3999999999999999\t8\ttab\\x09here\t");
}

TEST_F(CliCatalog, TruncatedFilePrintsWhatItReadThenFails) {
    std::string bytes = RecordFileBytes(SampleRecords());
    bytes.resize(bytes.size() - 5);
    const fs::path file = Write("cut.dat", bytes);
    const RunResult r = Run("catalog " + file.string());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(Lines(r.out).size(), 1u);
    const auto errLines = Lines(r.err);
    ASSERT_EQ(errLines.size(), 1u);
    EXPECT_NE(errLines[0].find("file ends after 1 of 2 records"), std::string::npos) << r.err;
}

TEST_F(CliCatalog, MalformedAndMissingFilesFailCleanly) {
    // A header claiming two billion records over one record.
    std::string bytes = RecordFileBytes(std::vector<StarRecord>{SampleRecords()[0]});
    le::SetI32(bytes, 4, 2000000000);
    RunResult r = Run("catalog " + Write("huge.dat", bytes).string());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(Lines(r.out).size(), 1u);
    EXPECT_EQ(Lines(r.err).size(), 1u);

    r = Run("catalog " + Write("tiny.dat", "abc").string());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(Lines(r.err).size(), 1u);

    r = Run("catalog " + (dir_ / "absent.dat").string());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(Lines(r.err).size(), 1u);

    r = Run("catalog");
    EXPECT_EQ(r.exitCode, 2);
}
