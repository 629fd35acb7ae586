#include "baudrates.h"
#include "mainwindow.h"
#include "networkaddress.h"
#include "portcombobox.h"
#include "portlink.h"

#include <QComboBox>
#include <QSerialPortInfo>

void MainWindow::selectPort(const QString &nameOrPath)
{
    // A network port named here joins those added through the list.
    NetworkAddress address;
    QString error;
    if (NetworkAddress::parse(nameOrPath, &address, &error)) {
        static_cast<PortComboBox *>(portCombo)->rememberNetworkPort(address.toString());
        refreshPortList();
        portCombo->setCurrentIndex(portCombo->findText(address.toString()));
        return;
    }
    // A path to an enumerated port (/dev/ttyUSB0) selects that port's entry.
    QString name = nameOrPath;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        if (info.systemLocation() == nameOrPath)
            name = info.portName();
    }
    if (!pinnedPorts.contains(name))
        pinnedPorts.append(name);
    refreshPortList();
    const int index = portCombo->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) {
        portCombo->setCurrentIndex(index);
    } else {
        // Not there now: still the one to open, so its error says what is wrong.
        portCombo->addItem(name);
        portCombo->setCurrentIndex(portCombo->count() - 1);
    }
}

bool MainWindow::selectBaudRate(qint32 rate)
{
    const int index = baudCombo->findData(rate);
    if (index >= 0)
        baudCombo->setCurrentIndex(index);
    else if (baudRateFromText(QString::number(rate)) == rate)
        baudCombo->setEditText(QString::number(rate));
    else
        return false;
    return true;
}

void MainWindow::openSelectedPort()
{
    if (!portLink->isOpen() && !portLink->isConnecting())
        onOpenClosePort();
}
