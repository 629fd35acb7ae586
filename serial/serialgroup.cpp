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
    portCombo = named(new QComboBox, "portCombo");
    // The items carry the values the port takes, so opening parses no text.
    baudCombo = named(new QComboBox, "baudCombo");
    for (const qint32 rate : standardBaudRates())
        baudCombo->addItem(QString::number(rate), rate);
    baudCombo->setCurrentText(QStringLiteral("1200"));

    dataBitsCombo = named(new QComboBox, "dataBitsCombo");
    for (QSerialPort::DataBits bits :
         { QSerialPort::Data5, QSerialPort::Data6, QSerialPort::Data7, QSerialPort::Data8 })
        dataBitsCombo->addItem(QString::number(bits), bits);
    dataBitsCombo->setCurrentIndex(3);

    parityCombo = named(new QComboBox, "parityCombo");
    parityCombo->addItem(QStringLiteral("无"), QSerialPort::NoParity);
    parityCombo->addItem(QStringLiteral("奇"), QSerialPort::OddParity);
    parityCombo->addItem(QStringLiteral("偶"), QSerialPort::EvenParity);
    parityCombo->addItem(QStringLiteral("标记"), QSerialPort::MarkParity);
    parityCombo->addItem(QStringLiteral("空格"), QSerialPort::SpaceParity);
    parityCombo->setCurrentIndex(0);

    stopBitsCombo = named(new QComboBox, "stopBitsCombo");
    stopBitsCombo->addItem(QStringLiteral("1"), QSerialPort::OneStop);
    stopBitsCombo->addItem(QStringLiteral("2"), QSerialPort::TwoStop);
    stopBitsCombo->setCurrentIndex(0);

    for (QComboBox *combo : { portCombo, baudCombo, dataBitsCombo, parityCombo, stopBitsCombo })
        combo->setMinimumWidth(90);

    statusLamp = named(new QLabel(QStringLiteral("●")), "statusLamp");
    statusLamp->setStyleSheet(QLatin1String(closedLampStyle));

    openButton = named(new QPushButton(QStringLiteral("打开串口")), "openButton");
    connect(openButton, &QPushButton::clicked, this, &MainWindow::onOpenClosePort);

    sendLamp = named(new QLabel(QStringLiteral("发送 ●")), "sendLamp");
    sendLamp->setStyleSheet(QStringLiteral("color: gray;"));
    recvLamp = named(new QLabel(QStringLiteral("接收 ●")), "recvLamp");
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
    serialPort->setBaudRate(baudCombo->currentData().toInt(), QSerialPort::AllDirections);
    serialPort->setDataBits(
            static_cast<QSerialPort::DataBits>(dataBitsCombo->currentData().toInt()));
    serialPort->setParity(static_cast<QSerialPort::Parity>(parityCombo->currentData().toInt()));
    serialPort->setStopBits(
            static_cast<QSerialPort::StopBits>(stopBitsCombo->currentData().toInt()));
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
