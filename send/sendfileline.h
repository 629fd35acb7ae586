#ifndef QUORVEL_SENDFILELINE_H
#define QUORVEL_SENDFILELINE_H

#include <QByteArray>
#include <QString>

// One line of a send file as it is sent: the bytes without the white space
// (blank, tab, CR, LF, VT, FF) at both ends, decoded as UTF-8. Every
// character is kept, zero bytes and U+FEFF included; malformed sequences
// become U+FFFD.
QString decodeSendFileLine(const QByteArray &rawLine);

// The UTF-8 byte-order mark a file may begin with; it is not a character of
// the first line.
QByteArray withoutByteOrderMark(const QByteArray &firstLine);

#endif // QUORVEL_SENDFILELINE_H
