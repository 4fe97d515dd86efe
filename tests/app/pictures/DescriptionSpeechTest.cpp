// The description editor (encodings, empty texts, refused texts) and the
// speech worker with a stand-in speech program.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QThread>

#include <filesystem>
#include <fstream>

#include "QtTestApp.h"
#include "app/dialogs/DescriptionEditor.h"
#include "app/dialogs/Prompts.h"
#include "app/pictures/SpeechWorker.h"
#include "catalog/Description.h"
#include "catalog/SpokenReading.h"
#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"

using namespace tavik;

namespace {
std::string Slurp(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
}  // namespace

TEST(DescriptionEditorTest, OpensWithTheFilesEncodingAndNeverEmptiesIt) {
    test::QtApp();
    QTemporaryDir dir;
    const QString path = dir.path() + "/Ori.p91";
    ASSERT_TRUE(WriteDescription(path.toStdString(), u"オリオン座\r\n三つ星", true));
    RecordingPrompts prompts;

    DescriptionEditor editor(path.toStdString(), "オリオン", prompts);
    EXPECT_EQ(editor.windowTitle(), "オリオン座の説明（編集）");
    EXPECT_TRUE(editor.UnicodeBox()->isChecked());
    EXPECT_EQ(editor.TextField()->toPlainText(), "オリオン座\n三つ星");

    // Saved unticked: Shift-JIS without a mark, line breaks as before.
    editor.UnicodeBox()->setChecked(false);
    editor.Save();
    EXPECT_EQ(editor.result(), QDialog::Accepted);
    const Description d = ReadDescription(path.toStdString());
    EXPECT_FALSE(d.unicode);
    EXPECT_EQ(d.text, u"オリオン座\r\n三つ星");

    // A character Shift-JIS lacks is refused and the file kept; an empty text keeps it too.
    const std::string before = Slurp(path);
    DescriptionEditor again(path.toStdString(), "オリオン", prompts);
    again.TextField()->setPlainText(QString::fromUtf16(u"\uD55C"));
    again.Save();
    EXPECT_NE(again.result(), QDialog::Accepted);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].startsWith("error: "));
    again.TextField()->clear();
    again.Save();
    EXPECT_EQ(again.result(), QDialog::Accepted);
    EXPECT_EQ(Slurp(path), before);

    // No file: an empty editor, Shift-JIS.
    DescriptionEditor none((dir.path() + "/And.p91").toStdString(), "アンドロメダ", prompts);
    EXPECT_TRUE(none.TextField()->toPlainText().isEmpty());
    EXPECT_FALSE(none.UnicodeBox()->isChecked());
}

TEST(SpeechWorkerTest, HandsTheTextToTheProgramAndIsBusyWhileItRuns) {
    QTemporaryDir dir;
    const QString script = dir.path() + "/speak.sh";
    {
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        // Writes what it is told, then speaks until released.
        f.write("#!/bin/sh\ncat > \"$1.tmp\" && mv \"$1.tmp\" \"$1\"\nwhile [ ! -e \"$2\" ]; do sleep 0.01; done\n");
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QString heard = dir.path() + "/heard.txt";
    const QString release = dir.path() + "/release";
    SpeechWorker worker("'" + script.toStdString() + "' '" + heard.toStdString() + "' '" + release.toStdString() + "'");
    EXPECT_FALSE(worker.Busy());
    worker.Speak("こと座のベガ");
    // Until the stand-in has written what it heard (a minute at most, for a stalled machine).
    for (int i = 0; i < 6000 && !QFile::exists(heard); ++i) QThread::msleep(10);
    ASSERT_TRUE(QFile::exists(heard));
    EXPECT_TRUE(worker.Busy());
    QFile(release).open(QIODevice::WriteOnly);
    worker.WaitUntilIdle();
    EXPECT_FALSE(worker.Busy());
    // In its kana pronunciation when MeCab's dictionary is there.
    EXPECT_EQ(Slurp(heard), SpokenReading().Available() ? "コトザノベガ" : "こと座のベガ");

    // A missing program stays silent; the worker carries on.
    worker.SetCommand("/nonexistent/speech-program -v ja");
    worker.Speak("x");
    worker.WaitUntilIdle();
    EXPECT_FALSE(worker.Busy());

    EXPECT_EQ(SplitCommandLine(R"(say  -v 'ja jp' "a \"b\"" c\ d)"),
              std::vector<std::string>({"say", "-v", "ja jp", "a \"b\"", "c d"}));
    MemorySettingsStore store;
    EXPECT_EQ(ReadSettingString(store, "SPEECH", "COMMAND"), "espeak-ng -v ja --stdin");
}
