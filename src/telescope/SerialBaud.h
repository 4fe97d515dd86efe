#pragma once
// Rates that termios has no constant for (14400, 56000) are set through the
// kernel's arbitrary-rate interface. Kept apart because its header clashes with
// <termios.h>.

namespace tavik {

// Sets input and output rate of an open serial descriptor; false on failure.
bool SetCustomBaudRate(int fd, unsigned rate);

}  // namespace tavik
