#include "linespeed.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

bool readLineSpeeds(int fd, unsigned *input, unsigned *output)
{
    termios2 line{};
    if (ioctl(fd, TCGETS2, &line) != 0)
        return false;
    *input = line.c_ispeed;
    *output = line.c_ospeed;
    return true;
}
