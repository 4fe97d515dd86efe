// tavik-cli search and render --panel: the search list on the bundled data,
// and the jump to a picked line looking at that object.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "CliRunner.h"

namespace {

const std::string kMoment = "--date 2026-01-15 --time 21:00:00";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(CliSearch, ListsInTheListOrderAndAPickedLineBringsItsObjectToTheCentre) {
    const CliRun list = RunCli("search " + kMoment);
    ASSERT_EQ(list.status, 0);
    const std::vector<std::string> lines = Lines(list.out);
    ASSERT_GT(lines.size(), 20u);
    const std::regex line(R"(^[^\t]+\t-?[0-9]+$)");
    std::string m42;
    for (const std::string& l : lines) {
        EXPECT_TRUE(std::regex_match(l, line)) << l;
        if (l.rfind("M42 ", 0) == 0) m42 = l;
    }
    EXPECT_EQ(lines.front().rfind("  ", 0), 0u) << "planet lines first: " << lines.front();
    EXPECT_EQ(m42.rfind("M42 ◎ オリオン大星雲  4.0等  48度\t", 0), 0u) << m42;

    const CliRun pick = RunCli("search " + kMoment + " --pick M42");
    ASSERT_EQ(pick.status, 0);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(pick.out, m, std::regex("\nfacing\t([0-3])\nturn\t([0-9]+)\naltitude\t(48)\n$")))
        << pick.out;
    const int h = std::stoi(m[1]) * 90 + std::stoi(m[2]);
    const std::string panel = std::to_string((h + 90) % 360) + ",48,50";

    const auto dir = std::filesystem::temp_directory_path();
    const auto png = dir / "tavik-cli-search.png", hits = dir / "tavik-cli-search-hits.txt";
    ASSERT_EQ(RunCli("render --mode magnified --panel " + panel + " --out '" + png.string() + "' --hits '" +
                     hits.string() + "' " + kMoment)
                  .status,
              0);
    std::ifstream in(hits);
    bool near = false;
    for (std::string l; std::getline(in, l);) {
        if (l.find("M42\tOri\t") == std::string::npos) continue;
        std::istringstream fields(l);
        std::string index, x, y;
        std::getline(fields, index, '\t');
        std::getline(fields, x, '\t');
        std::getline(fields, y, '\t');
        near = std::abs(std::stoi(x) - 120) <= 12 && std::abs(std::stoi(y) - 120) <= 12;
    }
    EXPECT_TRUE(near) << "M42 within a degree of the centre of the magnified view";
    std::filesystem::remove(png);
    std::filesystem::remove(hits);

    EXPECT_EQ(RunCli("search " + kMoment + " --pick 天王星").status, 1);
    EXPECT_NE(RunCli("render --mode direction --panel 0,45,50 --out '" + png.string() + "'").status, 0);
    // The panel's altitude as its box takes it: 0..89.
    for (const char* panel : {"0,0,50", "0,89,900"})
        EXPECT_EQ(RunCli(std::string("render --mode magnified --panel ") + panel + " --out '" + png.string() + "'").status, 0)
            << panel;
    EXPECT_EQ(RunCli("render --mode magnified --panel 0,90,50 --out '" + png.string() + "'").status, 2);
    std::filesystem::remove(png);
}

}  // namespace
