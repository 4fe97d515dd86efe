#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "catalog/ShiftJis.h"
#include "telescope/GotoHistory.h"
#include "telescope/TelescopeController.h"

namespace tavik {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

TEST(GotoHistoryTest, WritesAtTheHundredthLineAndOnClose) {
    const fs::path dir = fs::path(TAVIK_BINARY_DIR) / "goto-history-test";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path file = dir / "望遠鏡導入履歴.txt";
    std::ofstream(file, std::ios::binary) << "old\r\n";  // appended to, never replaced
    std::string line;
    {
        GotoHistory h(dir);
        line =
            TelescopeController::HistoryLine(DateTime(2026, 12, 9, 21, 5, 0), "M42", "赤経 05:36:44 赤緯 -05*25*57 ");
        EXPECT_EQ(line, "Slew 2026/12/9 21:5 M42 赤経 05:36:44 赤緯 -05*25*57 ");
        for (int i = 0; i < 99; ++i) h.Add(line);
        EXPECT_TRUE(h.Modified());
        EXPECT_EQ(ReadAll(file), "old\r\n");
        h.Add(line);  // the 100th: all of them at once
        EXPECT_FALSE(h.Modified());
        const std::string expected = Utf8ToSjis(line) + "\r\n";
        std::string hundred = "old\r\n";
        for (int i = 0; i < 100; ++i) hundred += expected;
        EXPECT_EQ(ReadAll(file), hundred);
        h.Add("Slew 2027/1/1 0:0 木星 ");
    }  // closing writes the rest
    const std::string last = Utf8ToSjis("Slew 2027/1/1 0:0 木星 ") + "\r\n";
    const std::string all = ReadAll(file);
    EXPECT_EQ(all.size(), 5 + 100 * (Utf8ToSjis(line).size() + 2) + last.size());
    EXPECT_EQ(all.substr(all.size() - last.size()), last);

    // A missing folder (a new account without documents) is made.
    GotoHistory fresh(dir / "missing" / "folder");
    fresh.Add("x");
    EXPECT_TRUE(fresh.Flush());
    EXPECT_EQ(ReadAll(dir / "missing" / "folder" / "望遠鏡導入履歴.txt"), "x\r\n");

    // A folder that cannot be made keeps the lines for the next attempt.
    GotoHistory lost(file / "folder");
    lost.Add("x");
    EXPECT_FALSE(lost.Flush());
    EXPECT_TRUE(lost.Modified());
    lost.SetFolder(dir);
    EXPECT_TRUE(lost.Flush());
}

TEST(GotoHistoryTest, LinesAreCutAtSeventyBytesOnACharacterBoundary) {
    // 69 ASCII bytes and a double-byte character: the character does not fit.
    const std::string ascii(69, 'a');
    EXPECT_EQ(GotoHistory::EncodeLine(ascii + "星"), ascii + "\r\n");
    EXPECT_EQ(GotoHistory::EncodeLine(std::string(68, 'a') + "星"),
              std::string(68, 'a') + Utf8ToSjis("星") + "\r\n");
    // 40 double-byte characters: 35 of them make exactly 70 bytes.
    std::string stars;
    for (int i = 0; i < 40; ++i) stars += "星";
    EXPECT_EQ(GotoHistory::EncodeLine(stars).size(), 72u);
}

}  // namespace
}  // namespace tavik
