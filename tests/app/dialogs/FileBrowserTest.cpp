// The file browser's rules (age texts, names, extensions, the way up) and its
// walking, root, open and save behaviour.

#include "app/dialogs/FileBrowser.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "QtTestApp.h"
#include "app/dialogs/Prompts.h"

using namespace tavik;

TEST(FileBrowserRules, AgeNamesExtensionsAndTheWayUp) {
    const QDateTime now(QDate(2026, 6, 6), QTime(20, 3, 5));
    EXPECT_EQ(FileAgeText(now.addSecs(-59), now), "59秒前");
    EXPECT_EQ(FileAgeText(now.addSecs(-60), now), "1分前");
    EXPECT_EQ(FileAgeText(now.addSecs(-3599), now), "59分前");
    EXPECT_EQ(FileAgeText(now.addSecs(-11 * 3600 - 3599), now), "11時間前");
    EXPECT_EQ(FileAgeText(QDateTime(QDate(2026, 6, 6), QTime(7, 2)), now), "今日 07:02");
    EXPECT_EQ(FileAgeText(QDateTime(QDate(2026, 6, 5), QTime(20, 0)), now), "2026/6/5 20:00");
    EXPECT_EQ(FileAgeText(QDateTime(QDate(2025, 3, 4), QTime(5, 6)), now), "2025/3/4 05:06");

    EXPECT_TRUE(HasForbiddenCharacter("a#b"));
    EXPECT_TRUE(HasForbiddenCharacter("say \"hi\""));
    EXPECT_TRUE(HasForbiddenCharacter("../etc/x"));
    EXPECT_FALSE(HasForbiddenCharacter("星空 2026.jpg"));
    EXPECT_EQ(WithExtension("/d/a.JPG", ".jpg"), "/d/a.JPG");
    EXPECT_EQ(WithExtension("/d/a", ".jpg"), "/d/a.jpg");
    EXPECT_EQ(ParentFolder("/home/user"), "/home");
    EXPECT_EQ(ParentFolder("/home"), "");
}

class FileBrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        ASSERT_TRUE(tmp_.isValid());
        root_ = tmp_.path();
        QDir(root_).mkpath("sub/deeper");
        for (const char* f : {"b.jpg", "A.JPG", "note.txt", "sub/in.jpg"}) {
            QFile file(root_ + "/" + f);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }
    QStringList Texts(const FileBrowser& b) {
        QStringList t;
        for (const auto& e : b.Entries()) t << e.Text();
        return t;
    }
    QTemporaryDir tmp_;
    QString root_;
    RecordingPrompts prompts_;
};

TEST_F(FileBrowserTest, WalksFoldersAndOpensATappedFile) {
    FileBrowser b(prompts_);
    b.SetFolder(root_ + "/");
    b.SetExtension(".jpg");
    b.show();
    EXPECT_EQ(Texts(b), QStringList({"  上のﾌｫﾙﾀﾞへ", " sub", " A.JPG", " b.jpg"}));
    EXPECT_EQ(b.List()->topLevelItemCount(), 4);
    b.SortByColumn(0);
    EXPECT_EQ(Texts(b).at(1), " sub");

    b.Tap(1);  // into "sub"
    EXPECT_EQ(b.Folder(), root_ + "/sub");
    EXPECT_EQ(Texts(b), QStringList({"  上のﾌｫﾙﾀﾞへ", " deeper", " in.jpg"}));
    b.Tap(0);  // back up
    EXPECT_EQ(b.Folder(), root_);

    b.DoubleTap(3);  // b.jpg: chosen and confirmed
    EXPECT_EQ(b.result(), QDialog::Accepted);
    EXPECT_EQ(b.ResultPath(), root_ + "/b.jpg");
    EXPECT_TRUE(prompts_.messages.isEmpty());

    // Walking up from a top-level folder reaches the root, which has no way up.
    FileBrowser top(prompts_);
    top.SetFolder("/tmp");
    top.show();
    top.GoUp();
    EXPECT_EQ(top.Folder(), "");
    ASSERT_FALSE(top.Entries().empty());
    EXPECT_NE(top.Entries().front().kind, BrowserEntry::WayUp);
}

TEST_F(FileBrowserTest, SaveModeNamesAndTheRootRule) {
    FileBrowser b(prompts_);
    b.SetFolder(root_);
    b.SetExtension(".jpg");
    b.SetOpenMode(false);
    b.SetFileName("shot#1");
    b.show();
    EXPECT_FALSE(b.NameField()->isReadOnly());
    b.Confirm();
    EXPECT_EQ(prompts_.messages, QStringList({"error: 不正な文字が\n含まれています"}));
    EXPECT_NE(b.result(), QDialog::Accepted);

    // An existing file: answered no stays, yes writes over it.
    b.NameField()->setText("b");
    b.Confirm();
    EXPECT_EQ(prompts_.messages.last(), "ask: 既に存在するファイルに\n上書きしますか？");
    EXPECT_NE(b.result(), QDialog::Accepted);
    prompts_.answer = true;
    b.Confirm();
    EXPECT_EQ(b.result(), QDialog::Accepted);
    EXPECT_EQ(b.ResultPath(), root_ + "/b.jpg");

    // A folder that has gone: back to the root, with the message, which comes
    // before the window shows (never from inside its show).
    struct SeeingPrompts final : Prompts {
        const QWidget* browser = nullptr;
        QStringList seen;
        void Error(const QString&) override {}
        void Info(const QString& text) override { seen << text + (browser->isVisible() ? " (shown)" : ""); }
        bool Ask(const QString&) override { return false; }
        QString ChooseFile(const QString&, const QString&, const QString&) override { return {}; }
    } seeing;
    FileBrowser gone(seeing);
    seeing.browser = &gone;
    gone.SetFolder(root_ + "/no/such");
    gone.show();
    EXPECT_EQ(seeing.seen, QStringList({"ファイルが見つかりません。システムルートに戻ります。"}));
    EXPECT_EQ(gone.Folder(), "");
    EXPECT_TRUE(gone.isVisible());
}
