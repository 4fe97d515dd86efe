// `tavik --list-commands`: every command with its state and places, read from
// the user's settings and never written back.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <map>

#include "QtTestApp.h"
#include "view/CommandSet.h"

namespace tavik {
namespace {

TEST(ListCommands, PrintsEveryCommandFromTheUsersSettingsWithoutWritingThem) {
    test::QtApp();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString ini = home.path() + "/config/Arvex/Tavik.ini";
    QDir().mkpath(home.path() + "/config/Arvex");
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[COLOR]\nALLRED=1\n[TAVIK]\nTAVIK_DATA=" TAVIK_DATA_DIR "/tavik.dat\n");
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.path() + "/config");
    env.insert("XDG_RUNTIME_DIR", home.path());
    QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(TAVIK_APP, {"--list-commands"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);

    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    // The table's commands and the twelve main toolbars, 32907 and 32909 of menu 164.
    ASSERT_EQ(lines.size(), static_cast<int>(AllCommands().size()) + 14);
    std::map<int, QStringList> byId;
    for (const QString& line : lines) {
        const QStringList f = line.split('\t');
        ASSERT_EQ(f.size(), 5) << line.toStdString();
        byId[f[0].toInt()] = f;
    }
    EXPECT_EQ(byId[cmd::RedMode][3], "checked") << "read from the user's settings";
    EXPECT_EQ(byId[cmd::RedMode][2], "enabled");
    const QStringList where = byId[cmd::OptionDialogs][4].split(',');
    EXPECT_TRUE(where.contains(QString::fromUtf8("menu:設定")));
    EXPECT_TRUE(where.contains("second:165"));
    EXPECT_TRUE(byId[cmd::Exit][4].contains("popup:display"));
    EXPECT_TRUE(byId[cmd::ToolbarSwitch][4].contains("toolbar:0"));

    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("[COLOR]\nALLRED=1\n[TAVIK]\nTAVIK_DATA=" TAVIK_DATA_DIR "/tavik.dat\n"))
        << "the settings are only read";
    EXPECT_TRUE(QDir(home.path()).entryList({"TavikMutex*"}).isEmpty()) << "no single-instance lock";
}

}  // namespace
}  // namespace tavik
