#include "portcombobox.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>

void PortComboBox::showPopup()
{
    emit aboutToShowPopup();
    QComboBox::showPopup();
}

namespace {

QString hex4(quint16 id)
{
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}

void addFact(QStringList &lines, const QString &caption, const QString &value)
{
    if (!value.isEmpty())
        lines << caption + value;
}

// A link also names what it points to, the name other tools show.
void addLocation(QStringList &lines, const QString &location)
{
    addFact(lines, QCoreApplication::translate("PortComboBox", "位置: "), location);
    const QString target = QFileInfo(location).canonicalFilePath();
    if (!target.isEmpty() && target != location)
        addFact(lines, QCoreApplication::translate("PortComboBox", "指向: "), target);
}

} // namespace

QString portToolTip(const QSerialPortInfo &info, const QString &location)
{
    QStringList lines;
    addFact(lines, QCoreApplication::translate("PortComboBox", "描述: "), info.description());
    addFact(lines, QCoreApplication::translate("PortComboBox", "制造商: "), info.manufacturer());
    addFact(lines, QCoreApplication::translate("PortComboBox", "序列号: "), info.serialNumber());
    if (info.hasVendorIdentifier())
        addFact(lines, QCoreApplication::translate("PortComboBox", "USB 厂商 ID: "),
                hex4(info.vendorIdentifier()));
    if (info.hasProductIdentifier())
        addFact(lines, QCoreApplication::translate("PortComboBox", "USB 产品 ID: "),
                hex4(info.productIdentifier()));
    addLocation(lines, location);
    return lines.join(QLatin1Char('\n'));
}

QString pathToolTip(const QString &path, const QList<QSerialPortInfo> &ports)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    for (const QSerialPortInfo &info : ports) {
        if (!target.isEmpty() && info.systemLocation() == target)
            return portToolTip(info, path);
    }
    QStringList lines;
    addLocation(lines, path);
    return lines.join(QLatin1Char('\n'));
}
