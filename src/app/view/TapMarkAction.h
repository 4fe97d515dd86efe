#pragma once
// What a tap on a registered mark does, by the mark's kind: 0 shows the JPEG
// file T, 1 opens T only after "プログラムを実行しますか？" is answered Yes (a
// program, a path to an executable file or a name found on PATH, is started
// detached as the program itself, never through a shell, with no arguments;
// any other file, a picture or a PDF, is opened with the desktop's
// application for it; a failure is said in an error box), 2 shows the add-in
// file T, 3 returns T for the view to write at (10, 22) on a filled background.
//
// The view, when a tap found a tap mark (TapOutcome::record->IsTapMark()):
//   TapMarkActions a;
//   a.showPicture = [this](const std::string& p) { ShowPicture(p); };
//   a.showAddIn = [this](const std::string& p) { /* redraw with DrawAddIn(ctx, p, true) */ };
//   const TapActionResult r = RunTapMarkAction(*outcome.record, prompts_, a);
//   if (r.text) DrawTextBlock(painter, ViewFont(TapFontTenths(store_)), 10, 22,
//                             *r.text, colors_, ColorModes::Load(store_));

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <string>

namespace tavik {

class Prompts;
struct StarRecord;

struct TapMarkActions {
    std::function<void(const std::string& path)> showPicture;  // kind 0
    std::function<void(const std::string& path)> showAddIn;    // kind 2
    // Starts a program detached; QProcess::startDetached(program, {}) unless set.
    std::function<bool(const QString& program)> startProgram;
    // Opens a document; QDesktopServices::openUrl of the file unless set.
    std::function<bool(const QString& path)> openDocument;
};

struct TapActionResult {
    bool acted = false;            // a picture or add-in was handed on, or a program started
    bool asked = false;            // a question was put to the user (it took the press)
    std::optional<QString> text;   // kind 3: the text to write
};

// Runs the action of `mark` (a record that is not a tap mark does nothing).
TapActionResult RunTapMarkAction(const StarRecord& mark, Prompts& prompts, const TapMarkActions& actions);

}  // namespace tavik
