// The tap information dialog driven through its controls, the change command
// without a mark, the add-in list dialog, and the action of a tapped mark.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include "QtTestApp.h"
#include "app/dialogs/AddInDialog.h"
#include "app/dialogs/Prompts.h"
#include "app/view/TapMarkAction.h"
#include "app/dialogs/TapMarkDialog.h"
#include "catalog/StarCatalog.h"
#include "settings/SettingsStore.h"
#include "view/TimeControl.h"

using namespace tavik;

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

struct TapFixture {
    TapFixture() { test::QtApp(); }
    QTemporaryDir dir;
    StarCatalog catalog;
    MemorySettingsStore store;
    RecordingPrompts prompts;
    TapMarkSession Session() {
        return TapMarkSession{catalog, store, dir.path().toStdString() + "/", prompts,
                              [this](const FileRequest& r) {
                                  requests << r.filter;
                                  return chosen;
                              },
                              nullptr, {}};
    }
    QString chosen;
    QStringList requests;
};

}  // namespace

TEST(TapMarkDialog, RegistersThroughTheControlsAndExchangesFiles) {
    TapFixture f;
    TapMarkSession s = f.Session();
    s.runDialog = [&](CTapMarkDialog& d) {
        EXPECT_EQ(d.LabelEdit()->text(), "T00001");
        EXPECT_FALSE(d.Button(U("削除"))->isEnabled());
        EXPECT_FALSE(d.Button(U("日時挿入"))->isEnabled());
        d.KindCombo()->setCurrentIndex(kTapText);
        d.TextEdit()->setText(U("とってもとってもとってもとってもとっても"));  // 20 characters
        d.PhraseCombo()->setCurrentIndex(d.PhraseCombo()->findText(U("シーイングが")));
        d.Button(U("文言挿入"))->click();
        d.Button(U("日時挿入"))->click();
        d.Button(U("登録"))->click();
        return d.result();
    };
    ASSERT_TRUE(RegisterTapAt(s, {1.0, 0.5}));
    EXPECT_EQ(f.prompts.messages.count(U("info: 文字の長さが30文字を超えました")), 1);
    ASSERT_EQ(f.catalog.TapMarkCount(), 1u);
    const StarRecord& m = f.catalog.TapMark(0);
    EXPECT_EQ(m.kind, kTapText);
    EXPECT_EQ(m.ra, 1.0);
    EXPECT_TRUE(QString::fromStdString(TapMarkText(m)).startsWith(U("とっても")));

    // Export proposes its name; import asks first and, after No, appends.
    f.prompts.answer = true;
    f.chosen = f.dir.path() + "/x.ptx";
    s.runDialog = [](CTapMarkDialog& d) { d.Button(U("エクスポート"))->click(); return d.result(); };
    EXPECT_FALSE(RegisterTapAt(s, {0, 0}));
    EXPECT_EQ(f.requests.last(), U(kExchangeFilter));
    s.runDialog = [&](CTapMarkDialog& d) {
        f.prompts.answer = true;  // "取り込みますか": yes
        d.Button(U("インポート"))->click();
        f.prompts.answer = false;  // "削除しますか": no
        return d.result();
    };
    EXPECT_TRUE(RegisterTapAt(s, {0, 0}));
    EXPECT_TRUE(f.prompts.messages.contains(U("ask: 読み込む前に現在データを削除しますか？")));
    EXPECT_EQ(f.catalog.TapMarkCount(), 2u);

    // Change finds the list's mark from the hit list's copy; delete removes it.
    const StarRecord copy = f.catalog.TapMark(1);
    s.runDialog = [](CTapMarkDialog& d) {
        EXPECT_TRUE(d.Button(U("削除"))->isEnabled());
        d.Button(U("削除"))->click();
        return d.result();
    };
    EXPECT_TRUE(ChangeTapAt(s, &copy));
    EXPECT_EQ(f.catalog.TapMarkCount(), 1u);
    StarRecord star;
    EXPECT_FALSE(ChangeTapAt(s, &star));
    EXPECT_EQ(f.prompts.messages.last(), U("error: 対象ﾀｯﾌﾟ情報がありません"));

    // "日時挿入" stamps the site's time, from the session's clock.
    struct SiteClock final : Clock {
        DateTime Now() const override { return DateTime(2026, 1, 11, 0, 5, 0); }
    } site;
    s.clock = &site;
    s.runDialog = [&](CTapMarkDialog& d) {
        d.KindCombo()->setCurrentIndex(kTapText);
        d.Button(U("日時挿入"))->click();
        EXPECT_EQ(d.TextEdit()->text(), U("* 2026/1/11 0:5"));
        return int(CTapMarkDialog::Cancelled);
    };
    EXPECT_FALSE(RegisterTapAt(s, {0, 0}));
}

TEST(AddInDialog, AddStoresAtOnceAndOkRewritesTheList) {
    test::QtApp();
    MemorySettingsStore store;
    store.WriteProfileInt("ADIN", "COUNT", 2);
    store.WriteProfileString("ADIN", "f1", "/a.p99");
    store.WriteProfileString("ADIN", "f2", "/b.p95");
    CAddInDialog d(store, [](const FileRequest& r) {
        EXPECT_EQ(r.filter, U(kAddInFilter));
        return QStringLiteral("/c.P92");
    });
    EXPECT_FALSE(d.List()->isEnabled());
    d.EnableBox()->setChecked(true);
    d.Add();
    EXPECT_EQ(store.GetProfileString("ADIN", "f3", ""), "/c.P92");
    d.List()->setCurrentRow(1);
    d.Remove();
    d.accept();
    EXPECT_EQ(store.GetProfileInt("ADIN", "COUNT", 0), 2);
    EXPECT_EQ(store.GetProfileString("ADIN", "f1", ""), "/a.p99");
    EXPECT_EQ(store.GetProfileString("ADIN", "f2", ""), "/c.P92");
    EXPECT_FALSE(store.Contains("ADIN", "f3"));
    EXPECT_EQ(store.GetProfileInt("ADIN", "ENABLE", 0), 1);
}

TEST(TapMarkAction, ProgramOrDocumentOnlyAfterYesFailuresSaidAndTextReturned) {
    test::QtApp();
    QTemporaryDir dir;
    const QString programPath = dir.path() + "/x; rm -rf ~";
    const QString documentPath = dir.path() + "/M42.pdf";
    for (const QString& p : {programPath, documentPath}) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QFile::setPermissions(programPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    RecordingPrompts prompts;
    QStringList started, opened;
    TapMarkActions actions;
    actions.startProgram = [&](const QString& p) {
        started << p;
        return true;
    };
    actions.openDocument = [&](const QString& p) {
        opened << p;
        return false;  // no application for it
    };
    const StarRecord program = MakeTapMark({0, 0}, 1, {kTapProgram, "p", programPath.toStdString()});
    const TapActionResult no = RunTapMarkAction(program, prompts, actions);
    EXPECT_FALSE(no.acted);
    EXPECT_TRUE(no.asked);
    EXPECT_TRUE(started.isEmpty());
    prompts.answer = true;
    EXPECT_TRUE(RunTapMarkAction(program, prompts, actions).acted);
    EXPECT_EQ(started, QStringList{programPath});  // the whole text is the program
    EXPECT_EQ(prompts.messages.first(), U("ask: プログラムを実行しますか？"));

    // A document goes to the desktop's application; a failure is said, as is a missing file.
    prompts.messages.clear();
    EXPECT_FALSE(RunTapMarkAction(MakeTapMark({0, 0}, 1, {kTapProgram, "d", documentPath.toStdString()}), prompts, actions).acted);
    EXPECT_EQ(opened, QStringList{documentPath});
    EXPECT_TRUE(prompts.messages.contains(U("error: 開けませんでした: ") + documentPath));
    RunTapMarkAction(MakeTapMark({0, 0}, 1, {kTapProgram, "m", "/nowhere/x"}), prompts, actions);
    EXPECT_TRUE(prompts.messages.contains(U("error: ファイルがありません: /nowhere/x")));
    EXPECT_EQ(started.size(), 1);

    const TapActionResult text = RunTapMarkAction(MakeTapMark({0, 0}, 2, {kTapText, "t", "メモ"}), prompts, actions);
    EXPECT_EQ(text.text, U("メモ"));
}
