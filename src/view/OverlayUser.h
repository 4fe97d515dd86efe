#pragma once
// What the user adds to the chart: the registered tap marks with the numbered
// marks ①②③, and the add-in overlay files ".p90" to ".p99".
//
// In the render pass (after DrawCompassLabels, which is where the pass draws
// the tap marks, and after DrawMilkyWay for the add-ins):
//   DrawTapMarks(ctx, scene.catalog->TapMarks(), &numberedMarks);
//   DrawAddIns(ctx);
// A tap on a mark of kind 2 redraws the chart with DrawAddIn(ctx, T, true);
// a mark of kind 3 writes its text with DrawTextBlock(painter, font, 10, 22, ...).

#include <QColor>
#include <QFont>
#include <QString>

#include <deque>
#include <string>
#include <vector>

#include "view/RenderContext.h"

class QPainter;

namespace tavik {

class SettingsStore;
struct NumberedMarks;
struct StarRecord;

// The tap marks, while TAPREG/ENABLE is on: a 6-pixel square (kind 0),
// triangle with its apex up (1), circle (2) or triangle with its apex down (3)
// around each mark's point in the tap-mark colour (slot 22), labelled in slot
// 28 with TapMarkLabel while OPTION3/USR_TAP_TEXT is 1. Each drawn mark goes
// into ctx.hits (as a copy, so deleting a mark never leaves the hit list
// pointing at it). The placed numbered marks (may be null) are drawn as "①",
// "②", "③" centred on their points in slot 29, whatever TAPREG/ENABLE says;
// they are not tap targets. Marks off the chart or below the horizon, and
// marks with non-finite positions, are skipped.
void DrawTapMarks(RenderContext& ctx, const std::deque<StarRecord>& marks,
                  const NumberedMarks* numbered = nullptr);

// One add-in file by its type (AddInType of the path):
//   ".p90"         polyline in the add-in line colour (slot 21), its caption at
//                  the last drawn point (no caption when nothing was drawn);
//   ".p91", ".p94" the text as a block at (5, 10);
//   ".p92"         the same polyline as ".p99", only when `force` is set;
//   ".p93"         every record of kind 1 to 8 placed and drawn like a
//                  catalogue object (stars by the star painter, deep-sky objects
//                  by their symbols) and added to ctx.hits; tap marks in it are
//                  left out, so an add-in file never carries actions;
//   ".p95".."p98"  nothing;
//   ".p99"         polyline, no caption.
// A file that does not open draws nothing; a count outside the file's arrays,
// or a file shorter than its arrays, draws nothing of what it does not hold.
void DrawAddIn(RenderContext& ctx, const std::string& path, bool force);

// The add-in pass: while ADIN/ENABLE is on and the view is neither the polar
// alignment nor the heliocentric view, every non-empty, existing file of
// AddInPaths is drawn with DrawAddIn(path, false); missing files are skipped
// silently.
void DrawAddIns(RenderContext& ctx);

// ADIN/f1 .. ADIN/fCOUNT in order, empty entries left out (UTF-8 paths).
std::vector<std::string> AddInPaths(const SettingsStore& store);

// A text block with its top-left corner at (x, y) on a filled background: the
// lines of `text` in the scheme's text colour over the sky-background colour
// (slot 17) of the mode. A block that would pass the right edge is moved left
// to end there; one wider than the device is wrapped inside it.
void DrawTextBlock(QPainter& painter, const QFont& font, int x, int y, const QString& text,
                   const ColorTable& colors, const ColorModes& modes);

}  // namespace tavik
