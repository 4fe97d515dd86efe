// Qt's own texts in Japanese: with the translator the program installs at
// start, the dialogs the window opens, a question, the message boxes and Qt's
// file dialog show no English words besides the program's own.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <functional>

#include "QtTestApp.h"
#include "app/dialogs/AddInDialog.h"
#include "app/shell/JapaneseQtTexts.h"
#include "app/shell/MainFrame.h"
#include "app/shell/TavikApp.h"
#include "app/view/TavikView.h"
#include "catalog/CatalogLocation.h"
#include "settings/SettingsStore.h"
#include "view/CommandSet.h"

namespace tavik {
namespace {

// The Latin words of a window's title and of its visible buttons, labels and
// group titles; keyboard mnemonics ("はい(&Y)", "&") are not words.
QStringList LatinWords(QWidget* w) {
    QStringList texts{w->windowTitle()};
    for (auto* b : w->findChildren<QAbstractButton*>())
        if (b->isVisibleTo(w)) texts << b->text();
    for (auto* l : w->findChildren<QLabel*>())
        if (l->isVisibleTo(w)) texts << l->text();
    for (auto* g : w->findChildren<QGroupBox*>())
        if (g->isVisibleTo(w)) texts << g->title();
    static const QRegularExpression mnemonic(QStringLiteral(R"(\(&[A-Za-z]\)|&)"));
    static const QRegularExpression word(QStringLiteral("[A-Za-z]+"));
    QStringList words;
    for (QString t : texts) {
        t.remove(mnemonic);
        for (auto it = word.globalMatch(t); it.hasNext();) words << it.next().captured();
    }
    return words;
}

bool Until(const std::function<bool()>& done) {
    for (int i = 0; i < 1000 && !done(); ++i) QTest::qWait(10);
    return done();
}

TEST(JapaneseQtTextsTest, DialogsQuestionsAndFileDialogsOfTheWindowShowNoEnglish) {
    QApplication& qapp = test::QtApp();
    QTranslator* translator = InstallJapaneseQtTexts(qapp);
    ASSERT_NE(translator, nullptr) << "qtbase_ja.qm (qt6-translations-l10n) is missing";

    MemorySettingsStore store;
    store.WriteProfileString(kCatalogSection, kCatalogEntry, TAVIK_DATA_DIR "/tavik.dat");
    store.WriteProfileInt("ADIN", "ENABLE", 1);  // the add-in list's 追加 enabled
    QTemporaryDir dir;
    AppOptions options;
    options.instanceKey = QStringLiteral("TavikJapaneseTest-%1").arg(QCoreApplication::applicationPid());
    options.programDir = dir.path().toStdString();
    options.documentsDir = dir.path().toStdString();
    options.store = &store;  // no prompts given: real message boxes and Qt's file dialog
    CTavikApp app(options);
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* frame = app.Frame();
    CTavikView* view = app.View();
    frame->SetMenuPopupsSuppressed(true);

    // Every modal window as it opens: its words noted, then cancelled (a
    // question answered no); the add-in list first browses for a file.
    QStringList titles;
    QStringList english;
    bool fileDialogSeen = false;
    QTimer responder;
    QObject::connect(&responder, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) return;
        const int visits = w->property("visits").toInt();
        w->setProperty("visits", visits + 1);
        if (visits == 0) {
            auto* box = qobject_cast<QMessageBox*>(w);
            titles << (box ? box->text() : w->windowTitle());
            for (const QString& word : LatinWords(w)) english << w->windowTitle() + ": " + word;
            fileDialogSeen = fileDialogSeen || qobject_cast<QFileDialog*>(w);
        }
        if (auto* addIn = qobject_cast<CAddInDialog*>(w)) {
            if (visits == 0) {
                for (auto* b : addIn->findChildren<QAbstractButton*>()) {
                    if (b->text() == QString::fromUtf8("追加"))
                        QMetaObject::invokeMethod(b, &QAbstractButton::click, Qt::QueuedConnection);
                }
                return;
            }
            if (!fileDialogSeen && visits < 100) return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            QAbstractButton* no = box->button(QMessageBox::No);
            (no ? no : box->buttons().first())->click();
        } else if (auto* d = qobject_cast<QDialog*>(w)) {
            d->reject();
        }
    });
    responder.start(10);

    frame->RunCommand(cmd::OptionDialogs);
    frame->RunCommand(cmd::SiteDialog);
    frame->RunCommand(cmd::ConstellationChoice);
    frame->RunCommand(cmd::AddInList);
    EXPECT_TRUE(fileDialogSeen) << "the add-in browse";
    frame->RunCommand(cmd::TelescopeSwitch);  // on: the telescope settings
    const int before = titles.size();
    frame->RunCommand(cmd::TelescopeControl);
    view->OnTimer(timer_id::kPost2052);
    EXPECT_TRUE(Until([&] { return titles.size() > before; })) << "the telescope control dialog";
    QTest::keyClick(view, Qt::Key_Q);  // "プログラムを終了しますか？", answered no
    fileDialogSeen = false;
    view->OnTimer(timer_id::kNoCatalogue);  // the catalogue prompt, its file dialog cancelled
    EXPECT_TRUE(fileDialogSeen) << "the catalogue prompt";
    responder.stop();

    for (const char* title : {"オプション１", "オプション２", "オプション３", "オプション４", "観測場所", "星座選択",
                              "アドイン表示", "開く", "望遠鏡制御", "プログラムを終了しますか？",
                              "データファイルを指定してください。"})
        EXPECT_TRUE(titles.contains(QString::fromUtf8(title))) << title << " in " << titles.join(" | ").toStdString();
    EXPECT_EQ(titles.count(QString::fromUtf8("望遠鏡制御")), 2) << "its settings and its control";
    // The program's own: its title, "OK", the ports "COM1".., "INDI", "JPG表示に..",
    // "フルスクリーン(PocketPC)", "背景の色を細かく（65K色以上）".
    const QStringList own{"Tavik", "OK", "COM", "INDI", "JPG", "PocketPC", "K"};
    for (const QString& line : english)
        EXPECT_TRUE(own.contains(line.section(QStringLiteral(": "), -1))) << line.toStdString();
    delete translator;
    QLocale::setDefault(QLocale::system());
}

}  // namespace
}  // namespace tavik
