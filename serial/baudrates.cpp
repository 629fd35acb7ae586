#include "baudrates.h"

const QList<qint32> &standardBaudRates()
{
    static const QList<qint32> rates = { 1200,  2400,   4800,   9600,   19200, 38400,
                                         57600, 115200, 230400, 460800, 921600 };
    return rates;
}
