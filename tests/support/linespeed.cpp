// Apart from testsupport.cpp: <asm/termbits.h> and <termios.h> cannot meet.
#include <QString>

#include <asm/termbits.h>
#include <sys/ioctl.h>

// "input/output" exactly, rates without a B* constant included (termios2).
QString lineSpeeds(int fd)
{
    termios2 line {};
    if (ioctl(fd, TCGETS2, &line) != 0)
        return QStringLiteral("unreadable");
    return QStringLiteral("%1/%2").arg(line.c_ispeed).arg(line.c_ospeed);
}
