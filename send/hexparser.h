#ifndef QUORVEL_HEXPARSER_H
#define QUORVEL_HEXPARSER_H

#include <QByteArray>
#include <QString>

// Reads hexadecimal byte values from free-form text. Unreadable tokens are
// skipped silently; an empty result is the only sign that nothing was read.
QByteArray parseHexString(const QString &text);

#endif // QUORVEL_HEXPARSER_H
