#include "trafficformat.h"

#include <QTime>

#include <cstring>

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

// Number of bytes at the end of data that start a UTF-8 sequence which is
// still incomplete but could be completed by further bytes (0 to 3). A
// sequence that can no longer become valid is not held: its bytes show as
// U+FFFD at once, exactly as they would in a decode of the whole stream.
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

} // namespace

QString hexForm(const QByteArray &data)
{
    return QString::fromLatin1(data.toHex(' ').toUpper());
}

// Qt's UTF-8 decode, but QString::fromUtf8 drops a byte-order mark at the
// very start, so the leading ones are counted off by hand.
QString textForm(const QByteArray &data)
{
    static const char byteOrderMark[] = "\xEF\xBB\xBF";
    int marks = 0;
    while (3 * marks + 3 <= data.size()
           && std::memcmp(data.constData() + 3 * marks, byteOrderMark, 3) == 0)
        ++marks;
    const int rest = 3 * marks;
    // The pointer-and-size overload does not stop at a zero byte.
    const QString text = QString::fromUtf8(data.constData() + rest, data.size() - rest);
    return marks == 0 ? text : QString(marks, QChar(0xFEFF)) + text;
}

QString timeStampForm(const QTime &time)
{
    return time.toString(QStringLiteral("[HH:mm:ss:zzz] "));
}

// The held-back bytes are decoded again together with the next chunk: a
// decoder carrying them in its own state could turn a held sequence that
// proves malformed into fewer U+FFFD than a whole decode.
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
