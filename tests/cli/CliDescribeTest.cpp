// tavik-cli describe: a constellation's description as UTF-8, and with
// --reading the text the speech program is handed (the spoken .p94 file in
// kana; without MeCab's dictionary the text as it stands, said once).

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <fstream>
#include <string>

#include "CliRunner.h"
#include "catalog/Description.h"
#include "catalog/ShiftJis.h"
#include "catalog/SpokenReading.h"

namespace {

// tavik-cli describe in a home of its own.
CliRun Describe(const QTemporaryDir& home, const std::string& args) {
    return RunCommand("env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME='" + home.path().toStdString() + "' '" +
                      TAVIK_CLI + "' describe " + args + " 2>/dev/null");
}

TEST(CliDescribe, PrintsTheDescriptionOrWhatTheSpeechProgramIsHanded) {
    std::ifstream in(TAVIK_DATA_DIR "/Ori.p91", std::ios::binary);
    const std::string sjis((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_NE(sjis.find("\r\n"), std::string::npos);
    std::string lf = tavik::SjisToUtf8(sjis);
    std::erase(lf, '\r');
    // Before the window has set up the user's data: the bundled copy, with LF line ends.
    QTemporaryDir home;
    const CliRun ori = Describe(home, "Ori");
    EXPECT_EQ(ori.status, 0);
    EXPECT_EQ(ori.out, lf);
    // Then the user's data folder, which the window reads and writes.
    const std::string user = home.path().toStdString() + "/.local/share/Arvex/Tavik";
    QDir().mkpath(QString::fromStdString(user));
    std::ofstream(user + "/tavik.dat").put('\0');
    ASSERT_TRUE(tavik::WriteDescription(user + "/Ori.p91", u"冬の星座\r\n三つ星", false));
    EXPECT_EQ(Describe(home, "Ori").out, "冬の星座\n三つ星");
    EXPECT_EQ(Describe(home, "Ori --data " TAVIK_DATA_DIR).out, lf);

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
