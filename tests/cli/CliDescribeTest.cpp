// tavik-cli describe: a constellation's description as UTF-8, and with
// --reading the text the speech program is handed (the spoken .p94 file in
// kana; without MeCab's dictionary the text as it stands, said once).

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <string>

#include "CliRunner.h"
#include "catalog/Description.h"
#include "catalog/ShiftJis.h"
#include "catalog/SpokenReading.h"

namespace {

TEST(CliDescribe, PrintsTheDescriptionOrWhatTheSpeechProgramIsHanded) {
    std::ifstream in(TAVIK_DATA_DIR "/Ori.p91", std::ios::binary);
    const std::string sjis((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const CliRun ori = RunCli("describe Ori");
    EXPECT_EQ(ori.status, 0);
    EXPECT_EQ(ori.out, tavik::SjisToUtf8(sjis));

    QTemporaryDir dir;
    const std::string data = dir.path().toStdString();
    ASSERT_TRUE(tavik::WriteDescription(data + "/Lyr.p91", u"こと座", false));
    ASSERT_TRUE(tavik::WriteDescription(data + "/Lyr.p94", u"ベガは0.0等", true));
    EXPECT_EQ(RunCli("describe Lyr --data '" + data + "'").out, "こと座");
    if (tavik::SpokenReading().Available()) {
        EXPECT_EQ(RunCli("describe Lyr --reading --data '" + data + "'").out, "ベガワレイテンレイトー");
    }
    const CliRun plain = RunCommand("MECABRC=/nonexistent '" TAVIK_CLI "' describe Lyr --reading --data '" + data +
                                    "' 2>&1");
    EXPECT_EQ(plain.status, 0);
    EXPECT_NE(plain.out.find("MeCab"), std::string::npos) << plain.out;
    EXPECT_EQ(plain.out.substr(plain.out.find('\n') + 1), "ベガは0.0等");

    // Only a constellation's abbreviation names a file; a missing file fails.
    EXPECT_EQ(RunCli("describe ../x").status, 2);
    EXPECT_EQ(RunCli("describe Xyz").status, 2);
    EXPECT_EQ(RunCli("describe And --data '" + data + "'").status, 1);
}

}  // namespace
