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

fs::path FreshDir(const char* name) {
    const fs::path dir = fs::path(TAVIK_BINARY_DIR) / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

TEST(GotoHistoryTest, EachLineIsOnDiskWholeTheMomentItIsAdded) {
    const fs::path dir = FreshDir("goto-history-test");
    const fs::path file = dir / "望遠鏡導入履歴.txt";
    std::ofstream(file, std::ios::binary) << "old\r\n";  // appended to, never replaced
    GotoHistory h(dir);
    const std::string m13 = TelescopeController::HistoryLine(DateTime(2026, 12, 10, 15, 17, 0),
                                                             "M13 ヘルクレス座大球状星団",
                                                             "赤経 16:42:40 赤緯 +36*25*36 ");
    EXPECT_EQ(m13, "Slew 2026/12/10 15:17 M13 ヘルクレス座大球状星団 赤経 16:42:40 赤緯 +36*25*36 ");
    const std::string m13Bytes = Utf8ToSjis(m13) + "\r\n";
    ASSERT_GT(m13Bytes.size(), 72u);  // longer than the old 70-byte cut
    EXPECT_EQ(h.Add(m13), GotoHistory::Added::Written);
    EXPECT_EQ(ReadAll(file), "old\r\n" + m13Bytes);  // the history is still open
    EXPECT_EQ(h.Add("Slew 2027/1/1 0:0 木星 "), GotoHistory::Added::Written);
    EXPECT_EQ(ReadAll(file), "old\r\n" + m13Bytes + Utf8ToSjis("Slew 2027/1/1 0:0 木星 ") + "\r\n");

    // A missing folder (a new account without documents) is made.
    GotoHistory fresh(dir / "missing" / "folder");
    EXPECT_EQ(fresh.Add("x"), GotoHistory::Added::Written);
    EXPECT_EQ(ReadAll(dir / "missing" / "folder" / "望遠鏡導入履歴.txt"), "x\r\n");
}

TEST(GotoHistoryTest, AFailedWriteIsReportedOnceAndItsLinesWaitForTheNextWrite) {
    const fs::path dir = FreshDir("goto-history-fail-test");
    const fs::path file = dir / "望遠鏡導入履歴.txt";
    fs::create_directories(file);  // a folder where the file should be
    GotoHistory h(dir);
    EXPECT_EQ(h.Add("a"), GotoHistory::Added::Failed);
    EXPECT_EQ(h.Add("b"), GotoHistory::Added::FailedAgain);
    EXPECT_EQ(h.PendingBytes(), 6u);
    // Another unwritable place (below a plain file) is said again, once.
    std::ofstream(dir / "plain") << "x";
    GotoHistory elsewhere(dir / "plain" / "below");
    EXPECT_EQ(elsewhere.Add("c"), GotoHistory::Added::Failed);
    EXPECT_EQ(elsewhere.Add("c"), GotoHistory::Added::FailedAgain);

    // Once the place can be written, the waiting lines come first, in order.
    fs::remove(file);
    EXPECT_EQ(h.Add("d"), GotoHistory::Added::Written);
    EXPECT_EQ(ReadAll(file), "a\r\nb\r\nd\r\n");
    EXPECT_EQ(h.PendingBytes(), 0u);
}

}  // namespace
}  // namespace tavik
