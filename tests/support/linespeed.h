#ifndef QUORVEL_LINESPEED_H
#define QUORVEL_LINESPEED_H

// The exact input and output speeds of a terminal, rates outside the B*
// constants included (termios2); kept apart because <asm/termbits.h> and
// <termios.h> cannot share a file.
bool readLineSpeeds(int fd, unsigned *input, unsigned *output);

#endif // QUORVEL_LINESPEED_H
