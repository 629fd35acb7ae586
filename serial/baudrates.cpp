#include "baudrates.h"

#include <QIntValidator>
#include <QLocale>

const QList<qint32> &standardBaudRates()
{
    static const QList<qint32> rates = { 1200,  2400,   4800,   9600,   19200, 38400,
                                         57600, 115200, 230400, 460800, 921600 };
    return rates;
}

namespace {

// The C locale without group separators: "250,000" would otherwise pass the
// validator and fail the conversion.
QLocale plainDigits()
{
    QLocale locale = QLocale::c();
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    return locale;
}

} // namespace

qint32 baudRateFromText(const QString &text)
{
    bool ok = false;
    const int rate = plainDigits().toInt(text, &ok);
    return ok && rate >= minimumBaudRate && rate <= maximumBaudRate ? rate : 0;
}

QValidator *newBaudRateValidator(QObject *parent)
{
    auto *validator = new QIntValidator(minimumBaudRate, maximumBaudRate, parent);
    validator->setLocale(plainDigits());
    return validator;
}
