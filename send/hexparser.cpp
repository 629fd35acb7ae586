#include "hexparser.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// Only ASCII digits count: QChar::isDigit would also accept full-width and
// other Unicode digits, which must make the token unreadable.
int hexDigitValue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

bool isAllHexDigits(const QString &token)
{
    for (const QChar c : token) {
        if (hexDigitValue(c) < 0)
            return false;
    }
    return true;
}

} // namespace

QByteArray parseHexString(const QString &text)
{
    QByteArray result;

    // No pattern options: only ASCII white space separates tokens, so an
    // ideographic space inside a token keeps it together (and unreadable).
    static const QRegularExpression separators(QStringLiteral("\\s+"));
    const QStringList parts = text.trimmed().split(separators);

    for (const QString &part : parts) {
        // The split leaves Unicode spaces such as U+3000 at token ends.
        const QString token = part.trimmed();
        if (token.isEmpty())
            continue;

        if (isAllHexDigits(token)) {
            // Pairs from the left; an odd last digit stands alone (ABC -> AB 0C).
            for (int i = 0; i < token.size(); i += 2) {
                int value = hexDigitValue(token.at(i));
                if (i + 1 < token.size())
                    value = value * 16 + hexDigitValue(token.at(i + 1));
                result.append(static_cast<char>(value));
            }
            continue;
        }

        // Signed or 0x-prefixed tokens stand for exactly one byte.
        bool ok = false;
        const int value = token.toInt(&ok, 16);
        if (ok && static_cast<uint>(value) <= 0xFFu)
            result.append(static_cast<char>(value));
    }

    return result;
}
