#pragma once
// Pictures of the window for the documentation: the planisphere, the direction
// view and red mode, drawn from the bundled data at a fixed moment, without
// touching the user's settings.

#include <QString>

namespace tavik {

// Starts the program with a settings store in memory, saves
// tavik-planisphere.png, tavik-direction.png and tavik-red.png into `dir` and
// returns the process exit code (0 on success).
int CaptureWindowPictures(const QString& dir);

}  // namespace tavik
