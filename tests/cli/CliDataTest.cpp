// tavik-cli data: the first run copies the bundled sky data into the user's
// data directory of a (temporary) home and stores the path; later runs and a
// stored path leave everything alone.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "CliRunner.h"

namespace fs = std::filesystem;

namespace {

class CliData : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        home_ = fs::temp_directory_path() / ("tavik-cli-data-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(home_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(home_, ec);
    }

    std::string Run(const std::string& args, int* exitCode) {
        const std::string command = "env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME=" + home_.string() + " " +
                                    std::string(TAVIK_CLI) + " data " + args + " 2>/dev/null";
        CliRun run = RunCommand(command);
        *exitCode = run.status;
        return run.out;
    }

    fs::path home_;
};

}  // namespace

TEST_F(CliData, FirstRunCopiesBundledDataAndStoresThePath) {
    const fs::path target = home_ / ".local/share/Arvex/Tavik";
    int rc = -1;
    std::string out = Run("", &rc);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(out, "installed\t1\ncatalog\t" + (target / "tavik.dat").string() + "\ndata_dir\t" + target.string() + "/\n");
    for (const char* f : {"tavik.dat", "tavikline.dat", "tavikconste.dat", "Milkey.p92"}) {
        EXPECT_EQ(fs::file_size(target / f), fs::file_size(fs::path(TAVIK_DATA_DIR) / f)) << f;
    }
    std::ifstream ini(home_ / ".config/Arvex/Tavik.ini");
    const std::string settings((std::istreambuf_iterator<char>(ini)), std::istreambuf_iterator<char>());
    EXPECT_NE(settings.find("TAVIK_DATA=" + (target / "tavik.dat").string()), std::string::npos) << settings;

    // The second run finds the stored path and copies nothing.
    fs::remove(target / "tavikline.dat");
    out = Run("", &rc);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(out.substr(0, 12), "installed\t0\n");
    EXPECT_FALSE(fs::exists(target / "tavikline.dat"));
}

TEST_F(CliData, StoredPathIsNeverOverwritten) {
    const fs::path ini = home_ / "profile.ini";
    {
        std::ofstream out(ini);
        out << "[TAVIK]\nTAVIK_DATA=/media/card/tavik/tavik.dat\n";
    }
    int rc = -1;
    const std::string out = Run("--settings " + ini.string(), &rc);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(out, "installed\t0\ncatalog\t/media/card/tavik/tavik.dat\ndata_dir\t/media/card/tavik/\n");
    EXPECT_FALSE(fs::exists(home_ / ".local/share/Arvex/Tavik"));
}
