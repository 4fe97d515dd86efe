// Kana readings for the speech program: MeCab's pronunciations, numbers,
// letters and signs read in Japanese, and every bundled description handed
// over in a form that espeak-ng's Japanese voice reads without falling back
// to English.

#include <gtest/gtest.h>

#include <QString>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "catalog/Description.h"
#include "catalog/SpokenReading.h"

namespace fs = std::filesystem;

namespace tavik {
namespace {

// Katakana (with ー), Japanese punctuation, blanks and line breaks only.
bool KanaOnly(const std::string& utf8) {
    for (QChar c : QString::fromStdString(utf8)) {
        const char16_t u = c.unicode();
        if (!((u >= 0x30A0 && u <= 0x30FF) || u == 0x3001 || u == 0x3002 || u == 0xFF08 || u == 0xFF09 ||
              u == ' ' || u == '\r' || u == '\n'))
            return false;
    }
    return true;
}

TEST(SpokenReadingTest, PronunciationsNumbersLettersAndSigns) {
    EXPECT_EQ(ReadAsciiRun("M42"), "エムヨンジュウニ");
    EXPECT_EQ(ReadAsciiRun("NGC7000"), "エヌ ジー シーナナセン");
    EXPECT_EQ(ReadAsciiRun("-0.5"), "マイナスレイテンゴ");
    EXPECT_EQ(ReadAsciiRun("+3806"), "プラスサンゼンハッピャクロク");
    EXPECT_EQ(ReadAsciiRun("120000"), "ジュウニマン");
    EXPECT_EQ(ReadAsciiRun("4", "月"), "シ");
    EXPECT_EQ(ReadAsciiRun("16", "個"), "ジュウロッ");
    EXPECT_EQ(ReadAsciiRun("1.5", "等"), "イチテンゴ");

    SpokenReading reading;
    if (!reading.Available()) GTEST_SKIP() << "MeCab's dictionary (mecab-ipadic-utf8) is missing";
    EXPECT_EQ(reading.Kana("オリオン座は冬の星座です。"), "オリオンザワフユノセイザデス。");
    EXPECT_EQ(reading.Kana("午後9時ごろに最も高く昇るのは1月下旬で、\r\nリゲル（β星、0.2等）、M42・NGC1976"),
              "ゴゴクジゴロニモットモタカクノボルノワイチガツゲジュンデ、\r\n"
              "リゲル（ベータセイ、レイテンニトー）、エムヨンジュウニ、エヌ ジー シーセンキュウヒャクナナジュウロク");
}

TEST(SpokenReadingTest, EveryBundledDescriptionIsHandedOverInKanaTheJapaneseVoiceReads) {
    SpokenReading reading;
    if (!reading.Available()) GTEST_SKIP() << "MeCab's dictionary (mecab-ipadic-utf8) is missing";
    std::string all;
    int files = 0;
    for (const fs::path& dir : {fs::path(TAVIK_DATA_DIR), fs::path(TAVIK_DATA_DIR) / "deep"}) {
        for (const auto& entry : fs::directory_iterator(dir)) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".p91" && ext != ".p94") continue;
            ++files;
            const std::string text = QString::fromStdU16String(ReadDescription(entry.path()).text).toStdString();
            const std::string kana = reading.Kana(text);
            EXPECT_TRUE(KanaOnly(kana)) << entry.path() << "\n" << kana;
            all += kana + "\n";
        }
    }
    EXPECT_EQ(files, 88 * 2);  // 88 constellations, bundled and deep-sky sets

    if (std::system("command -v espeak-ng >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "espeak-ng is not installed: the spoken form is not checked";
    const fs::path textFile = fs::temp_directory_path() / ("tavik-spoken-" + std::to_string(::getpid()) + ".txt");
    std::ofstream(textFile, std::ios::binary) << all;
    std::FILE* pipe = ::popen(("espeak-ng -v ja -x -q -f '" + textFile.string() + "'").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string phonemes;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) phonemes.append(buffer, n);
    EXPECT_EQ(::pclose(pipe), 0);
    fs::remove(textFile);
    EXPECT_GT(phonemes.size(), all.size() / 4);
    // espeak-ng marks every switch to another language, e.g. "(en)" for a
    // character its Japanese voice cannot read.
    std::size_t at = phonemes.find("(en)");
    EXPECT_EQ(at, std::string::npos) << phonemes.substr(at == std::string::npos ? 0 : (at < 200 ? 0 : at - 200), 400);
}

}  // namespace
}  // namespace tavik
