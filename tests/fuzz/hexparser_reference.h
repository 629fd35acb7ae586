#ifndef QUORVEL_HEXPARSER_REFERENCE_H
#define QUORVEL_HEXPARSER_REFERENCE_H

// The first, regular-expression based hexadecimal parser, kept as the oracle
// the one-pass parser is compared against (by its fuzz target and a test).

#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

inline QByteArray referenceParseHexString(const QString &text)
{
    const auto digit = [](QChar c) {
        const ushort u = c.unicode();
        if (u >= '0' && u <= '9')
            return u - '0';
        if (u >= 'A' && u <= 'F')
            return u - 'A' + 10;
        if (u >= 'a' && u <= 'f')
            return u - 'a' + 10;
        return -1;
    };
    QByteArray result;
    static const QRegularExpression separators(QStringLiteral("\\s+"));
    const QStringList parts = text.trimmed().split(separators);
    for (const QString &part : parts) {
        const QString token = part.trimmed();
        if (token.isEmpty())
            continue;
        bool allDigits = true;
        for (const QChar c : token)
            allDigits = allDigits && digit(c) >= 0;
        if (allDigits) {
            for (int i = 0; i < token.size(); i += 2) {
                int value = digit(token.at(i));
                if (i + 1 < token.size())
                    value = value * 16 + digit(token.at(i + 1));
                result.append(static_cast<char>(value));
            }
            continue;
        }
        bool ok = false;
        const int value = token.toInt(&ok, 16);
        if (ok && static_cast<uint>(value) <= 0xFFu)
            result.append(static_cast<char>(value));
    }
    return result;
}

#endif // QUORVEL_HEXPARSER_REFERENCE_H
