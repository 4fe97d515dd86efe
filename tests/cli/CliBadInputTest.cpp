// Every subcommand of tavik-cli: its own usage on --help and -h, and a message
// and a non-zero exit for every bad input (never a silent success).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "catalog/RecordFile.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class CliBadInput : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("tavik-cli-bad-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    // tavik-cli with `args`, in a home of its own.
    Outcome Run(const std::string& args) {
        const fs::path errPath = dir_ / "stderr.txt";
        const CliRun run = RunCommand("env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME='" + dir_.string() +
                                      "' QT_QPA_PLATFORM=offscreen '" + TAVIK_CLI + "' " + args + " 2>'" +
                                      errPath.string() + "'");
        std::ifstream err(errPath);
        return {run.status, run.out, std::string(std::istreambuf_iterator<char>(err), {})};
    }
    std::string P(const std::string& name) const { return (dir_ / name).string(); }
    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string Read(const std::string& name) {
        std::ifstream in(dir_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path dir_;
};

const std::string kMoment = " --date 2026-01-15 --time 21:00:00";

TEST_F(CliBadInput, EverySubcommandPrintsItsOwnUsageOnHelp) {
    std::istringstream list(Run("--help").out);
    std::vector<std::string> names;
    for (std::string line; std::getline(list, line);)
        if (line.rfind("  ", 0) == 0) names.push_back(line.substr(2, line.find(' ', 2) - 2));
    ASSERT_EQ(names.size(), 12u);
    for (const std::string& name : names) {
        for (const char* help : {"--help", "-h"}) {
            const Outcome r = Run(name + " " + help);
            EXPECT_EQ(r.status, 0) << name << " " << help << "\n" << r.err;
            EXPECT_EQ(r.out.rfind("usage: tavik-cli " + name + " ", 0), 0u) << name << " " << help << "\n" << r.out;
            EXPECT_EQ(r.err, "");
        }
    }
    // Whatever else is given; the value of an option stays a value.
    EXPECT_EQ(Run("render --out x.bmp -h").status, 0);
    EXPECT_EQ(Run("search --pick -h" + kMoment).out.find("usage:"), std::string::npos);
}

TEST_F(CliBadInput, ImpossibleDatesAreRefusedByEverySubcommand) {
    for (const char* date : {"2026-02-30", "2026-06-31", "2100-01-01"}) {
        for (const std::string& command : std::vector<std::string>{"time --time 21:00:00", "ephem --time 21:00:00", "today",
                                           "search --time 21:00:00", "render --out " + P("d.png") + " --time 21:00:00"}) {
            const Outcome r = Run(command + " --date " + date);
            EXPECT_EQ(r.status, 2) << command << " " << date << "\n" << r.out;
            EXPECT_NE(r.err.find(date), std::string::npos) << r.err;
        }
    }
    EXPECT_FALSE(fs::exists(P("d.png")));
}

TEST_F(CliBadInput, ADamagedCatalogueDrawsNothingAndFails) {
    std::ifstream in(fs::path(TAVIK_DATA_DIR) / "tavik.dat", std::ios::binary);
    std::string bytes(std::istreambuf_iterator<char>(in), {});
    fs::create_directories(dir_ / "cut");
    fs::create_directories(dir_ / "noise");
    fs::create_directories(dir_ / "folder/tavik.dat");
    Write("cut/tavik.dat", bytes.substr(0, 5000));
    Write("noise/tavik.dat", "\x17\x5e\x3a\xf2\xd6\x40\x48\xa6 and more noise");  // a negative count
    for (const char* data : {"cut", "noise", "folder"}) {
        for (const std::string& command : std::vector<std::string>{"render --out " + P("c.png") + " --hits " + P("c.txt"), "search", "tap --at 5,5"}) {
            const Outcome r = Run(command + " --data " + P(data) + kMoment);
            EXPECT_EQ(r.status, 1) << command << " " << data;
            EXPECT_EQ(r.out, "") << command << " " << data;
            EXPECT_NE(r.err.find("tavik.dat: "), std::string::npos) << r.err;
        }
    }
    EXPECT_FALSE(fs::exists(P("c.png")));
    EXPECT_FALSE(fs::exists(P("c.txt")));
    EXPECT_NE(Run("render --out " + P("c.png") + " --data " + P("cut") + kMoment).err.find("file ends after 65 of"),
              std::string::npos);
    EXPECT_NE(Run("catalog " + P("folder")).err.find(P("folder") + ": is a folder, not a file"), std::string::npos);
    EXPECT_EQ(Run("catalog " + P("folder")).status, 1);
}

TEST_F(CliBadInput, SetTakesOnlyKnownEntriesAndValuesTheyHold) {
    const std::string render = "render --out " + P("s.png") + kMoment + " --set ";
    for (const char* bad : {"NOSUCH/KEY=1", "COLOR/ALLRED=banana", "COLOR/ALLRED=2", "FONT/SIZE=12345",
                            "SCREEN/ZOOM_H=5", "ZOOMINVIEW/MAG=7.5", "ADIN/fx=1", "COLOR/ALLRED=--1"}) {
        const Outcome r = Run(render + bad);
        EXPECT_EQ(r.status, 2) << bad;
        const std::string key = std::string(bad).substr(0, std::string(bad).find('='));
        EXPECT_NE(r.err.find("--set " + key + ": "), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(P("s.png")));
    for (const char* good : {"COLOR/ALLRED=1", "FONT/SIZE=1000", "USR_CLR/CLR05=0xFF8000", "LOCATION/NAME=12",
                             "ADIN/f3=/opt/x.adin", "SCREEN/ZOOM_H=-1"})
        EXPECT_EQ(Run(render + good).status, 0) << good;
}

TEST_F(CliBadInput, DataRefusesWhatIsNoSettingsFile) {
    Write("garbage.txt", "garbage\n");
    fs::create_directories(dir_ / "folder");
    for (const std::string& path : {P("garbage.txt"), P("folder"), P("missing/dir/x.ini")}) {
        const Outcome r = Run("data --settings '" + path + "'");
        EXPECT_EQ(r.status, 1) << path;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(path + ": "), std::string::npos) << r.err;
    }
    EXPECT_EQ(Read("garbage.txt"), "garbage\n");
    EXPECT_FALSE(fs::exists(P("missing")));
    EXPECT_EQ(fs::directory_iterator(dir_ / "folder"), fs::directory_iterator());
    // A new file in an existing folder is a new settings file.
    EXPECT_EQ(Run("data --settings " + P("new.ini")).status, 0);
    EXPECT_NE(Read("new.ini").find("[TAVIK]"), std::string::npos);
}

TEST_F(CliBadInput, PictureWritesTheFormatOfItsExtension) {
    ASSERT_EQ(Run("render --out " + P("sky.jpg") + " --size 64x48" + kMoment).status, 0);
    ASSERT_EQ(Run("picture " + P("sky.jpg") + " --out " + P("p6.jpg")).status, 0);
    ASSERT_EQ(Run("picture " + P("sky.jpg") + " --out " + P("p6.PNG")).status, 0);
    EXPECT_EQ(Read("p6.jpg").substr(0, 3), "\xFF\xD8\xFF");
    EXPECT_EQ(Read("p6.PNG").substr(1, 3), "PNG");
    const Outcome bmp = Run("picture " + P("sky.jpg") + " --out " + P("p7.bmp"));
    EXPECT_EQ(bmp.status, 2);
    EXPECT_NE(bmp.err.find("p7.bmp"), std::string::npos);
    EXPECT_FALSE(fs::exists(P("p7.bmp")));
}

TEST_F(CliBadInput, ATapOutsideThePictureIsAUsageError) {
    for (const char* at : {"5000,5000", "-5,-5", "800,10", "10,600"}) {
        const Outcome r = Run(std::string("tap --at ") + at + " --size 800x600" + kMoment);
        EXPECT_EQ(r.status, 2) << at;
        EXPECT_EQ(r.out, "") << at;
        EXPECT_NE(r.err.find("800x600"), std::string::npos) << r.err;
    }
    EXPECT_EQ(Run("tap --at 799,599 --size 800x600" + kMoment).status, 0);
}

}  // namespace
