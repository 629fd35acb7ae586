#ifndef QUORVEL_BAUDRATES_H
#define QUORVEL_BAUDRATES_H

#include <QList>

// The rates offered in the port settings, slowest first.
const QList<qint32> &standardBaudRates();

#endif // QUORVEL_BAUDRATES_H
