// tavik-cli tap and render --hits: the lines other tools read.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "CliRunner.h"

namespace {

const std::string kFrame = "--mode direction --facing S --date 2026-01-15 --time 21:00:00";

TEST(CliTap, PrintsTheHitItsTextAndTheMenuOfALongPress) {
    const std::filesystem::path hits = std::filesystem::temp_directory_path() / "tavik-cli-hits.txt";
    const std::filesystem::path png = std::filesystem::temp_directory_path() / "tavik-cli-tap.png";
    ASSERT_EQ(RunCli("render --out '" + png.string() + "' --hits '" + hits.string() + "' " + kFrame).status, 0);
    // Sirius's entry: index, x, y, kind, designation, constellation, mag, name.
    std::ifstream in(hits);
    std::string line, sirius;
    while (std::getline(in, line))
        if (line.find("\t  9Alp CMa\tCMa\t-1.44\tシリウス") != std::string::npos) sirius = line;
    ASSERT_FALSE(sirius.empty());
    std::istringstream fields(sirius);
    std::string index, x, y, kind;
    std::getline(fields, index, '\t');
    std::getline(fields, x, '\t');
    std::getline(fields, y, '\t');
    std::getline(fields, kind, '\t');
    EXPECT_EQ(kind, "1");

    const std::string at = std::to_string(std::stoi(x) - 3) + "," + y;
    const CliRun tap = RunCli("tap --at " + at + " --hold --out '" + png.string() + "' " + kFrame);
    EXPECT_EQ(tap.status, 0);
    EXPECT_NE(tap.out.find("hit\t1\npoint\t" + x + "," + y + "\nname\tシリウス\ntext\tおおいぬα -1.4等\ntext\tシリウス\n"),
              std::string::npos)
        << tap.out;
    EXPECT_NE(tap.out.find("menu\t32820\tおおいぬ座のみを表示\tenabled\n"), std::string::npos) << tap.out;
    EXPECT_NE(tap.out.find("menu\t32943\tここをズームイン\tenabled\n"), std::string::npos);

    const CliRun empty = RunCli("tap --at 5,5 --hold --set SETTING/POPUP=0 --set SETTING/POPUPTS=1 " + kFrame);
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "hit\t0\nmenu\tnone\n") << "POPUPTS without telescope control opens nothing";

    // Every text column is UTF-8: the planets' designations (Shift-JIS kanji in
    // the records) as much as the stars' names.
    ASSERT_EQ(RunCli("render --mode planisphere --out '" + png.string() + "' --hits '" + hits.string() +
                     "' --date 2026-01-15 --time 21:00:00").status,
              0);
    std::ifstream all(hits);
    const std::string lines((std::istreambuf_iterator<char>(all)), std::istreambuf_iterator<char>());
    EXPECT_NE(lines.find("\t8241\t木星\t#\t-2.00\t\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("\t8257\t土星\t#\t0.50\t\n"), std::string::npos);
    EXPECT_EQ(lines.find("\\x"), std::string::npos);
    std::filesystem::remove(hits);
    std::filesystem::remove(png);
}

TEST(CliTap, ATapOnTheLagoonNebulaNamesIt) {
    // NGC6530, the cluster inside M8 and brighter than it, once took this tap.
    const CliRun tap = RunCli("tap --at 118,160 --mode direction --facing S --date 2026-08-01 --time 21:00:00 "
                              "--lon 139:46 --lat 35:41 --zone 9");
    EXPECT_EQ(tap.status, 0);
    // The bundled size file gives its size.
    EXPECT_NE(tap.out.find("text\t散光星雲 M8干潟星雲 45′×30′\n"), std::string::npos) << tap.out;
}

}  // namespace
