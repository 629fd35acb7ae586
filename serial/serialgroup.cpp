#include "baudrates.h"
#include "mainwindow.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QTimer>

namespace {

const char *const closedLampStyle = "color: red; font-weight: bold;";
const char *const openLampStyle = "color: green; font-weight: bold;";

// A path counts while it exists; a bare name (COM7) cannot be checked here
// and stays.
bool pinnedPortPresent(const QString &port)
{
    const bool isPath = port.contains(QLatin1Char('/')) || port.contains(QLatin1Char('\\'));
    return !isPath || QFileInfo::exists(port);
}

} // namespace

void MainWindow::buildSerialGroup()
{
    portCombo = new QComboBox;
    baudCombo = new QComboBox;
    for (const qint32 rate : standardBaudRates())
        baudCombo->addItem(QString::number(rate));
    baudCombo->setCurrentText(QStringLiteral("1200"));

    dataBitsCombo = new QComboBox;
    dataBitsCombo->addItems(
            { QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8") });
    dataBitsCombo->setCurrentIndex(3);

    parityCombo = new QComboBox;
    parityCombo->addItems({ QStringLiteral("无"), QStringLiteral("奇"), QStringLiteral("偶"),
                            QStringLiteral("标记"), QStringLiteral("空格") });
    parityCombo->setCurrentIndex(0);

    stopBitsCombo = new QComboBox;
    stopBitsCombo->addItems({ QStringLiteral("1"), QStringLiteral("2") });
    stopBitsCombo->setCurrentIndex(0);

    for (QComboBox *combo : { portCombo, baudCombo, dataBitsCombo, parityCombo, stopBitsCombo })
        combo->setMinimumWidth(90);

    statusLamp = new QLabel(QStringLiteral("●"));
    statusLamp->setStyleSheet(QLatin1String(closedLampStyle));

    openButton = new QPushButton(QStringLiteral("打开串口"));
    connect(openButton, &QPushButton::clicked, this, &MainWindow::onOpenClosePort);

    sendLamp = new QLabel(QStringLiteral("发送 ●"));
    sendLamp->setStyleSheet(QStringLiteral("color: gray;"));
    recvLamp = new QLabel(QStringLiteral("接收 ●"));
    recvLamp->setStyleSheet(QStringLiteral("color: gray;"));
}

void MainWindow::refreshPortList()
{
    const QString previous = portCombo->currentText();
    portCombo->clear();
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        portCombo->addItem(info.portName());
    for (const QString &pinned : qAsConst(pinnedPorts)) {
        if (portCombo->findText(pinned, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0
            && pinnedPortPresent(pinned))
            portCombo->addItem(pinned);
    }

    const int found = portCombo->findText(previous, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found >= 0)
        portCombo->setCurrentIndex(found);
    else if (portCombo->count() > 0)
        portCombo->setCurrentIndex(0);
}

void MainWindow::applyPortParameters()
{
    serialPort->setBaudRate(baudCombo->currentText().toInt(), QSerialPort::AllDirections);
    serialPort->setDataBits(
            static_cast<QSerialPort::DataBits>(dataBitsCombo->currentText().toInt()));

    // The list's order differs from the enum's values, so map item by item.
    switch (parityCombo->currentIndex()) {
    case 0:
        serialPort->setParity(QSerialPort::NoParity);
        break;
    case 1:
        serialPort->setParity(QSerialPort::OddParity);
        break;
    case 2:
        serialPort->setParity(QSerialPort::EvenParity);
        break;
    case 3:
        serialPort->setParity(QSerialPort::MarkParity);
        break;
    case 4:
        serialPort->setParity(QSerialPort::SpaceParity);
        break;
    default:
        break;
    }

    serialPort->setStopBits(stopBitsCombo->currentIndex() == 0 ? QSerialPort::OneStop
                                                               : QSerialPort::TwoStop);
}

void MainWindow::onOpenClosePort()
{
    if (serialPort->isOpen()) {
        serialPort->close();
        openButton->setText(QStringLiteral("打开串口"));
        statusLamp->setText(QStringLiteral("●"));
        statusLamp->setStyleSheet(QLatin1String(closedLampStyle));
        rotationTimer->stop();
        answerTimer->stop();
        rotationMode = RotationIdle;
        return;
    }

    serialPort->setPortName(portCombo->currentText());
    applyPortParameters();
    if (serialPort->open(QIODevice::ReadWrite)) {
        portErrorShown = false;
        receiveDecoder.reset();
        openButton->setText(QStringLiteral("关闭串口"));
        statusLamp->setText(QStringLiteral("●"));
        statusLamp->setStyleSheet(QLatin1String(openLampStyle));
    } else {
        QMessageBox::warning(this, QStringLiteral("错误"),
                             QStringLiteral("无法打开串口: ") + serialPort->errorString());
    }
}

void MainWindow::onPortError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || !serialPort->isOpen())
        return;
    // A device that is gone signals again on every pass of the event loop;
    // one box per opening is enough, and "关闭串口" ends it.
    if (portErrorShown)
        return;
    portErrorShown = true;
    QMessageBox::warning(this, QStringLiteral("串口错误"), serialPort->errorString());
}
