// A device that goes away (unplugged, reflashed, a hung-up line) closes the
// port; the window then waits for the same port to come back and reopens it.
#include "mainwindow.h"
#include "portcombobox.h"
#include "portidentity.h"
#include "portlink.h"
#include "portwatcher.h"

#include <QMessageBox>
#include <QSerialPortInfo>
#include <QStatusBar>
#include <QTime>

void MainWindow::buildPortCombo()
{
    auto *combo = named(new PortComboBox, "portCombo");
    portCombo = combo;
    connect(combo, &PortComboBox::aboutToShowPopup, this, &MainWindow::refreshPortList);
    // The user's choice only, not the list being refilled.
    connect(combo, &PortComboBox::portChosen, this, [this](const QString &name) {
        if (name != awaitedPortName())
            stopWatchingPort();
    });
    // Reserved now, so the first message does not shift the window's contents.
    statusBar();

    portWatcher = new PortWatcher(this);
    connect(portWatcher, &PortWatcher::portReturned, this, &MainWindow::reopenReturnedPort);
}

void MainWindow::handleDeviceLoss(const QString &reason)
{
    // Qt signals a hung-up line again on every pass of the event loop, and
    // closing the port inside its own error signal is not safe: close once,
    // from the event loop, and ignore the repeats until then.
    if (deviceLossPending)
        return;
    deviceLossPending = true;
    QMetaObject::invokeMethod(
            this,
            [this, reason] {
                deviceLossPending = false;
                if (!portLink->isOpen())
                    return; // closed by the user meanwhile
                const QString portName = openedPortName;
                closePort();
                // A network port is tried again until its server takes it.
                portLink->retryUntilBack();
                statusBar()->showMessage(
                        portLink->isRetrying() || portWatcher->watch(portName)
                                ? tr("设备 %1 已断开，正在等待重新连接…").arg(portName)
                                : tr("设备 %1 已断开").arg(portName));
                showPortErrorBox(reason);
            },
            Qt::QueuedConnection);
}

// Shown from the event loop, never inside the port's own signal: a loss
// handled in the box's event loop then closes a port that no caller further
// up is still using. One box at a time; the status bar tells the latest.
void MainWindow::showPortErrorBox(const QString &reason)
{
    if (portErrorBoxOpen)
        return;
    portErrorBoxOpen = true;
    QMessageBox::warning(this, tr("串口错误"), reason);
    portErrorBoxOpen = false;
}

void MainWindow::reopenReturnedPort(const QString &portName)
{
    // Another adapter under the lost one's name is not the device; it is
    // looked at again only once its node changes. A node whose identity the
    // system does not know yet is looked at again at the next poll, quietly.
    const PortIdentity found = PortIdentity::of(QSerialPortInfo(portName));
    if (identityPending(openedIdentity, found)) {
        portWatcher->lookAgain();
        return;
    }
    if (!isSameDevice(openedIdentity, found)) {
        statusBar()->showMessage(
                tr("%1 上出现的是另一个设备（%2），未打开；仍在等待原设备")
                        .arg(portName,
                             found.serialNumber.isEmpty()
                                     ? QStringLiteral("%1:%2")
                                               .arg(found.vendorId, 4, 16, QLatin1Char('0'))
                                               .arg(found.productId, 4, 16, QLatin1Char('0'))
                                     : found.serialNumber));
        return;
    }
    // The list keeps the watched entry; show it as the one opened.
    const int index = portCombo->findText(portName, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        portCombo->setCurrentIndex(index);
    if (!openPortNamed(portName)) {
        // Often the device node exists before its permissions are set: keep
        // trying quietly on the next polls until the user decides otherwise.
        statusBar()->showMessage(tr("设备 %1 已重新出现，但暂时无法打开（%2），正在重试…")
                                         .arg(portName, portLink->errorString()));
        portWatcher->lookAgain();
        return;
    }
    portWatcher->stop();
    showReconnected(portName);
}

void MainWindow::showReconnected(const QString &portName)
{
    statusBar()->showMessage(
            tr("设备 %1 已于 %2 重新连接")
                    .arg(portName, QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))));
}

void MainWindow::stopWatchingPort()
{
    if (!portWatcher->isWatching() && !portLink->isRetrying())
        return;
    portWatcher->stop();
    portLink->stopRetrying();
    statusBar()->clearMessage();
}

QString MainWindow::awaitedPortName() const
{
    if (portLink->isRetrying())
        return portLink->name();
    return portWatcher->isWatching() ? portWatcher->portName() : QString();
}
