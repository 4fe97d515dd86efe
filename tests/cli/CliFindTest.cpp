// tavik-cli find: the name search's lines, and its exit status (0 with
// results, 1 when nothing matches, 2 for usage errors).

#include <gtest/gtest.h>

#include <algorithm>
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

}  // namespace
