#ifndef QUORVEL_TRAFFICFORMAT_H
#define QUORVEL_TRAFFICFORMAT_H

#include <QByteArray>
#include <QString>

class QTime;

// Upper-case hexadecimal pairs separated by single blanks: "48 0D 0A".
QString hexForm(const QByteArray &data);

// The whole chunk decoded as UTF-8. Zero bytes are kept as U+0000 so that
// nothing after them is lost; malformed sequences become U+FFFD.
QString textForm(const QByteArray &data);

// "[HH:MM:SS:mmm] " with a trailing blank.
QString timeStampForm(const QTime &time);

// Number of bytes at the end of data that start a UTF-8 sequence which is
// still incomplete but could be completed by further bytes (0 to 3).
int incompleteUtf8TailLength(const QByteArray &data);

// Decodes a byte stream chunk by chunk, holding back an incomplete UTF-8
// sequence at the end of a chunk until the next chunk completes it.
class Utf8StreamDecoder
{
public:
    QString decode(const QByteArray &chunk);
    void reset();
    QByteArray pendingBytes() const { return pending; }

private:
    QByteArray pending;
};

#endif // QUORVEL_TRAFFICFORMAT_H
