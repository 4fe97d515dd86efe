#pragma once
// Toolbar icons drawn by the program itself: a 16 x 16 (logical pixels) tile
// with a short glyph, rendered at 1x, 2x and 3x so that it stays crisp on
// high-density screens.

#include <QIcon>
#include <QString>

namespace tavik {

// The glyph shown on the toolbar button of a command ("東", "早", "▶" ...).
QString CommandGlyph(int commandId);
// The button icon of a command.
QIcon CommandIcon(int commandId);
// A tile with an arbitrary glyph (for tests and the toolbar menu button).
QIcon GlyphIcon(const QString& glyph, int commandId);

}  // namespace tavik
