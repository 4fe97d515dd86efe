// tavik-cli find: the name search's lines, and its exit status (0 with
// results, 1 when nothing matches, 2 for usage errors).

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "CliRunner.h"

namespace {

const std::string kFind = "find --data '" TAVIK_DATA_DIR "' --date 2026-01-15 --time 12:00:00 ";

// The tab-separated fields of the first line of `text`.
std::vector<std::string> Fields(const std::string& text) {
    const std::string line = text.substr(0, text.find('\n'));
    std::vector<std::string> f;
    std::istringstream in(line);
    for (std::string s; std::getline(in, s, '\t');) f.push_back(s);
    if (!line.empty() && line.back() == '\t') f.emplace_back();
    return f;
}

TEST(CliFind, LinesAndExitStatus) {
    const CliRun betelgeuse = RunCli(kFind + "ベテルギウス");
    ASSERT_EQ(betelgeuse.status, 0);
    const std::vector<std::string> f = Fields(betelgeuse.out);
    ASSERT_EQ(f.size(), 10u) << betelgeuse.out;
    EXPECT_EQ(f[0], "恒星");
    EXPECT_EQ(f[2], "ベテルギウス");
    EXPECT_EQ(f[3], "0.5");
    EXPECT_EQ(f[4], "オリオン座");
    EXPECT_EQ(f[5], "05:55:10.3");
    EXPECT_EQ(f[6], "+07:24:26");
    EXPECT_LT(std::stod(f[7]), 0.0);  // below the horizon at noon
    EXPECT_TRUE(std::regex_match(f[8], std::regex("2026-01-15 1[5-7]:[0-5][0-9]"))) << f[8];
    EXPECT_TRUE(std::regex_match(f[9], std::regex("2026-01-16 0[4-7]:[0-5][0-9]"))) << f[9];

    // Polaris never sets; α Cen never rises at 35.6° N; the Sun is computed.
    std::vector<std::string> p = Fields(RunCli(kFind + "北極星 --limit 1").out);
    ASSERT_EQ(p.size(), 10u);
    EXPECT_EQ(p[8] + p[9], "沈みません沈みません");
    p = Fields(RunCli(kFind + "リギル・ケンタウルス --limit 1").out);
    ASSERT_EQ(p.size(), 10u);
    EXPECT_EQ(p[8] + p[9], "昇りません昇りません");
    const CliRun sun = RunCli(kFind + "太陽 --limit 1");
    p = Fields(sun.out);
    ASSERT_EQ(p.size(), 10u);
    EXPECT_EQ(p[0], "太陽");
    EXPECT_EQ(p[3], "");  // no magnitude
    EXPECT_EQ(p[5].substr(0, 3), "19:");
    EXPECT_GT(std::stod(p[7]), 20.0);

    // --limit caps the list; words after the text are part of it.
    const CliRun m4 = RunCli(kFind + "M4 --limit 3");
    EXPECT_EQ(m4.status, 0);
    EXPECT_EQ(std::count(m4.out.begin(), m4.out.end(), '\n'), 3);
    EXPECT_EQ(RunCli(kFind + "NGC 7000").status, 0);

    EXPECT_EQ(RunCli(kFind + "zzqqxxyy").status, 1);
    const CliRun nothing = RunCommand("'" TAVIK_CLI "' " + kFind + "zzqqxxyy 2>&1");
    EXPECT_NE(nothing.out.find("nothing matches 'zzqqxxyy'"), std::string::npos) << nothing.out;
    EXPECT_EQ(RunCli(kFind).status, 2);                       // no text
    EXPECT_EQ(RunCli(kFind + "M42 --limit 0").status, 2);     // out of range
    EXPECT_EQ(RunCli(kFind + "M42 --lat 95:00").status, 2);   // no such latitude
    EXPECT_EQ(RunCli(kFind + "M42 --date 2026-02-30").status, 2);
}

// Comets and asteroids: from the window's copy in the user's data folder
// (kept to its [MINOR] MAGLIMIT), or from --minor FILE; placed as `ephem`
// places them.
TEST(CliFind, MinorBodiesFromTheWindowsCopyOrAFile) {
    const char* const neowise =
        "    CK20F030  2020 07  3.6790  0.294653  0.999178   37.2785   61.0103  128.9375  20200720   7.0  3.2  "
        "C/2020 F3 (NEOWISE)                                      MPEC 2020-P62";
    const char* const ceres =
        "00001    3.34  0.15 K24AH 145.84905   73.27346   80.25230   10.58728  0.0795762  0.21420460   2.7660512  0 "
        "E2024-V47  7330 125 1801-2024 0.80 M-v 30k MPCLINUX   0000 (1) Ceres                   20241101";
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const std::string h = home.path().toStdString();
    ASSERT_TRUE(QDir(home.path()).mkpath(".local/share/Arvex/Tavik"));
    std::ofstream(h + "/.local/share/Arvex/Tavik/minorbodies.txt") << ceres << "\n";
    std::ofstream(h + "/other.txt") << neowise << "\n" << ceres << "\n";
    const std::string cli = "env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME='" + h + "' '" TAVIK_CLI "' ";
    const std::string moment = " --date 2020-07-15 --time 21:00:00 ";
    const auto run = [&](const std::string& args) { return RunCommand(cli + args + " 2>/dev/null"); };

    // The window's copy.
    std::vector<std::string> f = Fields(run(kFind + "ceres --limit 1").out);
    ASSERT_EQ(f.size(), 10u);
    EXPECT_EQ(f[0], "小惑星");
    EXPECT_EQ(f[2], "Ceres");
    EXPECT_FALSE(f[3].empty());

    // Another file; the place is that of the moment, as ephem gives it.
    const CliRun comet =
        run("find --data '" TAVIK_DATA_DIR "' NEOWISE --limit 1 --minor '" + h + "/other.txt'" + moment);
    f = Fields(comet.out);
    ASSERT_EQ(f.size(), 10u) << comet.out;
    EXPECT_EQ(f[0], "彗星");
    EXPECT_EQ(f[1], "C/2020 F3");
    const std::string ephem = run("ephem --minor '" + h + "/other.txt' --body NEOWISE" + moment).out;
    const std::vector<std::string> e = Fields(ephem.substr(ephem.find('\n') + 1));
    ASSERT_GE(e.size(), 3u);
    const double raHours = std::stod(e[1]) * 12.0 / 3.14159265358979323846;
    EXPECT_NEAR(std::stod(f[5].substr(0, 2)) + std::stod(f[5].substr(3, 2)) / 60.0 + std::stod(f[5].substr(6)) / 3600.0,
                raHours, 0.001)
        << f[5];
    EXPECT_LT(std::stod(f[3]), 4.0);  // bright that night
    EXPECT_EQ(run(kFind + "NEOWISE --minor '" + h + "/none.txt'").status, 1);

    // The window's magnitude limit: Ceres never reaches 5.
    ASSERT_TRUE(QDir(home.path()).mkpath(".config/Arvex"));
    std::ofstream(h + "/.config/Arvex/Tavik.ini") << "[MINOR]\nMAGLIMIT=5\n";
    f = Fields(run(kFind + "ceres --limit 1").out);
    EXPECT_TRUE(f.empty() || f[0] != "小惑星") << f[0];
}

}  // namespace
