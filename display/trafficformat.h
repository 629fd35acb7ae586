#ifndef QUORVEL_TRAFFICFORMAT_H
#define QUORVEL_TRAFFICFORMAT_H

#include <QByteArray>
#include <QString>

class QTime;

// Upper-case hexadecimal pairs separated by single blanks: "48 0D 0A".
QString hexForm(const QByteArray &data);

// The whole chunk decoded as UTF-8, every character kept: zero bytes as
// U+0000 and a byte-order mark as U+FEFF wherever it stands; malformed
// sequences become U+FFFD.
QString textForm(const QByteArray &data);

// "[HH:MM:SS:mmm] " with a trailing blank.
QString timeStampForm(const QTime &time);

// Decodes a byte stream chunk by chunk, holding back an incomplete UTF-8
// sequence at the end of a chunk until the next chunk completes it. The
// pieces joined give what one textForm of the whole stream gives.
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
