#include "trafficformat.h"

#include <QTime>

QString hexForm(const QByteArray &data)
{
    return QString::fromLatin1(data.toHex(' ').toUpper());
}

QString textForm(const QByteArray &data)
{
    // The pointer-and-size overload does not stop at a zero byte.
    return QString::fromUtf8(data.constData(), data.size());
}

QString timeStampForm(const QTime &time)
{
    return QStringLiteral("[%1:%2:%3:%4] ")
            .arg(time.hour(), 2, 10, QLatin1Char('0'))
            .arg(time.minute(), 2, 10, QLatin1Char('0'))
            .arg(time.second(), 2, 10, QLatin1Char('0'))
            .arg(time.msec(), 3, 10, QLatin1Char('0'));
}

namespace {

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Length of the sequence a lead byte announces, 0 for bytes that cannot lead.
int sequenceLength(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// The second byte of some sequences has a narrower range (no overlongs,
// no surrogates, nothing above U+10FFFF).
bool secondByteAllowed(unsigned char lead, unsigned char second)
{
    switch (lead) {
    case 0xE0:
        return second >= 0xA0 && second <= 0xBF;
    case 0xED:
        return second >= 0x80 && second <= 0x9F;
    case 0xF0:
        return second >= 0x90 && second <= 0xBF;
    case 0xF4:
        return second >= 0x80 && second <= 0x8F;
    default:
        return isContinuation(second);
    }
}

} // namespace

int incompleteUtf8TailLength(const QByteArray &data)
{
    const int size = data.size();
    // A lead byte of an incomplete sequence sits within the last three bytes.
    for (int back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(data.at(size - back));
        if (isContinuation(byte))
            continue;
        const int needed = sequenceLength(byte);
        if (needed <= back)
            return 0;
        if (back >= 2
            && !secondByteAllowed(byte, static_cast<unsigned char>(data.at(size - back + 1))))
            return 0;
        return back;
    }
    return 0;
}

QString Utf8StreamDecoder::decode(const QByteArray &chunk)
{
    QByteArray data = pending + chunk;
    const int tail = incompleteUtf8TailLength(data);
    pending = data.right(tail);
    data.chop(tail);
    return textForm(data);
}

void Utf8StreamDecoder::reset()
{
    pending.clear();
}
