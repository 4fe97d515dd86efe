#include "telescope/SerialBaud.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace tavik {

bool SetCustomBaudRate(int fd, unsigned rate) {
    struct termios2 tio {};
    if (::ioctl(fd, TCGETS2, &tio) != 0) return false;
    tio.c_cflag &= ~CBAUD;
    tio.c_cflag |= BOTHER;
    tio.c_cflag &= ~(CBAUD << IBSHIFT);
    tio.c_cflag |= BOTHER << IBSHIFT;
    tio.c_ispeed = rate;
    tio.c_ospeed = rate;
    return ::ioctl(fd, TCSETS2, &tio) == 0;
}

}  // namespace tavik
