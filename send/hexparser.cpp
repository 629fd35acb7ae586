#include "hexparser.h"

namespace {

// Only ASCII digits count: QChar::isDigit would also accept full-width and
// other Unicode digits, which must make the token unreadable.
int hexDigitValue(ushort u)
{
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

// Only ASCII white space separates tokens, so an ideographic space inside a
// token keeps it together (and unreadable).
bool isSeparator(ushort u)
{
    return u == ' ' || (u >= '\t' && u <= '\r');
}

} // namespace

// One pass over the text without allocating per token: a multi-megabyte
// send text must not stall the window.
QByteArray parseHexString(const QString &text)
{
    QByteArray result;
    // Two digits per byte at best; reserving this bound avoids regrowth.
    result.reserve(text.size() / 2 + 1);

    const QChar *const chars = text.constData();
    const int size = text.size();
    int position = 0;
    while (position < size) {
        while (position < size && isSeparator(chars[position].unicode()))
            ++position;
        int start = position;
        while (position < size && !isSeparator(chars[position].unicode()))
            ++position;
        int end = position;

        // Other Unicode spaces such as U+3000 may still sit at token ends.
        while (start < end && chars[start].isSpace())
            ++start;
        while (end > start && chars[end - 1].isSpace())
            --end;
        if (start == end)
            continue;

        bool allDigits = true;
        for (int i = start; i < end && allDigits; ++i)
            allDigits = hexDigitValue(chars[i].unicode()) >= 0;

        if (allDigits) {
            // Pairs from the left; an odd last digit stands alone (ABC -> AB 0C).
            for (int i = start; i < end; i += 2) {
                int value = hexDigitValue(chars[i].unicode());
                if (i + 1 < end)
                    value = value * 16 + hexDigitValue(chars[i + 1].unicode());
                result.append(static_cast<char>(value));
            }
            continue;
        }

        // Signed or 0x-prefixed tokens stand for exactly one byte.
        bool ok = false;
        const int value = QStringView(text).mid(start, end - start).toInt(&ok, 16);
        if (ok && static_cast<uint>(value) <= 0xFFu)
            result.append(static_cast<char>(value));
    }

    return result;
}
