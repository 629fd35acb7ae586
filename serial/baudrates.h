#ifndef QUORVEL_BAUDRATES_H
#define QUORVEL_BAUDRATES_H

#include <QList>

class QString;
class QValidator;
class QObject;

// The rates offered in the port settings, slowest first.
const QList<qint32> &standardBaudRates();

// Any rate in this range may be typed or given on the command line.
constexpr qint32 minimumBaudRate = 50;
constexpr qint32 maximumBaudRate = 4000000;

// The rate a typed text names, plain decimal digits only; 0 when it names
// none in the range.
qint32 baudRateFromText(const QString &text);
// Lets the rate field take digits and nothing beyond the range.
QValidator *newBaudRateValidator(QObject *parent);

#endif // QUORVEL_BAUDRATES_H
