// A device that goes away (unplugged, reflashed, a hung-up line) closes the
// port; the window then waits for the same port to come back and reopens it.
#include "mainwindow.h"
#include "portcombobox.h"
#include "portwatcher.h"

#include <QMessageBox>
#include <QStatusBar>
#include <QTime>

void MainWindow::buildPortCombo()
{
    auto *combo = named(new PortComboBox, "portCombo");
    portCombo = combo;
    connect(combo, &PortComboBox::aboutToShowPopup, this, &MainWindow::refreshPortList);
    // activated: the user's choice only, not the list being refilled.
    connect(combo, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
        if (portCombo->itemText(index) != portWatcher->portName())
            stopWatchingPort();
    });
    // Reserved now, so the first message does not shift the window's contents.
    statusBar();

    portWatcher = new PortWatcher(this);
    connect(portWatcher, &PortWatcher::portReturned, this, &MainWindow::reopenReturnedPort);
}

void MainWindow::handleDeviceLoss()
{
    // Qt signals a hung-up line again on every pass of the event loop, and
    // closing the port inside its own error signal is not safe: close once,
    // from the event loop, and ignore the repeats until then.
    if (deviceLossPending)
        return;
    deviceLossPending = true;
    const QString reason = serialPort->errorString();
    QMetaObject::invokeMethod(
            this,
            [this, reason] {
                deviceLossPending = false;
                if (!serialPort->isOpen())
                    return; // closed by the user meanwhile
                const QString portName = openedPortName;
                closePort();
                statusBar()->showMessage(
                        portWatcher->watch(portName)
                                ? tr("设备 %1 已断开，正在等待重新连接…").arg(portName)
                                : tr("设备 %1 已断开").arg(portName));
                // A device that comes and goes while nobody answers must not
                // pile up boxes; the status bar tells the latest.
                if (deviceLossBoxOpen)
                    return;
                deviceLossBoxOpen = true;
                QMessageBox::warning(this, tr("串口错误"), reason);
                deviceLossBoxOpen = false;
            },
            Qt::QueuedConnection);
}

void MainWindow::reopenReturnedPort(const QString &portName)
{
    // The list keeps the watched entry; show it as the one opened.
    const int index = portCombo->findText(portName, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        portCombo->setCurrentIndex(index);
    if (!openPortNamed(portName)) {
        // Often the device node exists before its permissions are set: keep
        // trying quietly on the next polls until the user decides otherwise.
        statusBar()->showMessage(tr("设备 %1 已重新出现，但暂时无法打开（%2），正在重试…")
                                         .arg(portName, serialPort->errorString()));
        return;
    }
    portWatcher->stop();
    statusBar()->showMessage(
            tr("设备 %1 已于 %2 重新连接")
                    .arg(portName, QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))));
}

void MainWindow::stopWatchingPort()
{
    if (!portWatcher->isWatching())
        return;
    portWatcher->stop();
    statusBar()->clearMessage();
}
